// A failure with a message meant for the user (UTF-16), as the error box and
// the batch tool show it.
#pragma once

#include <exception>
#include <string>

class TChyba : public std::exception {
public:
    explicit TChyba(std::u16string zprava);
    const std::u16string& Zprava() const noexcept { return zprava_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    std::u16string zprava_;
    std::string utf8_;
};
