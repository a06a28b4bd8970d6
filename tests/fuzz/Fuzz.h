// What the fuzz targets share: a check that ends the run as a finding, and a
// scratch folder of the run's own.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

// A broken promise: says which, and aborts, so that libFuzzer keeps the input.
#define OVERIT(podminka)                                                                   \
    do {                                                                                   \
        if (!(podminka)) {                                                                 \
            std::fprintf(stderr, "broken: %s (%s:%d)\n", #podminka, __FILE__, __LINE__); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (false)

// A folder of the run's own for its files, in TMPDIR. libFuzzer ends the
// process without running exit handlers, so the folder stays: the fuzz tests
// give each run a TMPDIR of its own and remove it afterwards.
inline const std::filesystem::path& PracovniSlozka() {
    static const std::filesystem::path slozka = [] {
        std::string vzor = (std::filesystem::temp_directory_path() / "tarvik-fuzz-XXXXXX").string();
        if (::mkdtemp(vzor.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        return std::filesystem::path(vzor);
    }();
    return slozka;
}

// Replaces the file with the bytes.
inline void ZapsatSoubor(const std::filesystem::path& soubor, std::string_view bajty) {
    std::FILE* f = std::fopen(soubor.c_str(), "wb");
    OVERIT(f != nullptr);
    OVERIT(std::fwrite(bajty.data(), 1, bajty.size(), f) == bajty.size());
    OVERIT(std::fclose(f) == 0);
}
