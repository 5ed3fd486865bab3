#include <windows.h>
#include <cderr.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "tests/support/temp_dir.h"
#include "tests/ui/win32/window_harness.h"
#include "ui/win32/desktop_services.h"
#include "ui/win32/error_guard.h"
#include "ui/win32/file_open_dialog.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

// Plays the person at the system's own dialogs: every time a dialog of this thread with the given
// caption is on screen, a timer hands it to `answer`, once per dialog window.
class DialogAnswerer {
public:
  using Answer = std::function<void(HWND dialog)>;
  DialogAnswerer(std::wstring caption, Answer answer) : caption_(std::move(caption)), answer_(std::move(answer)) {
    current_ = this;
    timer_ = ::SetTimer(nullptr, 0, 50, Tick);
  }
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;
  ~DialogAnswerer() {
    ::KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  int Answered() const { return answered_; }

private:
  static BOOL CALLBACK Match(HWND window, LPARAM data) {
    auto* self = reinterpret_cast<DialogAnswerer*>(data);
    wchar_t kind[16] = {};
    ::GetClassNameW(window, kind, 16);
    if (!::IsWindowVisible(window) || std::wstring(kind) != L"#32770" || Text(window) != self->caption_) return TRUE;
    self->found_ = window;
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    DialogAnswerer* self = current_;
    if (self == nullptr) return;
    self->found_ = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), Match, reinterpret_cast<LPARAM>(self));
    if (self->found_ == nullptr || self->found_ == self->last_) return;
    self->last_ = self->found_;
    ++self->answered_;
    try {
      self->answer_(self->found_);
    } catch (const std::exception& error) {
      ADD_FAILURE() << error.what();
    }
  }

  static inline DialogAnswerer* current_ = nullptr;
  std::wstring caption_;
  Answer answer_;
  UINT_PTR timer_ = 0;
  HWND found_ = nullptr;
  HWND last_ = nullptr;
  int answered_ = 0;
};

std::vector<std::wstring> ChildTexts(HWND window, const wchar_t* kind) {
  std::vector<std::wstring> texts;
  for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[32] = {};
    ::GetClassNameW(child, name, 32);
    if (_wcsicmp(name, kind) == 0 && ::IsWindowVisible(child)) texts.push_back(Text(child));
  }
  return texts;
}

using ErrorGuard = WindowTest;

// The guard's rule is the window behaviour's; here, that its box is the desktop's, under the title,
// with the text in wide characters.
TEST_F(ErrorGuard, ShowsTheErrorInTheStandardBoxUnderTheProgramsTitle) {
  RunGuarded(nullptr, [] { throw std::runtime_error("Cannot open file \"\xD0\xA4.crw\". Access is denied"); });
  ASSERT_EQ(errorBoxes.size(), 1u);
  EXPECT_EQ(errorBoxes[0].first, L"Tailmend");
  EXPECT_EQ(errorBoxes[0].second, L"Cannot open file \"\u0424.crw\". Access is denied.");
}

// The real box: the text, the program's title, an error icon and one OK button.
TEST(ErrorBox, IsTheSystemsMessageBoxWithOneOkButton) {
  std::vector<std::wstring> buttons, texts;
  bool icon = false;
  const DialogAnswerer person(L"Tailmend", [&](HWND box) {
    buttons = ChildTexts(box, L"Button");
    texts = ChildTexts(box, L"Static");
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
      const bool isIcon = (::GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
      if (isIcon && ::IsWindowVisible(child) && ::SendMessageW(child, STM_GETICON, 0, 0) != 0) {
        icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0)) == ::LoadIconW(nullptr, IDI_ERROR);
      }
    }
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  SystemServices().showErrorBox(nullptr, L"Tailmend", L"Cannot open file \"x.crw\". Access is denied.");
  EXPECT_EQ(person.Answered(), 1);
  EXPECT_EQ(buttons, std::vector<std::wstring>{L"OK"});
  EXPECT_NE(std::find(texts.begin(), texts.end(), L"Cannot open file \"x.crw\". Access is denied."), texts.end());
  EXPECT_TRUE(icon) << "an error icon";
}

TEST(FileDialogAnswer, IsOneFullPathOrAFolderFollowedByItsNames) {
  using Paths = std::vector<std::wstring>;
  const std::pair<std::wstring_view, Paths> cases[] = {
      {std::wstring_view(L"C:\\photos\\IMG_0001.CRW\0\0", 24), {L"C:\\photos\\IMG_0001.CRW"}},
      {std::wstring_view(L"C:\\photos\0B.CRW\0A.CRW\0\0", 23), {L"C:\\photos\\B.CRW", L"C:\\photos\\A.CRW"}},
      {std::wstring_view(L"D:\\\0x.crw\0y.crw\0\0", 17), {L"D:\\x.crw", L"D:\\y.crw"}},
      {std::wstring_view(L"\0\0", 2), {}},
      {std::wstring_view(L"C:\\a\0b.crw", 10), {L"C:\\a\\b.crw"}},  // no final NUL: the buffer's end
  };
  for (const auto& [buffer, paths] : cases) EXPECT_EQ(SplitSelection(buffer), paths);
}

TEST(FileDialogAnswer, ATooSmallBufferGrowsToWhatTheDialogAskedForAtLeastDoubled) {
  EXPECT_EQ(GrownBufferSize(100, 5000), 5001u);
  EXPECT_EQ(GrownBufferSize(4000, 5000), 8000u);
  EXPECT_EQ(GrownBufferSize(40000, 100), 80000u) << "a need past 65535 cannot be told in one character";
  EXPECT_EQ(GrownBufferSize(std::size_t{1} << 22, 100), std::size_t{1} << 22) << "but never without bound";
}

// Through the system's own dialog, as far as a test can go without a person: it is answered by
// typing into its file name box. The dialog opens in whatever folder it likes; the answer first
// types the folder (which the dialog enters), then every name.
class CrwOpenDialog : public ::testing::Test {
protected:
  void Answer(HWND dialog, const std::wstring& typed) {
    ::SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(typed.c_str()));
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
  }

  TempDir dir;
};

TEST_F(CrwOpenDialog, ALongSelectionArrivesWholeAndTheCurrentFolderFollowsTheDialog) {
  constexpr int kPhotos = 300;
  std::wstring names;
  std::vector<std::wstring> expected;
  for (int k = 0; k < kPhotos; ++k) {
    wchar_t name[16];
    swprintf(name, 16, L"IMG_%04d.CRW", k);
    WriteBytes(dir.File(Utf8(name)), {1});
    names += L"\"" + std::wstring(name) + L"\" ";
    expected.push_back((dir.Path() / name).wstring());
  }
  const fs::path folder = dir.Path();
  const fs::path before = fs::current_path();
  const DialogAnswerer person(L"Open", [&](HWND dialog) {
    Answer(dialog, folder.wstring());
    Answer(dialog, names);
  });
  const std::vector<std::wstring> chosen = RunCrwOpenDialog(nullptr);
  const fs::path after = fs::current_path();
  fs::current_path(before);
  EXPECT_EQ(person.Answered(), 1);
  ASSERT_EQ(chosen.size(), expected.size());
  EXPECT_EQ(chosen, expected);
  EXPECT_TRUE(fs::equivalent(after, folder)) << "the current folder is where the dialog ended";
}

// Wine's dialog corrupts memory when it finds the buffer too small, so that answer is played here:
// the dialog writes the size it needs into the buffer and fails, as documented.
TEST(FileDialogAnswer, ABufferTooSmallIsGrownAndTheDialogAskedAgainUntilAllFits) {
  const std::wstring answer(L"C:\\photos\0A.CRW\0B.CRW\0\0", 22);
  std::vector<std::size_t> offered;
  const auto show = [&](std::wstring& buffer, DWORD& error) {
    offered.push_back(buffer.size());
    if (buffer.size() < answer.size()) {
      buffer[0] = static_cast<wchar_t>(answer.size());
      error = FNERR_BUFFERTOOSMALL;
      return false;
    }
    buffer.replace(0, answer.size(), answer);
    return true;
  };
  EXPECT_EQ(ShowWithGrowingBuffer(4, show), (std::vector<std::wstring>{L"C:\\photos\\A.CRW", L"C:\\photos\\B.CRW"}));
  EXPECT_EQ(offered, (std::vector<std::size_t>{4, 23}));

  std::size_t asked = 0;
  const auto neverEnough = [&](std::wstring& buffer, DWORD& error) {
    ++asked;
    buffer[0] = 0xFFFF;
    error = FNERR_BUFFERTOOSMALL;
    return false;
  };
  EXPECT_THROW(ShowWithGrowingBuffer(kFileBufferChars, neverEnough), std::runtime_error);
  EXPECT_LT(asked, 16u) << "a dialog that is never content is not asked for ever";

  const auto failing = [](std::wstring&, DWORD& error) {
    error = CDERR_INITIALIZATION;
    return false;
  };
  EXPECT_THROW(ShowWithGrowingBuffer(kFileBufferChars, failing), std::runtime_error);
  const auto cancelled = [](std::wstring&, DWORD& error) {
    error = 0;
    return false;
  };
  EXPECT_TRUE(ShowWithGrowingBuffer(kFileBufferChars, cancelled).empty());
}

TEST_F(CrwOpenDialog, CancelChoosesNothing) {
  const DialogAnswerer person(L"Open", [](HWND dialog) { ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_TRUE(RunCrwOpenDialog(nullptr).empty());
  EXPECT_EQ(person.Answered(), 1);
}

}  // namespace
}  // namespace tailmend::test
