// What a block command changed in a program's text, kept for undo and redo
// without a copy of the text: the spans in which two versions of the text
// differ, each with the bytes of the version not shown. A renumber changes
// only the digits of block numbers and references, a removal only deletes
// the numbers, an introduction only inserts them, so the record of a command
// on a million lines takes a few megabytes where a copy takes forty.
//
// The record is relative to the text shown: applying it to that text writes
// the other version and gives the record relative to the other version (the
// bytes swap sides), so one record serves undo and redo in turn.
//
// Also the line edits of a change (lines added or removed at a place), by
// which the lines of a later text are followed back to the lines of the
// original one for the marks of changed lines.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

// Lines added or removed where a change starts. Radek: the line where it
// starts (in the text before it and after it alike); Pridano: lines after
// minus lines before; Zachovano: how many of its lines continue as they were
// before the first added or removed one (added or removed lines follow
// them); NaZacatku: the lines were added or removed in front of line Radek
// (the line goes on below them: more of it lies behind the change than
// before it), not behind its first Zachovano + 1 lines.
struct TUpravaRadku {
    std::size_t Radek = 0;
    std::ptrdiff_t Pridano = 0;
    std::size_t Zachovano = 0;
    bool NaZacatku = false;
    bool operator==(const TUpravaRadku&) const = default;

    // The line before the edit that line radek after it continues; none for an added line.
    std::optional<std::size_t> Predtim(std::size_t radek) const;
};

// Line ends in bytes od .. po - 1 of a text: each LF, and each CR not
// followed by LF (the byte after po is looked at).
std::size_t KoncuRadku(std::string_view text, std::size_t od, std::size_t po);

// The edit of replacing bytes stary[od, od + delkaStara) by novy[od2, od2 +
// delkaNova) at line radek (the line of od2 in novy), as line ends count.
// Nothing when the count of lines stays.
std::optional<TUpravaRadku> UpravaRadku(std::string_view stary, std::size_t od, std::size_t delkaStara,
                                        std::string_view novy, std::size_t od2, std::size_t delkaNova,
                                        std::size_t radek);

class TZaznamZmen {
public:
    TZaznamZmen() = default;
    TZaznamZmen(TZaznamZmen&&) noexcept = default;
    TZaznamZmen& operator=(TZaznamZmen&&) noexcept = default;

    // The record that turns potom (shown) back into predtim, by a linear walk
    // of both: lines are paired in order, a pair that differs keeps the
    // bytes between its common start and end (and within them only what does
    // not match again after a few bytes), a line that only one of them has
    // is added or removed whole. Exact for any two texts; small when they
    // differ in little. The line edits, when radky is given, in order.
    // prubeh, when given, is told every few megabytes how far the walk is
    // in predtim (it must not change either text).
    using TPrubehRozdilu = std::function<void(std::size_t hotovo, std::size_t celkem)>;
    static TZaznamZmen Rozdil(std::string_view predtim, std::string_view potom,
                              std::vector<TUpravaRadku>* radky = nullptr, const TPrubehRozdilu& prubeh = {});

    // Writes the other version of zobrazeny (the text this record is
    // relative to) through pripojit, a callable taking std::string_view
    // pieces, and returns the record relative to the other version.
    template <typename F>
    TZaznamZmen Pouzit(std::string_view zobrazeny, F&& pripojit) const;

    // Lengths of the text shown and of the other version.
    std::size_t DelkaZobrazene() const { return delkaZobrazene_; }
    std::size_t DelkaJine() const { return delkaJine_; }
    std::size_t Useku() const { return useku_; }
    // Bytes the record takes.
    std::size_t Bajtu() const { return data_.Bajtu(); }
    bool Prazdny() const { return useku_ == 0; }

    // Appends a span: mezera unchanged bytes after the previous span, then
    // delkaZobrazene bytes of the text shown whose other version is jine.
    void Pridat(std::size_t mezera, std::size_t delkaZobrazene, std::string_view jine);
    // The text shown ends delkaZbytku unchanged bytes after the last span.
    void Uzavrit(std::size_t delkaZbytku);

private:
    // Bytes appended in pieces that never move, read from the start.
    class TBajty {
    public:
        TBajty() = default;
        TBajty(TBajty&& b) noexcept { *this = std::move(b); }
        TBajty& operator=(TBajty&& b) noexcept {
            kusy_ = std::move(b.kusy_);
            bajtu_ = std::exchange(b.bajtu_, 0);
            zapis_ = std::exchange(b.zapis_, nullptr);
            konec_ = std::exchange(b.konec_, nullptr);
            return *this;
        }
        void Pridat(const char* data, std::size_t n) {
            if (n <= 16 && n <= static_cast<std::size_t>(konec_ - zapis_)) {
                // A few bytes: no call of memcpy for them.
                for (std::size_t i = 0; i < n; ++i) zapis_[i] = static_cast<std::uint8_t>(data[i]);
                zapis_ += n;
                bajtu_ += n;
                return;
            }
            PridatDlouhe(data, n);
        }
        std::size_t Bajtu() const { return bajtu_; }
        // Room left in the piece being filled, written in place and then taken.
        std::size_t Volno() const { return static_cast<std::size_t>(konec_ - zapis_); }
        std::uint8_t* Zapis() { return zapis_; }
        void Posunout(std::size_t n) {
            zapis_ += n;
            bajtu_ += n;
        }

        class TCteni {
        public:
            explicit TCteni(const TBajty& b) : b_(b) {}
            std::uint8_t Bajt() {
                if (cteni_ == konec_) DalsiKus();
                return *cteni_++;
            }
            // The next n bytes, handed on in pieces.
            template <typename F>
            void Cist(std::size_t n, F&& pripojit) {
                while (n > 0) {
                    if (cteni_ == konec_) DalsiKus();
                    const std::size_t k = std::min(n, static_cast<std::size_t>(konec_ - cteni_));
                    pripojit(std::string_view(reinterpret_cast<const char*>(cteni_), k));
                    cteni_ += k;
                    n -= k;
                }
            }

        private:
            void DalsiKus();
            const TBajty& b_;
            std::size_t kus_ = 0;
            const std::uint8_t* cteni_ = nullptr;
            const std::uint8_t* konec_ = nullptr;
        };

    private:
        void PridatDlouhe(const char* data, std::size_t n);
        static constexpr std::size_t Kus = std::size_t{1} << 18;
        std::vector<std::unique_ptr<std::uint8_t[]>> kusy_;
        std::size_t bajtu_ = 0;
        std::uint8_t* zapis_ = nullptr;  // where the last piece goes on
        std::uint8_t* konec_ = nullptr;
    };

    static std::size_t CistCislo(TBajty::TCteni& c);

    TBajty data_;
    std::size_t useku_ = 0;
    std::size_t delkaZobrazene_ = 0, delkaJine_ = 0;
};

template <typename F>
TZaznamZmen TZaznamZmen::Pouzit(std::string_view zobrazeny, F&& pripojit) const {
    TZaznamZmen opacny;
    TBajty::TCteni cteni(data_);
    std::size_t pozice = 0;
    for (std::size_t i = 0; i < useku_; ++i) {
        const std::size_t mezera = CistCislo(cteni);
        const std::uint8_t delky = cteni.Bajt();
        std::size_t delkaZobrazene = delky >> 4, delkaJine = delky & 15;
        if (delkaZobrazene == 15) delkaZobrazene += CistCislo(cteni);
        if (delkaJine == 15) delkaJine += CistCislo(cteni);
        pripojit(zobrazeny.substr(pozice, mezera));
        pozice += mezera;
        // The other version's bytes become the shown ones of the opposite record, and these its other.
        cteni.Cist(delkaJine, pripojit);
        opacny.Pridat(mezera, delkaJine, zobrazeny.substr(pozice, delkaZobrazene));
        pozice += delkaZobrazene;
    }
    pripojit(zobrazeny.substr(pozice));
    opacny.Uzavrit(zobrazeny.size() - pozice);
    return opacny;
}
