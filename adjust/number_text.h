#pragma once
// Reading the decimal numbers of the dialogs' edits. A text that is not a number reads as 0;
// a number too large for any field is kept large (saturated) rather than wrapped or zeroed,
// so that the checks that follow refuse it.

#include <cstdint>

inline constexpr int64_t kNumberTextLimit = int64_t{1} << 40;

// Optional blanks, an optional minus sign (when `signedNumber`), digits, optional blanks.
int64_t ReadNumberText(const char* text, bool signedNumber);
