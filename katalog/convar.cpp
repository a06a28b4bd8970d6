#include "convar.h"

namespace vestavene {
#define TARVIK_ZPRAVA(klic, text) constexpr std::u16string_view klic = text;
TARVIK_ZPRAVY(TARVIK_ZPRAVA)
#undef TARVIK_ZPRAVA
}  // namespace vestavene

#define TARVIK_ZPRAVA(klic, text) std::u16string klic{vestavene::klic};
TARVIK_ZPRAVY(TARVIK_ZPRAVA)
#undef TARVIK_ZPRAVA

const std::array<TPolozkaKatalogu, PocetPolozekKatalogu>& Katalog() {
#define TARVIK_ZPRAVA(klic, text) TPolozkaKatalogu{#klic, vestavene::klic, &klic},
    static const std::array<TPolozkaKatalogu, PocetPolozekKatalogu> katalog = {TARVIK_ZPRAVY(TARVIK_ZPRAVA)};
#undef TARVIK_ZPRAVA
    return katalog;
}

const TPolozkaKatalogu* PolozkaKatalogu(std::string_view klic) {
    for (const auto& p : Katalog())
        if (p.Klic == klic) return &p;
    return nullptr;
}

void ObnovitVestaveneTexty() {
    for (const auto& p : Katalog()) p.Text->assign(p.Vestaveny);
}

void PrelozitKatalog(std::span<const TPolozkaKatalogu> polozky, const THledaniTextu& najit) {
    for (const auto& p : polozky) {
        std::optional<std::u16string> text = najit(p.Klic);
        if (text && !text->empty())
            *p.Text = std::move(*text);
        else
            p.Text->assign(p.Vestaveny);
    }
}
