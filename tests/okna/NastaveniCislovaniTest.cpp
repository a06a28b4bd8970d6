// The numbering settings of the main window as a user changes them: every
// control found in the two group boxes reaches the store when the window
// closes and shows its value again after a restart; the width of numbers
// reaches the commands.
#include "Scenar.h"

#include "ui_fHlavni.h"

#include "app/fHlavni.h"
#include "platform/RegistrSoubor.h"
#include "ui/Prvky.h"

#include <QCheckBox>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <map>

namespace {

constexpr char16_t Klic[] = u"\\Software\\Orvendal\\Tarvik";

class NastaveniCislovani : public ::testing::Test {
protected:
    NastaveniCislovani() { TDocasnaSlozka::Zapsat(slozka / "files.ftd", "ISO\t.nc\t:\tN\t%\tM30\t(\t\r\n"); }
    ~NastaveniCislovani() override {
        if (beh) Zavrit();
    }
    void Spustit() { beh = std::make_unique<TBehAplikace>(slozka); }
    void Zavrit() {
        if (HlavniForm) HlavniForm->memProgram()->setModified(false);
        beh->Zavrit();
        beh.reset();
    }
    Ui::THlavniForm& ui() { return HlavniForm->Formular(); }

    // The stored numbering settings (not the window's placement), as text.
    std::map<std::u16string, std::u16string> Ulozene() {
        std::map<std::u16string, std::u16string> m;
        TRegistrSoubor r(slozka / "Tarvik.reg");
        if (!r.OtevritKlic(Klic, false)) return m;
        for (const std::u16string& n : r.NazvyHodnot()) {
            if (n == u"Vlevo" || n == u"Nahore" || n == u"Vyska" || n == u"Sirka" || n == u"Maximalni") continue;
            if (r.TypHodnoty(n) == TTypHodnoty::Cislo) {
                const std::string c = std::to_string(r.CistCislo(n));
                m[n] = std::u16string(c.begin(), c.end());
            } else {
                m[n] = r.CistRetezec(n);
            }
        }
        return m;
    }

    // The controls of the numbering settings, found as a user sees them.
    std::vector<QWidget*> Ovladace() {
        std::vector<QWidget*> v;
        for (QWidget* box : {static_cast<QWidget*>(ui().gbxNcBloky), static_cast<QWidget*>(ui().gbxNastaveni)}) {
            for (auto* s : box->findChildren<TSpinEdit*>()) v.push_back(s);
            for (auto* b : box->findChildren<QAbstractButton*>()) v.push_back(b);
        }
        return v;
    }

    TDocasnaSlozka slozka;
    TScenar scenar;
    std::unique_ptr<TBehAplikace> beh;
};

// A control that is not wired to the store leaves the store as it was.
TEST_F(NastaveniCislovani, KazdyOvladacDojdeDoUlozeni) {
    Spustit();
    const std::size_t pocet = Ovladace().size();
    Zavrit();
    const auto vychozi = Ulozene();
    ASSERT_FALSE(vychozi.empty());
    EXPECT_GE(pocet, 10u);  // four numbers, two policies, four switches

    for (std::size_t i = 0; i < pocet; ++i) {
        std::filesystem::remove(slozka / "Tarvik.reg");
        Spustit();
        QWidget* w = Ovladace()[i];
        const QString jmeno = w->objectName();
        SCOPED_TRACE(jmeno.toStdString());
        // As the user would: a number within the control's bounds that it
        // does not show, a switch turned over, the other policy chosen.
        QString zobrazeno;
        if (auto* s = qobject_cast<TSpinEdit*>(w)) {
            const int nova = s->Value() == s->MinValue() ? s->MinValue() + 1 : s->MinValue();
            s->SetValue(nova);
            zobrazeno = QString::number(nova);
        } else if (auto* r = qobject_cast<QRadioButton*>(w)) {
            if (r->isChecked()) {
                // The checked policy goes when the other one is chosen.
                for (auto* jiny : r->parentWidget()->findChildren<QRadioButton*>())
                    if (jiny != r) jiny->click();
            } else {
                r->click();
            }
            zobrazeno = r->isChecked() ? "1" : "0";
        } else {
            auto* b = qobject_cast<QAbstractButton*>(w);
            b->click();
            zobrazeno = b->isChecked() ? "1" : "0";
        }
        Zavrit();
        EXPECT_NE(Ulozene(), vychozi) << "the store did not receive " << jmeno.toStdString();

        // ... and the control shows it again after a restart.
        Spustit();
        QWidget* znovu = HlavniForm->findChild<QWidget*>(jmeno);
        ASSERT_NE(znovu, nullptr);
        if (auto* s = qobject_cast<TSpinEdit*>(znovu))
            EXPECT_EQ(QString::number(s->Value()), zobrazeno);
        else
            EXPECT_EQ(qobject_cast<QAbstractButton*>(znovu)->isChecked() ? "1" : "0", zobrazeno);
        Zavrit();
    }
}

// The width of numbers, as the user sets it, reaches introduce and renumber;
// references keep their own form.
TEST_F(NastaveniCislovani, SirkaCiselVPrikazech) {
    Spustit();
    struct Pripad {
        const char* nazev;
        int sirka;
        void (THlavniForm::*prikaz)();
        const char* vstup;
        const char* vysledek;
    };
    const Pripad pripady[] = {
        {"introduce, 4 digits", 4, &THlavniForm::aZavestExecute, "%\r\nG0 X1\r\nM30\r\n",
         "%\r\nN0010 G0 X1\r\nM30\r\n"},
        {"renumber, 4 digits", 4, &THlavniForm::aPrecislovatExecute, "N7 G0\r\n:8 X1\r\nN9 GOTO 7\r\n",
         "N0010 G0\r\n:0020 X1\r\nN0030 GOTO 10\r\n"},
        {"renumber, without zeros", 0, &THlavniForm::aPrecislovatExecute, "N0007 G0\r\nN0008 GOTO 0007\r\n",
         "N10 G0\r\nN20 GOTO 0010\r\n"},
        {"a number wider than the width keeps its digits", 1, &THlavniForm::aPrecislovatExecute, "N7 G0\r\nN8 X\r\n",
         "N10 G0\r\nN20 X\r\n"},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        TDocasnaSlozka::Zapsat(slozka / "p.nc", p.vstup);
        scenar.Otevreni.push_back(Modalni::TOtevreni{QString::fromStdU16String((slozka / "p.nc").u16string()), 1});
        HlavniForm->aOtevritExecute();
        ui().speZacitOd->SetValue(10);
        ui().spePrirustek->SetValue(10);
        ui().speSirka->SetValue(p.sirka);
        (HlavniForm->*p.prikaz)();
        EXPECT_EQ(HlavniForm->memProgram()->text(), p.vysledek);
        HlavniForm->memProgram()->setModified(false);
    }
}

}  // namespace
