#include "ui/behaviour/window_designs.h"

#include <utility>

#include "ui/behaviour/product.h"

namespace tailmend {

namespace {

using Kind = ControlKind;

// Tahoma, 11 pixels high: 8 points at 96 dots per inch.
constexpr DesignFont kWindowFont{11, false, false};
constexpr DesignFont kTitleFont{21, true, false};
constexpr DesignFont kLinkFont{11, false, true};
constexpr bool kWhite = true;
// The event list's first column holds each row's state icon (16 pixels) before its number.
constexpr int kNumberColumnWidth = 48;
constexpr bool kStandardBackground = false;

ControlDesign Control(const char* name, Kind kind, std::string text, DesignRect place, const char* parent = "") {
  ControlDesign control;
  control.name = name;
  control.kind = kind;
  control.text = std::move(text);
  control.place = place;
  control.parent = parent;
  return control;
}

ControlDesign Styled(ControlDesign control, DesignFont font, TextColour colour) {
  control.font = font;
  control.colour = colour;
  return control;
}

ControlDesign WithColumns(ControlDesign control, std::vector<ListColumn> columns) {
  control.columns = std::move(columns);
  return control;
}

}  // namespace

// The picture reaches past the window's right edge and lies under the group boxes and the
// buttons on the right: it comes last, behind them all.
const WindowDesign& MainWindowDesign() {
  static const WindowDesign design{
      "frmMain",
      kProgramTitle,
      {499, 333},
      kWindowFont,
      kWhite,
      {
          Control("GroupBox1", Kind::GroupBox, "  Main ", {16, 16, 283, 298}),
          Control("Label1", Kind::Label, "Source Files:", {16, 24, 0, 0}, "GroupBox1"),
          Control("Edit1", Kind::ReadOnlyEdit, "", {16, 45, 249, 21}, "GroupBox1"),
          Control("Button1", Kind::Button, "Browse", {190, 76, 75, 25}, "GroupBox1"),
          Control("Button7", Kind::Button, "Fix Now", {16, 107, 249, 25}, "GroupBox1"),
          Control("CheckBox1", Kind::CheckBox, "Backup Source Files", {16, 80, 168, 17}, "GroupBox1"),
          WithColumns(Control("ListView1", Kind::ReportList, "", {16, 151, 249, 130}, "GroupBox1"),
                      {{"No.", kNumberColumnWidth}, {"File", 80}, {"Event", 100}}),
          Control("GroupBox3", Kind::GroupBox, " Documents ", {320, 16, 163, 129}),
          Control("Button4", Kind::Button, "What's this?", {32, 24, 99, 25}, "GroupBox3"),
          Control("Button5", Kind::Button, "How To...", {32, 76, 99, 25}, "GroupBox3"),
          Control("Button3", Kind::Button, "About", {352, 184, 99, 25}),
          Control("Button6", Kind::Button, "Close", {352, 264, 99, 25}),
          Control("Button8", Kind::Button, "Data Recovery", {352, 223, 99, 25}),
          Control("Image1", Kind::Picture, "", {246, 88, 338, 226}),
      },
  };
  return design;
}

// The status texts have a fixed width, so that a long one is cut rather than pushed into the border.
// Below the line, left of the button, the run's summary once it is over, over up to three lines.
const WindowDesign& ProcessingDialogDesign() {
  static const WindowDesign design{
      "frmProcessing",
      "Processing 0 of 0",
      {332, 158},
      kWindowFont,
      kStandardBackground,
      {
          Control("Label11", Kind::Label, "Step 1: Calculate file size", {24, 16, 0, 0}),
          Control("Label12", Kind::Label, "", {231, 16, 90, 0}),
          Control("Label21", Kind::Label, "Step 2: Backup source file", {24, 44, 0, 0}),
          Control("Label22", Kind::Label, "", {231, 44, 90, 0}),
          Control("Label31", Kind::Label, "Step 3: Truncate source file", {24, 72, 0, 0}),
          Control("Label32", Kind::Label, "", {231, 72, 90, 0}),
          Control("Bevel1", Kind::Line, "", {8, 104, 313, 2}),
          Control("Button1", Kind::Button, "Stop", {216, 119, 75, 25}),
          Control("Label41", Kind::Label, "", {8, 110, 200, 40}),
      },
  };
  return design;
}

// The caption is the main window's to set; the design's own is never seen.
const WindowDesign& DocumentViewerDesign() {
  static const WindowDesign design{
      "frmShowDoc",
      "frmShowDoc",
      {418, 278},
      kWindowFont,
      kStandardBackground,
      {
          Control("RichEdit1", Kind::RichText, "", {16, 8, 385, 209}),
          Control("Button1", Kind::DefaultButton, "OK", {318, 236, 75, 25}),
      },
  };
  return design;
}

const WindowDesign& AboutBoxDesign() {
  static const WindowDesign design{
      "frmAbout",
      "About",
      {354, 197},
      kWindowFont,
      kWhite,
      {
          Styled(Control("Label1", Kind::Label, kProgramTitle, {48, 32, 0, 0}), kTitleFont, TextColour::Blue),
          Control("Label3", Kind::Label, AboutVersionText(), {49, 77, 0, 0}),
          Control("Label4", Kind::Label, kCopyrightLine, {49, 96, 0, 0}),
          Styled(Control("Label5", Kind::Link, "Home Page", {48, 144, 0, 0}), kLinkFont, TextColour::Blue),
          Control("Button1", Kind::DefaultButton, "OK", {235, 144, 75, 25}),
      },
  };
  return design;
}

// The photo's preview on the left, what is known of the file on the right, each value beside its
// caption, and the file's sentence across the window below them.
const WindowDesign& DetailsWindowDesign() {
  static const WindowDesign design{
      "frmDetails",
      "Details",
      {560, 304},
      kWindowFont,
      kStandardBackground,
      {
          Control("Edit1", Kind::ReadOnlyEdit, "", {368, 16, 176, 21}),
          Control("Edit2", Kind::ReadOnlyEdit, "", {368, 43, 176, 21}),
          Control("Button2", Kind::Button, "Show in Folder", {362, 268, 99, 25}),
          Control("Button1", Kind::DefaultButton, "OK", {469, 268, 75, 25}),
          Control("Label1", Kind::Label, "Name:", {272, 19, 0, 0}),
          Control("Label2", Kind::Label, "Folder:", {272, 46, 0, 0}),
          Control("Label3", Kind::Label, "Size:", {272, 74, 0, 0}),
          Control("Label4", Kind::Label, "", {368, 74, 176, 0}),
          Control("Label5", Kind::Label, "Length:", {272, 92, 0, 0}),
          Control("Label6", Kind::Label, "", {368, 92, 176, 0}),
          Control("Label7", Kind::Label, "Junk:", {272, 110, 0, 0}),
          Control("Label8", Kind::Label, "", {368, 110, 176, 0}),
          Control("Label9", Kind::Label, "Trailer kept:", {272, 128, 0, 0}),
          Control("Label10", Kind::Label, "", {368, 128, 176, 0}),
          Control("Label11", Kind::Label, "Damage:", {272, 146, 0, 0}),
          Control("Label12", Kind::Label, "", {368, 146, 176, 0}),
          Control("Label13", Kind::Label, "Original name:", {272, 164, 0, 0}),
          Control("Label14", Kind::Label, "", {368, 164, 176, 0}),
          Control("Label15", Kind::Label, "Captured:", {272, 182, 0, 0}),
          Control("Label16", Kind::Label, "", {368, 182, 176, 0}),
          Control("Label17", Kind::Label, "Backup:", {272, 200, 0, 0}),
          Control("Label18", Kind::Label, "", {368, 200, 176, 0}),
          Control("Label19", Kind::Label, "", {16, 224, 528, 39}),
          Control("Image1", Kind::Preview, "No preview", {16, 16, 240, 160}),
      },
  };
  return design;
}

const MenuDesign& EventListMenuDesign() {
  static const MenuDesign design{
      "PopupMenu1",
      {
          {"Details1", "Details..."},
          {"ShowinFolder1", "Show in Folder"},
          {"CopyPath1", "Copy Path"},
          {"SaveReport1", "Save Report..."},
      },
  };
  return design;
}

}  // namespace tailmend
