#include "ui/behaviour/window_design.h"

#include <stdexcept>

namespace tailmend {

bool TakesFocus(ControlKind kind) {
  switch (kind) {
    case ControlKind::ReadOnlyEdit:
    case ControlKind::Button:
    case ControlKind::DefaultButton:
    case ControlKind::CheckBox:
    case ControlKind::ReportList:
    case ControlKind::RichText:
      return true;
    default:
      return false;
  }
}

std::size_t IndexOfControl(const WindowDesign& design, std::string_view name) {
  for (std::size_t index = 0; index < design.controls.size(); ++index) {
    if (design.controls[index].name == name) return index;
  }
  throw std::out_of_range(design.name + " has no control " + std::string(name));
}

const ControlDesign& ControlNamed(const WindowDesign& design, std::string_view name) {
  return design.controls[IndexOfControl(design, name)];
}

const DesignFont& FontOf(const WindowDesign& design, const ControlDesign& control) {
  return control.font ? *control.font : design.font;
}

}  // namespace tailmend
