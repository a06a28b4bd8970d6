// The edits of the references that a renumber rewrites, and the writers
// that merge them into the text it writes: line after line behind the
// rewriting pass, or over the text around a selection.
#pragma once

#include "CNCEdit.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// One edit of a renumbering: bytes Pozice .. Pozice + Delka of line Radek (as
// the line was before the renumbering, leading blanks included) become the
// decimal Cislo, zero-padded to Sirka digits (the width of a number written
// with leading zeros; 0 for a plain one). An edit always lies behind the
// line's block number, so it never meets what the renumbering changes at the
// front of the line.
struct TUpravaOdkazu {
    // 32 bits each, 20 bytes an edit: lines are counted in 32 bits, and a
    // line of 4 GiB or more is not read for references.
    std::uint32_t Radek = 0;
    std::uint32_t Pozice = 0;
    std::uint32_t Delka = 0;
    std::uint32_t Cislo = 0;
    std::uint32_t Sirka = 0;

    // The new number's text, handed to pripojit (a callable taking a std::string_view) in pieces.
    template <typename F>
    void Zapsat(F&& pripojit) const;
    std::string Text() const;
    bool operator==(const TUpravaOdkazu&) const = default;
};

template <typename F>
void TUpravaOdkazu::Zapsat(F&& pripojit) const {
    char cifry[10];
    std::size_t n = 0;
    std::uint32_t c = Cislo;
    do {
        cifry[sizeof cifry - ++n] = static_cast<char>('0' + c % 10);
        c /= 10;
    } while (c != 0);
    static constexpr std::string_view Nuly = "0000000000000000";
    for (std::size_t nul = Sirka > n ? Sirka - n : 0; nul > 0;) {
        const std::size_t k = std::min(nul, Nuly.size());
        pripojit(Nuly.substr(0, k));
        nul -= k;
    }
    pripojit(std::string_view(cifry + sizeof cifry - n, n));
}

// Walks the edits in line order, for the renumbering pass that writes line
// after line. Pripojit appends bytes od .. po of line radek (the whole line
// as it was given; text may begin at byte posun of it) with the edits that
// lie there: a line outside the renumbered lines whole; a renumbered line
// from the end of its old front (TPravidlaBloku::TBlok::Konec) after the pass
// has written the new one; the selection's first line, when the selection
// starts inside it, in two calls, up to OdBajtu and from the end of the front
// of its selected part. Throws std::invalid_argument when an edit lies across
// od or po (bytes the pass wrote itself).
class TKurzorUprav {
public:
    explicit TKurzorUprav(std::span<const TUpravaOdkazu> upravy) : upravy_(upravy) {}
    void Pripojit(std::string& cil, std::size_t radek, std::string_view text, std::size_t od = 0,
                  std::size_t po = std::string_view::npos, std::size_t posun = 0) {
        Pripojit(TDoRetezce{cil}, radek, text, od, po, posun);
    }
    void Pripojit(cnc::TVystup<char>& cil, std::size_t radek, std::string_view text, std::size_t od = 0,
                  std::size_t po = std::string_view::npos, std::size_t posun = 0) {
        Pripojit(TDoVystupu{cil}, radek, text, od, po, posun);
    }
    // The line of the next edit that is not written yet; npos when none is left.
    std::size_t Dalsi() const { return i_ < upravy_.size() ? upravy_[i_].Radek : std::string_view::npos; }

    struct TDoRetezce {
        std::string& cil;
        void operator()(std::string_view s) const { cil.append(s); }
    };
    struct TDoVystupu {
        cnc::TVystup<char>& cil;
        // The pieces around an edit are mostly a few bytes: copied in place, without a call.
        void operator()(std::string_view s) const {
            if (s.size() > 32) return cil.Pripojit(s);
            char* w = cil.Misto(s.size());
            for (std::size_t i = 0; i < s.size(); ++i) w[i] = s[i];
            cil.Zapsano(s.size());
        }
    };

private:
    template <typename F>
    void Pripojit(F pripojit, std::size_t radek, std::string_view text, std::size_t od, std::size_t po,
                  std::size_t posun) {
        if (i_ < upravy_.size() && upravy_[i_].Radek <= radek) {
            PripojitSUpravami(pripojit, radek, text, od, po, posun);
        } else {
            const std::size_t konec = std::min(po, text.size()), zacatek = std::min(od, konec);
            pripojit(text.substr(zacatek, konec - zacatek));
        }
    }
    template <typename F>
    void PripojitSUpravami(F pripojit, std::size_t radek, std::string_view text, std::size_t od, std::size_t po,
                           std::size_t posun);

    std::span<const TUpravaOdkazu> upravy_;
    std::size_t i_ = 0;
};

// Appends text[od, po) to cil with the edits of its lines; od lies at byte
// odBajtu of line radek of the text. The lines without edits go out in one
// piece: the text before or after a selection, in the window.
void PripojitSUpravami(cnc::TVystup<char>& cil, TKurzorUprav& kurzor, std::string_view text, std::size_t od,
                       std::size_t po, std::size_t radek, std::size_t odBajtu);

// The renumbering pass (cnc::TPruchod) writes the rest of its lines with the
// edits: its line i is line prvniRadek + i of the text, its first line
// begins at byte odBajtu of that line (a selection that starts inside it).
class TZbytkySUpravami final : public cnc::TZbytekRadku {
public:
    TZbytkySUpravami(TKurzorUprav& kurzor, std::size_t prvniRadek = 0, std::size_t odBajtu = 0);
    void Zapsat(cnc::TVystup<char>& vystup, std::size_t radek, std::string_view text, std::size_t od) override;

private:
    void Posunout();
    TKurzorUprav& kurzor_;
    std::size_t prvni_, odBajtu_;
};
