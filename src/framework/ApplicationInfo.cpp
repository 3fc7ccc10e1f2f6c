#include "framework/ApplicationInfo.h"

#include "storage/GlobalHolder.h"

namespace nimbra {

namespace {

TGlobalHolder<ISlideShowApplicationInfo>& SlideShowHolder() {
  static TGlobalHolder<ISlideShowApplicationInfo> holder;
  return holder;
}

TGlobalHolder<ISlideShowApplicationInfo>& PrintWizardHolder() {
  static TGlobalHolder<ISlideShowApplicationInfo> holder;
  return holder;
}

}  // namespace

std::shared_ptr<ISlideShowApplicationInfo> SlideShowApplicationInfo() {
  return SlideShowHolder().Get();
}

void SetSlideShowApplicationInfo(std::shared_ptr<ISlideShowApplicationInfo> info) {
  SlideShowHolder().Set(std::move(info));
}

std::shared_ptr<ISlideShowApplicationInfo> PrintWizardApplicationInfo() {
  return PrintWizardHolder().Get();
}

void SetPrintWizardApplicationInfo(std::shared_ptr<ISlideShowApplicationInfo> info) {
  PrintWizardHolder().Set(std::move(info));
}

}  // namespace nimbra
