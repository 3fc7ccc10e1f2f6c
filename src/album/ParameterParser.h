// The album's switches: a token whose first character is "-" or "/" and whose second is the
// switch letter (either case) is that switch, its value the rest of the token, cut to 255
// characters. Tokens come from a command-line text, split by the album's quoting rules, or straight
// from argv; token 0 is the program.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace nimbra {

class TParameterParser {
 public:
  static constexpr size_t kMaxValueLength = 255;

  explicit TParameterParser(std::vector<std::string> tokens) : tokens_(std::move(tokens)) {}
  static TParameterParser FromText(std::string_view commandLine);
  static TParameterParser FromArguments(int argc, const char* const* argv);

  // Quoted tokens keep their blanks and lose their quotes; nothing is trimmed.
  static std::vector<std::string> Tokenize(std::string_view commandLine);

  bool HasParameter(char letter) const;
  // The value of the first token that is the switch; empty when there is none.
  std::string ParameterValue(char letter) const;
  const std::vector<std::string>& Tokens() const { return tokens_; }

 private:
  // The first token after the program that is the switch, or none.
  const std::string* FindSwitch(char letter) const;

  std::vector<std::string> tokens_;
};

// The process-wide parser; until one is installed, one over no arguments.
const TParameterParser& ParameterParser();
void SetParameterParser(std::unique_ptr<TParameterParser> parser);
inline bool HasParameter(char letter) { return ParameterParser().HasParameter(letter); }
inline std::string ParameterValue(char letter) { return ParameterParser().ParameterValue(letter); }

}  // namespace nimbra
