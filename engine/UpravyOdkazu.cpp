#include "UpravyOdkazu.h"

#include <stdexcept>

std::string TUpravaOdkazu::Text() const {
    std::string s;
    Zapsat([&](std::string_view k) { s += k; });
    return s;
}

template <typename F>
void TKurzorUprav::PripojitSUpravami(F pripojit, std::size_t radek, std::string_view text, std::size_t od,
                                     std::size_t po, std::size_t posun) {
    // Positions of the line from here on are those of text plus posun.
    po = std::min(po, text.size());
    while (i_ < upravy_.size() && upravy_[i_].Radek < radek) ++i_;
    std::size_t pozice = std::min(od, po);
    for (; i_ < upravy_.size() && upravy_[i_].Radek == radek && upravy_[i_].Pozice < po + posun; ++i_) {
        const TUpravaOdkazu& u = upravy_[i_];
        const std::size_t zacatek = u.Pozice, konec = zacatek + u.Delka;
        if (zacatek < pozice + posun || konec > po + posun)
            throw std::invalid_argument("an edit of a reference lies outside the bytes being written");
        pripojit(text.substr(pozice, zacatek - posun - pozice));
        u.Zapsat(pripojit);
        pozice = konec - posun;
    }
    pripojit(text.substr(pozice, po - pozice));
}

template void TKurzorUprav::PripojitSUpravami(TDoRetezce, std::size_t, std::string_view, std::size_t, std::size_t,
                                              std::size_t);
template void TKurzorUprav::PripojitSUpravami(TDoVystupu, std::size_t, std::string_view, std::size_t, std::size_t,
                                              std::size_t);

void PripojitSUpravami(cnc::TVystup<char>& cil, TKurzorUprav& kurzor, std::string_view text, std::size_t od,
                       std::size_t po, std::size_t radek, std::size_t odBajtu) {
    // Where the line that ends at konec is followed by the next one.
    const auto zaZlomem = [&](std::size_t konec) {
        if (konec == text.size()) return konec;
        return cnc::ZaZlomem(text, konec);
    };
    po = std::min(po, text.size());
    std::size_t zacatek = od - std::min(odBajtu, od);  // where line radek begins
    while (od < po) {
        const std::size_t dalsi = kurzor.Dalsi();
        if (dalsi == std::string_view::npos) break;
        // On to the next line with edits; the lines before it go out in one piece.
        for (; radek < dalsi && zacatek < po; ++radek) {
            const std::size_t konec = cnc::KonecRadku(text, zacatek);
            if (konec == text.size()) return cil.Pripojit(text.substr(od, po - od));
            zacatek = zaZlomem(konec);
        }
        if (zacatek >= po) break;
        if (zacatek > od) {
            cil.Pripojit(text.substr(od, zacatek - od));
            od = zacatek;
        }
        // The line as far as it lies in the text asked for, with its edits; then its break.
        const std::size_t konec = cnc::KonecRadku(text, zacatek);
        const std::size_t k = std::min(konec, po);
        if (od < k) kurzor.Pripojit(cil, radek, text.substr(zacatek, konec - zacatek), od - zacatek, k - zacatek);
        od = std::max(od, k);
        if (k < konec) return;
        const std::size_t dalsiRadek = zaZlomem(konec);
        if (od < std::min(dalsiRadek, po)) {
            cil.Pripojit(text.substr(od, std::min(dalsiRadek, po) - od));
            od = std::min(dalsiRadek, po);
        }
        if (dalsiRadek == konec) return;  // the end of the text
        zacatek = dalsiRadek;
        ++radek;
    }
    if (od < po) cil.Pripojit(text.substr(od, po - od));
}

TZbytkySUpravami::TZbytkySUpravami(TKurzorUprav& kurzor, std::size_t prvniRadek, std::size_t odBajtu)
    : kurzor_(kurzor), prvni_(prvniRadek), odBajtu_(odBajtu) {
    Posunout();
}

void TZbytkySUpravami::Posunout() {
    const std::size_t dalsi = kurzor_.Dalsi();
    dalsi_ = dalsi == std::string_view::npos ? dalsi : dalsi - std::min(dalsi, prvni_);
}

void TZbytkySUpravami::Zapsat(cnc::TVystup<char>& vystup, std::size_t radek, std::string_view text, std::size_t od) {
    kurzor_.Pripojit(vystup, prvni_ + radek, text, od, std::string_view::npos, radek == 0 ? odBajtu_ : 0);
    Posunout();
}
