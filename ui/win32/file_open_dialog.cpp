#include "ui/win32/file_open_dialog.h"

#include <commdlg.h>
#include <cderr.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "ui/behaviour/main_window.h"
#include "ui/win32/controls.h"

namespace tailmend {

namespace {

// Description and pattern, each ended by a NUL, and a second NUL after the one pair.
constexpr wchar_t kCrwFilter[] = L"Canon CRW files (*.crw)\0*.crw\0";
constexpr wchar_t kReportFilter[] = L"CSV files (*.csv)\0*.csv\0";
constexpr DWORD kSaveDialogFlags =
    OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING;
// Far beyond any card's worth of names; a dialog that keeps asking for more is not believed.
constexpr std::size_t kMaxFileBufferChars = std::size_t{1} << 22;
constexpr DWORD kDialogFlags =
    OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLESIZING;

std::wstring JoinPath(const std::wstring& folder, std::wstring_view name) {
  std::wstring path = folder;
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path.append(name);
}

// The dialog's description: its owner, its one filter, the buffer that holds the file names.
OPENFILENAMEW DialogOver(HWND owner, const wchar_t* filter, std::wstring& buffer, DWORD flags) {
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.Flags = flags;
  return dialog;
}

[[noreturn]] void ThrowDialogFailure(DWORD code) {
  throw std::runtime_error("The file dialog failed with error " + std::to_string(code));
}

}  // namespace

std::vector<std::wstring> SplitSelection(std::wstring_view buffer) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  while (start < buffer.size() && buffer[start] != L'\0') {
    const std::size_t end = std::min(buffer.find(L'\0', start), buffer.size());
    parts.emplace_back(buffer.substr(start, end - start));
    start = end + 1;
  }
  if (parts.size() <= 1) return parts;
  std::vector<std::wstring> paths;
  for (std::size_t k = 1; k < parts.size(); ++k) paths.push_back(JoinPath(parts[0], parts[k]));
  return paths;
}

std::size_t GrownBufferSize(std::size_t current, wchar_t reportedNeed) {
  const std::size_t needed = static_cast<std::size_t>(reportedNeed) + 1;
  return std::min(std::max(current * 2, needed), kMaxFileBufferChars);
}

std::vector<std::wstring> ShowWithGrowingBuffer(std::size_t firstBufferChars, const DialogShowing& show) {
  std::size_t chars = std::min(std::max<std::size_t>(firstBufferChars, 2), kMaxFileBufferChars);
  for (;;) {
    std::wstring buffer(chars, L'\0');
    DWORD error = 0;
    if (show(buffer, error)) return SplitSelection(buffer);
    if (error == 0) return {};
    if (error != FNERR_BUFFERTOOSMALL || chars == kMaxFileBufferChars) ThrowDialogFailure(error);
    chars = GrownBufferSize(chars, buffer[0]);
  }
}

std::vector<std::wstring> RunCrwOpenDialog(HWND owner, std::size_t firstBufferChars) {
  return ShowWithGrowingBuffer(firstBufferChars, [owner](std::wstring& buffer, DWORD& error) {
    OPENFILENAMEW dialog = DialogOver(owner, kCrwFilter, buffer, kDialogFlags);
    if (::GetOpenFileNameW(&dialog)) return true;
    error = ::CommDlgExtendedError();
    return false;
  });
}

std::wstring RunReportSaveDialog(HWND owner) {
  std::wstring buffer = WideForDisplay(kReportFileName);
  buffer.resize(kFileBufferChars, L'\0');
  OPENFILENAMEW dialog = DialogOver(owner, kReportFilter, buffer, kSaveDialogFlags);
  dialog.lpstrDefExt = L"csv";
  if (!::GetSaveFileNameW(&dialog)) {
    const DWORD error = ::CommDlgExtendedError();
    if (error != 0) ThrowDialogFailure(error);
    return {};
  }
  return buffer.substr(0, buffer.find(L'\0'));
}

}  // namespace tailmend
