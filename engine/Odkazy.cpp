// The resolution pass: finds the references of each program as its lines
// come (the front of each line read by engine/SkenerOdkazu.h, the words by
// engine/GramatikaOdkazu.cpp), keeps the program's blocks, and when the
// program ends resolves its references against them, before a command and
// after it; the returns of subprograms at the end of the text.
#include "Odkazy.h"

#include "GramatikaOdkazu.h"
#include "SkenerOdkazu.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <stdexcept>

using namespace odkazy;

namespace {

// The bits of the numbers that a program's references look up: up to 128 KiB.
constexpr std::uint64_t MaxBituCilu = std::uint64_t{1} << 20;

}  // namespace

std::size_t TVysledekOdkazu::PocetNevyresenych() const {
    return static_cast<std::size_t>(std::count_if(Odkazy.begin(), Odkazy.end(),
                                                  [](const TOdkaz& o) { return o.Stav != TStavOdkazu::Vyreseny; }));
}

std::size_t TVysledekOdkazu::PocetZmenenychCilu() const {
    return static_cast<std::size_t>(
        std::count_if(Odkazy.begin(), Odkazy.end(), [](const TOdkaz& o) { return ZmenilCil(o.Stav); }));
}

TDruhyOdkazu TVysledekOdkazu::RodinyNectenych() const {
    TDruhyOdkazu d;
    for (const TOdkaz& o : Nectena) d = d | TDruhyOdkazu::Ctouci(o.Druh);
    return d;
}

TZnakyOdkazu ZnakyOdkazu(const cnc::TZadani<char>& z) { return ZnakyOdkazu(z, TDruhyOdkazu::Dosavadni()); }

TZnakyOdkazu ZnakyOdkazu(const cnc::TZadani<char>& z, TDruhyOdkazu druhy) {
    return {z.HlavniZnak.Text,        z.VedlejsiZnak.Text,        z.Zacatek.Text,        z.Komentar.Text,
            z.HlavniZnak.MuzeZacinat, z.VedlejsiZnak.MuzeZacinat, z.Zacatek.MuzeZacinat, druhy};
}

// ---------------------------------------------------------------- the pass

namespace {

bool RezimZnaku(const TZnakyOdkazu& z) { return !z.HlavniZnak.empty() && !z.VedlejsiZnak.empty(); }

}  // namespace

// The pass's state: the program being read, its blocks and references, and
// what the end of the text needs.
class TOdkazyBloku::TStav {
public:
    explicit TStav(const TZnakyOdkazu& znaky);
    TStav(const TZnakyOdkazu& znaky, const TCislovaniOdkazu& cislovani, std::optional<TVyberRadku> vyber,
          bool upravovat);
    TStav(const TZnakyOdkazu& znaky, const TZavedeniOdkazu& zavedeni);

    void Pridat(std::string_view kus);
    TVysledekOdkazu Dokoncit();

    bool jenNevyresene_ = false;
    cnc::TPocty pocty_;

    enum class TRezim : std::uint8_t { Vypis, Zavedeni, Precislovani, PrecislovaniBezUprav };

    // A block line of the program being read, with a number from MalaCisla on.
    struct TBlokProgramu {
        std::uint32_t Stare;  // its number; the largest 32-bit number for one that does not fit
        std::uint32_t Nove;   // its new number, when Precislovany
        std::uint32_t Radek;
        bool Precislovany;
    };
    // The blocks of the program being read, in pieces that never move: a
    // program of a million blocks is not copied as it grows, and the pieces
    // stay from program to program.
    class TBlokyProgramu {
    public:
        void Pridat(const TBlokProgramu& b) {
            if (pocet_ == kusy_.size() * Kus) kusy_.push_back(std::make_unique_for_overwrite<TBlokProgramu[]>(Kus));
            kusy_[pocet_ / Kus][pocet_ % Kus] = b;
            ++pocet_;
        }
        void Vyprazdnit() { pocet_ = 0; }
        template <typename F>
        void ProKazdy(F f) const {
            for (std::size_t i = 0; i < pocet_; i += Kus) {
                const TBlokProgramu* k = kusy_[i / Kus].get();
                const std::size_t n = std::min(Kus, pocet_ - i);
                for (std::size_t j = 0; j < n; ++j) f(k[j]);
            }
        }

    private:
        static constexpr std::size_t Kus = std::size_t{1} << 16;
        std::vector<std::unique_ptr<TBlokProgramu[]>> kusy_;
        std::size_t pocet_ = 0;
    };
    // The blocks of the program that carry a number below MalaCisla, by the
    // number: how many (2: more than one), and the first of them. A table
    // of numbers, not of blocks: a program of ten million blocks numbered
    // up to 9999 needs ten thousand entries. An entry of another program
    // (Generace) counts as empty.
    static constexpr std::uint32_t MalaCisla = std::uint32_t{1} << 17;
    struct TStareCislo {
        std::uint32_t Generace = 0;
        std::uint32_t Radek = 0;
        std::uint32_t Nove = 0;
        std::uint8_t Pocet = 0;
        bool Precislovany = false;
    };
    // The blocks that carry a number below MalaCisla after the renumber of a
    // selection: how many, and the first of them. (A renumber of whole
    // programs knows how many from its sequence, and keeps only the line
    // that last got each number: radkyNovych_.)
    struct TKonecneCislo {
        std::uint32_t Generace = 0;
        std::uint32_t Pocet = 0;
        std::uint32_t Radek = 0;
    };
    // A number that blocks are looked up by, and the blocks that carry it.
    struct THledany {
        std::uint64_t Cislo = 0;
        std::size_t Pocet = 0;
        std::uint32_t Radek = 0;  // the first block that carries it
        std::uint32_t Nove = 0;
        bool Precislovany = false;
    };
    // The blocks of a program that calls others, kept to the end of the
    // text by number: before the command (Pocet up to 2) and after it.
    struct TZaznamBloku {
        std::uint64_t Cislo = 0;
        std::uint32_t Radek = 0;
        std::uint32_t Nove = 0;
        std::uint32_t Pocet = 0;
        bool Precislovany = false;
    };
    // A program that the end of the text needs: one that calls others (its
    // blocks in the archives), or a subprogram with returns that has a number.
    struct TProgram {
        std::size_t Index = 0;       // TOdkaz::Program
        std::uint64_t Cislo = 0;     // its number; BezCisla for none
        bool Dotceny = false;        // it concerns the command
        std::size_t OdStarych = 0, PoStarych = 0, OdKonecnych = 0, PoKonecnych = 0;  // in the archives
    };
    struct TVolani {
        std::size_t Program = 0;  // the calling program
        std::uint64_t Cislo = 0;  // its P
    };
    // Where the blocks that references are resolved against come from: the
    // program being read, or the archived programs that call a subprogram.
    struct TZiveBloky;
    struct TVolajici;

    // spoustec: false when the line holds none of the letters that start a
    // reference; konec: false when it holds no M (of a program end).
    void Radek(std::string_view radek, bool spoustec, bool konec);
    void Nectene(std::string_view radek);
    bool VRozsahu(std::size_t radek) const;
    void UzavritProgram();
    template <typename Z>
    void Vyresit(const Z& zdroj, bool vsechnyRuzne);
    bool NoveCislaRuzna() const;
    bool NovaStoupaji() const;
    template <typename F>
    void ProNovaCisla(F f) const;
    void ZapsatBlok(std::uint32_t stare, std::uint32_t nove, bool precislovany);
    void Archivovat();
    void VyresitNavraty();
    void Upravit(TOdkaz& o);
    THledany* Najit(std::uint64_t cislo);
    bool SeraditHledane();

    TPravidlaBloku pravidla_;
    TRezim rezim_ = TRezim::Vypis;
    std::optional<TCislovaniOdkazu> cislovani_;  // renumbering, and introducing
    std::optional<TVyberRadku> vyber_;
    std::optional<TZavedeniOdkazu> zavedeni_;
    bool konecPouzitelny_ = false, komentarPouzitelny_ = false;

    std::size_t radek_ = 0;    // the line being read
    std::size_t program_ = 0;  // its program: program starts so far
    bool dotceny_ = false;     // the program concerns the command
    bool rezimZnaku_ = false;  // both block characters set: the count's marker mode
    // The program being read: its number, whether it holds a program end,
    // whether it calls others.
    std::uint64_t cisloProgramu_ = BezCisla;
    bool konecProgramu_ = false, volaProgram_ = false;
    bool poZacatku_ = false;  // the line before is a start line (for the program number after it)
    // The front of the selection's first line that the renumbering rewrites,
    // when the selection starts inside the line: bytes [od, po).
    std::size_t prepsanoOd_ = 0, prepsanoPo_ = 0;
    // Where the selection ends inside its last line (npos: it does not).
    std::size_t useknuto_ = std::string_view::npos;
    // The running number of the renumber or of introducing; the blocks it has
    // numbered in the program, and in the sequence up to the program; the
    // program's first new number.
    std::uint32_t cislo_ = 0, prvniNove_ = 0;
    std::size_t vProgramu_ = 0, vPosloupnosti_ = 0, predProgramem_ = 0;
    bool celePrecislovani_ = false;  // a renumber of whole programs (no selection)
    bool navraty_ = false;           // the file type reads M99 P

    TVysledekOdkazu vysledek_;
    std::size_t odkazyProgramu_ = 0;  // the program's references: from here to the end of Odkazy
    std::size_t textyProgramu_ = 0;   // and their texts, from here to the end of Texty
    // The program's blocks: by their numbers below MalaCisla, old and after
    // the renumber; the blocks with a larger one of the two in bloky_.
    std::vector<TStareCislo> staraCisla_;
    std::vector<TKonecneCislo> konecnaCisla_;
    std::vector<std::uint32_t> radkyNovych_;  // by a new number below MalaCisla: the line that got it last
    std::uint32_t generace_ = 1;
    TBlokyProgramu bloky_;
    std::vector<THledany> hledane_;   // sorted by number
    std::vector<std::uint64_t> mapaCilu_;  // a bit for each number in hledane_ (the smaller ones)
    std::size_t kurzor_ = 0;
    std::vector<TOdkaz> slova_;       // the P and Q words of a line until the line tells what they are
    std::vector<TOdkaz> nectena_;     // the words of a line that the type's families do not read
    // The program's unread words: from here on in Nectena, their count, their texts from here on.
    std::size_t nectenaProgramu_ = 0, pocetNectenychProgramu_ = 0, textyNectenychProgramu_ = 0;
    std::vector<std::size_t> vybrane_;  // the references being resolved, by their place in Odkazy

    // What the returns of subprograms need at the end of the text.
    std::vector<TProgram> programy_;
    std::vector<TZaznamBloku> archivStarych_, archivKonecnych_;
    std::vector<TVolani> volani_;
    std::vector<std::uint64_t> cislaProgramu_;  // every program number of the text
    std::vector<std::size_t> odlozene_;  // the returns of subprograms with a number, by their place in Odkazy
    bool upravyMimoPoradi_ = false;
};

TOdkazyBloku::TStav::TStav(const TZnakyOdkazu& znaky)
    : pravidla_(znaky), rezim_(TRezim::Vypis), dotceny_(true), rezimZnaku_(RezimZnaku(znaky)) {
    navraty_ = znaky.Druhy.Ma(TRodinaOdkazu::NavratM99);
}

TOdkazyBloku::TStav::TStav(const TZnakyOdkazu& znaky, const TCislovaniOdkazu& cislovani,
                           std::optional<TVyberRadku> vyber, bool upravovat)
    : TStav(znaky) {
    rezim_ = upravovat ? TRezim::Precislovani : TRezim::PrecislovaniBezUprav;
    cislovani_ = cislovani;
    vyber_ = vyber;
    dotceny_ = false;
    cislo_ = cislovani.PrvniBlok;
    celePrecislovani_ = !vyber;
}

TOdkazyBloku::TStav::TStav(const TZnakyOdkazu& znaky, const TZavedeniOdkazu& zavedeni) : TStav(znaky) {
    rezim_ = TRezim::Zavedeni;
    cislovani_ = zavedeni.Cislovani;
    zavedeni_ = zavedeni;
    konecPouzitelny_ = zavedeni.KonecMuze && DelkaUtf16(zavedeni.Konec) <= MaxDelkaZnacky;
    komentarPouzitelny_ = znaky.Komentar.empty() || (zavedeni.KomentarMuze && DelkaUtf16(znaky.Komentar) <= MaxDelkaZnacky);
    cislo_ = zavedeni.Cislovani.PrvniBlok;
}

bool TOdkazyBloku::TStav::VRozsahu(std::size_t radek) const {
    return !vyber_ || (radek >= vyber_->Od && radek < vyber_->Po);
}

// Inline in both callers: it runs for every line.
VZDY_INLINE void TOdkazyBloku::TStav::Radek(std::string_view radek, bool spoustec, bool konec) {
    if (radek_ >= VelkeCisloBloku) throw std::length_error("more lines than references can count");
    TPravidlaBloku::TBlok b = RozebratRadek(pravidla_, radek);
    const bool zacatek = ZacatekOd(pravidla_, radek, b.Odsazeni);
    // A program number right after a start line is no block line, even where
    // its ":" is a block character; but not for a selection that starts
    // inside the line, whose piece the renumbering takes as it comes.
    std::uint64_t cisloProgramu = BezCisla;
    if (poZacatku_ && !(vyber_ && radek_ == vyber_->Od && vyber_->OdBajtu > 0)) {
        cisloProgramu = CisloProgramuZaZacatkem(pravidla_, radek, b);
        if (cisloProgramu != BezCisla) {
            b.Blokovy = false;
            b.Cislic = 0;
            b.Konec = b.Odsazeni;
        }
    }
    poZacatku_ = ZacatekProCislo(pravidla_, radek, b, zacatek);
    // A program starts at a start line, or at a program number (a block line
    // has none). Introducing reads the text it writes: a start line it
    // numbers starts none there; program numbers it leaves as they are.
    bool noveProgram = zacatek;
    if (cisloProgramu == BezCisla && !zacatek && b.Cislic == 0) cisloProgramu = CisloProgramu(radek, b);
    if (rezim_ == TRezim::Zavedeni) noveProgram = zacatek && !zavedeni_->BlokPredZnakZacatku;
    if (noveProgram || cisloProgramu != BezCisla) {
        UzavritProgram();
        ++program_;
        if (zacatek) vPosloupnosti_ = 0;
        predProgramem_ = vPosloupnosti_;
        cisloProgramu_ = cisloProgramu;
        if (cisloProgramu != BezCisla) cislaProgramu_.push_back(cisloProgramu);
    }
    // The count's test: in marker mode the block line of the renumbering,
    // else a digit after the trim.
    ++pocty_.Radku;
    pocty_.Bloku += rezimZnaku_ ? b.Blokovy : (b.Odsazeni < radek.size() && JeCislice(radek[b.Odsazeni]));

    // The command's own pass over its lines: the selection's first line from
    // inside, its last one up to where the selection ends.
    bool precislovany = false;
    std::uint32_t nove = 0;
    std::size_t konecOd = b.Konec;  // where the line's first word is looked for, as the command writes the line
    if (celePrecislovani_) {
        // All the lines, each whole: the common case, without the selection's tests.
        dotceny_ = true;
        if (zacatek) cislo_ = cislovani_->PrvniBlok;
        if (b.Blokovy && b.Cislic > 0) {
            nove = cislo_;
            if (vProgramu_ == 0) prvniNove_ = cislo_;
            const TCislovaniOdkazu& c = *cislovani_;
            cislo_ = TCNCFile::DalsiCislo(cislo_, c.PrvniBlok, c.Prirustek, c.MaximalniBlok, c.CislovatOdZacatku);
            ++vProgramu_;
            ++vPosloupnosti_;
            precislovany = true;
        }
    } else if (rezim_ == TRezim::Zavedeni) {
        // The number the line gets, as introducing gives it; its old one, if any, no longer leads.
        const TZavedeniOdkazu& z = *zavedeni_;
        const std::string_view s = radek.substr(b.Odsazeni);
        bool cislovat = true;
        if (zacatek) {
            cislo_ = z.Cislovani.PrvniBlok;
            cislovat = z.BlokPredZnakZacatku;
        } else if (cisloProgramu != BezCisla) {
            cislovat = false;  // a program number keeps its place
        } else if (!z.Konec.empty() && ZacinaNa(s, z.Konec, konecPouzitelny_)) {
            cislovat = z.BlokPredZnakKonce;
        } else if (!pravidla_.Znaky.Komentar.empty() && ZacinaNa(s, pravidla_.Znaky.Komentar, komentarPouzitelny_)) {
            cislovat = z.BlokPredZnakKomentare;
        }
        if (cislovat) {
            // The line's first word follows the number, behind a block-skip mark.
            konecOd = b.Odsazeni;
            if (!pravidla_.Znaky.VedlejsiZnak.empty() && konecOd < radek.size() && radek[konecOd] == '/')
                konecOd += konecOd + 1 < radek.size() && radek[konecOd + 1] >= '1' && radek[konecOd + 1] <= '9' &&
                                   !(konecOd + 2 < radek.size() && JeCislice(radek[konecOd + 2]))
                               ? 2
                               : 1;
            ZapsatBlok(cislo_, 0, false);
            const TCislovaniOdkazu& c = z.Cislovani;
            cislo_ = TCNCFile::DalsiCislo(cislo_, c.PrvniBlok, c.Prirustek, c.MaximalniBlok, c.CislovatOdZacatku);
        }
    } else if (cislovani_ && VRozsahu(radek_)) {
        dotceny_ = true;
        const bool zevnitr = vyber_ && radek_ == vyber_->Od && vyber_->OdBajtu > 0;
        const bool useknuty = vyber_ && radek_ + 1 == vyber_->Po && vyber_->PoBajtu < radek.size();
        const std::size_t od = zevnitr ? std::min(vyber_->OdBajtu, radek.size()) : 0;
        const std::size_t po = useknuty ? std::max(vyber_->PoBajtu, od) : radek.size();
        const std::string_view kus = radek.substr(od, po - od);
        const bool cely = !zevnitr && !useknuty;
        // The start test on the line as the renumbering gets it.
        if (cely ? zacatek : pravidla_.JeZacatek(kus)) cislo_ = cislovani_->PrvniBlok;
        const TPravidlaBloku::TBlok k = cely ? b : RozebratRadek(pravidla_, kus);
        if (k.Blokovy && k.Cislic > 0) {
            nove = cislo_;
            const TCislovaniOdkazu& c = *cislovani_;
            cislo_ = TCNCFile::DalsiCislo(cislo_, c.PrvniBlok, c.Prirustek, c.MaximalniBlok, c.CislovatOdZacatku);
            ++vProgramu_;
            // The number renumbered is the line's own when it is the same
            // digits: not a number further in the line, nor a part of it.
            precislovany = cely || (b.Cislic > 0 && od + k.Cislice == b.Cislice && k.Cislic == b.Cislic);
        }
        if (zevnitr && vyber_->OdBajtu > b.Odsazeni) {
            // The renumbering trims the piece and rewrites its front as it would a block number.
            prepsanoOd_ = od;
            prepsanoPo_ = prepsanoOd_ + k.Konec;
        }
        if (useknuty) useknuto_ = po;
    }
    if (rezim_ != TRezim::Zavedeni && b.Blokovy && b.Cislic > 0)
        ZapsatBlok(static_cast<std::uint32_t>(std::min<std::uint64_t>(b.Hodnota, VelkeCisloBloku)), nove, precislovany);

    // The returns tell a main program (it ends) from a subprogram.
    if (navraty_ && !konecProgramu_ && konec) konecProgramu_ = JeKonecProgramu(radek, konecOd, pravidla_.Znaky.Komentar);
    // A line of 4 GiB or more is not read for references (edits count its bytes in 32 bits).
    const std::string_view kod = radek.substr(b.Konec);
    if (spoustec && radek.size() <= std::numeric_limits<std::uint32_t>::max() && MoznaOdkaz(kod)) {
        const std::size_t prvni = vysledek_.Odkazy.size();
        nectena_.clear();
        const std::uint64_t volany =
            CistKod(radek, b.Konec, pravidla_, radek_, vysledek_.Odkazy, slova_, vysledek_.Texty, nectena_);
        for (std::size_t i = prvni; i < vysledek_.Odkazy.size(); ++i) vysledek_.Odkazy[i].Program = program_;
        if (volany != BezCisla) {
            volani_.push_back({program_, volany});
            volaProgram_ = true;
        }
        if (!nectena_.empty()) Nectene(radek);
    }
    ++radek_;
}


// The words of the line that only families the type does not read would read.
void TOdkazyBloku::TStav::Nectene(std::string_view radek) {
    vysledek_.PocetNectenych += nectena_.size();
    for (TOdkaz o : nectena_) {
        if (vysledek_.Nectena.size() == TVysledekOdkazu::MaxNectenych) break;
        o.Program = program_;
        const std::size_t text = vysledek_.TextyNectenych.size();
        vysledek_.TextyNectenych.append(radek.substr(o.Text, o.DelkaTextu));
        o.Text = text;
        vysledek_.Nectena.push_back(o);
    }
}

// Inline in the pass: it runs for every block line.
VZDY_INLINE void TOdkazyBloku::TStav::ZapsatBlok(std::uint32_t stare, std::uint32_t nove, bool precislovany) {
    const auto radek = static_cast<std::uint32_t>(radek_);
    bool jinde = false;
    if (stare < MalaCisla) {
        if (stare >= staraCisla_.size()) staraCisla_.resize(std::bit_ceil(std::size_t{stare} + 1));
        TStareCislo& e = staraCisla_[stare];
        if (e.Generace != generace_)
            e = {.Generace = generace_, .Radek = radek, .Nove = nove, .Pocet = 1, .Precislovany = precislovany};
        else if (e.Pocet < 2)
            ++e.Pocet;
    } else {
        jinde = true;
    }
    // The numbers after a renumber: which blocks carry them, for what the
    // references reach in the text it writes. A renumber of whole programs
    // gives every block its new number: the line that got it.
    if (celePrecislovani_) {
        if (nove < MalaCisla) {
            if (nove >= radkyNovych_.size()) radkyNovych_.resize(std::bit_ceil(std::size_t{nove} + 1));
            radkyNovych_[nove] = radek;
        } else {
            jinde = true;
        }
    } else if (vyber_) {
        const std::uint32_t konecne = precislovany ? nove : stare;
        if (konecne < MalaCisla) {
            if (konecne >= konecnaCisla_.size()) konecnaCisla_.resize(std::bit_ceil(std::size_t{konecne} + 1));
            TKonecneCislo& e = konecnaCisla_[konecne];
            if (e.Generace != generace_) e = {.Generace = generace_, .Pocet = 0, .Radek = radek};
            ++e.Pocet;
        } else {
            jinde = true;
        }
    }
    if (jinde) bloky_.Pridat({stare, nove, radek, precislovany});
}

void TOdkazyBloku::TStav::Pridat(std::string_view kus) {
    // The lines as cnc::TPruchod splits them: CR LF, a lone CR or a lone LF
    // ends a line, and a break at the very end opens no further line.
    const std::size_t n = kus.size();
    TOknaTextu okna(kus);
    for (std::size_t i = 0; i < n;) {
        // A line without the letters holds no reference, one without an M no program end.
        bool spoustec = false, m = false;
        const std::size_t konec = okna.KonecRadku(i, spoustec, m);
        Radek(kus.substr(i, konec - i), spoustec, m);
        if (konec == n) return;
        i = cnc::ZaZlomem(kus, konec);
    }
}

TOdkazyBloku::TStav::THledany* TOdkazyBloku::TStav::Najit(std::uint64_t cislo) {
    // Block numbers mostly rise through a program: the place of the last
    // number looked up is, or is next to, the place of this one.
    const auto v = hledane_.begin();
    const std::size_t n = hledane_.size();
    const auto prvni = [&](std::size_t od, std::size_t po) {
        return static_cast<std::size_t>(
            std::lower_bound(v + static_cast<std::ptrdiff_t>(od), v + static_cast<std::ptrdiff_t>(po), cislo,
                             [](const THledany& h, std::uint64_t c) { return h.Cislo < c; }) -
            v);
    };
    std::size_t i = kurzor_;
    if (i < n && v[i].Cislo < cislo) {
        ++i;
        if (i < n && v[i].Cislo < cislo) i = prvni(i + 1, n);
    } else if (i > 0 && v[i - 1].Cislo >= cislo) {
        i = prvni(0, i - 1);
    }
    kurzor_ = i;
    return i < n && v[i].Cislo == cislo ? &v[i] : nullptr;
}

bool TOdkazyBloku::TStav::SeraditHledane() {
    std::sort(hledane_.begin(), hledane_.end(), [](const THledany& a, const THledany& b) { return a.Cislo < b.Cislo; });
    hledane_.erase(std::unique(hledane_.begin(), hledane_.end(),
                               [](const THledany& a, const THledany& b) { return a.Cislo == b.Cislo; }),
                   hledane_.end());
    kurzor_ = 0;
    return !hledane_.empty();
}

// The blocks of the program being read.
struct TOdkazyBloku::TStav::TZiveBloky {
    TStav& o;

    // The numbers below MalaCisla from their table, the others from the blocks that carry them.
    void Stara() const {
        for (THledany& h : o.hledane_) {
            if (h.Cislo >= o.staraCisla_.size()) break;
            const TStareCislo& e = o.staraCisla_[h.Cislo];
            if (e.Generace != o.generace_) continue;
            h.Pocet = e.Pocet;
            h.Radek = e.Radek;
            h.Nove = e.Nove;
            h.Precislovany = e.Precislovany;
        }
        // Most blocks are no target: a bit for each number looked up passes them
        // over without a search (numbers past the bits are searched).
        // The bits stay allocated from program to program; only those set are cleared.
        const std::uint64_t posledni = o.hledane_.back().Cislo;
        if (posledni < MalaCisla) return;
        const std::size_t bitu = static_cast<std::size_t>(std::min<std::uint64_t>(posledni + 1, MaxBituCilu));
        auto& mapa = o.mapaCilu_;
        if (mapa.size() * 64 < bitu) mapa.resize((bitu + 63) / 64);
        for (const THledany& h : o.hledane_)
            if (h.Cislo < bitu) mapa[h.Cislo / 64] |= std::uint64_t{1} << (h.Cislo % 64);
        o.bloky_.ProKazdy([&](const TBlokProgramu& b) {
            if (b.Stare < MalaCisla) return;
            if (b.Stare < bitu ? !((mapa[b.Stare / 64] >> (b.Stare % 64)) & 1) : b.Stare == VelkeCisloBloku) return;
            THledany* h = o.Najit(b.Stare);
            if (!h || h->Pocet++ > 0) return;
            h->Radek = b.Radek;
            h->Nove = b.Nove;
            h->Precislovany = b.Precislovany;
        });
        for (const THledany& h : o.hledane_)
            if (h.Cislo < bitu) mapa[h.Cislo / 64] = 0;
    }

    // The numbers after the renumber: of a whole program from its sequence,
    // the lines from those that got them; of a selection from the table and
    // the blocks, as the old ones.
    void Konecna() const {
        if (o.celePrecislovani_) {
            if (o.NovaStoupaji()) {
                const std::uint64_t prvni = o.prvniNove_, krok = std::max<std::uint64_t>(o.cislovani_->Prirustek, 1);
                for (THledany& h : o.hledane_)
                    h.Pocet = o.vProgramu_ > 0 && h.Cislo >= prvni && (h.Cislo - prvni) % krok == 0 &&
                              (h.Cislo - prvni) / krok < o.vProgramu_;
            } else {
                o.ProNovaCisla([&](std::uint64_t cislo) {
                    if (THledany* h = o.Najit(cislo)) ++h->Pocet;
                });
            }
            bool velka = false;
            for (THledany& h : o.hledane_) {
                if (h.Pocet == 0) continue;
                if (h.Cislo < MalaCisla)
                    h.Radek = o.radkyNovych_[h.Cislo];
                else
                    velka = true;
            }
            if (velka)
                o.bloky_.ProKazdy([&](const TBlokProgramu& b) {
                    if (THledany* h = b.Nove >= MalaCisla ? o.Najit(b.Nove) : nullptr) h->Radek = b.Radek;
                });
            return;
        }
        for (THledany& h : o.hledane_) {
            if (h.Cislo >= o.konecnaCisla_.size()) break;
            const TKonecneCislo& e = o.konecnaCisla_[h.Cislo];
            if (e.Generace != o.generace_) continue;
            h.Pocet = e.Pocet;
            h.Radek = e.Radek;
        }
        if (o.hledane_.back().Cislo < MalaCisla) return;
        o.bloky_.ProKazdy([&](const TBlokProgramu& b) {
            const std::uint64_t cislo = b.Precislovany ? b.Nove : b.Stare;
            if (cislo < MalaCisla || (!b.Precislovany && b.Stare == VelkeCisloBloku)) return;
            if (THledany* h = o.Najit(cislo))
                if (h->Pocet++ == 0) h->Radek = b.Radek;
        });
    }
};

// The archived programs that call a subprogram: a block carried in more of
// them counts once in each.
struct TOdkazyBloku::TStav::TVolajici {
    TStav& o;
    const std::vector<const TProgram*>& programy;

    void Hledat(const std::vector<TZaznamBloku>& archiv, bool konecne) const {
        for (const TProgram* p : programy) {
            const auto od = archiv.begin() + static_cast<std::ptrdiff_t>(konecne ? p->OdKonecnych : p->OdStarych);
            const auto po = archiv.begin() + static_cast<std::ptrdiff_t>(konecne ? p->PoKonecnych : p->PoStarych);
            for (THledany& h : o.hledane_) {
                const auto e = std::lower_bound(od, po, h.Cislo,
                                                [](const TZaznamBloku& z, std::uint64_t c) { return z.Cislo < c; });
                if (e == po || e->Cislo != h.Cislo) continue;
                if (h.Pocet == 0) {
                    h.Radek = e->Radek;
                    h.Nove = e->Nove;
                    h.Precislovany = e->Precislovany;
                }
                h.Pocet += e->Pocet;
            }
        }
    }
    void Stara() const { Hledat(o.archivStarych_, false); }
    void Konecna() const { Hledat(o.archivKonecnych_, true); }
};

// Whether the new numbers of a whole program rise all the way (the common
// case): every one but the last below the maximum, the last within 32 bits.
// Then they are the first one and its steps, each once.
bool TOdkazyBloku::TStav::NovaStoupaji() const {
    const TCislovaniOdkazu& c = *cislovani_;
    const std::uint64_t prvni = prvniNove_, krok = c.Prirustek, n = vProgramu_;
    return n <= 1 || (krok > 0 && prvni + (n - 2) * krok < c.MaximalniBlok &&
                      prvni + (n - 1) * krok <= std::numeric_limits<std::uint32_t>::max());
}

// Calls f with the new number of each block of a whole program, in order:
// the sequence from the program's first new number on.
template <typename F>
void TOdkazyBloku::TStav::ProNovaCisla(F f) const {
    const TCislovaniOdkazu& c = *cislovani_;
    std::uint32_t cislo = prvniNove_;
    for (std::size_t k = 0; k < vProgramu_; ++k) {
        f(cislo);
        cislo = TCNCFile::DalsiCislo(cislo, c.PrvniBlok, c.Prirustek, c.MaximalniBlok, c.CislovatOdZacatku);
    }
}

bool TOdkazyBloku::TStav::NoveCislaRuzna() const {
    // Only a renumber of whole programs that updates the references can know
    // it from the sequence: it rises from the first number until it reaches
    // the maximum, then starts again or keeps the number. The program's
    // blocks take its numbers from place predProgramem_ on.
    if (rezim_ != TRezim::Precislovani || vyber_) return false;
    const TCislovaniOdkazu& c = *cislovani_;
    std::size_t ruznych;  // distinct numbers of the sequence; 0: it may wrap round the 32 bits, not known
    if (c.PrvniBlok >= c.MaximalniBlok || c.Prirustek == 0)
        ruznych = 1;
    else if (c.MaximalniBlok - 1 > std::numeric_limits<std::uint32_t>::max() - c.Prirustek)
        ruznych = 0;
    else
        ruznych = (c.MaximalniBlok - c.PrvniBlok + c.Prirustek - 1) / c.Prirustek + 1;
    if (ruznych == 0) return false;
    return c.CislovatOdZacatku ? vProgramu_ <= ruznych : predProgramem_ + vProgramu_ <= ruznych;
}

void TOdkazyBloku::TStav::Upravit(TOdkaz& o) {
    // The number in its own form: a number written with leading zeros keeps its width.
    const std::string_view stare = vysledek_.TextCile(o).substr(o.DelkaTextu - o.Delka);
    TUpravaOdkazu u{.Radek = static_cast<std::uint32_t>(o.Radek),
                    .Pozice = static_cast<std::uint32_t>(o.Pozice),
                    .Delka = static_cast<std::uint32_t>(o.Delka),
                    .Cislo = o.NoveCislo};
    if (stare.size() > 1 && stare[0] == '0') u.Sirka = static_cast<std::uint32_t>(stare.size());
    // The target as the line reads now, at the end of the texts: its
    // block character, if any, and the new number; dropped when the
    // number reads as before.
    std::string& texty = vysledek_.Texty;
    const std::size_t text = texty.size(), predCislem = o.DelkaTextu - o.Delka;
    texty.reserve(text + predCislem + std::max<std::size_t>(u.Sirka, 10));  // the copy below reads texty
    texty.append(texty, o.Text, predCislem);
    u.Zapsat([&](std::string_view k) { texty += k; });
    const std::string_view vse = texty;
    if (vse.substr(text + predCislem) == vse.substr(o.Text + predCislem, o.Delka)) {
        texty.resize(text);
        return;
    }
    vysledek_.Upravy.push_back(u);
    o.Text = text;
    o.DelkaTextu = texty.size() - text;
}

template <typename Z>
void TOdkazyBloku::TStav::Vyresit(const Z& zdroj, bool vsechnyRuzne) {
    auto& odkazy = vysledek_.Odkazy;
    // Before the command: the blocks that carry each number.
    hledane_.clear();
    for (const std::size_t i : vybrane_) {
        const TOdkaz& o = odkazy[i];
        if (o.Stav == TStavOdkazu::ChybiCil && o.Cil < VelkeCisloBloku) hledane_.push_back({.Cislo = o.Cil});
    }
    if (!SeraditHledane()) return;
    zdroj.Stara();
    bool nevyresene = false;  // a number that no block, or more, carry
    for (const std::size_t i : vybrane_) {
        TOdkaz& o = odkazy[i];
        if (o.Stav != TStavOdkazu::ChybiCil || o.Cil >= VelkeCisloBloku) continue;
        const THledany* h = Najit(o.Cil);
        if (h->Pocet != 1) {
            if (h->Pocet > 1) o.Stav = TStavOdkazu::VicekratCil;
            nevyresene = true;
            continue;
        }
        // Introducing: no block carried the number; the line that gets it will.
        o.Stav = rezim_ == TRezim::Zavedeni ? TStavOdkazu::NaNovyBlok : TStavOdkazu::Vyreseny;
        o.CilovyRadek = h->Radek;
        o.Precislovany = h->Precislovany;
        o.NoveCislo = h->Nove;
        if (rezim_ == TRezim::Precislovani && o.Precislovany) Upravit(o);
    }

    // After a renumber: what each number reaches in the text it writes. A
    // renumber that updates every reference of distinct numbers changes none.
    if (rezim_ != TRezim::Precislovani && rezim_ != TRezim::PrecislovaniBezUprav) return;
    if (!nevyresene && vsechnyRuzne) return;
    const auto poPrikazu = [&](const TOdkaz& o) -> std::uint64_t {
        return rezim_ == TRezim::Precislovani && o.Stav == TStavOdkazu::Vyreseny && o.Precislovany ? o.NoveCislo
                                                                                                    : o.Cil;
    };
    const auto sledovany = [](const TOdkaz& o) {
        return (o.Stav == TStavOdkazu::Vyreseny || o.Stav == TStavOdkazu::ChybiCil ||
                o.Stav == TStavOdkazu::VicekratCil) &&
               o.Cil < VelkeCisloBloku;
    };
    hledane_.clear();
    for (const std::size_t i : vybrane_)
        if (sledovany(odkazy[i])) hledane_.push_back({.Cislo = poPrikazu(odkazy[i])});
    if (!SeraditHledane()) return;
    zdroj.Konecna();
    for (const std::size_t i : vybrane_) {
        TOdkaz& o = odkazy[i];
        if (!sledovany(o)) continue;
        const THledany* h = Najit(poPrikazu(o));
        const std::size_t pocet = h->Pocet;
        const std::size_t driv = o.Stav == TStavOdkazu::Vyreseny ? o.CilovyRadek : std::string_view::npos;
        if (pocet == 1) {
            if (driv == h->Radek) continue;
            o.Stav = TStavOdkazu::UkazujeJinam;
            o.PredchoziCil = driv;
            o.CilovyRadek = h->Radek;
        } else if (pocet == 0) {
            if (o.Stav == TStavOdkazu::ChybiCil) continue;
            o.Stav = TStavOdkazu::BezCilePoPrecislovani;
            o.PredchoziCil = driv;
        } else if (o.Stav != TStavOdkazu::VicekratCil) {
            o.Stav = TStavOdkazu::NejednoznacnyPoPrecislovani;
        }
    }
}

TVysledekOdkazu TOdkazyBloku::TStav::Dokoncit() {
    UzavritProgram();
    VyresitNavraty();
    if (upravyMimoPoradi_)
        std::stable_sort(vysledek_.Upravy.begin(), vysledek_.Upravy.end(),
                         [](const TUpravaOdkazu& a, const TUpravaOdkazu& b) {
                             return a.Radek != b.Radek ? a.Radek < b.Radek : a.Pozice < b.Pozice;
                         });
    return std::move(vysledek_);
}

void TOdkazyBloku::TStav::UzavritProgram() {
    auto& odkazy = vysledek_.Odkazy;
    const std::size_t od = odkazyProgramu_;
    // M99 P of a program without an end returns into the program that called
    // it: a subprogram with a number waits for the end of the text, where its
    // callers are known; one without stays as it is.
    bool odlozit = false;
    if (!konecProgramu_)
        for (std::size_t i = od; i < odkazy.size(); ++i) {
            TOdkaz& o = odkazy[i];
            if (o.Druh != TDruhOdkazu::M99P || o.Stav != TStavOdkazu::ChybiCil) continue;
            o.Stav = TStavOdkazu::NavratDoVolajiciho;
            odlozit = odlozit || cisloProgramu_ != BezCisla;
        }
    if (dotceny_ && od < odkazy.size()) {
        for (std::size_t i = od; i < odkazy.size(); ++i) {
            TOdkaz& o = odkazy[i];
            // Inside the front that the renumbering rewrites, or across the
            // start of the selection (where that front is empty).
            if (prepsanoPo_ > 0 && o.Radek == vyber_->Od && o.Pozice < prepsanoPo_ && o.Pozice + o.Delka > prepsanoOd_)
                o.Stav = TStavOdkazu::PrepsanyVyberem;
            // Across the end of the selection, which the renumbering ends with a line break.
            if (useknuto_ != std::string_view::npos && o.Radek + 1 == vyber_->Po && o.Pozice < useknuto_ &&
                o.Pozice + o.Delka > useknuto_)
                o.Stav = TStavOdkazu::PrepsanyVyberem;
        }
        vybrane_.clear();
        for (std::size_t i = od; i < odkazy.size(); ++i) vybrane_.push_back(i);
        Vyresit(TZiveBloky{*this}, NoveCislaRuzna());
    }
    if (volaProgram_) Archivovat();
    else if (odlozit) programy_.push_back({.Index = program_, .Cislo = cisloProgramu_, .Dotceny = dotceny_});

    // The references kept: those the report needs, and the returns that wait.
    const auto odlozeny = [&](const TOdkaz& o) {
        return cisloProgramu_ != BezCisla && o.Druh == TDruhOdkazu::M99P && o.Stav == TStavOdkazu::NavratDoVolajiciho;
    };
    std::size_t nechat = 0, vsech = 0;
    for (std::size_t i = od; i < odkazy.size(); ++i) {
        const TOdkaz& o = odkazy[i];
        const bool odl = odlozeny(o);
        vsech += dotceny_ && !odl;
        nechat += odl || (dotceny_ && (!jenNevyresene_ || o.Stav != TStavOdkazu::Vyreseny));
    }
    vysledek_.Nalezenych += vsech;
    if (nechat < odkazy.size() - od || odlozit) {
        // The others go, and their texts with them.
        std::string texty;
        std::size_t k = od;
        for (std::size_t i = od; i < odkazy.size(); ++i) {
            const bool odl = odlozeny(odkazy[i]);
            if (!odl && !(dotceny_ && (!jenNevyresene_ || odkazy[i].Stav != TStavOdkazu::Vyreseny))) continue;
            TOdkaz o = odkazy[i];
            const std::string_view text = vysledek_.TextCile(o);
            o.Text = textyProgramu_ + texty.size();
            texty += text;
            if (odl) odlozene_.push_back(k);
            odkazy[k++] = o;
        }
        odkazy.resize(k);
        vysledek_.Texty.resize(textyProgramu_);
        vysledek_.Texty += texty;
    }
    odkazyProgramu_ = odkazy.size();
    textyProgramu_ = vysledek_.Texty.size();
    bloky_.Vyprazdnit();
    // The tables' entries of this program count as empty from now on.
    if (++generace_ == 0) {
        std::fill(staraCisla_.begin(), staraCisla_.end(), TStareCislo{});
        std::fill(konecnaCisla_.begin(), konecnaCisla_.end(), TKonecneCislo{});
        generace_ = 1;
    }
    // The unread words of a program that the command does not concern go too.
    if (!dotceny_) {
        vysledek_.PocetNectenych = pocetNectenychProgramu_;
        vysledek_.Nectena.resize(nectenaProgramu_);
        vysledek_.TextyNectenych.resize(textyNectenychProgramu_);
    }
    pocetNectenychProgramu_ = vysledek_.PocetNectenych;
    nectenaProgramu_ = vysledek_.Nectena.size();
    textyNectenychProgramu_ = vysledek_.TextyNectenych.size();
    dotceny_ = rezim_ == TRezim::Vypis || rezim_ == TRezim::Zavedeni;
    vProgramu_ = 0;
    konecProgramu_ = volaProgram_ = false;
    cisloProgramu_ = BezCisla;
}

void TOdkazyBloku::TStav::Archivovat() {
    // The blocks by number, before the command and after it; the larger
    // numbers gathered from the blocks that carry them.
    const auto zaradit = [](std::vector<TZaznamBloku>& archiv, std::size_t velkych) {
        const auto zacatek = archiv.begin() + static_cast<std::ptrdiff_t>(velkych);
        std::stable_sort(zacatek, archiv.end(),
                         [](const TZaznamBloku& a, const TZaznamBloku& b) { return a.Cislo < b.Cislo; });
        std::size_t k = velkych;
        for (std::size_t i = velkych; i < archiv.size(); ++i) {
            if (k > velkych && archiv[k - 1].Cislo == archiv[i].Cislo) {
                archiv[k - 1].Pocet = std::min<std::uint32_t>(archiv[k - 1].Pocet + archiv[i].Pocet, 2);
                continue;
            }
            archiv[k++] = archiv[i];
        }
        archiv.resize(k);
    };
    TProgram p{.Index = program_, .Cislo = cisloProgramu_, .Dotceny = dotceny_};
    p.OdStarych = archivStarych_.size();
    for (std::size_t c = 0; c < staraCisla_.size(); ++c) {
        const TStareCislo& e = staraCisla_[c];
        if (e.Generace == generace_)
            archivStarych_.push_back({c, e.Radek, e.Nove, e.Pocet, e.Precislovany});
    }
    const std::size_t velkych = archivStarych_.size();
    bloky_.ProKazdy([&](const TBlokProgramu& b) {
        if (b.Stare >= MalaCisla && b.Stare != VelkeCisloBloku)
            archivStarych_.push_back({b.Stare, b.Radek, b.Nove, 1, b.Precislovany});
    });
    zaradit(archivStarych_, velkych);
    p.PoStarych = archivStarych_.size();
    p.OdKonecnych = p.PoKonecnych = archivKonecnych_.size();
    if (celePrecislovani_) {
        // The numbers of the sequence counted by number in the table of a
        // selection's renumber, which a whole one leaves free; their lines
        // those that got them. The larger ones from their blocks.
        ProNovaCisla([&](std::uint64_t cislo) {
            if (cislo >= MalaCisla) return;
            if (cislo >= konecnaCisla_.size()) konecnaCisla_.resize(std::bit_ceil(std::size_t{cislo} + 1));
            TKonecneCislo& e = konecnaCisla_[cislo];
            if (e.Generace != generace_) e = {.Generace = generace_, .Pocet = 0, .Radek = radkyNovych_[cislo]};
            ++e.Pocet;
        });
        for (std::size_t c = 0; c < konecnaCisla_.size(); ++c) {
            const TKonecneCislo& e = konecnaCisla_[c];
            if (e.Generace == generace_) archivKonecnych_.push_back({c, e.Radek, 0, e.Pocet, false});
        }
        const std::size_t velkychKonecnych = archivKonecnych_.size();
        bloky_.ProKazdy([&](const TBlokProgramu& b) {
            if (b.Nove >= MalaCisla) archivKonecnych_.push_back({b.Nove, b.Radek, 0, 1, false});
        });
        zaradit(archivKonecnych_, velkychKonecnych);
        p.PoKonecnych = archivKonecnych_.size();
    } else if (vyber_) {
        for (std::size_t c = 0; c < konecnaCisla_.size(); ++c) {
            const TKonecneCislo& e = konecnaCisla_[c];
            if (e.Generace == generace_) archivKonecnych_.push_back({c, e.Radek, 0, e.Pocet, false});
        }
        const std::size_t velkychKonecnych = archivKonecnych_.size();
        bloky_.ProKazdy([&](const TBlokProgramu& b) {
            const std::uint64_t cislo = b.Precislovany ? b.Nove : b.Stare;
            if (cislo >= MalaCisla && (b.Precislovany || b.Stare != VelkeCisloBloku))
                archivKonecnych_.push_back({cislo, b.Radek, 0, 1, false});
        });
        zaradit(archivKonecnych_, velkychKonecnych);
        p.PoKonecnych = archivKonecnych_.size();
    }
    programy_.push_back(p);
}

void TOdkazyBloku::TStav::VyresitNavraty() {
    if (odlozene_.empty()) return;
    std::sort(cislaProgramu_.begin(), cislaProgramu_.end());
    const auto existuje = [&](std::uint64_t c) {
        return std::binary_search(cislaProgramu_.begin(), cislaProgramu_.end(), c);
    };
    // A call names the program of its P, or (repeated calls, P of more than
    // four digits) the program of its last four digits when none has all of them.
    const auto vola = [&](std::uint64_t p, std::uint64_t cislo) {
        return p == cislo || (p >= 10000 && p % 10000 == cislo && !existuje(p));
    };
    const auto zaznam = [&](std::size_t program) -> const TProgram* {
        const auto i = std::lower_bound(programy_.begin(), programy_.end(), program,
                                        [](const TProgram& p, std::size_t c) { return p.Index < c; });
        return i != programy_.end() && i->Index == program ? &*i : nullptr;
    };
    auto& odkazy = vysledek_.Odkazy;
    std::vector<bool> nahlasit(odlozene_.size());
    std::vector<const TProgram*> volajici;
    for (std::size_t a = 0; a < odlozene_.size();) {
        // The returns of one subprogram.
        const std::size_t program = odkazy[odlozene_[a]].Program;
        std::size_t b = a;
        while (b < odlozene_.size() && odkazy[odlozene_[b]].Program == program) ++b;
        const TProgram* podprogram = zaznam(program);
        volajici.clear();
        for (const TVolani& v : volani_) {
            if (!vola(v.Cislo, podprogram->Cislo)) continue;
            const TProgram* p = zaznam(v.Program);
            if (p && std::find(volajici.begin(), volajici.end(), p) == volajici.end()) volajici.push_back(p);
        }
        bool dotceny = podprogram->Dotceny;
        for (const TProgram* p : volajici) dotceny = dotceny || p->Dotceny;
        if (!volajici.empty()) {
            // They return into their callers: resolved against the callers' blocks.
            vybrane_.clear();
            for (std::size_t i = a; i < b; ++i) {
                odkazy[odlozene_[i]].Stav = TStavOdkazu::ChybiCil;
                vybrane_.push_back(odlozene_[i]);
            }
            const std::size_t upravy = vysledek_.Upravy.size();
            Vyresit(TVolajici{*this, volajici}, false);
            upravyMimoPoradi_ = upravyMimoPoradi_ || vysledek_.Upravy.size() > upravy;
        }
        for (std::size_t i = a; i < b; ++i) nahlasit[i] = dotceny;
        a = b;
    }
    // The returns that the report does not need go.
    std::size_t k = 0, j = 0;
    for (std::size_t i = 0; i < odkazy.size(); ++i) {
        if (j < odlozene_.size() && odlozene_[j] == i) {
            const bool nechat = nahlasit[j] && (!jenNevyresene_ || odkazy[i].Stav != TStavOdkazu::Vyreseny);
            vysledek_.Nalezenych += nahlasit[j];
            ++j;
            if (!nechat) continue;
        }
        odkazy[k++] = odkazy[i];
    }
    odkazy.resize(k);
    odlozene_.clear();
}

// ---------------------------------------------------------------- the pass's face

TOdkazyBloku::TOdkazyBloku(const TZnakyOdkazu& znaky) : s_(std::make_unique<TStav>(znaky)) {}
TOdkazyBloku::TOdkazyBloku(const TZnakyOdkazu& znaky, const TCislovaniOdkazu& cislovani,
                           std::optional<TVyberRadku> vyber, bool upravovat)
    : s_(std::make_unique<TStav>(znaky, cislovani, vyber, upravovat)) {}
TOdkazyBloku::TOdkazyBloku(const TZnakyOdkazu& znaky, const TZavedeniOdkazu& zavedeni)
    : s_(std::make_unique<TStav>(znaky, zavedeni)) {}
TOdkazyBloku::TOdkazyBloku(TOdkazyBloku&&) noexcept = default;
TOdkazyBloku& TOdkazyBloku::operator=(TOdkazyBloku&&) noexcept = default;
TOdkazyBloku::~TOdkazyBloku() = default;

void TOdkazyBloku::Radek(std::string_view radek) { s_->Radek(radek, true, true); }
void TOdkazyBloku::Pridat(std::string_view kus) { s_->Pridat(kus); }
const cnc::TPocty& TOdkazyBloku::Pocty() const { return s_->pocty_; }
void TOdkazyBloku::NechatJenNevyresene() { s_->jenNevyresene_ = true; }
TVysledekOdkazu TOdkazyBloku::Dokoncit() { return s_->Dokoncit(); }

// ---------------------------------------------------------------- lines in memory

TVysledekOdkazu NajitOdkazy(std::span<const std::string_view> radky, const TZnakyOdkazu& znaky) {
    TOdkazyBloku o(znaky);
    for (const std::string_view r : radky) o.Radek(r);
    return o.Dokoncit();
}

TVysledekOdkazu PrecislovatOdkazy(std::span<const std::string_view> radky, const TZnakyOdkazu& znaky,
                                  const TCislovaniOdkazu& cislovani, std::optional<TVyberRadku> vyber,
                                  bool upravovat) {
    TOdkazyBloku o(znaky, cislovani, vyber, upravovat);
    for (const std::string_view r : radky) o.Radek(r);
    return o.Dokoncit();
}

TVysledekOdkazu ZavestOdkazy(std::span<const std::string_view> radky, const TZnakyOdkazu& znaky,
                             const TZavedeniOdkazu& zavedeni) {
    TOdkazyBloku o(znaky, zavedeni);
    for (const std::string_view r : radky) o.Radek(r);
    return o.Dokoncit();
}

TOdkazyBloku OdkazyPrikazu(const cnc::TZadani<char>& zadani, TDruhyOdkazu druhy, bool aktualizovat,
                           std::optional<TVyberRadku> vyber) {
    const TZnakyOdkazu znaky = ZnakyOdkazu(zadani, druhy);
    const TCislovaniOdkazu cislovani{zadani.PrvniBlok, zadani.Prirustek, zadani.MaximalniBlok,
                                     zadani.CislovatOdZacatku};
    switch (zadani.Prikaz) {
        case cnc::TPrikaz::Zavest:
            return TOdkazyBloku(znaky, TZavedeniOdkazu{.Cislovani = cislovani,
                                                       .Konec = zadani.Konec.Text,
                                                       .KonecMuze = zadani.Konec.MuzeZacinat,
                                                       .KomentarMuze = zadani.Komentar.MuzeZacinat,
                                                       .BlokPredZnakZacatku = zadani.BlokPredZnakZacatku,
                                                       .BlokPredZnakKonce = zadani.BlokPredZnakKonce,
                                                       .BlokPredZnakKomentare = zadani.BlokPredZnakKomentare});
        case cnc::TPrikaz::Precislovat: return TOdkazyBloku(znaky, cislovani, vyber, aktualizovat);
        case cnc::TPrikaz::Odstranit: break;
    }
    return TOdkazyBloku(znaky);
}

