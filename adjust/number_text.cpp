#include "adjust/number_text.h"

namespace {

const char* SkipBlanks(const char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

}  // namespace

int64_t ReadNumberText(const char* text, bool signedNumber) {
  const char* p = SkipBlanks(text);
  const bool negative = signedNumber && *p == '-';
  if (negative) ++p;
  if (*p < '0' || *p > '9') return 0;
  int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (value < kNumberTextLimit) value = value * 10 + (*p - '0');
  }
  if (*SkipBlanks(p) != '\0') return 0;
  if (value > kNumberTextLimit) value = kNumberTextLimit;
  return negative ? -value : value;
}
