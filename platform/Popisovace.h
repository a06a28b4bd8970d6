// Inside the file layer only: descriptors of files and folders, and the
// folder of a TCestaSouboru opened so that no link below its tree's root is
// followed (POSIX).
#pragma once

#ifndef _WIN32

#include "CteniTextu.h"

#include <filesystem>
#include <string>

struct stat;

// A descriptor closed with its owner.
class TPopisovac {
public:
    TPopisovac() = default;
    explicit TPopisovac(int fd) : fd_(fd) {}
    ~TPopisovac();
    TPopisovac(TPopisovac&& p) noexcept : fd_(p.Uvolnit()) {}
    TPopisovac& operator=(TPopisovac&& p) noexcept;
    TPopisovac(const TPopisovac&) = delete;
    TPopisovac& operator=(const TPopisovac&) = delete;

    int Fd() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int Uvolnit() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_ = -1;
};

// The folder a file is in, open, and the file's name in it. A path named:
// its folder as named (links followed) and its last element. A file in a
// tree: its root as named, then each folder below it, none of them a link
// (made where missing when vytvorit: the root too, as named). An invalid
// descriptor when that fails: errno tells why, slozka names the folder.
TPopisovac OtevritSlozku(const TCestaSouboru& soubor, bool vytvorit, std::string& jmeno, std::filesystem::path& slozka);

// The fingerprint of what stat tells of a file.
TOtiskSouboru OtiskStatu(const struct stat& st);

#endif
