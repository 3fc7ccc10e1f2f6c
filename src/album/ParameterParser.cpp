#include "album/ParameterParser.h"

#include <cctype>
#include <mutex>

namespace nimbra {

namespace {

constexpr std::string_view kQuotes = "\"'";

// The rest holds a quote character with a matching one somewhere after it.
bool HasQuotePair(std::string_view rest) {
  for (size_t i = 0; i < rest.size(); ++i) {
    if (kQuotes.find(rest[i]) != std::string_view::npos &&
        rest.find(rest[i], i + 1) != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

// The first n characters of UTF-8 text (bytes that start no character do not count).
std::string FirstCharacters(std::string_view text, size_t n) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool starts = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    if (starts && count++ == n) return std::string(text.substr(0, i));
  }
  return std::string(text);
}

std::mutex& ParserMutex() {
  static std::mutex mutex;
  return mutex;
}

std::unique_ptr<TParameterParser>& ParserHolder() {
  static std::unique_ptr<TParameterParser> parser;
  return parser;
}

}  // namespace

std::vector<std::string> TParameterParser::Tokenize(std::string_view commandLine) {
  std::vector<std::string> tokens;
  std::string_view rest = commandLine;
  // 1. quoted tokens, while a quote still has its partner
  while (HasQuotePair(rest)) {
    const size_t quote = rest.find_first_of(kQuotes);
    if (quote > 0) {
      const size_t blank = rest.find(' ');
      if (blank == std::string_view::npos) {
        tokens.emplace_back(rest);
        return tokens;
      }
      tokens.emplace_back(rest.substr(0, blank));
      rest.remove_prefix(blank + 1);
      continue;
    }
    const size_t closing = rest.find(rest[0], 1);
    if (closing == std::string_view::npos) {
      tokens.emplace_back(rest);
      return tokens;
    }
    tokens.emplace_back(rest.substr(1, closing - 1));
    // The closing quote and the separator after it.
    rest.remove_prefix(std::min(rest.size(), closing + 2));
  }
  // 2. the rest at blanks
  for (size_t blank = rest.find(' '); blank != std::string_view::npos; blank = rest.find(' ')) {
    tokens.emplace_back(rest.substr(0, blank));
    rest.remove_prefix(blank + 1);
  }
  if (!rest.empty()) tokens.emplace_back(rest);
  return tokens;
}

TParameterParser TParameterParser::FromText(std::string_view commandLine) {
  return TParameterParser(Tokenize(commandLine));
}

TParameterParser TParameterParser::FromArguments(int argc, const char* const* argv) {
  std::vector<std::string> tokens;
  for (int i = 0; i < argc; ++i) tokens.emplace_back(argv[i] != nullptr ? argv[i] : "");
  return TParameterParser(std::move(tokens));
}

const std::string* TParameterParser::FindSwitch(char letter) const {
  const int wanted = std::tolower(static_cast<unsigned char>(letter));
  // Token 0 is the program, never a switch: on Linux its path itself starts with "/".
  for (size_t i = 1; i < tokens_.size(); ++i) {
    const std::string& token = tokens_[i];
    if (token.size() >= 2 && (token[0] == '-' || token[0] == '/') &&
        std::tolower(static_cast<unsigned char>(token[1])) == wanted) {
      return &token;
    }
  }
  return nullptr;
}

bool TParameterParser::HasParameter(char letter) const { return FindSwitch(letter) != nullptr; }

std::string TParameterParser::ParameterValue(char letter) const {
  const std::string* token = FindSwitch(letter);
  if (token == nullptr) return {};
  return FirstCharacters(std::string_view(*token).substr(2), kMaxValueLength);
}

const TParameterParser& ParameterParser() {
  std::lock_guard lock(ParserMutex());
  std::unique_ptr<TParameterParser>& parser = ParserHolder();
  if (!parser) parser = std::make_unique<TParameterParser>(std::vector<std::string>{});
  return *parser;
}

void SetParameterParser(std::unique_ptr<TParameterParser> parser) {
  std::lock_guard lock(ParserMutex());
  ParserHolder() = std::move(parser);
}

}  // namespace nimbra
