#include "ui/win32/gathering.h"

#include <string_view>

#include "platform/extended_path_win32.h"
#include "platform/wide_text_win32.h"

namespace tailmend {

namespace {

// Per session: another user's programs gather on another desktop.
const wchar_t* const kTurnName = L"Local\\Tailmend.GatheringTurn";
// Marks the main windows that gather, so that a window the user opened by hand is never joined.
const wchar_t* const kGatheringProperty = L"Tailmend.Gathering";
const wchar_t* const kHandOverClass = L"Tailmend.HandOver";
// Explorer starts the programs for one selection one right after the other, well within this;
// a file chosen later on its own, with the verb or "Open with", opens a window of its own.
constexpr DWORD kGatheringPauseMilliseconds = 3000;
// However often files come, a window gathers no longer than this from its start: a selection of
// hundreds of files is handed over well within it.
constexpr DWORD kGatheringLimitMilliseconds = 60000;
// Room for the longest path the system names a program file with.
constexpr DWORD kLongestImagePath = 32768;
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

// A name is absolute when the system, making it absolute, leaves it as it is.
bool IsAbsolute(const std::wstring& path) { return !path.empty() && FullPath(path) == path; }

// The paths of a well-formed message, all of them absolute, or nothing.
std::optional<std::vector<std::string>> HandedPaths(const COPYDATASTRUCT& data) {
  if (data.dwData != kHandedFilesMessage || data.cbData % sizeof(wchar_t) != 0) return std::nullopt;
  const std::wstring_view text(static_cast<const wchar_t*>(data.lpData), data.cbData / sizeof(wchar_t));
  if (text.empty() || text.back() != L'\0') return std::nullopt;
  std::vector<std::string> paths;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find(L'\0', start);
    const std::wstring path(text.substr(start, end - start));
    if (!IsAbsolute(path)) return std::nullopt;
    paths.push_back(Utf8FromWide(path));
    start = end + 1;
  }
  return paths;
}

std::optional<std::wstring> ImagePath(HANDLE process) {
  std::wstring path(kLongestImagePath, L'\0');
  DWORD length = kLongestImagePath;
  if (!::QueryFullProcessImageNameW(process, 0, path.data(), &length)) return std::nullopt;
  path.resize(length);
  return path;
}

std::optional<std::wstring> ImagePathOfWindow(HWND window) {
  DWORD processId = 0;
  if (::GetWindowThreadProcessId(window, &processId) == 0) return std::nullopt;
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) return std::nullopt;
  std::optional<std::wstring> path = ImagePath(process);
  ::CloseHandle(process);
  return path;
}

// The sender is a hand-over window of a process that runs this very program file: a window of
// the main window's class, any other program's window, or no window at all is refused.
bool SentByThisProgram(HWND sender) {
  wchar_t type[64] = {};
  if (sender == nullptr || ::GetClassNameW(sender, type, 64) == 0 || std::wstring_view(type) != kHandOverClass) {
    return false;
  }
  const std::optional<std::wstring> senderImage = ImagePathOfWindow(sender);
  const std::optional<std::wstring> ownImage = ImagePath(::GetCurrentProcess());
  return senderImage && ownImage &&
         ::CompareStringOrdinal(senderImage->c_str(), -1, ownImage->c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool RegisterHandOverClassOnce() {
  static const ATOM registered = [] {
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = ::DefWindowProcW;
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.lpszClassName = kHandOverClass;
    return ::RegisterClassExW(&type);
  }();
  return registered != 0;
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

HandOverWindow::HandOverWindow() {
  if (!RegisterHandOverClassOnce()) return;
  handle_ = ::CreateWindowExW(0, kHandOverClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ::GetModuleHandleW(nullptr),
                              nullptr);
}

HandOverWindow::~HandOverWindow() {
  if (handle_ != nullptr) ::DestroyWindow(handle_);
}

bool HandToGatheringWindow(const std::vector<std::string>& paths) {
  std::optional<std::wstring> text = HandedText(paths);
  const HandOverWindow sender;
  if (!text || sender.Handle() == nullptr) return false;
  std::vector<HWND> windows;
  ::EnumWindows(AddIfGathering, reinterpret_cast<LPARAM>(&windows));
  COPYDATASTRUCT data{kHandedFilesMessage, static_cast<DWORD>(text->size() * sizeof(wchar_t)), text->data()};
  for (HWND window : windows) {
    DWORD_PTR answer = FALSE;
    if (::SendMessageTimeoutW(window, WM_COPYDATA, reinterpret_cast<WPARAM>(sender.Handle()),
                              reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerWaitMilliseconds,
                              &answer) != 0 &&
        answer == TRUE) {
      return true;
    }
  }
  return false;
}

void Gathering::Start(HWND window, DWORD now) {
  window_ = window;
  started_ = now;
  lastArrival_ = now;
  // Any value but null marks the window.
  ::SetPropW(window_, kGatheringProperty, window_);
}

void Gathering::Stop() {
  if (window_ != nullptr) ::RemovePropW(window_, kGatheringProperty);
  window_ = nullptr;
}

std::optional<std::vector<std::string>> Gathering::Take(HWND sender, const COPYDATASTRUCT& data, DWORD now) {
  if (window_ == nullptr) return std::nullopt;
  // Each part renews the pause, so that a large selection, started over some seconds, still
  // gathers; nothing renews the limit.
  if (now - lastArrival_ >= kGatheringPauseMilliseconds || now - started_ >= kGatheringLimitMilliseconds) {
    Stop();
    return std::nullopt;
  }
  std::optional<std::vector<std::string>> paths = HandedPaths(data);
  if (!paths || !SentByThisProgram(sender)) return std::nullopt;
  lastArrival_ = now;
  return paths;
}

}  // namespace tailmend
