// The main window's references to block numbers: the switch that lets them
// follow their blocks, and the lines of a selection as the reference pass
// takes them. The command layer finds, updates and reports them.
#include "fHlavni.h"

#include "ui_fHlavni.h"

#include "katalog/convar.h"

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

}  // namespace

void THlavniForm::PrelozitPrepinacOdkazu() {
    ui->chkAktualizovatOdkazy->setText(Q(rsAKTUALIZOVATODKAZY));
    ui->chkAktualizovatOdkazy->setToolTip(Q(rsAKTUALIZOVATODKAZYNAPOVEDA));
}

TVyberRadku THlavniForm::RadkyVyberu(TEditorProgramu::TUsek usek) const {
    const TEditorProgramu& e = *ui->memProgram;
    TVyberRadku v;
    v.Od = e.RadekPozice(usek.Od);
    v.OdBajtu = usek.Od - e.ZacatekRadku(v.Od);
    const std::size_t posledni = e.RadekPozice(usek.Po);
    const std::size_t poBajtu = usek.Po - e.ZacatekRadku(posledni);
    // A selection that ends after a line break takes the lines before it whole.
    v.Po = poBajtu == 0 ? posledni : posledni + 1;
    if (poBajtu > 0) v.PoBajtu = poBajtu;
    return v;
}
