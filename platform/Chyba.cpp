#include "Chyba.h"

#include "Kodovani.h"

TChyba::TChyba(std::u16string zprava) : zprava_(std::move(zprava)), utf8_(DoUtf8(zprava_)) {}
