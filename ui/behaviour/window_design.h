#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tailmend {

// What a window looks like, as data that each toolkit draws with its own controls. Places and
// sizes are design pixels: screen pixels at 96 dots per inch.

// The face of every window and control; designs give its size and style.
inline constexpr const char* kDesignFontFamily = "Tahoma";

struct DesignFont {
  int pixels = 0;  // the height of its characters
  bool bold = false;
  bool underline = false;
};

struct DesignSize {
  int width = 0;
  int height = 0;
};

// Left, top, width and height in the client area of the control's parent.
struct DesignRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// A label's width of 0 is its text's width, and a height of 0 one line of its font; a label given a
// height of its own wraps its text over the lines it holds.
enum class ControlKind {
  Picture,        // the picture the window gives it, at the design's size
  GroupBox,       // a frame with a caption, holding the controls placed in it
  Label,          // a text
  Link,           // a label that reports a click, shown with the hand pointer; sized as a label
  ReadOnlyEdit,   // one line of text that can be selected, not changed
  Button,         // a push button that only its own press (or Space) presses
  DefaultButton,  // a push button that Enter presses too
  CheckBox,
  ReportList,     // rows of cells under column titles
  Line,           // a sunken horizontal line
  RichText,       // a read-only document, with formatting and a scroll bar
  Preview,        // a sunken box showing a picture fitted into it, in its middle, or else its text there
};

// Tab stops at these kinds and passes over the others.
bool TakesFocus(ControlKind kind);

enum class TextColour { Standard, Blue };

struct ListColumn {
  std::string title;
  int width = 0;
};

struct ControlDesign {
  std::string name;  // the design's name for it: Button7, Label32...
  ControlKind kind = ControlKind::Label;
  std::string text;  // its caption or first text, UTF-8
  DesignRect place;
  std::string parent;  // the group box it lies in; empty: the window itself
  std::optional<DesignFont> font;  // empty: the window's
  TextColour colour = TextColour::Standard;
  std::vector<ListColumn> columns;  // a report list's
};

struct WindowDesign {
  std::string name;  // frmMain...
  std::string caption;
  DesignSize client;
  DesignFont font;
  bool whiteBackground = false;
  // In the order of Tab, which is also their order from front to back: a control lies behind
  // those listed before it. A group box comes before the controls in it.
  std::vector<ControlDesign> controls;
};

// A menu of commands, as a window pops it up: its design name (PopupMenu1) and its items' names and
// texts, in their order.
struct MenuItemDesign {
  std::string name;  // Details1, CopyPath1...
  std::string text;
};

struct MenuDesign {
  std::string name;
  std::vector<MenuItemDesign> items;
};

// The design's control of that name; raises std::out_of_range when it has none.
const ControlDesign& ControlNamed(const WindowDesign& design, std::string_view name);
// Where that control stands in the design's list; raises std::out_of_range when it has none.
std::size_t IndexOfControl(const WindowDesign& design, std::string_view name);

const DesignFont& FontOf(const WindowDesign& design, const ControlDesign& control);

// The screen density the designs are drawn at as they stand.
inline constexpr int kDesignDpi = 96;

// A design length on a screen of that many dots per inch, to the nearest pixel.
int ScaledLength(int length, int dpi);
// The design as a screen of that many dots per inch shows it: every place, size, font height and
// column width times dpi over 96. A width or height of 0 stays 0: the text's own size, which the
// toolkit measures in the scaled font.
WindowDesign ScaledDesign(const WindowDesign& design, int dpi);

}  // namespace tailmend
