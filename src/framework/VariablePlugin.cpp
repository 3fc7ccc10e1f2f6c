#include "framework/VariablePlugin.h"

#include <vector>

#include "framework/Plugins.h"
#include "storage/TextCase.h"
#include "storage/Windows1252.h"

namespace nimbra {

NIMBRA_DEFINE_VARIABLE_PLUGIN(TVariablePlugin, TPlugin)

namespace {

// Stands in for a doubled percent sign while keys are searched, so it never forms part of a key.
constexpr char kPercentPlaceholder = '\x01';

// One character of a text, upper-cased, with the byte offset where it starts.
struct TFoldedChar {
  char32_t Upper;
  size_t Offset;
};

std::vector<TFoldedChar> Fold(std::string_view text) {
  std::vector<TFoldedChar> folded;
  folded.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t start = i;
    folded.push_back({UpperCaseCodePoint(NextCodePoint(text, i)), start});
  }
  return folded;
}

bool MatchesAt(const std::vector<TFoldedChar>& text, size_t at,
               const std::vector<TFoldedChar>& token) {
  if (at + token.size() > text.size()) return false;
  for (size_t k = 0; k < token.size(); ++k) {
    if (text[at + k].Upper != token[k].Upper) return false;
  }
  return true;
}

bool ContainsFolded(const std::vector<TFoldedChar>& text, const std::vector<TFoldedChar>& token) {
  if (token.empty()) return true;
  for (size_t k = 0; k < text.size(); ++k) {
    if (MatchesAt(text, k, token)) return true;
  }
  return false;
}

std::string ReplaceAll(std::string_view text, std::string_view from, char to) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (text.compare(i, from.size(), from) == 0) {
      out += to;
      i += from.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

// The lines of a key list: the pieces between CR LF pairs; an empty rest after the last is none.
std::vector<std::string> KeyLines(std::string_view keys) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < keys.size()) {
    const size_t end = keys.find("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(keys.substr(start));
      break;
    }
    lines.emplace_back(keys.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace

// ---- TVariablePluginClass ----

bool TVariablePluginClass::HasKey(const std::string& key) const {
  for (const std::string& line : KeyLines(LowerCase(KeyList(nullptr)))) {
    if (line == key) return true;
  }
  return false;
}

bool TVariablePluginClass::Accepts(TObject* object) const {
  const TMetaClass* context = ContextClass();
  if (object == nullptr || context == nullptr) return context == nullptr;
  return object->InheritsFrom(*context);
}

bool TVariablePluginClass::Evaluate(TObject* object, const std::string& key,
                                    std::string& value) const {
  if (!Accepts(object)) {
    value.clear();
    return false;
  }
  value = GetValue(object, key);
  return true;
}

// ---- TVariablePlugin ----

std::string TVariablePlugin::ClassGetValue(TObject*, const std::string&) { return {}; }

std::string TVariablePlugin::ClassKeyList(TObject*) { return {}; }

// ---- substitution ----

std::string ReplaceTextIgnoringCase(std::string_view text, std::string_view token,
                                    std::string_view value) {
  const std::vector<TFoldedChar> folded = Fold(text);
  const std::vector<TFoldedChar> wanted = Fold(token);
  if (wanted.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t copiedTo = 0;
  for (size_t k = 0; k < folded.size();) {
    if (!MatchesAt(folded, k, wanted)) {
      ++k;
      continue;
    }
    const size_t start = folded[k].Offset;
    const size_t end = k + wanted.size() < folded.size() ? folded[k + wanted.size()].Offset
                                                         : text.size();
    out.append(text.substr(copiedTo, start - copiedTo));
    out.append(value);
    copiedTo = end;
    k += wanted.size();
  }
  out.append(text.substr(copiedTo));
  return out;
}

bool ContainsTextIgnoringCase(std::string_view text, std::string_view token) {
  return ContainsFolded(Fold(text), Fold(token));
}

std::string SubstituteVariables(const TPlugins* registry, TObject* object, std::string_view text) {
  // 1. nothing to expand with
  if (registry == nullptr) return std::string(text);
  return SubstituteVariables(std::vector<TVariableRound>{{registry, object}}, text);
}

std::string SubstituteVariables(const std::vector<TVariableRound>& rounds, std::string_view text) {
  // 2. a doubled percent sign never starts a key
  std::string result = ReplaceAll(text, "%%", kPercentPlaceholder);
  // Folded anew only when the text changes: hundreds of keys are looked for in a long text.
  std::vector<TFoldedChar> folded = Fold(result);
  for (const TVariableRound& round : rounds) {
    // Without a percent sign left no key can be found; most captions end here.
    if (result.find('%') == std::string::npos) break;
    if (round.Registry == nullptr) continue;
    const TPlugins& registry = *round.Registry;
    // 3. every variable plug-in in registration order; the first to know a key wins
    for (int i = 0; i < registry.Count(); ++i) {
      const auto* plugin =
          dynamic_cast<const TVariablePluginClass*>(&registry.Items(i).PluginClass());
      if (plugin == nullptr || !plugin->InheritsFrom(TVariablePlugin::StaticClass())) continue;
      for (const std::string& key : KeyLines(plugin->KeyList(round.Object))) {
        const std::string token = "%" + key + "%";
        if (!ContainsFolded(folded, Fold(token))) continue;
        std::string value;
        if (!plugin->Evaluate(round.Object, key, value)) continue;
        // Percent signs in a value are text, never the start of another variable.
        value = ReplaceAll(value, "%", kPercentPlaceholder);
        result = ReplaceTextIgnoringCase(result, token, value);
        folded = Fold(result);
      }
    }
  }
  // 4. the placeholders become percent signs again
  for (char& c : result) {
    if (c == kPercentPlaceholder) c = '%';
  }
  return result;
}

std::string SubstituteVariables(std::unique_ptr<TPlugins> registry, TObject* object,
                                std::string_view text) {
  // 5. the registry made for this call goes with it
  return SubstituteVariables(registry.get(), object, text);
}

}  // namespace nimbra
