#include "ui/win32/doc.h"

#include <richedit.h>

#include <stdexcept>

#include "platform/platform_error.h"
#include "platform/wide_text_win32.h"
#include "ui/behaviour/document_viewer.h"
#include "ui/win32/controls.h"
#include "ui/win32/rich_edit_stream.h"

namespace tailmend {

namespace {

constexpr SIZE kClientSize{418, 278};
// Long enough for any folder the system can name.
constexpr DWORD kLongPathChars = 32768;

// The RichEdit control lives in its own system library, loaded once for the program's life.
void LoadRichEdit() {
  static const HMODULE library = ::LoadLibraryW(L"Msftedit.dll");
  if (library == nullptr) throw std::runtime_error("The rich text control (Msftedit.dll) could not be loaded");
}

std::string ProgramFolder() {
  std::vector<wchar_t> path(kLongPathChars);
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), kLongPathChars);
  std::wstring folder(path.data(), length);
  folder.resize(folder.find_last_of(L"\\/") == std::wstring::npos ? 0 : folder.find_last_of(L"\\/"));
  return Utf8FromWide(folder);
}

std::string CurrentFolder() {
  std::vector<wchar_t> path(kLongPathChars);
  const DWORD length = ::GetCurrentDirectoryW(kLongPathChars, path.data());
  return Utf8FromWide(std::wstring_view(path.data(), length < kLongPathChars ? length : 0));
}

}  // namespace

std::vector<std::string> HelpDocumentFolders() {
  return DocumentFolders(ProgramFolder(), std::nullopt, CurrentFolder());
}

TfrmShowDoc::TfrmShowDoc() : ModalDialog(L"frmShowDoc", kClientSize, false) {}

void TfrmShowDoc::FormCreate() {
  LoadRichEdit();
  HWND dialog = Handle();
  MakeControl(dialog, MSFTEDIT_CLASS, RichEdit1, L"",
              WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, Place(16, 8, 385, 209),
              WS_EX_CLIENTEDGE);
  MakeButton(dialog, Button1, L"OK", Place(318, 236, 75, 25), BS_DEFPUSHBUTTON);
}

void TfrmShowDoc::FormShow() {
  const auto path = FindDocument(DocFile, HelpDocumentFolders());
  if (!path) {
    ::SetWindowTextW(FindControl(Handle(), RichEdit1), WideForDisplay(kMissingDocumentText).c_str());
    return;
  }
  LoadDocument(*path);
}

// The control reads the RTF itself; a file that is not RTF is shown as plain text.
void TfrmShowDoc::LoadDocument(const std::string& path) {
  const std::string bytes = ReadDocument(path);
  HWND richEdit = FindControl(Handle(), RichEdit1);
  if (!StreamIntoRichEdit(richEdit, bytes, SF_RTF) && !StreamIntoRichEdit(richEdit, bytes, SF_TEXT)) {
    throw PlatformError(kLoadFailureText);
  }
}

void TfrmShowDoc::Click(int control) {
  if (control == Button1) Close(IDOK);
}

}  // namespace tailmend
