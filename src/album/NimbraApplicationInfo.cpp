#include "album/NimbraApplicationInfo.h"

#include "storage/GlobalHolder.h"

namespace nimbra {

namespace {

TGlobalHolder<INimbraApplicationInfo>& ProductHolder() {
  static TGlobalHolder<INimbraApplicationInfo> holder;
  return holder;
}

// The product information installed now; before start-up installs one, the album's own answers.
std::shared_ptr<INimbraApplicationInfo> Product() {
  std::shared_ptr<INimbraApplicationInfo> info = NimbraApplicationInfo();
  if (!info) info = std::make_shared<TNimbraApplicationInfo>();
  return info;
}

}  // namespace

std::string TNimbraApplicationInfo::CompanyName() const { return "Velmora"; }
std::string TNimbraApplicationInfo::ProductName() const { return "Nimbra"; }
std::string TNimbraApplicationInfo::CopyrightText() const {
  return "Copyright © 2026 Velmora. Alle Rechte vorbehalten.";
}
std::string TNimbraApplicationInfo::WebAddress() const { return "www.velmora.example"; }

std::string TNimbraApplicationInfo::RegistryKey() const {
  return "\\Software\\" + CompanyName() + "\\" + ProductName() + "\\" + MajorVersion() + ".x\\";
}

std::string TNimbraApplicationInfo::DataFolder() const {
  return CompanyName() + "\\" + ProductName() + "\\";
}

std::string TSlideShowApplicationInfo::CompanyName() const { return Product()->CompanyName(); }
std::string TSlideShowApplicationInfo::ProductName() const { return Product()->ProductName(); }
std::string TSlideShowApplicationInfo::CopyrightText() const { return Product()->CopyrightText(); }
std::string TSlideShowApplicationInfo::WebUrl() const { return Product()->WebUrl(); }
std::string TSlideShowApplicationInfo::WebAddress() const { return Product()->WebAddress(); }
std::string TSlideShowApplicationInfo::MajorVersion() const { return Product()->MajorVersion(); }
std::string TSlideShowApplicationInfo::Version() const { return Product()->Version(); }
std::string TSlideShowApplicationInfo::BuildSuffix() const { return Product()->BuildSuffix(); }
std::string TSlideShowApplicationInfo::FullVersion() const { return Product()->FullVersion(); }
std::string TSlideShowApplicationInfo::RegistryKey() const { return Product()->RegistryKey(); }
std::string TSlideShowApplicationInfo::DataFolder() const { return Product()->DataFolder(); }
std::string TSlideShowApplicationInfo::LogoFileName() const { return Product()->LogoFileName(); }
std::string TSlideShowApplicationInfo::HelpFileName() const { return Product()->HelpFileName(); }
std::string TSlideShowApplicationInfo::InternalName() const { return Product()->InternalName(); }

std::shared_ptr<INimbraApplicationInfo> NimbraApplicationInfo() { return ProductHolder().Get(); }

void SetNimbraApplicationInfo(std::shared_ptr<INimbraApplicationInfo> info) {
  ProductHolder().Set(std::move(info));
}

void InstallApplicationInfo() {
  SetNimbraApplicationInfo(std::make_shared<TNimbraApplicationInfo>());
  auto framework = std::make_shared<TSlideShowApplicationInfo>();
  SetSlideShowApplicationInfo(framework);
  SetPrintWizardApplicationInfo(framework);
}

void ClearApplicationInfo() {
  SetPrintWizardApplicationInfo(nullptr);
  SetSlideShowApplicationInfo(nullptr);
  SetNimbraApplicationInfo(nullptr);
}

}  // namespace nimbra
