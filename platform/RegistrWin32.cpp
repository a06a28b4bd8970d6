// The settings store on Windows: the registry under HKEY_CURRENT_USER.
#ifdef _WIN32

#include "Chyba.h"
#include "Registr.h"

#include <windows.h>

namespace {

// The key path without its leading and trailing backslash; none when a key
// name in it is empty.
std::optional<std::wstring> CestaKlice(std::u16string_view cesta) {
    if (!cesta.empty() && cesta.front() == u'\\') cesta.remove_prefix(1);
    if (!cesta.empty() && cesta.back() == u'\\') cesta.remove_suffix(1);
    if ((!cesta.empty() && cesta.front() == u'\\') || cesta.find(u"\\\\") != std::u16string_view::npos)
        return std::nullopt;
    return std::wstring(cesta.begin(), cesta.end());
}

std::wstring Nazev(std::u16string_view nazev) { return std::wstring(nazev.begin(), nazev.end()); }

using ChybyHodnot::ChybaCteni;
using ChybyHodnot::ChybaTypu;
using ChybyHodnot::ChybaZapisu;

class TRegistrWin32 final : public TRegistr {
public:
    ~TRegistrWin32() override { ZavritKlic(); }

    bool OtevritKlic(std::u16string_view cesta, bool vytvorit) override {
        ZavritKlic();
        const auto c = CestaKlice(cesta);
        if (!c) return false;
        HKEY k = nullptr;
        LONG r;
        if (vytvorit) {
            r = RegCreateKeyExW(HKEY_CURRENT_USER, c->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_READ | KEY_WRITE, nullptr, &k, nullptr);
        } else {
            r = RegOpenKeyExW(HKEY_CURRENT_USER, c->c_str(), 0, KEY_READ | KEY_WRITE, &k);
            // A key the user may only read is still read.
            if (r == ERROR_ACCESS_DENIED) r = RegOpenKeyExW(HKEY_CURRENT_USER, c->c_str(), 0, KEY_READ, &k);
        }
        if (r != ERROR_SUCCESS) return false;
        klic_ = k;
        return true;
    }

    void ZavritKlic() override {
        if (klic_) RegCloseKey(klic_);
        klic_ = nullptr;
    }

    bool KlicExistuje(std::u16string_view cesta) override {
        const auto c = CestaKlice(cesta);
        if (!c) return false;
        HKEY k = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, c->c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
        RegCloseKey(k);
        return true;
    }

    bool SmazatKlic(std::u16string_view cesta) override {
        const auto c = CestaKlice(cesta);
        if (!c || c->empty()) return false;
        return RegDeleteTreeW(HKEY_CURRENT_USER, c->c_str()) == ERROR_SUCCESS;
    }

    bool HodnotaExistuje(std::u16string_view nazev) override {
        return TypHodnoty(nazev) != TTypHodnoty::Zadna;
    }

    TTypHodnoty TypHodnoty(std::u16string_view nazev) override {
        DWORD typ = 0, velikost = 0;
        if (!klic_ || Dotaz(nazev, typ, velikost) != ERROR_SUCCESS) return TTypHodnoty::Zadna;
        switch (typ) {
            case REG_SZ: return TTypHodnoty::Retezec;
            case REG_EXPAND_SZ: return TTypHodnoty::RozsirenyRetezec;
            case REG_DWORD: return TTypHodnoty::Cislo;
            default: return TTypHodnoty::Jina;
        }
    }

    std::u16string CistRetezec(std::u16string_view nazev) override {
        if (!klic_) return {};
        DWORD typ = 0, velikost = 0;
        const LONG r = Dotaz(nazev, typ, velikost);
        if (r == ERROR_FILE_NOT_FOUND) return {};
        if (r != ERROR_SUCCESS) ChybaCteni(nazev);
        if (typ != REG_SZ && typ != REG_EXPAND_SZ) ChybaTypu(nazev);
        const std::wstring n = Nazev(nazev);
        std::u16string text;
        for (;;) {
            // Room for a closing NUL that the stored data may lack.
            text.assign(velikost / 2 + 1, u'\0');
            DWORD precteno = velikost;
            const LONG q = RegQueryValueExW(klic_, n.c_str(), nullptr, &typ,
                                            reinterpret_cast<BYTE*>(text.data()), &precteno);
            if (q == ERROR_MORE_DATA) {
                velikost = precteno;
                continue;
            }
            if (q != ERROR_SUCCESS) ChybaCteni(nazev);
            if (typ != REG_SZ && typ != REG_EXPAND_SZ) ChybaTypu(nazev);
            text.resize(precteno / 2);
            break;
        }
        const std::size_t nul = text.find(u'\0');
        if (nul != std::u16string::npos) text.resize(nul);
        return text;
    }

    std::int32_t CistCislo(std::u16string_view nazev) override {
        if (!klic_) ChybaCteni(nazev);
        DWORD typ = 0, velikost = 0;
        if (Dotaz(nazev, typ, velikost) != ERROR_SUCCESS) ChybaCteni(nazev);
        if (typ != REG_DWORD) ChybaTypu(nazev);
        DWORD hodnota = 0;
        velikost = sizeof hodnota;
        const std::wstring n = Nazev(nazev);
        if (RegQueryValueExW(klic_, n.c_str(), nullptr, &typ, reinterpret_cast<BYTE*>(&hodnota), &velikost) !=
                ERROR_SUCCESS ||
            velikost != sizeof hodnota)
            ChybaCteni(nazev);
        if (typ != REG_DWORD) ChybaTypu(nazev);
        return static_cast<std::int32_t>(hodnota);
    }

    void ZapsatRetezec(std::u16string_view nazev, std::u16string_view hodnota) override {
        ZapsatText(nazev, hodnota, REG_SZ);
    }

    void ZapsatRozsirenyRetezec(std::u16string_view nazev, std::u16string_view hodnota) override {
        ZapsatText(nazev, hodnota, REG_EXPAND_SZ);
    }

    void ZapsatCislo(std::u16string_view nazev, std::int32_t hodnota) override {
        const auto d = static_cast<DWORD>(hodnota);
        Zapsat(nazev, REG_DWORD, &d, sizeof d);
    }

    std::optional<std::uint32_t> PocetHodnot() override {
        if (!klic_) return std::nullopt;
        DWORD pocet = 0;
        if (RegQueryInfoKeyW(klic_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &pocet, nullptr,
                             nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return std::nullopt;
        return pocet;
    }

    std::vector<std::u16string> NazvyHodnot() override {
        std::vector<std::u16string> nazvy;
        DWORD nejdelsi = 0;
        if (!klic_ || RegQueryInfoKeyW(klic_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       &nejdelsi, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return nazvy;
        std::wstring nazev(nejdelsi + 1, L'\0');
        for (DWORD i = 0;;) {
            DWORD delka = static_cast<DWORD>(nazev.size());
            const LONG r = RegEnumValueW(klic_, i, nazev.data(), &delka, nullptr, nullptr, nullptr, nullptr);
            if (r == ERROR_MORE_DATA && nazev.size() < 65536) {
                // A value with a longer name was written meanwhile.
                nazev.resize(nazev.size() * 2);
                continue;
            }
            if (r != ERROR_SUCCESS) break;
            nazvy.emplace_back(nazev.begin(), nazev.begin() + delka);
            ++i;
        }
        return nazvy;
    }

private:
    LONG Dotaz(std::u16string_view nazev, DWORD& typ, DWORD& velikost) {
        const std::wstring n = Nazev(nazev);
        return RegQueryValueExW(klic_, n.c_str(), nullptr, &typ, nullptr, &velikost);
    }

    void ZapsatText(std::u16string_view nazev, std::u16string_view hodnota, DWORD typ) {
        std::u16string data(hodnota);
        data.push_back(u'\0');
        Zapsat(nazev, typ, data.data(), data.size() * sizeof(char16_t));
    }

    void Zapsat(std::u16string_view nazev, DWORD typ, const void* data, std::size_t velikost) {
        if (!klic_ || velikost > 0xFFFFFFFFu) ChybaZapisu(nazev);
        const std::wstring n = Nazev(nazev);
        if (RegSetValueExW(klic_, n.c_str(), 0, typ, static_cast<const BYTE*>(data),
                           static_cast<DWORD>(velikost)) != ERROR_SUCCESS)
            ChybaZapisu(nazev);
    }

    HKEY klic_ = nullptr;
};

}  // namespace

std::unique_ptr<TRegistr> VytvoritRegistr() { return std::make_unique<TRegistrWin32>(); }

#endif
