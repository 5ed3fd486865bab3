#include "tests/ui/win32/window_harness.h"

#include <stdexcept>
#include <utility>

#include "platform/wide_text_win32.h"
#include "ui/win32/controls.h"
#include "ui/win32/design_drawing.h"

namespace tailmend::test {

namespace {

BOOL CALLBACK CollectVisible(HWND window, LPARAM data) {
  if (::IsWindowVisible(window)) reinterpret_cast<std::vector<std::wstring>*>(data)->push_back(Text(window));
  return TRUE;
}

void PumpDialogMessages(HWND dialog) {
  MSG message{};
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (::IsDialogMessageW(dialog, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace

DesktopServices WindowTest::Recorders() {
  DesktopServices recorders;
  recorders.showErrorBox = [this](HWND, const std::wstring& caption, const std::wstring& text) {
    errorBoxes.emplace_back(caption, text);
  };
  recorders.openWebPage = [this](const std::wstring& address) { openedPages.push_back(address); };
  recorders.chooseCrwFiles = [this](HWND) {
    ++fileDialogsShown;
    return chosenFiles;
  };
  recorders.dialogShown = [](HWND) {};
  recorders.showInFolder = [this](const std::wstring& file) { shownInFolder.push_back(file); };
  recorders.chooseReportFile = [this](HWND) { return reportFile; };
  recorders.copyText = [this](HWND, const std::wstring& text) { copiedTexts.push_back(text); };
  return recorders;
}

// Runs after the test's own windows are gone, so whatever is still visible was left behind.
WindowTest::~WindowTest() {
  std::vector<std::wstring> visible;
  ::EnumThreadWindows(::GetCurrentThreadId(), CollectVisible, reinterpret_cast<LPARAM>(&visible));
  for (const std::wstring& caption : visible) ADD_FAILURE() << "left open: " << Utf8(caption);
}

HWND Find(HWND window, const WindowDesign& design, std::string_view name) {
  HWND control = DesignControl(window, design, name);
  if (control == nullptr) throw std::runtime_error("no control " + std::string(name) + " in " + design.name);
  return control;
}

std::wstring Text(HWND window) { return WindowText(window); }

std::string Utf8(const std::wstring& text) { return Utf8FromWide(text); }

RECT PlaceInParent(HWND control) {
  RECT place{};
  ::GetWindowRect(control, &place);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  return {place.left, place.top, place.right - place.left, place.bottom - place.top};
}

SIZE ClientSize(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  return {client.right, client.bottom};
}

std::pair<int, std::wstring> FontOf(HWND control) {
  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return {-font.lfHeight, font.lfFaceName};
}

void WithModal(const std::function<void()>& open, const std::function<void(HWND dialog)>& inspect) {
  bool reached = false;
  DesktopServices services = CurrentServices();
  services.dialogShown = [&](HWND dialog) {
    if (reached) return;
    reached = true;
    try {
      inspect(dialog);
    } catch (const std::exception& error) {
      ADD_FAILURE() << error.what();
    }
    if (IsShown(dialog)) ::EndDialog(dialog, IDABORT);
  };
  {
    const ScopedServices inspecting(std::move(services));
    open();
  }
  EXPECT_TRUE(reached) << "no dialog was shown";
}

bool IsShown(HWND window) { return ::IsWindow(window) && ::IsWindowVisible(window); }

bool PumpUntil(const std::function<bool()>& condition) {
  const ULONGLONG giveUp = ::GetTickCount64() + 60000;
  while (!condition()) {
    if (::GetTickCount64() > giveUp) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    PumpDialogMessages(::GetActiveWindow());
  }
  return true;
}

void Click(HWND control) {
  wchar_t kind[32] = {};
  ::GetClassNameW(control, kind, 32);
  if (std::wstring(kind) == L"Button") {
    ::SendMessageW(control, BM_CLICK, 0, 0);
    return;
  }
  ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  ::SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

void PressKey(HWND dialog, UINT key) {
  HWND focus = ::GetFocus();
  HWND target = focus != nullptr ? focus : dialog;
  ::PostMessageW(target, WM_KEYDOWN, key, 1);
  ::PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
  PumpDialogMessages(dialog);
}

void PressCloseBox(HWND window) { ::SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

}  // namespace tailmend::test
