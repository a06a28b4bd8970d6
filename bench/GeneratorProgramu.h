// Generator of realistic NC programs for the benchmarks: ISO-style milling
// programs with N block numbers and conversational programs numbered with bare
// digits. The output depends only on the parameters (fixed seed, own random
// numbers), so every machine generates the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

enum class TStylProgramu {
    // "%", an O-number line, N10, N20, ... (":" at tool changes), comments in
    // parentheses, G-code words, "M30", and a closing "%".
    Iso,
    // "0 BEGIN PGM P1001 MM", "1 BLK FORM ...", "5 L X+10 Y+5 R0 FMAX",
    // "; comment" lines, "N END PGM P1001 MM".
    Dialogovy,
};

struct TParametryGeneratoru {
    TStylProgramu Styl = TStylProgramu::Iso;
    // Lines in the whole file.
    std::size_t Radku = 1000;
    // Programs in the file, each with its own start and end.
    std::size_t Programu = 1;
    // Block numbers in front of the blocks; without them, the program is one
    // to introduce numbers into.
    bool Cislovat = true;
    // CR LF line ends, else LF.
    bool CrLf = true;
    // ISO: every 25th block of a program (from the 13th, while 20 more
    // follow) becomes a reference to a block of its own program in place of
    // its words, in turn a jump ahead (GOTO), a conditional jump back (IF
    // [#1 GT 0] GOTO), the profile of a roughing cycle (G71 P.. Q..) and a
    // return (M99 P..); the lines keep their number and their count.
    bool Odkazy = false;
    std::uint64_t Semeno = 0x54415256494Bull;
};

// The parameters cannot give a program (too few lines for the programs asked for).
struct TChybaGeneratoru : std::invalid_argument {
    using std::invalid_argument::invalid_argument;
};

// The fewest lines a file of p.Programu programs of style p.Styl can have.
std::size_t NejmeneRadku(const TParametryGeneratoru& p);

// Appends the program's bytes (ASCII) to cil: exactly p.Radku lines, each
// ended by a line break. Throws TChybaGeneratoru for impossible parameters.
// Returns the number of references written (Odkazy).
std::size_t GenerovatProgram(std::string& cil, const TParametryGeneratoru& p);
