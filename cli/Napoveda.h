// The batch tool's help text (tarvik-cli --help).
#pragma once

#include <string_view>

std::string_view NapovedaDavky();
