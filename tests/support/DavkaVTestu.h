// The batch tool in tests: what it writes captured, standard input fed from a pipe.
#pragma once

#include "cli/Davka.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

#ifndef _WIN32
#include <unistd.h>
#endif

// The program and the messages the batch tool writes, a message a line.
class TZachycenyVystup final : public TVystupDavky {
public:
    bool Program(std::string_view bytes) override {
        program += bytes;
        return !plny;
    }
    void Hlaseni(std::string_view radky) override {
        hlaseni += radky;
        hlaseni += '\n';
    }
    bool Terminal() const override { return terminal; }
    std::string program, hlaseni;
    bool plny = false;      // standard output is full: writing the program fails
    bool terminal = false;  // the messages reach a terminal
};

#ifndef _WIN32
// While it lives, standard input reads the bytes from a pipe, written by a
// thread of its own (so that they may be more than a pipe holds).
class TVstupZRoury {
public:
    explicit TVstupZRoury(std::string bajty) : bajty_(std::move(bajty)) {
        int konce[2];
        if (::pipe(konce) != 0) throw std::runtime_error("pipe");
        pisar_ = std::thread([this, zapis = konce[1]] {
            for (std::size_t zapsano = 0; zapsano < bajty_.size();) {
                const ssize_t n = ::write(zapis, bajty_.data() + zapsano, bajty_.size() - zapsano);
                if (n <= 0) break;
                zapsano += static_cast<std::size_t>(n);
            }
            ::close(zapis);
        });
        puvodni_ = ::dup(STDIN_FILENO);
        ::dup2(konce[0], STDIN_FILENO);
        ::close(konce[0]);
    }
    ~TVstupZRoury() {
        ::dup2(puvodni_, STDIN_FILENO);
        ::close(puvodni_);
        pisar_.join();
    }
    TVstupZRoury(const TVstupZRoury&) = delete;
    TVstupZRoury& operator=(const TVstupZRoury&) = delete;

private:
    std::string bajty_;
    std::thread pisar_;
    int puvodni_ = -1;
};
#endif
