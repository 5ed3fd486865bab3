#include "ui/win32/state_icons.h"

#include <iterator>
#include <string>

#include "ui/behaviour/window_design.h"
#include "ui/win32/controls.h"

namespace tailmend {

namespace {

constexpr int kDesignIconSize = 16;

using ScaleDownLoader = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);

// Version 6 of the common controls (Vista on) shrinks the nearest larger picture; MinGW's import
// library lacks it, so it is looked up in the loaded library.
ScaleDownLoader LoaderThatScalesDown() {
  HMODULE controls = ::GetModuleHandleW(L"comctl32.dll");
  if (controls == nullptr) return nullptr;
  const FARPROC found = ::GetProcAddress(controls, "LoadIconWithScaleDown");
  return reinterpret_cast<ScaleDownLoader>(reinterpret_cast<void (*)()>(found));
}
constexpr FileState kStates[] = {FileState::Repaired, FileState::Healthy, FileState::DamagedInside,
                                 FileState::NotRepairable, FileState::Failed};

}  // namespace

int StateIconSize(int dpi) { return ScaledLength(kDesignIconSize, dpi); }

HICON LoadStateIcon(FileState state, int side) {
  static const ScaleDownLoader scaleDown = LoaderThatScalesDown();
  HINSTANCE program = ::GetModuleHandleW(nullptr);
  const std::wstring name = WideForDisplay(StateIconName(state));
  if (scaleDown == nullptr) {
    return static_cast<HICON>(::LoadImageW(program, name.c_str(), IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
  }
  HICON icon = nullptr;
  return SUCCEEDED(scaleDown(program, name.c_str(), side, side, &icon)) ? icon : nullptr;
}

HIMAGELIST MakeStateImageList(int dpi) {
  const int side = StateIconSize(dpi);
  HIMAGELIST images = ::ImageList_Create(side, side, ILC_COLOR32 | ILC_MASK, static_cast<int>(std::size(kStates)), 0);
  if (images == nullptr) return nullptr;
  for (const FileState state : kStates) {
    HICON icon = LoadStateIcon(state, side);
    ::ImageList_AddIcon(images, icon);
    if (icon != nullptr) ::DestroyIcon(icon);
  }
  return images;
}

}  // namespace tailmend
