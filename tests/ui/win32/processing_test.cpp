#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <utility>

#include "tests/support/ciff_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/win32/window_harness.h"
#include "ui/behaviour/window_designs.h"
#include "ui/win32/main.h"
#include "ui/win32/process.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kHeapEnd = 700000;

class ProcessingDialog : public WindowTest {
protected:
  ProcessingDialog() { window.Show(); }

  std::string PutDamaged(const std::string& name) {
    const std::string path = dir.File(name);
    WriteBytes(path, CiffBuilder().HeapEnd(kHeapEnd).Junk(4096).Build());
    return path;
  }
  // Selects files through the main window's own Browse button.
  void Select(const std::vector<std::string>& paths) {
    chosenFiles.clear();
    for (const std::string& path : paths) chosenFiles.push_back(fs::u8path(path).wstring());
    Click(Find(window.Handle(), MainWindowDesign(), "Button1"));
  }
  int RowCount() const {
    return static_cast<int>(
        ::SendMessageW(Find(window.Handle(), MainWindowDesign(), "ListView1"), LVM_GETITEMCOUNT, 0, 0));
  }
  void Run(TfrmProcessing& dialog, const std::function<void(HWND)>& inspect) {
    WithModal([&] { dialog.ShowModal(window.Handle()); }, inspect);
  }

  TempDir dir;
  TfrmMain window;
};

TEST_F(ProcessingDialog, AfterARunShowsTheLastFileAndEscapeCloses) {
  Select({PutDamaged("IMG_0001.CRW"), PutDamaged("IMG_0002.CRW"), PutDamaged("IMG_0003.CRW")});
  TfrmProcessing dialog(window);
  Run(dialog, [](HWND shown) {
    EXPECT_EQ(Text(shown), L"Processing 3 of 3");
    EXPECT_EQ(Text(Find(shown, ProcessingDialogDesign(), "Label12")), L"Done");
    EXPECT_EQ(Text(Find(shown, ProcessingDialogDesign(), "Label22")), L"Skiped");
    EXPECT_EQ(Text(Find(shown, ProcessingDialogDesign(), "Label32")), L"Done");
    EXPECT_EQ(Text(Find(shown, ProcessingDialogDesign(), "Button1")), L"Close");
    PressKey(shown, VK_ESCAPE);
    EXPECT_FALSE(IsShown(shown)) << "Escape closes a finished run";
  });
  EXPECT_EQ(RowCount(), 3);
}

// A file that cannot be opened ends the run with an error, which is shown while the dialog is not
// yet on screen. The dialog then stays in the running state and only lets itself be closed once
// Stop has been pressed.
TEST_F(ProcessingDialog, AnErrorLeavesTheRunningStateWhichRefusesToCloseUntilStopped) {
  const std::string first = PutDamaged("IMG_0001.CRW");
  const std::string missing = dir.File("IMG_0002.CRW");
  const std::string third = PutDamaged("IMG_0003.CRW");
  Select({first, missing, third});
  TfrmProcessing dialog(window);
  bool hiddenDuringTheBox = false;
  DesktopServices services = CurrentServices();
  services.showErrorBox = [&](HWND, const std::wstring& caption, const std::wstring& text) {
    errorBoxes.emplace_back(caption, text);
    hiddenDuringTheBox = dialog.Handle() != nullptr && !::IsWindowVisible(dialog.Handle());
  };
  const ScopedServices watching(std::move(services));
  Run(dialog, [&](HWND shown) {
    EXPECT_EQ(Text(shown), L"Processing 2 of 3");
    HWND button = Find(shown, ProcessingDialogDesign(), "Button1");
    EXPECT_EQ(Text(button), L"Stop");

    PressCloseBox(shown);
    EXPECT_TRUE(IsShown(shown)) << "the close box is refused while running";
    PressKey(shown, VK_ESCAPE);
    EXPECT_TRUE(IsShown(shown)) << "Escape is refused while running";
    ::SendMessageW(shown, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsShown(shown)) << "Alt+F4 is refused while running";

    Click(button);
    EXPECT_TRUE(IsShown(shown)) << "Stop only asks to stop";

    PressCloseBox(shown);
    EXPECT_FALSE(IsShown(shown)) << "the close box works once stopped";
  });

  EXPECT_TRUE(hiddenDuringTheBox) << "the run goes before the dialog's first appearance";
  ASSERT_EQ(errorBoxes.size(), 1u);
  EXPECT_EQ(errorBoxes[0].first, L"Tailmend");
  const std::string text = Utf8(errorBoxes[0].second);
  const std::string prefix = "Cannot open file \"" + missing + "\". ";
  EXPECT_EQ(text.substr(0, prefix.size()), prefix);
  EXPECT_GT(text.size(), prefix.size() + 1) << "the system's message follows";
  EXPECT_EQ(text.back(), '.');
  ASSERT_EQ(RowCount(), 1) << "the row written before the error stays";
  EXPECT_EQ(fs::file_size(fs::u8path(first)), kHeapEnd);
  EXPECT_EQ(fs::file_size(fs::u8path(third)), kHeapEnd + 4096) << "files after the failing one are untouched";
}

// Only the first show runs the repair: a dialog hidden and shown again (as its owner's minimising
// and restoring does) does not run it again.
TEST_F(ProcessingDialog, ShowingTheDialogAgainDoesNotRepeatTheRun) {
  Select({PutDamaged("IMG_0001.CRW")});
  TfrmProcessing dialog(window);
  Run(dialog, [&](HWND shown) {
    ::ShowWindow(shown, SW_HIDE);
    ::ShowWindow(shown, SW_SHOW);
    EXPECT_EQ(RowCount(), 1);
  });
}

}  // namespace
}  // namespace tailmend::test
