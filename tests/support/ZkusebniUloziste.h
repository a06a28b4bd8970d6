// A settings store of its own for one test: the file store in a fresh
// folder, or on Windows the registry under a key of the test's own, deleted
// afterwards, so that no test ever touches the program's real settings.
#pragma once

#include "DocasnaSlozka.h"
#include "platform/Registr.h"
#include "platform/RegistrSoubor.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

enum class TDruhUloziste { Soubor, Win32 };

// The stores of this platform: the file store everywhere (on Windows it is
// checked too), the registry on Windows.
inline std::vector<TDruhUloziste> DruhyUloziste() {
#ifdef _WIN32
    return {TDruhUloziste::Win32, TDruhUloziste::Soubor};
#else
    return {TDruhUloziste::Soubor};
#endif
}

// The store the program itself uses on this platform.
inline TDruhUloziste VychoziDruhUloziste() {
#ifdef _WIN32
    return TDruhUloziste::Win32;
#else
    return TDruhUloziste::Soubor;
#endif
}

inline const char* NazevDruhu(TDruhUloziste d) { return d == TDruhUloziste::Win32 ? "Win32" : "Soubor"; }

// How test names and messages show the kind.
inline void PrintTo(TDruhUloziste d, std::ostream* os) { *os << NazevDruhu(d); }

class TZkusebniUloziste {
public:
    explicit TZkusebniUloziste(TDruhUloziste druh = VychoziDruhUloziste()) : druh_(druh) {
        if (druh_ == TDruhUloziste::Soubor) {
            soubor_ = slozka_ / "Tarvik.reg";
            koren_ = u"\\Software\\Orvendal\\Tarvik";
        } else {
#ifdef _WIN32
            static int poradi = 0;
            const std::string jmeno = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++poradi);
            koren_ = u"\\Software\\Orvendal\\TarvikTest\\" + std::u16string(jmeno.begin(), jmeno.end());
            Otevrit()->SmazatKlic(koren_);
#endif
        }
    }
    ~TZkusebniUloziste() {
        if (druh_ == TDruhUloziste::Win32) Otevrit()->SmazatKlic(koren_);
    }
    TZkusebniUloziste(const TZkusebniUloziste&) = delete;
    TZkusebniUloziste& operator=(const TZkusebniUloziste&) = delete;

    // A new store object on this store, as another copy of the program sees it.
    std::unique_ptr<TRegistr> Otevrit() const {
        if (druh_ == TDruhUloziste::Soubor) return std::make_unique<TRegistrSoubor>(soubor_);
        return VytvoritRegistr();
    }
    // The key that stands for the settings key \Software\Orvendal\Tarvik.
    const std::u16string& Koren() const { return koren_; }
    std::u16string Klic(std::u16string_view podklic) const { return koren_ + u"\\" + std::u16string(podklic); }
    TDruhUloziste Druh() const { return druh_; }
    // The store file (file store only).
    const std::filesystem::path& Soubor() const { return soubor_; }
    const TDocasnaSlozka& Slozka() const { return slozka_; }

private:
    TDruhUloziste druh_;
    TDocasnaSlozka slozka_;
    std::filesystem::path soubor_;
    std::u16string koren_;
};
