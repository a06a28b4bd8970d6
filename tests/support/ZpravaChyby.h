// The message of the failure an action throws, for tests that check it.
#pragma once

#include "platform/Chyba.h"

#include <functional>
#include <string>

inline std::string ZpravaChyby(const std::function<void()>& akce) {
    try {
        akce();
    } catch (const TChyba& e) {
        return e.what();
    }
    return "(no failure)";
}
