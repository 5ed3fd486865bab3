#include "ui/win32/doc.h"

#include <richedit.h>

#include "platform/platform_error.h"
#include "platform/wide_text_win32.h"
#include "ui/behaviour/document_viewer.h"
#include "ui/behaviour/window_designs.h"
#include "ui/win32/controls.h"
#include "ui/win32/rich_edit_stream.h"

namespace tailmend {

namespace {

// Long enough for any folder the system can name.
constexpr DWORD kLongPathChars = 32768;

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

TfrmShowDoc::TfrmShowDoc() : ModalDialog(DocumentViewerDesign()) {}

void TfrmShowDoc::FormShow() {
  const auto path = FindDocument(DocFile, HelpDocumentFolders());
  if (!path) {
    ::SetWindowTextW(Item("RichEdit1"), WideForDisplay(kMissingDocumentText).c_str());
    return;
  }
  LoadDocument(*path);
}

// The control reads the RTF itself; a file that is not RTF is shown as plain text.
void TfrmShowDoc::LoadDocument(const std::string& path) {
  const std::string bytes = ReadDocument(path);
  HWND richEdit = Item("RichEdit1");
  if (!StreamIntoRichEdit(richEdit, bytes, SF_RTF) && !StreamIntoRichEdit(richEdit, bytes, SF_TEXT)) {
    throw PlatformError(kLoadFailureText);
  }
}

void TfrmShowDoc::Click(std::string_view control) {
  if (control == "Button1") Close(IDOK);
}

}  // namespace tailmend
