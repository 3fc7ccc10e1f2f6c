#include "nimbra-kit/NaturalOrder.h"

#include <string>

#include "storage/TextCase.h"

namespace nimbra::kit {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Compares the runs of digits starting at i and j as numbers and moves past them.
int CompareNumbers(std::string_view a, size_t& i, std::string_view b, size_t& j) {
  // Leading zeros do not change the number; past them, the longer run is the larger number.
  while (i < a.size() && a[i] == '0') ++i;
  while (j < b.size() && b[j] == '0') ++j;
  const size_t aStart = i;
  const size_t bStart = j;
  while (i < a.size() && IsDigit(a[i])) ++i;
  while (j < b.size() && IsDigit(b[j])) ++j;
  const size_t aLength = i - aStart;
  const size_t bLength = j - bStart;
  if (aLength != bLength) return aLength < bLength ? -1 : 1;
  return a.substr(aStart, aLength).compare(b.substr(bStart, bLength));
}

int CompareNatural(std::string_view a, std::string_view b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      if (const int order = CompareNumbers(a, i, b, j); order != 0) return order;
      continue;
    }
    const auto aByte = static_cast<unsigned char>(a[i]);
    const auto bByte = static_cast<unsigned char>(b[j]);
    if (aByte != bByte) return aByte < bByte ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  return j < b.size() ? -1 : 0;
}

}  // namespace

bool NaturalLess(std::string_view a, std::string_view b) {
  const int order = CompareNatural(LowerCase(a), LowerCase(b));
  return order != 0 ? order < 0 : a < b;
}

}  // namespace nimbra::kit
