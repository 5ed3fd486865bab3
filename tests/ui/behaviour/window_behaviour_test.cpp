// The rules of the four windows that both window programs share, without any toolkit.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/fault_injection.h"
#include "platform/path_names.h"
#include "platform/platform_error.h"
#include "platform/system_error_text.h"
#include "tests/support/photos.h"
#include "tests/support/system_codes.h"
#include "tests/support/temp_dir.h"
#include "ui/behaviour/document_viewer.h"
#include "ui/behaviour/error_box.h"
#include "ui/behaviour/main_window.h"
#include "ui/behaviour/picture_fit.h"
#include "ui/behaviour/processing_dialog.h"
#include "ui/behaviour/product.h"
#include "ui/behaviour/scoped_replacement.h"
#include "ui/behaviour/window_designs.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

TEST(MainWindowRules, SelectionTextQuotesEachNameWithoutItsFolderAndABlank) {
  EXPECT_EQ(SelectionText({}), "");
  EXPECT_EQ(SelectionText({PathInFolder("photos", "IMG_0001.CRW")}), "\"IMG_0001.CRW\" ");
  EXPECT_EQ(SelectionText({PathInFolder("a", "IMG_0001.CRW"), PathInFolder("b", "IMG_0002.crw"), "bare.CRW"}),
            "\"IMG_0001.CRW\" \"IMG_0002.crw\" \"bare.CRW\" ");
}

// A long selection shows its first names and how many more: a line of more than 255 runs of one
// script is drawn blank by Wine's edit box.
TEST(MainWindowRules, ALongSelectionShowsItsFirstNamesAndHowManyMore) {
  const std::string quoted = "\"f12.crw\" ";  // 10 bytes: the last that fits ends the text exactly
  const std::size_t fit = kSelectionTextBytes / quoted.size();
  for (const std::size_t count : {fit, fit + 1, std::size_t{5000}}) {
    std::string expected;
    for (std::size_t k = 0; k < fit; ++k) expected += quoted;
    if (count > fit) expected += "... and " + std::to_string(count - fit) + " more";
    EXPECT_EQ(SelectionText(FileList(count, PathInFolder("card", "f12.crw"))), expected) << count;
  }
}

TEST(MainWindowRules, TheSelectionsTooltipCountsItsFilesAndNamesTheirFolders) {
  FileList files = {PathInFolder("a", "1.crw"), PathInFolder("a", "2.crw")};
  const std::string a = PathInFolder("a", "");
  EXPECT_EQ(SelectionTooltip({}), "");
  EXPECT_EQ(SelectionTooltip({files[0]}), "1 file selected from " + a);
  EXPECT_EQ(SelectionTooltip(files), "2 files selected from " + a);
  for (int k = 0; k < 11; ++k) files.emplace_back(PathInFolder(std::to_string(k), "3.crw"));
  std::string expected = "13 files selected from 12 folders:\n" + a;
  for (int k = 0; k < 9; ++k) expected += "\n" + PathInFolder(std::to_string(k), "");
  EXPECT_EQ(SelectionTooltip(files), expected + "\n... and 2 more");
}

TEST(MainWindowRules, RowsAreNumberedByTheCountOnceAdded) {
  EXPECT_EQ(EventRowNumber(0), "1");
  EXPECT_EQ(EventRowNumber(9), "10");
}

TEST(MainWindowRules, EachDocumentButtonOpensItsOwnDocumentAndCaption) {
  const HelpDocument whatIs = HelpDocumentFor(true);
  EXPECT_EQ(whatIs.caption, "What's this?");
  EXPECT_EQ(whatIs.docFile, "whatis.rtf");
  const HelpDocument howTo = HelpDocumentFor(false);
  EXPECT_EQ(howTo.caption, "How To ...") << "a blank before the dots, unlike the button";
  EXPECT_EQ(howTo.docFile, "howto.rtf");
}

TEST(ProductTexts, VersionLineAndAddresses) {
  EXPECT_EQ(AboutVersionText(), "Version 1.0 ");
  EXPECT_EQ(std::string(kHomePage).rfind(kDataRecoverySite, 0), 0u) << "the home page lies on the maker's site";
  EXPECT_TRUE(std::string(kHomePage).ends_with("/tailmend.htm"));
}

// The processing dialog's view as the run leaves it, by the dialog's design names.
class RecordedView final : public ProcessingView {
public:
  void SetCaption(const std::string& text) override { caption = text; }
  void SetControlText(std::string_view control, const std::string& text) override {
    ControlNamed(ProcessingDialogDesign(), control);
    texts[std::string(control)] = text;
  }
  void AppendEventRows(const std::vector<EventRow>& added) override {
    for (const EventRow& row : added) rows.emplace_back(row.file, std::string(EventText(row.result.event)));
    typedRows.insert(typedRows.end(), added.begin(), added.end());
  }
  void ShowErrorBox(const std::string& message) override { boxes.push_back(message); }
  void ShowTaskbarProgress(const TaskbarProgress& progress) override { taskbar = progress; }

  std::string caption;
  std::map<std::string, std::string> texts;
  std::vector<std::pair<std::string, std::string>> rows;  // file, event
  std::vector<EventRow> typedRows;
  std::vector<std::string> boxes;
  TaskbarProgress taskbar;
};

using Texts = std::map<std::string, std::string>;
using Rows = std::vector<std::pair<std::string, std::string>>;

// The worker as the test runs it: its work waits until the test calls it.
struct HeldWorker {
  std::function<void()> work;
  WorkerStart Start() {
    return [this](std::function<void()> started) { work = std::move(started); };
  }
};

// Each step's status stands beside it, the backup box decides the second, a file that cannot be
// opened gets its row "Failed" and the run goes on; the run finishes with Close and one box for
// the files that failed.
TEST(ProcessingDialogRules, ARunShowsWhatItReportedAndFinishesWithCloseAndOneBoxOfFailures) {
  for (const bool backup : {true, false}) {
    SCOPED_TRACE(backup);
    TempDir dir;
    RecordedView view;
    ProcessingProgress progress(view);
    HeldWorker worker;
    const std::string invalid = dir.Put("A.CRW", Bytes(1000, 'I'));
    const std::string missing = dir.File("B.CRW");
    const std::string damaged = dir.Put("C.CRW", DamagedPhoto());
    progress.Start({invalid, missing, damaged}, backup, worker.Start());
    progress.Refresh();
    EXPECT_TRUE(view.caption.empty()) << "nothing reported, nothing drawn";
    EXPECT_FALSE(progress.MayClose());
    worker.work();
    progress.Refresh();
    EXPECT_EQ(view.caption, "Processing 3 of 3");
    const std::string second = backup ? "Done" : "Skiped";
    EXPECT_EQ(view.texts, (Texts{{"Label12", "Done"}, {"Label22", second}, {"Label32", "Done"}, {"Button1", "Close"},
                                 {"Label41", "3 files: 1 repaired, 1 not a CRW file, 1 failed"}}));
    EXPECT_EQ(view.rows, (Rows{{invalid, "Invalid crw file"}, {missing, "Failed"}, {damaged, "Done"}}));
    ASSERT_TRUE(view.typedRows[1].failure.has_value());
    EXPECT_EQ(view.typedRows[1].failure->kind, FailureKind::Open);
    EXPECT_EQ(view.boxes, std::vector<std::string>{ErrorBoxText(OpenErrorText(missing, kNoSuchFileCode))});
    EXPECT_EQ(view.taskbar, (TaskbarProgress{3, 3, true}));
    EXPECT_TRUE(progress.MayClose());
    EXPECT_TRUE(progress.Press());
  }
}

// An error out of the run (here: no thread for it) is shown, and leaves the dialog running until
// Stop is pressed.
TEST(ProcessingDialogRules, AnErrorLeavesItRunningUntilStopIsPressed) {
  RecordedView view;
  ProcessingProgress progress(view);
  progress.Start({"IMG.CRW"}, false, [](const std::function<void()>&) { throw std::runtime_error("No thread"); });
  progress.Refresh();
  EXPECT_EQ(view.boxes, std::vector<std::string>{"No thread"});
  EXPECT_EQ(view.texts.count("Button1"), 0u) << "the button still says Stop";
  EXPECT_TRUE(view.taskbar.failing);
  EXPECT_FALSE(progress.MayClose());
  EXPECT_FALSE(progress.Press()) << "Stop only asks to stop";
  EXPECT_TRUE(progress.MayClose());
}

std::vector<WindowDesign> DesignsAt(int dpi) {
  return {ScaledDesign(MainWindowDesign(), dpi), ScaledDesign(ProcessingDialogDesign(), dpi),
          ScaledDesign(DocumentViewerDesign(), dpi), ScaledDesign(AboutBoxDesign(), dpi),
          ScaledDesign(DetailsWindowDesign(), dpi)};
}

// At each density a screen may have, where rounding could push a control past its parent's edge.
TEST(WindowDesignRules, EachControlHasItsOwnNameAndLiesInsideItsParent) {
  for (const int dpi : {96, 120, 144, 168, 192}) {
    for (const WindowDesign& design : DesignsAt(dpi)) {
      SCOPED_TRACE(design.name + " at " + std::to_string(dpi));
      std::set<std::string> names;
      for (const ControlDesign& control : design.controls) {
        SCOPED_TRACE(control.name);
        EXPECT_TRUE(names.insert(control.name).second) << "a second control of that name";
        DesignSize area = design.client;
        if (!control.parent.empty()) {
          ASSERT_EQ(names.count(control.parent), 1u) << "a parent comes before its controls";
          const ControlDesign& parent = ControlNamed(design, control.parent);
          EXPECT_EQ(parent.kind, ControlKind::GroupBox);
          area = {parent.place.width, parent.place.height};
        }
        if (control.kind == ControlKind::Picture) continue;  // it may reach past the window's edge
        EXPECT_GE(control.place.left, 0);
        EXPECT_GE(control.place.top, 0);
        EXPECT_LE(control.place.left + control.place.width, area.width);
        EXPECT_LE(control.place.top + control.place.height, area.height);
      }
    }
  }
  EXPECT_THROW(ControlNamed(AboutBoxDesign(), "Button7"), std::out_of_range);
}

// Every length a design holds, in one list.
std::vector<int> LengthsOf(const WindowDesign& design) {
  std::vector<int> lengths{design.client.width, design.client.height, design.font.pixels};
  for (const ControlDesign& control : design.controls) {
    const DesignRect& place = control.place;
    lengths.insert(lengths.end(), {place.left, place.top, place.width, place.height, FontOf(design, control).pixels});
    for (const ListColumn& column : control.columns) lengths.push_back(column.width);
  }
  return lengths;
}

TEST(WindowDesignRules, ScalingMultipliesEveryLengthByTheDensityOver96) {
  EXPECT_EQ(ScaledLength(11, 144), 17) << "half a pixel rounds up";
  EXPECT_EQ(ScaledLength(283, 120), 354);
  const std::vector<WindowDesign> designs = DesignsAt(kDesignDpi);
  const std::vector<WindowDesign> doubled = DesignsAt(192);
  for (std::size_t k = 0; k < designs.size(); ++k) {
    std::vector<int> twice = LengthsOf(designs[k]);
    for (int& length : twice) length *= 2;
    EXPECT_EQ(LengthsOf(doubled[k]), twice) << designs[k].name;
  }
}

// How tests stand in for a window program's desktop services, one replacement inside another.
TEST(ScopedReplacementRule, PutsBackWhatItReplaced) {
  std::string current = "system";
  {
    const ScopedReplacement<std::string> outer(current, "outer");
    {
      const ScopedReplacement<std::string> inner(current, "inner");
      EXPECT_EQ(current, "inner");
    }
    EXPECT_EQ(current, "outer");
  }
  EXPECT_EQ(current, "system");
}

TEST(ErrorBoxRules, AFullStopIsAddedOnlyAfterACharacterOrderedAfterIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"Disk full", "Disk full."},
      {"Disk full.", "Disk full."},
      {"Ends in a blank ", "Ends in a blank "},
      {"Ends in a hyphen-", "Ends in a hyphen-"},   // 0x2D comes before the full stop
      {"Ends in a slash /", "Ends in a slash /."},  // 0x2F comes after it
      {"Code: 5\nAcc\xC3\xA8s refus\xC3\xA9", "Code: 5\nAcc\xC3\xA8s refus\xC3\xA9."},
      {"", ""},
  };
  for (const auto& [message, shown] : cases) EXPECT_EQ(ErrorBoxText(message), shown) << message;
}

TEST(ErrorBoxRules, TheGuardShowsEveryErrorOnceAndCarriesOn) {
  std::vector<std::string> shown;
  const ErrorBoxShower show = [&](const std::string& text) { shown.push_back(text); };
  RunGuarded([] { throw PlatformError("Cannot open file \"a.crw\". Permission denied"); }, show);
  RunGuarded([] { throw 42; }, show);
  bool ran = false;
  RunGuarded([&] { ran = true; }, show);
  EXPECT_EQ(shown, (std::vector<std::string>{"Cannot open file \"a.crw\". Permission denied.", "Unknown error."}));
  EXPECT_TRUE(ran);
}

class DocumentLookup : public ::testing::Test {
protected:
  TempDir program, data, current;
  std::vector<std::string> Folders() const {
    return DocumentFolders(program.Path().string(), data.Path().string(), current.Path().string());
  }
};

TEST_F(DocumentLookup, BesideTheProgramThenTheDataFolderThenTheCurrentFolder) {
  EXPECT_EQ(DocumentFolders("p", std::nullopt, "c"), (std::vector<std::string>{"p", "c"}));
  EXPECT_EQ(FindDocument("whatis.rtf", Folders()), std::nullopt);
  current.Put("whatis.rtf", {'c'});
  EXPECT_EQ(FindDocument("whatis.rtf", Folders()), current.File("whatis.rtf"));
  data.Put("whatis.rtf", {'d'});
  EXPECT_EQ(FindDocument("whatis.rtf", Folders()), data.File("whatis.rtf"));
  fs::create_directory(program.Path() / "whatis.rtf");
  EXPECT_EQ(FindDocument("whatis.rtf", Folders()), data.File("whatis.rtf")) << "a folder is no document";
  EXPECT_EQ(FindDocument("howto.rtf", Folders()), std::nullopt);
}

TEST_F(DocumentLookup, ADocumentIsReadWholeOrNotAtAll) {
  const Bytes text = {'{', '\\', 'r', 't', 'f', '1', ' ', 'x', '}'};
  EXPECT_EQ(ReadDocument(current.Put("howto.rtf", text)), std::string(text.begin(), text.end()));
  try {
    ReadDocument(current.File("gone.rtf"));
    ADD_FAILURE() << "a missing document was read";
  } catch (const PlatformError& error) {
    EXPECT_EQ(std::string(error.what()).rfind("Cannot open file \"" + current.File("gone.rtf") + "\". ", 0), 0u)
        << error.what();
  }
  // One that reads short, as a file cut while it is read does, or that is too large to be a help
  // document, is not shown in part.
  const auto expectNotLoaded = [](const std::string& path, const char* why) {
    try {
      ReadDocument(path);
      ADD_FAILURE() << "read: " << why;
    } catch (const PlatformError& error) {
      EXPECT_STREQ(error.what(), kLoadFailureText) << why;
    }
  };
  const std::string document = current.Put("whatis.rtf", text);
  fault_injection::Intercept([](FileOperation operation) -> std::optional<int> {
    if (operation == FileOperation::Read) return 0;
    return std::nullopt;
  });
  expectNotLoaded(document, "a short read");
  fault_injection::Disarm();
  fs::resize_file(document, (std::uintmax_t{64} << 20) + 1);
  expectNotLoaded(document, "over 64 MiB");
}

// A picture is shown as large as its box allows, proportions kept, never enlarged; a JPEG is
// decoded reduced as far as still leaves it that large.
TEST(PictureFit, ThePictureFitsItsBoxAndIsDecodedNoLargerThanNeeded) {
  const struct {
    DesignSize picture, box, fitted;
    int reduction;
  } cases[] = {
      {{3072, 2048}, {240, 160}, {240, 160}, 8}, {{2048, 1360}, {360, 240}, {360, 239}, 4},
      {{1536, 1024}, {240, 200}, {240, 160}, 4}, {{1000, 2000}, {240, 160}, {80, 160}, 8},
      {{338, 226}, {80, 60}, {80, 53}, 4},       {{160, 120}, {240, 160}, {160, 120}, 1},
      {{9, 1}, {3, 3}, {3, 1}, 4},               {{20000, 100}, {240, 160}, {0, 0}, 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.picture.width) + " x " + std::to_string(c.picture.height));
    const DesignSize fitted = FittedSize(c.picture, c.box);
    EXPECT_EQ(fitted.width, c.fitted.width);
    EXPECT_EQ(fitted.height, c.fitted.height);
    EXPECT_EQ(JpegReduction(c.picture, fitted), c.reduction);
  }
}

}  // namespace
}  // namespace tailmend::test
