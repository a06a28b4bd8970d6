// The batch tool's help text (tarvik-cli --help), in the catalogue's language.
#pragma once

#include <string>

std::string NapovedaDavky();
