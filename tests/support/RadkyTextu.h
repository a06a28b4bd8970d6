// A text's lines without their breaks (LF or CR LF), for tests that look at lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline std::vector<std::string> RadkyTextu(std::string_view text) {
    std::vector<std::string> radky;
    while (!text.empty()) {
        const std::size_t konec = text.find('\n');
        std::string_view r = text.substr(0, konec);
        if (!r.empty() && r.back() == '\r') r.remove_suffix(1);
        radky.emplace_back(r);
        if (konec == std::string_view::npos) break;
        text.remove_prefix(konec + 1);
    }
    return radky;
}
