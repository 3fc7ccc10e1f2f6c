#include "templates/JumpMarkInfo.h"

#include "storage/TextCase.h"

namespace nimbra {

TRef<IJumpMarkInfo> FindJumpMark(const TJumpMarks& marks, std::string_view name) {
  for (const TRef<IJumpMarkInfo>& mark : marks) {
    if (mark && SameTextAscii(mark->GetName(), name)) return mark;
  }
  return nullptr;
}

}  // namespace nimbra
