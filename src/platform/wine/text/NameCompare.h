#pragma once

// Names compared as Windows compares file names: ignoring case, Latin-1 letters included.

#include <string_view>

namespace parvane::wine {

// The upper-case form of a code page 1252 byte, as a UTF-16 character.
char16_t FoldedCharacter(char byte);

// True when `a` sorts before `b` ignoring case (by their upper-case forms).
bool NameLessIgnoringCase(std::string_view a, std::string_view b);

}  // namespace parvane::wine
