#include "ui/behaviour/window_design.h"

#include <cstdint>
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

int ScaledLength(int length, int dpi) {
  const std::int64_t scaled = std::int64_t{length} * dpi;
  return static_cast<int>((scaled + kDesignDpi / 2) / kDesignDpi);
}

namespace {

DesignRect Scaled(const DesignRect& place, int dpi) {
  return {ScaledLength(place.left, dpi), ScaledLength(place.top, dpi), ScaledLength(place.width, dpi),
          ScaledLength(place.height, dpi)};
}

DesignFont Scaled(DesignFont font, int dpi) {
  font.pixels = ScaledLength(font.pixels, dpi);
  return font;
}

}  // namespace

WindowDesign ScaledDesign(const WindowDesign& design, int dpi) {
  WindowDesign scaled = design;
  scaled.client = {ScaledLength(design.client.width, dpi), ScaledLength(design.client.height, dpi)};
  scaled.font = Scaled(design.font, dpi);
  for (ControlDesign& control : scaled.controls) {
    control.place = Scaled(control.place, dpi);
    if (control.font) control.font = Scaled(*control.font, dpi);
    for (ListColumn& column : control.columns) column.width = ScaledLength(column.width, dpi);
  }
  return scaled;
}

}  // namespace tailmend
