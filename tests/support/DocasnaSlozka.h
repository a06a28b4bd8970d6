// A fresh folder for one test, removed afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

class TDocasnaSlozka {
public:
    TDocasnaSlozka() {
        std::random_device rd;
        cesta_ = std::filesystem::temp_directory_path() /
                 ("tarvik-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(cesta_);
    }
    ~TDocasnaSlozka() {
        std::error_code ec;
        std::filesystem::permissions(cesta_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(cesta_, ec);
    }
    TDocasnaSlozka(const TDocasnaSlozka&) = delete;
    TDocasnaSlozka& operator=(const TDocasnaSlozka&) = delete;

    const std::filesystem::path& Cesta() const { return cesta_; }
    std::filesystem::path operator/(std::string_view jmeno) const { return cesta_ / jmeno; }

    static void Zapsat(const std::filesystem::path& soubor, std::string_view bajty) {
        std::ofstream f(soubor, std::ios::binary | std::ios::trunc);
        f.write(bajty.data(), static_cast<std::streamsize>(bajty.size()));
    }
    static std::string Precist(const std::filesystem::path& soubor) {
        std::ifstream f(soubor, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path cesta_;
};
