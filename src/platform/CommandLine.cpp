#include "platform/CommandLine.h"

#include <optional>
#include <string_view>

namespace nimbra {

namespace {

// Characters that mean something to the shell wherever they stand unquoted.
constexpr std::string_view kShellSyntax = "|&;<>()$`*?[]{}\n";
// Characters that mean something at the start of a word.
constexpr std::string_view kWordStartSyntax = "#~";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Splits the text as the shell splits plain words; nothing when the shell is needed.
std::optional<std::vector<std::string>> SplitPlainWords(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (IsBlank(c)) {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
      continue;
    }
    if (!inWord && kWordStartSyntax.find(c) != std::string_view::npos) return std::nullopt;
    if (kShellSyntax.find(c) != std::string_view::npos) return std::nullopt;
    inWord = true;
    if (c == '\'') {
      const size_t end = text.find('\'', i + 1);
      if (end == std::string::npos) return std::nullopt;  // let the shell report it
      word.append(text, i + 1, end - i - 1);
      i = end;
    } else if (c == '"') {
      for (++i;; ++i) {
        if (i >= text.size()) return std::nullopt;
        const char d = text[i];
        if (d == '"') break;
        if (d == '$' || d == '`') return std::nullopt;
        if (d == '\\' && i + 1 < text.size() &&
            std::string_view("$`\"\\\n").find(text[i + 1]) != std::string_view::npos) {
          if (text[++i] != '\n') word += text[i];
          continue;
        }
        word += d;
      }
    } else if (c == '\\') {
      if (i + 1 >= text.size()) return std::nullopt;
      word += text[++i];
    } else {
      word += c;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

}  // namespace

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string SubstituteFile(const std::string& commandLine, const std::string& fileName) {
  std::string result;
  bool named = false;
  for (size_t i = 0; i < commandLine.size(); ++i) {
    if (commandLine[i] == '%' && i + 1 < commandLine.size()) {
      if (commandLine[i + 1] == 'f') {
        result += ShellQuote(fileName);
        named = true;
        ++i;
        continue;
      }
      if (commandLine[i + 1] == '%') {
        result += '%';
        ++i;
        continue;
      }
    }
    result += commandLine[i];
  }
  if (!named) result += " " + ShellQuote(fileName);
  return result;
}

TCommandPlan PlanCommand(const std::string& commandLine, const std::string& fileName) {
  const std::string command = SubstituteFile(commandLine, fileName);
  TCommandPlan plan;
  if (auto words = SplitPlainWords(command)) {
    plan.Argv = std::move(*words);
  } else {
    plan.Argv = {"/bin/sh", "-c", command};
    plan.ThroughShell = true;
  }
  return plan;
}

}  // namespace nimbra
