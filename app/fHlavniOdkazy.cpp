// The main window's references to block numbers: the switch that lets them
// follow their blocks, the lines of a selection as the reference pass takes
// them, and the type the program's words point to in the status bar. The
// command layer finds, updates and reports them.
#include "fHlavni.h"

#include "ui_fHlavni.h"

#include "engine/OdhadTypu.h"
#include "filetypes/TypSouboru.h"
#include "katalog/convar.h"

#include <QLabel>

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

}  // namespace

void THlavniForm::PrelozitPrepinacOdkazu() {
    ui->chkAktualizovatOdkazy->setText(Q(rsAKTUALIZOVATODKAZY));
    ui->chkAktualizovatOdkazy->setToolTip(Q(rsAKTUALIZOVATODKAZYNAPOVEDA));
    // The guess in the new language, once there is one.
    if (findChild<QLabel*>(QStringLiteral("StatusBar1Odhad"))) ZobrazitOdhadTypu();
}

void THlavniForm::ZobrazitOdhadTypu() {
    auto* panel = findChild<QLabel*>(QStringLiteral("StatusBar1Odhad"));
    if (!panel) {
        panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("StatusBar1Odhad"));
        ui->StatusBar1->addPermanentWidget(panel);
    }
    const TOdhadTypu odhad = aktualniSoubor_.isEmpty() ? TOdhadTypu{} : OdhadnoutTyp(ui->memProgram->Utf8());
    panel->setVisible(odhad.Nareci != TNareci::Nezname);
    if (odhad.Nareci == TNareci::Nezname) return;
    panel->setText(Q(rsODHAD + u": ") + QString::fromStdU16String(std::u16string(NazevTypuNareci(odhad.Nareci))));
    QString tip = Q(rsODHADTYPU) + u'.';
    for (const TDukazOdhadu& d : odhad.Dukazy)
        tip += QStringLiteral("\n") + Q(rsRADEK) + u' ' + QString::number(d.Radek + 1) + QStringLiteral(": ") +
               QString::fromStdString(d.Text);
    panel->setToolTip(tip);
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
