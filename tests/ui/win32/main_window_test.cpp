#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <utility>

#include "engine/file_verdict.h"
#include "platform/file_stream.h"
#include "platform/wide_text_win32.h"
#include "tests/support/held_cut.h"
#include "tests/support/photos.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/win32/window_harness.h"
#include "ui/behaviour/csv_report.h"
#include "ui/behaviour/file_explanation.h"
#include "ui/behaviour/window_designs.h"
#include "ui/win32/design_drawing.h"
#include "ui/win32/gathering.h"
#include "ui/win32/main.h"
#include "ui/win32/wic_picture.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

struct Row {
  std::wstring number, file, event;
  bool operator==(const Row&) const = default;
};

std::wstring CellText(HWND list, int row, int column) {
  wchar_t text[1024] = {};
  LVITEMW cell{};
  cell.iSubItem = column;
  cell.pszText = text;
  cell.cchTextMax = 1024;
  ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
  return text;
}

// The text of the tooltip a window shows over one of its controls, from whichever tooltip has it.
std::wstring TooltipText(HWND window, HWND control) {
  wchar_t text[256] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = text;
  for (HWND tip = nullptr; text[0] == L'\0' && (tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));) {
    ::SendMessageW(tip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
  }
  return text;
}

class MainWindow : public WindowTest {
protected:
  MainWindow() : cwd(dir.Path()) { window.Show(); }

  HWND Control(const char* name) const { return Find(window.Handle(), MainWindowDesign(), name); }
  std::vector<Row> Rows() const {
    HWND list = Control("ListView1");
    std::vector<Row> rows;
    const auto count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int k = 0; k < count; ++k) rows.push_back({CellText(list, k, 0), CellText(list, k, 1), CellText(list, k, 2)});
    return rows;
  }
  std::wstring EditText() const { return Text(Control("Edit1")); }
  void Browse(const std::vector<std::wstring>& answer) {
    chosenFiles = answer;
    Click(Control("Button1"));
  }
  std::wstring PutDamaged(const std::string& name) {
    const std::string path = dir.File(name);
    WriteBytes(path, DamagedPhoto());
    return fs::u8path(path).wstring();
  }
  // Fix Now, then a look at the dialog once the run has ended, before it is closed with its button.
  void FixNow(const std::function<void(HWND dialog)>& inspect = [](HWND) {}) {
    WithModal([&] { Click(Control("Button7")); },
              [&](HWND dialog) {
                HWND button = Find(dialog, ProcessingDialogDesign(), "Button1");
                ASSERT_TRUE(PumpUntil([&] { return Text(button) == L"Close"; }));
                inspect(dialog);
                Click(button);
                EXPECT_FALSE(IsShown(dialog)) << "Close ends the dialog";
              });
  }

  TempDir dir;
  CurrentDirectory cwd;
  TfrmMain window;
};

// A card recovered into folders, a photo with a name in no ANSI code page, and a file of another kind.
class DesktopFilesToTheWindow : public MainWindow {
protected:
  std::wstring PutDamagedIn(const char* folder, const std::string& name) {
    fs::create_directories(dir.Path() / fs::u8path(folder));
    return PutDamaged(std::string(folder) + "\\" + name);
  }

  const std::wstring japanese = PutDamaged("\xE5\x86\x99\xE7\x9C\x9F.CRW");
  const std::wstring inFirst = PutDamagedIn("card\\recup_dir.1", "f0001.crw");
  const std::wstring russian = PutDamagedIn("card\\recup_dir.2", "\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE.CRW");
  const std::wstring card = fs::u8path(dir.File("card")).wstring();
  const std::wstring other = fs::u8path(dir.Put("notes.jpg", {0xFF, 0xD8})).wstring();
  const std::wstring expectedText = L"\"\u5199\u771F.CRW\" \"f0001.crw\" \"\u0424\u043E\u0442\u043E.CRW\" ";

  void ExpectNothingRepaired() const {
    for (const std::wstring& photo : {japanese, inFirst, russian}) {
      EXPECT_EQ(fs::file_size(photo), DamagedPhoto().size()) << "nothing is repaired before Fix Now";
    }
  }
};

// What Explorer hands a window over: a global block with a DROPFILES header and the names in
// UTF-16, each ended by a zero, the list by another. The window releases it with DragFinish.
HDROP MakeDrop(const std::vector<std::wstring>& paths) {
  std::wstring names;
  for (const std::wstring& path : paths) names += path + L'\0';
  names += L'\0';
  const std::size_t bytes = names.size() * sizeof(wchar_t);
  HGLOBAL block = ::GlobalAlloc(GHND, sizeof(DROPFILES) + bytes);
  auto* header = static_cast<DROPFILES*>(::GlobalLock(block));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(), bytes);
  ::GlobalUnlock(block);
  return static_cast<HDROP>(block);
}

TEST_F(DesktopFilesToTheWindow, ADropReplacesTheSelectionAsBrowseDoesAndRepairsNothing) {
  EXPECT_TRUE(::GetWindowLongPtrW(window.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) << "Explorer drops only there";
  Browse({L"C:\\photos\\IMG_0001.CRW"});

  ::SendMessageW(window.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({japanese, card, other})), 0);
  EXPECT_EQ(EditText(), expectedText);
  ASSERT_EQ(window.SelectedFiles().size(), 3u);
  EXPECT_EQ(window.SelectedFiles()[1].path, Utf8FromWide(inFirst));
  EXPECT_TRUE(errorBoxes.empty());
  ExpectNothingRepaired();
  EXPECT_TRUE(Rows().empty());

  ::SendMessageW(window.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({other})), 0);
  EXPECT_EQ(EditText(), expectedText) << "nothing to take keeps the selection";
  ASSERT_EQ(errorBoxes.size(), 1u);
  EXPECT_EQ(errorBoxes[0].first, L"Tailmend");
  EXPECT_EQ(errorBoxes[0].second, L"None of the files given is a .crw file.");
}

// The program itself, started as Explorer starts it for "Open with" or the verb: a UTF-16 command
// line with each name in quotes.
TEST_F(DesktopFilesToTheWindow, TheProgramSelectsTheFilesAndFoldersOfItsCommandLine) {
  wchar_t self[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const fs::path program =
      (fs::path(std::wstring(self, length)).parent_path() / fs::u8path(TAILMEND_PROGRAM_FROM_TESTS)).lexically_normal();
  std::wstring commandLine = L"\"" + program.wstring() + L"\"";
  for (const std::wstring& argument : {japanese, card, other}) commandLine += L" \"" + argument + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &started));
  ::WaitForInputIdle(started.hProcess, 30000);
  struct Search {
    DWORD process;
    HWND found;
  } search{started.dwProcessId, nullptr};
  for (int tries = 0; tries < 300 && search.found == nullptr; ++tries) {
    ::EnumWindows(
        [](HWND candidate, LPARAM data) -> BOOL {
          auto* wanted = reinterpret_cast<Search*>(data);
          DWORD process = 0;
          ::GetWindowThreadProcessId(candidate, &process);
          wchar_t type[16] = {};
          ::GetClassNameW(candidate, type, 16);
          if (process != wanted->process || std::wstring(type) != L"TfrmMain") return TRUE;
          wanted->found = candidate;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) ::Sleep(100);
  }
  if (search.found != nullptr) {
    // GetWindowText reads another program's control as it was created; the message asks the control.
    // The window is up before it has taken its command line.
    HWND edit = Find(search.found, MainWindowDesign(), "Edit1");
    wchar_t text[1024] = {};
    for (int tries = 0; tries < 100 && std::wstring(text) != expectedText; ++tries) {
      if (tries > 0) ::Sleep(100);
      ::SendMessageW(edit, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    }
    EXPECT_EQ(std::wstring(text), expectedText);
    ::PostMessageW(search.found, WM_CLOSE, 0, 0);
  }
  const DWORD ended = ::WaitForSingleObject(started.hProcess, 30000);
  if (ended != WAIT_OBJECT_0) ::TerminateProcess(started.hProcess, 1);
  ::CloseHandle(started.hThread);
  ::CloseHandle(started.hProcess);
  ASSERT_NE(search.found, nullptr) << "the program showed no main window";
  EXPECT_EQ(ended, WAIT_OBJECT_0) << "closing its window ends the program";
  ExpectNothingRepaired();
}

// Well-formed messages of absolute names from a hand-over window of this program (the installer's
// test starts another), within 3 s of the last and a minute of the start, across the tick's wrap.
TEST_F(MainWindow, AGatheringWindowTakesOnlyAbsoluteNamesFromThisProgramForAMinuteAtMost) {
  using namespace std::string_literals;
  const HandOverWindow sender;
  Gathering gathering;
  constexpr DWORD kStart = 0xFFFF0000;
  const auto takes = [&](std::wstring names, DWORD at, HWND from, ULONG_PTR kind = kHandedFilesMessage) {
    const COPYDATASTRUCT data{kind, static_cast<DWORD>(names.size() * sizeof(wchar_t)), names.data()};
    return gathering.Take(from, data, at).has_value();
  };
  gathering.Start(window.Handle(), kStart);
  EXPECT_FALSE(takes(L"C:\\a.crw\0"s, kStart, window.Handle())) << "the window itself";
  EXPECT_FALSE(takes(L"C:\\a.crw\0"s, kStart, sender.Handle(), kHandedFilesMessage + 1));
  for (const std::wstring& names : {L"a.crw\0"s, L"C:a.crw\0"s, L"\\a.crw\0"s, L"C:\\b\\..\\a.crw\0"s, L"C:\\a.crw"s}) {
    EXPECT_FALSE(takes(names, kStart, sender.Handle())) << ::testing::PrintToString(names);
  }
  DWORD at = kStart;
  for (int part = 0; part < 23; ++part) {
    EXPECT_TRUE(takes(L"C:\\a.crw\0\\\\s\\p\\b.crw\0"s, at += 2500, sender.Handle())) << "from this program";
  }
  EXPECT_FALSE(takes(L"C:\\a.crw\0"s, kStart + 60000, sender.Handle())) << "a minute after the start";
  gathering.Start(window.Handle(), kStart);
  EXPECT_FALSE(takes(L"C:\\a.crw\0"s, kStart + 3000, sender.Handle())) << "three seconds without files";
  gathering.Stop();
}

TEST_F(MainWindow, StartsWithItsPictureAndNothingSelectedInAFixedBorder) {
  const auto style = ::GetWindowLongPtrW(window.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME)) << "the border is not resizable";
  EXPECT_NE(::SendMessageW(Control("Image1"), STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << "the picture is shown";

  EXPECT_TRUE(EditText().empty());
  EXPECT_EQ(::SendMessageW(Control("CheckBox1"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(window.SelectedFiles().empty());
}

TEST_F(MainWindow, BrowseShowsEachNameQuotedWithABlankAndANewSelectionReplacesTheOld) {
  Browse({L"C:\\photos\\IMG_0001.CRW", L"C:\\photos\\IMG_0002.CRW"});
  EXPECT_EQ(EditText(), L"\"IMG_0001.CRW\" \"IMG_0002.CRW\" ");
  EXPECT_EQ(TooltipText(window.Handle(), Control("Edit1")), L"2 files selected from C:\\photos\\");
  EXPECT_EQ(window.SelectedFiles(), (FileList{"C:\\photos\\IMG_0001.CRW", "C:\\photos\\IMG_0002.CRW"}));

  Browse({L"D:\\other\\IMG_0042.CRW"});
  EXPECT_EQ(EditText(), L"\"IMG_0042.CRW\" ");
  EXPECT_EQ(window.SelectedFiles(), FileList{"D:\\other\\IMG_0042.CRW"});

  Browse({});
  EXPECT_EQ(fileDialogsShown, 3);
  EXPECT_EQ(EditText(), L"\"IMG_0042.CRW\" ") << "a cancelled selection keeps the text";
  EXPECT_EQ(window.SelectedFiles(), FileList{"D:\\other\\IMG_0042.CRW"}) << "and the list";
}

TEST_F(MainWindow, TwoRunsRepairOnceAndNumberTheirRowsOn) {
  const std::wstring first = PutDamaged("IMG_0001.CRW");
  const std::wstring second = PutDamaged("IMG_0002.CRW");
  Browse({first, second});
  Click(Control("CheckBox1"));
  EXPECT_TRUE(window.BackupRequested());

  // The first run is closed with its button, the second with Escape.
  for (const bool secondRun : {false, true}) {
    WithModal([&] { Click(Control("Button7")); },
              [&](HWND dialog) {
                ASSERT_TRUE(PumpUntil([&] { return Text(Find(dialog, ProcessingDialogDesign(), "Button1")) == L"Close"; }));
                EXPECT_EQ(Text(dialog), L"Processing 2 of 2");
                const HWND firstStep = Find(dialog, ProcessingDialogDesign(), "Label12");
                EXPECT_EQ(Text(firstStep), secondRun ? L"No file tail" : L"Done");
                EXPECT_FALSE(::IsWindowEnabled(::GetWindow(dialog, GW_OWNER))) << "the main window waits for it";
                HWND button = Find(dialog, ProcessingDialogDesign(), "Button1");
                EXPECT_EQ(Text(button), L"Close");
                if (secondRun) {
                  PressKey(dialog, VK_ESCAPE);
                } else {
                  Click(button);
                }
                EXPECT_FALSE(IsShown(dialog)) << "a finished run closes";
              });
  }
  EXPECT_TRUE(::IsWindowEnabled(window.Handle()));

  const std::vector<Row> expected = {
      {L"1", first, L"Done"}, {L"2", second, L"Done"}, {L"3", first, L"No file tail"}, {L"4", second, L"No file tail"}};
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(fs::file_size(first), kPhotoHeapEnd);
  EXPECT_EQ(fs::file_size(second), kPhotoHeapEnd);
  EXPECT_EQ(fs::file_size(dir.Path() / "IMG_0001_bak0.crw"), DamagedPhoto().size()) << "the backup is the whole file";
  EXPECT_FALSE(fs::exists(dir.Path() / "IMG_0001_bak1.crw")) << "the second run found no tail to back up";
  EXPECT_TRUE(errorBoxes.empty());
}

// A card's run as a person sees it: a photo moved away after its selection gets its row "Failed"
// and the run goes on; Stop pressed while the next photo is being cut finishes that photo, its
// backup written first, and leaves the last as it was, with no backup. Meanwhile the dialog
// follows the run and neither it nor the main window lets itself be closed; once the run is over,
// one box over the dialog says what went wrong.
TEST_F(MainWindow, ARunGoesOnPastAFailedPhotoAndStopsBeforeTheNextFileOnlyThenClosing) {
  const std::wstring first = PutDamaged("IMG_0001.CRW");
  const std::wstring missing = (dir.Path() / "IMG_0002.CRW").wstring();
  const std::wstring third = PutDamaged("IMG_0003.CRW");
  const std::wstring last = PutDamaged("IMG_0004.CRW");
  Browse({first, missing, third, last});
  Click(Control("CheckBox1"));
  HeldCut held(2);
  WithModal([&] { Click(Control("Button7")); },
            [&](HWND shown) {
              ASSERT_TRUE(PumpUntil([&] { return held.Held() && Rows().size() == 2; }));
              EXPECT_EQ(Text(shown), L"Processing 3 of 4");
              EXPECT_EQ(Text(Find(shown, ProcessingDialogDesign(), "Label22")), L"Done");
              HWND button = Find(shown, ProcessingDialogDesign(), "Button1");
              for (const bool stopPressed : {false, true}) {
                PressCloseBox(shown);
                PressKey(shown, VK_ESCAPE);
                ::SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
                EXPECT_TRUE(IsShown(shown) && IsShown(window.Handle())) << "no closing while running " << stopPressed;
                Click(button);
              }
              EXPECT_TRUE(errorBoxes.empty()) << "the box waits for the run's end";
              held.Release();
              ASSERT_TRUE(PumpUntil([&] { return Text(button) == L"Close"; }));
              PressCloseBox(shown);
              EXPECT_FALSE(IsShown(shown)) << "the close box works once the run has ended";
            });
  MSG quit{};
  EXPECT_FALSE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the program goes on";
  ASSERT_EQ(errorBoxes.size(), 1u);
  const std::string prefix = "Cannot open file \"" + Utf8(missing) + "\". ";
  EXPECT_EQ(Utf8(errorBoxes[0].second).substr(0, prefix.size()), prefix);
  EXPECT_EQ(Rows(), (std::vector<Row>{{L"1", first, L"Done"}, {L"2", missing, L"Failed"}, {L"3", third, L"Done"}}));
  EXPECT_EQ(window.EventRows()[1].failure->kind, FailureKind::Open);
  EXPECT_EQ(fs::file_size(third), kPhotoHeapEnd);
  EXPECT_EQ(fs::file_size(dir.Path() / "IMG_0003_bak0.crw"), DamagedPhoto().size());
  EXPECT_EQ(fs::file_size(last), DamagedPhoto().size());
  EXPECT_FALSE(fs::exists(dir.Path() / "IMG_0004_bak0.crw"));
}

// Each row shows its state's icon and, under the mouse, its path and sentence, as the list asks its
// window for them; Enter on the list shows its details, the photo's preview among them, or none for a
// file never read; the list's menu acts on the chosen row, and saves every row as a report.
TEST_F(MainWindow, EachRowExplainsItselfAndTheListsMenuActsOnIt) {
  const std::span<const unsigned char> jpeg = MainPictureBytes();
  const std::wstring photo = fs::u8path(dir.Put("IMG_0001.CRW", PhotoWithPreview(Bytes(jpeg.begin(), jpeg.end())))).wstring();
  const std::string gone = dir.File("gone.crw");
  FileStream stream = FileStream::OpenReadSharedRead(Utf8(photo));
  window.AddEventRows({{Utf8(photo), FileResult{Event::Done, JudgeFile(stream)}, {}},
                       {gone, FileResult{Event::Failed, {}}, FileFailure{FailureKind::Open, "Gone"}}});
  HWND list = Control("ListView1");
  const NMHDR from{list, static_cast<UINT_PTR>(::GetDlgCtrlID(list)), LVN_GETDISPINFOW};
  NMLVDISPINFOW cell{from, {}};
  cell.item.mask = LVIF_IMAGE;
  cell.item.iItem = 1;
  ::SendMessageW(window.Handle(), WM_NOTIFY, from.idFrom, reinterpret_cast<LPARAM>(&cell));
  EXPECT_EQ(cell.item.iImage, static_cast<int>(FileState::Failed));
  RECT second{LVIR_LABEL, 0, 0, 0};
  ::SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
  ::SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(second.left + 2, second.top + 2));
  EXPECT_EQ(Utf8(TooltipText(window.Handle(), list)), gone + "\nFailed: Gone");
  LVITEMW chosen{};
  chosen.stateMask = chosen.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&chosen));
  const auto choose = [&](int item) { ::SendMessageW(window.Handle(), WM_COMMAND, kFirstMenuItemId + item, 0); };
  choose(1);  // Show in Folder
  choose(2);  // Copy Path
  EXPECT_EQ(copiedTexts, std::vector<std::wstring>{photo});
  reportFile = (dir.Path() / "report.csv").wstring();
  choose(3);  // Save Report...
  const std::string report = CsvReport(window.EventRows());
  EXPECT_EQ(ReadBytes(dir.File("report.csv")), Bytes(report.begin(), report.end()));
  const WindowDesign& design = DetailsWindowDesign();
  WithModal([&] { ::SetFocus(list), PressKey(window.Handle(), VK_RETURN); },
            [&](HWND details) {
              EXPECT_EQ(Text(Find(details, design, "Edit1")), L"IMG_0001.CRW");
              EXPECT_EQ(Text(Find(details, design, "Label14")), L"CRW_0042.CRW") << "the camera's name";
              EXPECT_NE(::SendMessageW(Find(details, design, "Image1"), STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << "the preview";
              Click(Find(details, design, "Button2"));
              EXPECT_EQ(shownInFolder, std::vector<std::wstring>(2, photo)) << "by the menu, then here";
              EXPECT_TRUE(IsShown(details)) << "open until OK";
            });
  ::SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&chosen));
  WithModal([&] { choose(0); }, [&](HWND details) {
    EXPECT_EQ(::SendMessageW(Find(details, design, "Image1"), STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << "no preview";
  });
  EXPECT_TRUE(errorBoxes.empty());
}

// Wine's edit box draws nothing of a line of more than 255 script runs (a name makes about six).
TEST_F(MainWindow, TheSourceFilesBoxDrawsTheNamesOfACardsSelection) {
  Browse(std::vector<std::wstring>(500, L"C:\\card\\f1234567.crw"));
  HWND edit = Control("Edit1");
  ::RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const SIZE size = ClientSize(edit);
  HDC dc = ::GetDC(edit);
  int dark = 0;
  for (int x = 0; x < size.cx; ++x) {
    for (int y = 0; y < size.cy; ++y) dark += GetRValue(::GetPixel(dc, x, y)) < 128 ? 1 : 0;
  }
  ::ReleaseDC(edit, dc);
  EXPECT_GT(dark, 0) << "the names are drawn";
}

// Only the first show runs the repair: a dialog hidden and shown again (as its owner's minimising
// and restoring does) does not run it again.
TEST_F(MainWindow, ShowingTheDialogAgainDoesNotRepeatTheRun) {
  Browse({PutDamaged("IMG_0001.CRW")});
  FixNow([&](HWND shown) {
    ::ShowWindow(shown, SW_HIDE);
    ::ShowWindow(shown, SW_SHOW);
    EXPECT_EQ(Rows().size(), 1u);
  });
}

// Wide characters all the way: from the dialog through the file layer into the event list.
TEST_F(MainWindow, ACyrillicFileNameTravelsFromTheDialogThroughARunIntoTheEventList) {
  const std::wstring photo = PutDamaged("\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE_0001.CRW");  // Фото_0001.CRW
  Browse({photo});
  EXPECT_EQ(EditText(), L"\"\u0424\u043E\u0442\u043E_0001.CRW\" ");
  FixNow();
  EXPECT_EQ(Rows(), (std::vector<Row>{{L"1", photo, L"Done"}}));
  EXPECT_EQ(fs::file_size(photo), kPhotoHeapEnd);
  EXPECT_TRUE(errorBoxes.empty());
}

TEST_F(MainWindow, TheDocumentButtonsOpenTheirOwnDocument) {
  WriteBytes(dir.File("whatis.rtf"), {'w', 'h', 'a', 't'});
  WriteBytes(dir.File("howto.rtf"), {'h', 'o', 'w'});
  struct Expected {
    const char* button;
    const wchar_t* caption;
    const wchar_t* text;
  };
  for (const Expected& doc : {Expected{"Button4", L"What's this?", L"what"},
                              Expected{"Button5", L"How To ...", L"how"}}) {
    WithModal([&] { Click(Control(doc.button)); },
              [&](HWND dialog) {
                EXPECT_EQ(Text(dialog), doc.caption);
                EXPECT_EQ(Text(Find(dialog, DocumentViewerDesign(), "RichEdit1")), doc.text);
                Click(Find(dialog, DocumentViewerDesign(), "Button1"));
                EXPECT_FALSE(IsShown(dialog)) << "OK closes the viewer";
              });
  }
}

TEST_F(MainWindow, DataRecoveryOpensTheSiteWithoutAWindow) {
  Click(Control("Button8"));
  EXPECT_EQ(openedPages, std::vector<std::wstring>{L"http://www.tailmend.example/"});
  EXPECT_TRUE(::IsWindowEnabled(window.Handle())) << "no dialog is open";
}

// Both Close and the close box end the message loop; the close box also releases the selection.
TEST_F(MainWindow, CloseAndTheCloseBoxEndTheProgram) {
  const auto quitPosted = [] {
    MSG message{};
    return ::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
  };
  Browse({L"C:\\photos\\IMG_0001.CRW"});
  Click(Control("Button6"));
  EXPECT_TRUE(quitPosted());
  EXPECT_EQ(window.SelectedFiles().size(), 1u);

  PressCloseBox(window.Handle());
  EXPECT_TRUE(quitPosted());
  EXPECT_FALSE(IsShown(window.Handle()));
  EXPECT_TRUE(window.SelectedFiles().empty());
}

}  // namespace
}  // namespace tailmend::test
