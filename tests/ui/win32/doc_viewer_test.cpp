#include <windows.h>
#include <richedit.h>

#include <filesystem>
#include <fstream>

#include "tests/support/temp_dir.h"
#include "tests/ui/win32/window_harness.h"
#include "ui/behaviour/window_designs.h"
#include "ui/win32/doc.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

// A document name no build delivers, so the folders it is put into decide alone what is found.
const char* const kDocName = "tailmend-viewer-test.rtf";

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

fs::path ProgramFolder() {
  wchar_t self[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  return fs::path(std::wstring(self, length)).parent_path();
}

// The text with each line break as one '\n' (the control keeps CR, LF or both, by its version),
// without the paragraph mark it may keep at the end of a document.
std::wstring Shown(HWND richEdit) {
  std::wstring text;
  for (const wchar_t c : Text(richEdit)) {
    const bool lineBreak = c == L'\r' || c == L'\n';
    if (lineBreak && !text.empty() && text.back() == L'\n') continue;
    text += lineBreak ? L'\n' : c;
  }
  if (!text.empty() && text.back() == L'\n') text.pop_back();
  return text;
}

class DocViewer : public WindowTest {
protected:
  DocViewer() : cwd(dir.Path()) {}

  // Shows the viewer for a document name and looks at its RichEdit while it is on screen.
  void Show(const char* docFile, const std::function<void(HWND richEdit)>& inspect) {
    TfrmShowDoc viewer;
    viewer.DocFile = docFile;
    WithModal([&] { viewer.ShowModal(nullptr); },
              [&](HWND dialog) { inspect(Find(dialog, DocumentViewerDesign(), "RichEdit1")); });
  }
  std::wstring ShownText(const char* docFile) {
    std::wstring shown;
    Show(docFile, [&](HWND richEdit) { shown = Shown(richEdit); });
    return shown;
  }

  TempDir dir;
  CurrentDirectory cwd;
};

TEST_F(DocViewer, SaysSoWhenTheDocumentIsNowhere) {
  EXPECT_EQ(ShownText(kDocName), L"Document file doesn't exist.");
  EXPECT_TRUE(errorBoxes.empty());
}

TEST_F(DocViewer, ShowsAFileThatIsNotRtfAsPlainText) {
  WriteText(dir.Path() / kDocName, "Just words,\r\nno {\\rtf} here.");
  EXPECT_EQ(ShownText(kDocName), L"Just words,\nno {\\rtf} here.");
  EXPECT_TRUE(errorBoxes.empty());
}

// The control reads the RTF itself: the control words are gone and a bold run is drawn bold.
TEST_F(DocViewer, ShowsRtfFormattedAndReadOnly) {
  WriteText(dir.Path() / kDocName, "{\\rtf1\\ansi Cut the {\\b tail} off.\\par}");
  Show(kDocName, [](HWND richEdit) {
    EXPECT_EQ(Shown(richEdit), L"Cut the tail off.");
    const auto formatAt = [&](int first, int last) {
      ::SendMessageW(richEdit, EM_SETSEL, static_cast<WPARAM>(first), last);
      CHARFORMAT2W format{};
      format.cbSize = sizeof format;
      ::SendMessageW(richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
      return format;
    };
    const CHARFORMAT2W bold = formatAt(8, 12);  // "tail"
    EXPECT_TRUE(bold.dwMask & CFM_BOLD) << "the whole run has one weight";
    EXPECT_TRUE(bold.dwEffects & CFE_BOLD);
    EXPECT_FALSE(formatAt(0, 3).dwEffects & CFE_BOLD) << "\"Cut\" is not bold";

    ::SendMessageW(richEdit, EM_SETSEL, 0, 0);
    ::SendMessageW(richEdit, WM_CHAR, L'x', 1);
    EXPECT_EQ(Shown(richEdit), L"Cut the tail off.") << "typing changes nothing";
  });
}

// The documents are delivered beside the program; the current directory is only the last resort.
TEST_F(DocViewer, LooksBesideTheProgramThenInTheCurrentFolder) {
  const std::vector<std::string> folders = HelpDocumentFolders();
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_TRUE(fs::equivalent(fs::u8path(folders[0]), ProgramFolder())) << folders[0];
  EXPECT_TRUE(fs::equivalent(fs::u8path(folders[1]), dir.Path())) << folders[1];
}

// Another program writing the document keeps the viewer's shared-read open out.
TEST_F(DocViewer, ADocumentHeldOpenForWritingShowsTheErrorAndAnEmptyViewer) {
  const fs::path path = dir.Path() / kDocName;
  WriteText(path, "{\\rtf1 busy}");
  HANDLE writer = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ShownText(kDocName), L"");
  ::CloseHandle(writer);
  ASSERT_EQ(errorBoxes.size(), 1u);
  EXPECT_EQ(errorBoxes[0].first, L"Tailmend");
  const std::string text = Utf8(errorBoxes[0].second);
  const std::string prefix = "Cannot open file \"" + dir.File(kDocName) + "\". ";
  EXPECT_EQ(text.substr(0, prefix.size()), prefix);
  EXPECT_EQ(text.back(), '.');
}

}  // namespace
}  // namespace tailmend::test
