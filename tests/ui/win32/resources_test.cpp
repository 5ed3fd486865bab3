// What the executable carries besides its code: the themed look, the version, the icon and the
// main window's picture.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/file_verdict.h"
#include "generated/version.h"
#include "platform/file_stream.h"
#include "platform/wide_text_win32.h"
#include "tests/support/photos.h"
#include "tests/support/temp_dir.h"
#include "ui/win32/controls.h"
#include "ui/win32/state_icons.h"
#include "ui/win32/wic_picture.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

// The program lies where CMake put it, relative to this test program.
fs::path ProgramPath() {
  wchar_t self[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  return (fs::path(std::wstring(self, length)).parent_path() / fs::u8path(TAILMEND_PROGRAM_FROM_TESTS))
      .lexically_normal();
}

// The program's resources, loaded as data: none of its code runs.
class ProgramResources {
public:
  ProgramResources()
      : module_(::LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ProgramResources(const ProgramResources&) = delete;
  ProgramResources& operator=(const ProgramResources&) = delete;
  ~ProgramResources() {
    if (module_ != nullptr) ::FreeLibrary(module_);
  }
  HMODULE Module() const { return module_; }
  std::string Bytes(const wchar_t* type, const wchar_t* name) const {
    HRSRC found = ::FindResourceW(module_, name, type);
    if (found == nullptr) return {};
    const void* data = ::LockResource(::LoadResource(module_, found));
    return std::string(static_cast<const char*>(data), ::SizeofResource(module_, found));
  }

private:
  HMODULE module_;
};

std::wstring VersionString(const std::vector<BYTE>& block, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904E4\\") + name;
  if (!::VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) return {};
  return std::wstring(static_cast<const wchar_t*>(value), length - 1);
}

TEST(ProgramResources, ThemedLookVersionAndIconAreInTailmendExe) {
  const ProgramResources program;
  ASSERT_NE(program.Module(), nullptr) << "cannot load " << ProgramPath().string();
  const std::string manifest = program.Bytes(RT_MANIFEST, MAKEINTRESOURCEW(1));
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos)
      << manifest;
  EXPECT_NE(::FindResourceW(program.Module(), L"IDI_ICON1", RT_GROUP_ICON), nullptr) << "the icon";

  const std::wstring path = ProgramPath().wstring();
  DWORD ignored = 0;
  std::vector<BYTE> block(::GetFileVersionInfoSizeW(path.c_str(), &ignored));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  const std::string fileVersion = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                  std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                  std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                                  std::to_string(LOWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(fileVersion, kFileVersion);
  EXPECT_EQ(fileVersion, "1.0.1.7");
  EXPECT_EQ(Utf8FromWide(VersionString(block, L"FileVersion")), kFileVersion);
  EXPECT_EQ(VersionString(block, L"ProductVersion"), L"1.0");
  EXPECT_EQ(VersionString(block, L"ProductName"), L"Tailmend");
  EXPECT_EQ(VersionString(block, L"LegalCopyright"), L"Copyright (C) 2026 The Tailmend developers");
}

// This test program carries the same manifest: the system must then load the common controls from
// their side-by-side assembly of version 6, which alone draws the themed look.
TEST(ProgramResources, TheManifestBringsVersionSixOfTheCommonControls) {
  HMODULE controls = ::GetModuleHandleW(L"comctl32.dll");
  ASSERT_NE(controls, nullptr);
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(controls, path, MAX_PATH);
  std::string loaded = Utf8FromWide(path);
  for (char& c : loaded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_NE(loaded.find("\\winsxs\\"), std::string::npos) << loaded;
  EXPECT_NE(loaded.find("microsoft.windows.common-controls_6595b64144ccf1df_6.0."), std::string::npos) << loaded;
}

// The 32-pixel picture of an icon of the program's, as its colour bitmap holds it.
std::vector<std::uint32_t> IconPixels(HMODULE program, const wchar_t* name) {
  HICON icon = static_cast<HICON>(::LoadImageW(program, name, IMAGE_ICON, 32, 32, 0));
  ICONINFO parts{};
  if (icon == nullptr || !::GetIconInfo(icon, &parts)) return {};
  std::vector<std::uint32_t> pixels(32 * 32);
  ::GetBitmapBits(parts.hbmColor, static_cast<LONG>(pixels.size() * sizeof(std::uint32_t)), pixels.data());
  ::DeleteObject(parts.hbmColor);
  ::DeleteObject(parts.hbmMask);
  ::DestroyIcon(icon);
  return pixels;
}

// Tailmend.exe carries the event list's state icons beside its own, each with its own pictures, and
// each loads at the side of a screen scaled 100 %, 150 % and 200 % (here from this test program,
// which carries the same resources).
TEST(ProgramResources, EachStateIconIsThereAtEachScreensSize) {
  const ProgramResources program;
  const std::vector<std::uint32_t> programIcon = IconPixels(program.Module(), L"IDI_ICON1");
  ASSERT_FALSE(programIcon.empty());
  for (const FileState state : {FileState::Repaired, FileState::Healthy, FileState::DamagedInside,
                                FileState::NotRepairable, FileState::Failed}) {
    const std::wstring name = WideForDisplay(StateIconName(state));
    EXPECT_NE(::FindResourceW(program.Module(), name.c_str(), RT_GROUP_ICON), nullptr) << Utf8FromWide(name);
    EXPECT_NE(IconPixels(program.Module(), name.c_str()), programIcon) << Utf8FromWide(name);
    for (const int dpi : {96, 144, 192}) {
      HICON icon = LoadStateIcon(state, StateIconSize(dpi));
      ASSERT_NE(icon, nullptr) << Utf8FromWide(name) << " at " << dpi;
      ICONINFO parts{};
      ASSERT_TRUE(::GetIconInfo(icon, &parts));
      BITMAP shape{};
      ::GetObjectW(parts.hbmColor, sizeof shape, &shape);
      EXPECT_EQ(shape.bmWidth, dpi / 6) << Utf8FromWide(name) << " at " << dpi;
      ::DeleteObject(parts.hbmColor);
      ::DeleteObject(parts.hbmMask);
      ::DestroyIcon(icon);
    }
  }
}

// A bitmap made for a picture control, owned, with its pixels readable in a memory device context.
class MadeBitmap {
public:
  explicit MadeBitmap(HBITMAP bitmap) : bitmap_(bitmap), dc_(::CreateCompatibleDC(nullptr)) {
    old_ = ::SelectObject(dc_, bitmap_);
    ::GetObjectW(bitmap_, sizeof shape_, &shape_);
  }
  MadeBitmap(const MadeBitmap&) = delete;
  MadeBitmap& operator=(const MadeBitmap&) = delete;
  ~MadeBitmap() {
    ::SelectObject(dc_, old_);
    ::DeleteDC(dc_);
    ::DeleteObject(bitmap_);
  }
  int Width() const { return shape_.bmWidth; }
  int Height() const { return shape_.bmHeight; }
  COLORREF At(int x, int y) const { return ::GetPixel(dc_, x, y); }

private:
  HBITMAP bitmap_;
  HDC dc_;
  HGDIOBJ old_ = nullptr;
  BITMAP shape_{};
};

TEST(WicPicture, TheMainWindowPictureDecodesToItsDesignedSizeOnWhite) {
  const Picture picture = DecodeJpeg(MainPictureBytes());
  ASSERT_FALSE(picture.Empty());
  EXPECT_EQ(picture.width, 338);
  EXPECT_EQ(picture.height, 226);
  for (const std::uint32_t corner : {picture.pixels.front(), picture.pixels.back()}) {
    for (int shift : {0, 8, 16}) EXPECT_GT((corner >> shift) & 0xFF, 230u) << "the picture stands on white";
  }
  HBITMAP made = MakeBitmap(picture, {picture.width, picture.height});
  ASSERT_NE(made, nullptr);
  const MadeBitmap bitmap(made);
  EXPECT_EQ(bitmap.Width(), 338);
  EXPECT_EQ(bitmap.Height(), 226);
  // Every pixel where the picture has it, down to the last row.
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{169, 113}, std::pair{337, 100}, std::pair{200, 225}}) {
    const std::uint32_t pixel = picture.pixels[static_cast<std::size_t>(y) * 338 + x];
    EXPECT_EQ(bitmap.At(x, y), RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF)) << x << "," << y;
  }
}

TEST(WicPicture, BytesThatAreNoJpegGiveAnEmptyPicture) {
  const std::string notJpeg = "GIF89a not a jpeg at all";
  EXPECT_TRUE(DecodeJpeg({}).Empty());
  EXPECT_TRUE(DecodeJpeg({reinterpret_cast<const unsigned char*>(notJpeg.data()), notJpeg.size()}).Empty());
  EXPECT_TRUE(DecodeJpeg(MainPictureBytes().first(100)).Empty()) << "a header cut short";
  EXPECT_EQ(MakeBitmap(Picture{}, {338, 226}), nullptr);
}

// A photo whose preview is a real JPEG: located by the verdict, read alone from the file and decoded
// by the system to fit its box, the same picture as decoded whole.
TEST(WicPicture, APhotosPreviewIsDecodedToFitItsBox) {
  const std::span<const unsigned char> jpeg = MainPictureBytes();
  TempDir dir;
  const std::string photo = dir.Put("IMG_0042.CRW", PhotoWithPreview(Bytes(jpeg.begin(), jpeg.end())));
  FileStream stream = FileStream::OpenReadSharedRead(photo);
  const FileVerdict verdict = JudgeFile(stream);
  const Picture preview = PreviewPicture(photo, verdict.preview, {80, 60});
  ASSERT_EQ(preview.width, 80) << "338 x 226 fitted into 80 x 60";
  ASSERT_EQ(preview.height, 53);
  const Picture whole = DecodeJpeg(jpeg);
  const auto lightness = [](std::uint32_t pixel) { return ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF); };
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{40, 26}, std::pair{60, 40}}) {
    const std::uint32_t there = whole.pixels[static_cast<std::size_t>(y * 226 / 53) * 338 + x * 338 / 80];
    EXPECT_NEAR(lightness(preview.pixels[static_cast<std::size_t>(y) * 80 + x]), lightness(there), 72) << x << "," << y;
  }
  EXPECT_EQ(DecodeJpegToFit(jpeg, {400, 400}).width, 338) << "never larger than it is";
  EXPECT_TRUE(PreviewPicture(photo, std::nullopt, {80, 60}).Empty()) << "no preview";
  EXPECT_TRUE(PreviewPicture(photo, PreviewPlace{0, 1000}, {80, 60}).Empty()) << "no JPEG there";
}

// A picture drawn larger is filtered: between a black and a white pixel lie greys, not a step.
TEST(WicPicture, AStretchedPictureHasSmoothEdges) {
  const Picture blackThenWhite{2, 1, {0x000000, 0xFFFFFF}};
  HBITMAP made = MakeBitmap(blackThenWhite, {8, 2});
  ASSERT_NE(made, nullptr);
  const MadeBitmap bitmap(made);
  EXPECT_EQ(bitmap.Width(), 8);
  EXPECT_EQ(bitmap.Height(), 2);
  std::vector<int> greys;
  for (int x = 0; x < 8; ++x) greys.push_back(GetRValue(bitmap.At(x, 0)));
  EXPECT_EQ(greys.front(), 0);
  EXPECT_EQ(greys.back(), 255);
  EXPECT_TRUE(std::is_sorted(greys.begin(), greys.end())) << ::testing::PrintToString(greys);
  EXPECT_TRUE(std::any_of(greys.begin(), greys.end(), [](int grey) { return grey > 20 && grey < 235; }))
      << "no grey between black and white: " << ::testing::PrintToString(greys);
}

}  // namespace
}  // namespace tailmend::test
