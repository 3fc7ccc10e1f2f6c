// The framework's own settings: the list of known external plug-in package files. Each line names
// a package file, a tab, its modification time (seconds since the epoch), a tab, and its size in
// bytes. No package is loaded by this program; the list is kept valid so that it can be handed on.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/Properties.h"

namespace nimbra {

class TExternalPluginProperties : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  const std::vector<std::string>& Lines() const { return lines_; }
  void SetLines(std::vector<std::string> lines) { lines_ = std::move(lines); }

  std::string EditorFrameClassNames() const override;
  // One sub-chunk holding one string: the lines joined with CR LF.
  void MapFields(TFieldMap& map) override;

 private:
  std::vector<std::string> lines_;
};

// Keeps the package list of its bag (held by the global properties list) valid.
class TExternalPluginManager {
 public:
  explicit TExternalPluginManager(TExternalPluginProperties& properties)
      : properties_(properties) {}

  TExternalPluginProperties& Properties() const { return properties_; }
  // The list line of a package file as it is now; empty when the file does not exist.
  static std::string PackageLine(const std::string& fileName);
  // Removes, from the last line to the first, every line whose file is gone or whose time stamp
  // or size changed since the line was written (and lines that say nothing readable).
  void Validate();

 private:
  TExternalPluginProperties& properties_;
};

// The manager, or none outside framework start-up and shutdown.
TExternalPluginManager* ExternalPluginManager();
std::unique_ptr<TExternalPluginManager> SetExternalPluginManager(
    std::unique_ptr<TExternalPluginManager> manager);

}  // namespace nimbra
