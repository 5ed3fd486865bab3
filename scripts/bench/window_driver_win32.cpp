// Run by scripts/bench/window.sh beside a running Tailmend.exe (under Wine or on Windows): once the
// main window shows the selection the program was started with, it presses Fix Now and prints the
// milliseconds from the press to the processing dialog's first drawing on the screen, the seconds
// to the end of the run (its button reads "Close") and the longest the dialog took meanwhile to
// answer a message (how long the window did not answer), then closes the dialog and the program.
// It only posts to the program and reads it, as another program would; ends with status 1 when
// the program does not get that far within a few minutes.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr ULONGLONG kPatienceMs = 600000;

double longestAnswerMs = 0;

struct Search {
  DWORD process;
  const wchar_t* windowClass;
  const wchar_t* text;  // null: any
  HWND found;
};

double Seconds(const LARGE_INTEGER& from) {
  LARGE_INTEGER now{}, frequency{};
  ::QueryPerformanceCounter(&now);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring TextOf(HWND window) {
  wchar_t text[64] = {};
  DWORD_PTR copied = 0;
  LARGE_INTEGER asked{};
  ::QueryPerformanceCounter(&asked);
  ::SendMessageTimeoutW(window, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000, &copied);
  longestAnswerMs = std::max(longestAnswerMs, Seconds(asked) * 1000);
  return text;
}

BOOL CALLBACK Match(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  wchar_t windowClass[64] = {};
  ::GetClassNameW(window, windowClass, 64);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process != search->process || std::wstring(windowClass) != search->windowClass) return TRUE;
  if (!::IsWindowVisible(window) || (search->text != nullptr && TextOf(window) != search->text)) return TRUE;
  search->found = window;
  return FALSE;
}

// A visible window of the program's, top-level (parent null) or inside parent, of that class and text.
HWND FindOf(DWORD process, HWND parent, const wchar_t* windowClass, const wchar_t* text = nullptr) {
  Search search{process, windowClass, text, nullptr};
  if (parent == nullptr) {
    ::EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  } else {
    ::EnumChildWindows(parent, Match, reinterpret_cast<LPARAM>(&search));
  }
  return search.found;
}

template <typename Condition>
bool WaitFor(Condition condition, DWORD pollMs) {
  const ULONGLONG giveUp = ::GetTickCount64() + kPatienceMs;
  while (!condition()) {
    if (::GetTickCount64() > giveUp) return false;
    ::Sleep(pollMs);
  }
  return true;
}

// Before its first drawing a new window shows the screen's black; a dialog is drawn in its face colour.
bool Drawn(HWND dialog) {
  POINT inside{4, 4};
  ::ClientToScreen(dialog, &inside);
  HDC screen = ::GetDC(nullptr);
  const COLORREF colour = ::GetPixel(screen, inside.x, inside.y);
  ::ReleaseDC(nullptr, screen);
  return colour != RGB(0, 0, 0) && colour != CLR_INVALID;
}

}  // namespace

int main() {
  HWND mainWindow = nullptr;
  if (!WaitFor([&] { return (mainWindow = ::FindWindowW(L"TfrmMain", nullptr)) != nullptr; }, 50)) return 1;
  DWORD process = 0;
  ::GetWindowThreadProcessId(mainWindow, &process);
  HWND edit = nullptr;
  if (!WaitFor([&] { return (edit = FindOf(process, mainWindow, L"Edit")) != nullptr && !TextOf(edit).empty(); }, 50)) {
    return 1;
  }
  HWND fixNow = FindOf(process, mainWindow, L"Button", L"Fix Now");
  if (fixNow == nullptr) return 1;
  LARGE_INTEGER pressed{};
  ::QueryPerformanceCounter(&pressed);
  ::PostMessageW(fixNow, BM_CLICK, 0, 0);
  HWND dialog = nullptr;
  if (!WaitFor([&] { return (dialog = FindOf(process, nullptr, L"#32770")) != nullptr && Drawn(dialog); }, 1)) return 1;
  const double firstDrawing = Seconds(pressed);
  HWND button = FindOf(process, dialog, L"Button");
  longestAnswerMs = 0;
  if (button == nullptr || !WaitFor([&] { return TextOf(button) == L"Close"; }, 10)) return 1;
  std::printf("%.0f\t%.3f\t%.0f\n", firstDrawing * 1000, Seconds(pressed), longestAnswerMs);
  std::fflush(stdout);
  ::PostMessageW(button, BM_CLICK, 0, 0);
  WaitFor([&] { return !::IsWindow(dialog); }, 50);
  ::PostMessageW(mainWindow, WM_CLOSE, 0, 0);
  return 0;
}
