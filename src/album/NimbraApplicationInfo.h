// Which product the album is: Velmora's Nimbra, version 1.0.00. The framework reads the same
// answers through TSlideShowApplicationInfo, which forwards to the product information installed.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "framework/ApplicationInfo.h"

namespace nimbra {

// The product information the album supplies.
class INimbraApplicationInfo {
 public:
  static constexpr std::string_view kIID = "{8DF0DBAB-0990-4919-A69F-093CBB3C095D}";

  virtual ~INimbraApplicationInfo() = default;
  virtual std::string CompanyName() const = 0;
  virtual std::string ProductName() const = 0;
  virtual std::string CopyrightText() const = 0;
  virtual std::string WebUrl() const = 0;
  virtual std::string WebAddress() const = 0;
  virtual std::string MajorVersion() const = 0;
  virtual std::string Version() const = 0;
  virtual std::string BuildSuffix() const = 0;
  virtual std::string FullVersion() const = 0;
  virtual std::string RegistryKey() const = 0;
  virtual std::string DataFolder() const = 0;
  virtual std::string HelpFileName() const = 0;
  virtual std::string LogoFileName() const = 0;
  virtual std::string InternalName() const = 0;
};

// The album's answers. Composite answers are built from the basic ones at every call, so a
// derived class that changes a basic text changes everything built on it.
class TNimbraApplicationInfo : public INimbraApplicationInfo {
 public:
  std::string CompanyName() const override;
  std::string ProductName() const override;
  std::string CopyrightText() const override;
  std::string WebUrl() const override { return "http://" + WebAddress(); }
  std::string WebAddress() const override;
  std::string MajorVersion() const override { return "1"; }
  std::string Version() const override { return MajorVersion() + ".0"; }
  std::string BuildSuffix() const override { return ".00"; }
  std::string FullVersion() const override { return Version() + BuildSuffix(); }
  std::string RegistryKey() const override;
  std::string DataFolder() const override;
  std::string HelpFileName() const override { return "Nimbra.chm"; }
  std::string LogoFileName() const override { return "Nimbra.jpg"; }
  std::string InternalName() const override { return "Nimbra"; }
};

// The framework's view: every answer forwards, at call time, to the product information installed.
class TSlideShowApplicationInfo : public ISlideShowApplicationInfo {
 public:
  std::string CompanyName() const override;
  std::string ProductName() const override;
  std::string CopyrightText() const override;
  std::string WebUrl() const override;
  std::string WebAddress() const override;
  std::string Reserved1() const override { return {}; }
  std::string MajorVersion() const override;
  std::string Version() const override;
  std::string BuildSuffix() const override;
  std::string FullVersion() const override;
  std::string RegistryKey() const override;
  std::string DataFolder() const override;
  std::string Reserved2() const override { return {}; }
  std::string LogoFileName() const override;
  std::string HelpFileName() const override;
  std::string Reserved3() const override { return {}; }
  std::string InternalName() const override;
};

// The product information holder.
std::shared_ptr<INimbraApplicationInfo> NimbraApplicationInfo();
void SetNimbraApplicationInfo(std::shared_ptr<INimbraApplicationInfo> info);

// Installs the album's product information and points the framework's and the print wizard's
// holders at one forwarding adapter; ClearApplicationInfo empties all three at program end.
void InstallApplicationInfo();
void ClearApplicationInfo();

}  // namespace nimbra
