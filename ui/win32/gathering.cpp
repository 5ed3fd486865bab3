#include "ui/win32/gathering.h"

#include "platform/extended_path_win32.h"
#include "platform/wide_text_win32.h"

namespace tailmend {

namespace {

// Per session: another user's programs gather on another desktop.
const wchar_t* const kTurnName = L"Local\\Tailmend.GatheringTurn";
// Marks the main windows that gather, so that a window the user opened by hand is never joined.
const wchar_t* const kGatheringProperty = L"Tailmend.Gathering";
// Tells the files' message from any other program's WM_COPYDATA.
constexpr ULONG_PTR kHandedFiles = 0x544D4631;
// Explorer starts the programs for one selection one right after the other, well within this;
// a file chosen later on its own, with the verb or "Open with", opens a window of its own.
constexpr DWORD kGatheringMilliseconds = 3000;
// A program that waits longer for its turn, or for a window's answer, opens its own window rather
// than lose its files to a program that hangs.
constexpr DWORD kTurnWaitMilliseconds = 10000;
constexpr UINT kAnswerWaitMilliseconds = 5000;

// Each path in UTF-16, each followed by a null.
std::optional<std::wstring> HandedText(const std::vector<std::string>& paths) {
  std::wstring text;
  for (const std::string& path : paths) {
    const std::optional<std::wstring> wide = WideFromUtf8(path);
    // The window gathering may have another current folder.
    const std::optional<std::wstring> full = wide ? FullPath(*wide) : std::nullopt;
    if (!full) return std::nullopt;
    text += *full;
    text += L'\0';
  }
  return text;
}

std::optional<std::vector<std::string>> HandedPaths(const COPYDATASTRUCT& data) {
  if (data.dwData != kHandedFiles || data.cbData % sizeof(wchar_t) != 0) return std::nullopt;
  const std::wstring_view text(static_cast<const wchar_t*>(data.lpData), data.cbData / sizeof(wchar_t));
  if (text.empty() || text.back() != L'\0') return std::nullopt;
  std::vector<std::string> paths;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find(L'\0', start);
    paths.push_back(Utf8FromWide(text.substr(start, end - start)));
    start = end + 1;
  }
  return paths;
}

BOOL CALLBACK AddIfGathering(HWND window, LPARAM windows) {
  if (::GetPropW(window, kGatheringProperty) != nullptr) reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

}  // namespace

GatheringTurn::GatheringTurn() : mutex_(::CreateMutexW(nullptr, FALSE, kTurnName)) {
  if (mutex_ == nullptr) return;
  const DWORD waited = ::WaitForSingleObject(mutex_, kTurnWaitMilliseconds);
  // A program that ended while holding the turn leaves it to the next.
  held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

GatheringTurn::~GatheringTurn() {
  End();
  if (mutex_ != nullptr) ::CloseHandle(mutex_);
}

void GatheringTurn::End() {
  if (held_) ::ReleaseMutex(mutex_);
  held_ = false;
}

bool HandToGatheringWindow(const std::vector<std::string>& paths) {
  std::optional<std::wstring> text = HandedText(paths);
  if (!text) return false;
  std::vector<HWND> windows;
  ::EnumWindows(AddIfGathering, reinterpret_cast<LPARAM>(&windows));
  COPYDATASTRUCT data{kHandedFiles, static_cast<DWORD>(text->size() * sizeof(wchar_t)), text->data()};
  for (HWND window : windows) {
    DWORD_PTR answer = FALSE;
    if (::SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG | SMTO_BLOCK,
                              kAnswerWaitMilliseconds, &answer) != 0 &&
        answer == TRUE) {
      return true;
    }
  }
  return false;
}

void Gathering::Start(HWND window) {
  window_ = window;
  lastArrival_ = ::GetTickCount();
  // Any value but null marks the window.
  ::SetPropW(window_, kGatheringProperty, window_);
}

void Gathering::Stop() {
  if (window_ != nullptr) ::RemovePropW(window_, kGatheringProperty);
  window_ = nullptr;
}

std::optional<std::vector<std::string>> Gathering::Take(const COPYDATASTRUCT& data) {
  std::optional<std::vector<std::string>> paths = HandedPaths(data);
  if (!paths || window_ == nullptr) return std::nullopt;
  // Each part renews the time, so that a large selection, started over some seconds, still gathers.
  const DWORD now = ::GetTickCount();
  if (now - lastArrival_ >= kGatheringMilliseconds) {
    Stop();
    return std::nullopt;
  }
  lastArrival_ = now;
  return paths;
}

}  // namespace tailmend
