#include "ui/win32/details.h"

#include "ui/behaviour/details_window.h"
#include "ui/behaviour/window_designs.h"
#include "ui/win32/controls.h"
#include "ui/win32/design_drawing.h"
#include "ui/win32/desktop_services.h"
#include "ui/win32/wic_picture.h"

namespace tailmend {

TfrmDetails::TfrmDetails() : ModalDialog(DetailsWindowDesign()) {}

TfrmDetails::~TfrmDetails() {
  if (preview_ != nullptr) ::DeleteObject(preview_);
}

void TfrmDetails::FormShow() {
  for (const auto& [name, text] : DetailTexts(Row)) ::SetWindowTextW(Item(name), WideForDisplay(text).c_str());
  ShowPreview();
}

// Decoded again for the box's new size.
void TfrmDetails::FormAfterMonitorDpiChanged() { ShowPreview(); }

// Decoded to fit inside the box's edge; the box keeps "No preview" otherwise.
void TfrmDetails::ShowPreview() {
  HWND box = Item("Image1");
  RECT inside{};
  ::GetClientRect(box, &inside);
  const std::optional<PreviewPlace>& place = Row.result.verdict.preview;
  const Picture picture = PreviewPicture(Row.file, place, {inside.right, inside.bottom});
  HBITMAP shown = MakeBitmap(picture, {picture.width, picture.height});
  if (shown == nullptr) return;
  ::SetWindowLongPtrW(box, GWL_STYLE,
                      static_cast<LONG_PTR>(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kPreviewPictureStyle));
  ::SendMessageW(box, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shown));
  if (preview_ != nullptr) ::DeleteObject(preview_);
  preview_ = shown;
}

void TfrmDetails::Click(std::string_view control) {
  if (control == "Button2") Button2Click();
  if (control == "Button1") Close(IDOK);
}

void TfrmDetails::Button2Click() { CurrentServices().showInFolder(WideForDisplay(Row.file)); }

}  // namespace tailmend
