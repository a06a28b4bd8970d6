// The main window's references to block numbers (jumps, returns, the
// profiles of the lathe cycles): found before a command, updated by a
// renumbering when the switch is on, asked about before removing, and told
// after a command that met them.
#include "fHlavni.h"

#include "ui_fHlavni.h"

#include "katalog/ZpravyOdkazu.h"
#include "katalog/convar.h"
#include "ui/Hlaseni.h"

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

// The lines listed in a message box, at most.
constexpr std::size_t RadkuVeZprave = 10;

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

TVysledekOdkazu THlavniForm::OdkazyPrikazu(const cnc::TZadani<char>& zadani,
                                          std::optional<TEditorProgramu::TUsek> vyber, cnc::TPocty& pocty) const {
    const TZnakyOdkazu znaky = ZnakyOdkazu(zadani);
    std::optional<TOdkazyBloku> o;
    if (zadani.Prikaz == cnc::TPrikaz::Precislovat) {
        o.emplace(znaky,
                  TCislovaniOdkazu{zadani.PrvniBlok, zadani.Prirustek, zadani.MaximalniBlok, zadani.CislovatOdZacatku},
                  vyber ? std::optional(RadkyVyberu(*vyber)) : std::nullopt);
        // The report needs only those that cannot be updated.
        o->NechatJenNevyresene();
    } else {
        o.emplace(znaky);
    }
    // The whole text: a reference outside the selection may lead into it.
    o->Pridat(ui->memProgram->Utf8());
    pocty = o->Pocty();
    return o->Dokoncit();
}

bool THlavniForm::OdstranitPresOdkazy(const TVysledekOdkazu& odkazy) {
    if (odkazy.Odkazy.empty()) return true;
    return Hlaseni->ZobrazitHlaseni(thDotaz, Q(ZpravaOdkazyPredOdstranenim(odkazy, true, RadkuVeZprave)),
                                    Q(rsPOTVRZENI)) == Tlacitko::Ano;
}

void THlavniForm::OhlasitOdkazy(const TVysledekOdkazu& odkazy, bool precislovani) {
    if (odkazy.Nalezenych == 0) return;
    const bool vse = odkazy.PocetNevyresenych() == 0;
    Hlaseni->ZobrazitHlaseni(vse ? thInformace : thVarovani, Q(ZpravaOdkazu(odkazy, precislovani, RadkuVeZprave)),
                             Q(vse ? rsINFORMACE : rsVAROVANI));
}
