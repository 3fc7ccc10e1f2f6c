// What the framework asks of the program it runs in: company and product names, versions, the
// per-user settings key, the data sub-folder, help and logo files. The program installs an answer
// at start-up; the framework and the print wizard read it through the holders below.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace nimbra {

class ISlideShowApplicationInfo {
 public:
  static constexpr std::string_view kIID = "{AA7100D2-545E-4C45-B336-780B65B1A4AA}";

  virtual ~ISlideShowApplicationInfo() = default;
  virtual std::string CompanyName() const = 0;
  virtual std::string ProductName() const = 0;
  virtual std::string CopyrightText() const = 0;
  virtual std::string WebUrl() const = 0;
  virtual std::string WebAddress() const = 0;
  virtual std::string Reserved1() const = 0;
  virtual std::string MajorVersion() const = 0;
  virtual std::string Version() const = 0;
  virtual std::string BuildSuffix() const = 0;
  virtual std::string FullVersion() const = 0;
  virtual std::string RegistryKey() const = 0;
  virtual std::string DataFolder() const = 0;
  virtual std::string Reserved2() const = 0;
  virtual std::string LogoFileName() const = 0;
  virtual std::string HelpFileName() const = 0;
  virtual std::string Reserved3() const = 0;
  virtual std::string InternalName() const = 0;
};

// The framework's application information: read by the slideshow variables, the plug-in folders,
// the about box and the wallpaper routine.
std::shared_ptr<ISlideShowApplicationInfo> SlideShowApplicationInfo();
void SetSlideShowApplicationInfo(std::shared_ptr<ISlideShowApplicationInfo> info);

// The print wizard's application information: read by the template variables and preset folders.
std::shared_ptr<ISlideShowApplicationInfo> PrintWizardApplicationInfo();
void SetPrintWizardApplicationInfo(std::shared_ptr<ISlideShowApplicationInfo> info);

}  // namespace nimbra
