#include <windows.h>
#include <commctrl.h>

#include <filesystem>

#include "platform/wide_text_win32.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/win32/window_harness.h"
#include "ui/win32/doc.h"
#include "ui/win32/main.h"
#include "ui/win32/process.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kHeapEnd = 700000;

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

class MainWindow : public WindowTest {
protected:
  MainWindow() : cwd(dir.Path()) { window.Show(); }

  HWND Control(int id) const { return Find(window.Handle(), id); }
  std::vector<Row> Rows() const {
    HWND list = Control(TfrmMain::ListView1);
    std::vector<Row> rows;
    const auto count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int k = 0; k < count; ++k) rows.push_back({CellText(list, k, 0), CellText(list, k, 1), CellText(list, k, 2)});
    return rows;
  }
  std::wstring EditText() const { return Text(Control(TfrmMain::Edit1)); }
  void Browse(const std::vector<std::wstring>& answer) {
    chosenFiles = answer;
    Click(Control(TfrmMain::Button1));
  }
  std::wstring PutDamaged(const std::string& name) {
    const std::string path = dir.File(name);
    WriteBytes(path, CiffBuilder().HeapEnd(kHeapEnd).Junk(4096).Build());
    return fs::u8path(path).wstring();
  }
  // Fix Now, then a look at the finished dialog before it is closed with its button.
  void FixNow(const std::function<void(HWND dialog)>& inspect = [](HWND) {}) {
    WithModal([&] { Click(Control(TfrmMain::Button7)); },
              [&](HWND dialog) {
                inspect(dialog);
                HWND button = Find(dialog, TfrmProcessing::Button1);
                EXPECT_EQ(Text(button), L"Close");
                Click(button);
                EXPECT_FALSE(IsShown(dialog)) << "Close ends the dialog";
              });
  }

  TempDir dir;
  CurrentDirectory cwd;
  TfrmMain window;
};

TEST_F(MainWindow, StartsWithItsDesignedLookAndNothingSelected) {
  EXPECT_EQ(Text(window.Handle()), L"Tailmend");
  const SIZE client = ClientSize(window.Handle());
  EXPECT_EQ(client.cx, 499);
  EXPECT_EQ(client.cy, 333);
  const auto style = ::GetWindowLongPtrW(window.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME)) << "the border is not resizable";

  EXPECT_TRUE(EditText().empty());
  EXPECT_EQ(::SendMessageW(Control(TfrmMain::CheckBox1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(window.SelectedFiles().empty());

  HWND list = Control(TfrmMain::ListView1);
  EXPECT_TRUE((::GetWindowLongPtrW(list, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT);
  HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  ASSERT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 3);
  const std::pair<const wchar_t*, int> columns[] = {{L"No.", 32}, {L"File", 80}, {L"Event", 100}};
  for (int k = 0; k < 3; ++k) {
    wchar_t title[32] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title;
    column.cchTextMax = 32;
    ::SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(&column));
    EXPECT_STREQ(title, columns[k].first);
    EXPECT_EQ(column.cx, columns[k].second) << k;
  }
}

// Each control at its place in its parent (the window or a group box), with its text and font.
TEST_F(MainWindow, EveryControlLiesAtItsDesignedPlace) {
  struct Placed {
    int id;
    int parent;  // 0: the window itself
    RECT place;  // left, top, width, height
    const wchar_t* text;
  };
  const Placed controls[] = {
      {TfrmMain::GroupBox1, 0, {16, 16, 283, 298}, L"  Main "},
      {TfrmMain::Edit1, TfrmMain::GroupBox1, {16, 45, 249, 21}, L""},
      {TfrmMain::Button1, TfrmMain::GroupBox1, {190, 76, 75, 25}, L"Browse"},
      {TfrmMain::Button7, TfrmMain::GroupBox1, {16, 107, 249, 25}, L"Fix Now"},
      {TfrmMain::CheckBox1, TfrmMain::GroupBox1, {16, 80, 168, 17}, L"Backup Source Files"},
      {TfrmMain::ListView1, TfrmMain::GroupBox1, {16, 151, 249, 130}, L""},
      {TfrmMain::GroupBox3, 0, {320, 16, 163, 129}, L" Documents "},
      {TfrmMain::Button4, TfrmMain::GroupBox3, {32, 24, 99, 25}, L"What's this?"},
      {TfrmMain::Button5, TfrmMain::GroupBox3, {32, 76, 99, 25}, L"How To..."},
      {TfrmMain::Button3, 0, {352, 184, 99, 25}, L"About"},
      {TfrmMain::Button8, 0, {352, 223, 99, 25}, L"Data Recovery"},
      {TfrmMain::Button6, 0, {352, 264, 99, 25}, L"Close"},
      {TfrmMain::Image1, 0, {246, 88, 338, 226}, L""},
  };
  for (const Placed& expected : controls) {
    SCOPED_TRACE(expected.id);
    HWND control = Control(expected.id);
    EXPECT_EQ(::GetParent(control), expected.parent == 0 ? window.Handle() : Control(expected.parent));
    const RECT place = PlaceInParent(control);
    EXPECT_EQ(place.left, expected.place.left);
    EXPECT_EQ(place.top, expected.place.top);
    EXPECT_EQ(place.right, expected.place.right) << "width";
    EXPECT_EQ(place.bottom, expected.place.bottom) << "height";
    EXPECT_EQ(Text(control), expected.text);
    if (expected.id != TfrmMain::Image1) {
      EXPECT_EQ(FontOf(control), std::make_pair(11, std::wstring(L"Tahoma")));
    }
  }
  const RECT label = PlaceInParent(Control(TfrmMain::Label1));
  EXPECT_EQ(label.left, 16);
  EXPECT_EQ(label.top, 24);
  EXPECT_EQ(Text(Control(TfrmMain::Label1)), L"Source Files:");
  EXPECT_EQ(::GetWindow(Control(TfrmMain::Image1), GW_HWNDNEXT), nullptr) << "the picture lies behind the rest";
  for (int box : {TfrmMain::GroupBox1, TfrmMain::GroupBox3}) {
    HWND frame = ::GetWindow(::GetWindow(Control(box), GW_CHILD), GW_HWNDLAST);
    EXPECT_EQ(::GetWindowLongPtrW(frame, GWL_STYLE) & BS_TYPEMASK, BS_GROUPBOX) << "a box's frame lies behind its controls";
  }
}

TEST_F(MainWindow, TabGoesThroughTheControlsInTheirDesignedOrder) {
  const std::vector<int> expected = {TfrmMain::Edit1,     TfrmMain::Button1, TfrmMain::Button7, TfrmMain::CheckBox1,
                                     TfrmMain::ListView1, TfrmMain::Button4, TfrmMain::Button5, TfrmMain::Button3,
                                     TfrmMain::Button6,   TfrmMain::Button8, TfrmMain::Edit1};
  std::vector<int> order;
  HWND control = Control(TfrmMain::Edit1);
  for (std::size_t k = 0; k < expected.size(); ++k) {
    order.push_back(::GetDlgCtrlID(control));
    control = ::GetNextDlgTabItem(window.Handle(), control, FALSE);
  }
  EXPECT_EQ(order, expected);
}

TEST_F(MainWindow, BrowseShowsEachNameQuotedWithABlankAndANewSelectionReplacesTheOld) {
  Browse({L"C:\\photos\\IMG_0001.CRW", L"C:\\photos\\IMG_0002.CRW"});
  EXPECT_EQ(EditText(), L"\"IMG_0001.CRW\" \"IMG_0002.CRW\" ");
  EXPECT_EQ(window.SelectedFiles(), (FileList{"C:\\photos\\IMG_0001.CRW", "C:\\photos\\IMG_0002.CRW"}));

  Browse({L"D:\\other\\IMG_0042.CRW"});
  EXPECT_EQ(EditText(), L"\"IMG_0042.CRW\" ");
  EXPECT_EQ(window.SelectedFiles(), FileList{"D:\\other\\IMG_0042.CRW"});

  Browse({});
  EXPECT_EQ(fileDialogsShown, 3);
  EXPECT_EQ(EditText(), L"\"IMG_0042.CRW\" ") << "a cancelled selection keeps the text";
  EXPECT_EQ(window.SelectedFiles(), FileList{"D:\\other\\IMG_0042.CRW"}) << "and the list";
}

TEST_F(MainWindow, FixNowWithoutFilesShowsAnIdleFinishedDialog) {
  FixNow([](HWND dialog) {
    EXPECT_EQ(Text(dialog), L"Processing 0 of 0");
    for (int status : {TfrmProcessing::Label12, TfrmProcessing::Label22, TfrmProcessing::Label32}) {
      EXPECT_TRUE(Text(Find(dialog, status)).empty()) << status;
    }
  });
  EXPECT_TRUE(Rows().empty());
}

TEST_F(MainWindow, TwoRunsRepairOnceAndNumberTheirRowsOn) {
  const std::wstring first = PutDamaged("IMG_0001.CRW");
  const std::wstring second = PutDamaged("IMG_0002.CRW");
  Browse({first, second});
  Click(Control(TfrmMain::CheckBox1));
  EXPECT_TRUE(window.BackupRequested());

  for (int run = 0; run < 2; ++run) {
    FixNow([](HWND dialog) {
      EXPECT_EQ(Text(dialog), L"Processing 2 of 2");
      EXPECT_FALSE(::IsWindowEnabled(::GetWindow(dialog, GW_OWNER))) << "the main window waits for the dialog";
    });
  }
  EXPECT_TRUE(::IsWindowEnabled(window.Handle()));

  const std::vector<Row> expected = {
      {L"1", first, L"Done"}, {L"2", second, L"Done"}, {L"3", first, L"No file tail"}, {L"4", second, L"No file tail"}};
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(fs::file_size(first), kHeapEnd);
  EXPECT_EQ(fs::file_size(second), kHeapEnd);
  EXPECT_EQ(fs::file_size(dir.Path() / "IMG_0001_bak0.crw"), kHeapEnd + 4096) << "the backup is the whole file";
  EXPECT_FALSE(fs::exists(dir.Path() / "IMG_0001_bak1.crw")) << "the second run found no tail to back up";
  EXPECT_TRUE(errorBoxes.empty());
}

// Wide characters all the way: from the dialog through the file layer into the event list.
TEST_F(MainWindow, ACyrillicFileNameTravelsFromTheDialogThroughARunIntoTheEventList) {
  const std::wstring photo = PutDamaged("\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE_0001.CRW");  // Фото_0001.CRW
  Browse({photo});
  EXPECT_EQ(EditText(), L"\"\u0424\u043E\u0442\u043E_0001.CRW\" ");
  FixNow();
  EXPECT_EQ(Rows(), (std::vector<Row>{{L"1", photo, L"Done"}}));
  EXPECT_EQ(fs::file_size(photo), kHeapEnd);
  EXPECT_TRUE(errorBoxes.empty());
}

TEST_F(MainWindow, TheDocumentButtonsOpenTheirOwnDocument) {
  WriteBytes(dir.File("whatis.rtf"), {'w', 'h', 'a', 't'});
  WriteBytes(dir.File("howto.rtf"), {'h', 'o', 'w'});
  struct Expected {
    int button;
    const wchar_t* caption;
    const wchar_t* text;
  };
  for (const Expected& doc : {Expected{TfrmMain::Button4, L"What's this?", L"what"},
                              Expected{TfrmMain::Button5, L"How To ...", L"how"}}) {
    WithModal([&] { Click(Control(doc.button)); },
              [&](HWND dialog) {
                EXPECT_EQ(Text(dialog), doc.caption);
                EXPECT_EQ(Text(Find(dialog, TfrmShowDoc::RichEdit1)), doc.text);
                Click(Find(dialog, TfrmShowDoc::Button1));
                EXPECT_FALSE(IsShown(dialog)) << "OK closes the viewer";
              });
  }
}

TEST_F(MainWindow, DataRecoveryOpensTheSiteWithoutAWindow) {
  Click(Control(TfrmMain::Button8));
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
  Click(Control(TfrmMain::Button6));
  EXPECT_TRUE(quitPosted());
  EXPECT_EQ(window.SelectedFiles().size(), 1u);

  PressCloseBox(window.Handle());
  EXPECT_TRUE(quitPosted());
  EXPECT_FALSE(IsShown(window.Handle()));
  EXPECT_TRUE(window.SelectedFiles().empty());
}

}  // namespace
}  // namespace tailmend::test
