#include "storage/FileMask.h"

#include <vector>

#include "storage/TextCase.h"
#include "storage/Windows1252.h"

namespace nimbra {

namespace {

std::vector<char32_t> FoldedCodePoints(std::string_view text) {
  std::vector<char32_t> out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) out.push_back(LowerCaseCodePoint(NextCodePoint(text, i)));
  return out;
}

// Matches c against the set that starts behind '[' at mask[i]; moves i behind the closing ']'.
// An unclosed set matches nothing.
bool MatchesSet(const std::vector<char32_t>& mask, size_t& i, char32_t c) {
  bool negated = false;
  if (i < mask.size() && (mask[i] == '!' || mask[i] == '^')) {
    negated = true;
    ++i;
  }
  bool found = false;
  bool first = true;
  while (i < mask.size() && (mask[i] != ']' || first)) {
    first = false;
    char32_t low = mask[i++];
    char32_t high = low;
    if (i + 1 < mask.size() && mask[i] == '-' && mask[i + 1] != ']') {
      high = mask[i + 1];
      i += 2;
    }
    if (c >= low && c <= high) found = true;
  }
  if (i >= mask.size()) return false;
  ++i;  // the closing ']'
  return found != negated;
}

}  // namespace

TFileMask::TFileMask(std::string_view mask) : mask_(FoldedCodePoints(mask)) {}

bool TFileMask::Matches(std::string_view name) const {
  // The name is folded as it is read: n is a byte position in it. Greedy matching with one
  // backtrack point for the last '*': linear in practice, never exponential on masks like
  // "*a*a*a*b".
  const std::vector<char32_t>& mask = mask_;
  size_t n = 0;
  size_t m = 0;
  size_t starMask = std::string_view::npos;
  size_t starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starMask = ++m;
      starName = n;
      continue;
    }
    size_t after = n;
    const char32_t c = LowerCaseCodePoint(NextCodePoint(name, after));
    if (m < mask.size()) {
      size_t next = m + 1;
      bool ok = false;
      if (mask[m] == '?') {
        ok = true;
      } else if (mask[m] == '[') {
        ok = MatchesSet(mask, next, c);
      } else {
        ok = mask[m] == c;
      }
      if (ok) {
        m = next;
        n = after;
        continue;
      }
    }
    if (starMask == std::string_view::npos) return false;
    m = starMask;
    // The star takes one character more.
    NextCodePoint(name, starName);
    n = starName;
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

bool MatchesMask(std::string_view name, std::string_view mask) {
  return TFileMask(mask).Matches(name);
}

}  // namespace nimbra
