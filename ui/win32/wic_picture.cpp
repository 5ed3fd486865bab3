#include "ui/win32/wic_picture.h"

#include <objbase.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <climits>
#include <cstring>

#include "engine/preview_reader.h"
#include "ui/behaviour/picture_fit.h"
#include "ui/win32/resource_ids.h"

namespace tailmend {

namespace {

constexpr int kBitmapBits = 24;
constexpr int kBytesPerPixel = 3;

// Owns one reference to a COM object.
template <typename Interface>
class ComReference {
public:
  ComReference() = default;
  ComReference(const ComReference&) = delete;
  ComReference& operator=(const ComReference&) = delete;
  ~ComReference() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  Interface* operator->() const { return pointer_; }
  Interface* Get() const { return pointer_; }
  Interface** Out() { return &pointer_; }

private:
  Interface* pointer_ = nullptr;
};

bool Succeeded(HRESULT result) { return SUCCEEDED(result); }

HBITMAP MakeDib(SIZE size, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size.cx;
  info.bmiHeader.biHeight = -size.cy;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = kBitmapBits;
  info.bmiHeader.biCompression = BI_RGB;
  return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

HBITMAP CopyPixels(const Picture& picture) {
  void* bits = nullptr;
  HBITMAP bitmap = MakeDib({picture.width, picture.height}, &bits);
  if (bitmap == nullptr) return nullptr;
  // Each row of a bitmap starts on a four-byte boundary.
  const std::size_t rowBytes = (static_cast<std::size_t>(picture.width) * kBytesPerPixel + 3) & ~std::size_t{3};
  auto* rows = static_cast<unsigned char*>(bits);
  for (int y = 0; y < picture.height; ++y) {
    unsigned char* row = rows + rowBytes * static_cast<std::size_t>(y);
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t pixel = picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
      std::memcpy(row + static_cast<std::size_t>(x) * kBytesPerPixel, &pixel, kBytesPerPixel);
    }
  }
  return bitmap;
}

HBITMAP Stretched(HBITMAP source, SIZE from, SIZE to) {
  void* bits = nullptr;
  HBITMAP target = MakeDib(to, &bits);
  if (target == nullptr) return nullptr;
  HDC sourceDc = ::CreateCompatibleDC(nullptr);
  HDC targetDc = ::CreateCompatibleDC(nullptr);
  const HGDIOBJ oldSource = ::SelectObject(sourceDc, source);
  const HGDIOBJ oldTarget = ::SelectObject(targetDc, target);
  // Halftone stretching needs the brush origin set after the mode.
  ::SetStretchBltMode(targetDc, HALFTONE);
  ::SetBrushOrgEx(targetDc, 0, 0, nullptr);
  const BOOL drawn = ::StretchBlt(targetDc, 0, 0, to.cx, to.cy, sourceDc, 0, 0, from.cx, from.cy, SRCCOPY);
  ::SelectObject(sourceDc, oldSource);
  ::SelectObject(targetDc, oldTarget);
  ::DeleteDC(sourceDc);
  ::DeleteDC(targetDc);
  if (drawn == FALSE) {
    ::DeleteObject(target);
    return nullptr;
  }
  return target;
}

// The picture's pixels out of a source of the system's decoder, or an empty picture.
Picture PixelsOf(IWICImagingFactory& factory, IWICBitmapSource* source) {
  ComReference<IWICFormatConverter> converter;
  if (!Succeeded(factory.CreateFormatConverter(converter.Out())) ||
      !Succeeded(converter->Initialize(source, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                       WICBitmapPaletteTypeCustom))) {
    return {};
  }
  UINT width = 0;
  UINT height = 0;
  if (!Succeeded(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 0x4000 ||
      height > 0x4000) {
    return {};
  }
  Picture picture{static_cast<int>(width), static_cast<int>(height),
                  std::vector<std::uint32_t>(std::size_t{width} * height)};
  const UINT stride = width * sizeof(std::uint32_t);
  if (!Succeeded(
          converter->CopyPixels(nullptr, stride, stride * height, reinterpret_cast<BYTE*>(picture.pixels.data())))) {
    return {};
  }
  return picture;
}

// Decodes the first frame, shrunk to fit the box where one is given.
Picture Decode(std::span<const unsigned char> bytes, const SIZE* box) {
  if (bytes.empty() || bytes.size() > UINT_MAX) return {};
  ComReference<IWICImagingFactory> factory;
  if (!Succeeded(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    reinterpret_cast<void**>(factory.Out())))) {
    return {};
  }
  ComReference<IStream> stream;
  *stream.Out() = ::SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
  if (stream.Get() == nullptr) return {};
  ComReference<IWICBitmapDecoder> decoder;
  ComReference<IWICBitmapFrameDecode> frame;
  if (!Succeeded(
          factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.Out())) ||
      !Succeeded(decoder->GetFrame(0, frame.Out()))) {
    return {};
  }
  if (box == nullptr) return PixelsOf(*factory.Get(), frame.Get());
  UINT width = 0;
  UINT height = 0;
  if (!Succeeded(frame->GetSize(&width, &height))) return {};
  const DesignSize fitted = FittedSize({static_cast<int>(width), static_cast<int>(height)},
                                       {static_cast<int>(box->cx), static_cast<int>(box->cy)});
  if (fitted.width <= 0 || fitted.height <= 0) return {};
  ComReference<IWICBitmapScaler> scaler;
  if (!Succeeded(factory->CreateBitmapScaler(scaler.Out())) ||
      !Succeeded(scaler->Initialize(frame.Get(), static_cast<UINT>(fitted.width), static_cast<UINT>(fitted.height),
                                    WICBitmapInterpolationModeFant))) {
    return {};
  }
  return PixelsOf(*factory.Get(), scaler.Get());
}

}  // namespace

Picture DecodeJpeg(std::span<const unsigned char> bytes) { return Decode(bytes, nullptr); }

Picture DecodeJpegToFit(std::span<const unsigned char> bytes, SIZE box) { return Decode(bytes, &box); }

Picture PreviewPicture(const std::string& path, const std::optional<PreviewPlace>& place, SIZE box) {
  if (!place) return {};
  const std::optional<std::vector<unsigned char>> bytes = ReadPreviewOf(path, *place);
  if (!bytes) return {};
  return DecodeJpegToFit(*bytes, box);
}

std::span<const unsigned char> MainPictureBytes() {
  HMODULE program = ::GetModuleHandleW(nullptr);
  HRSRC found = ::FindResourceW(program, MAKEINTRESOURCEW(TAILMEND_MAIN_PICTURE), RT_RCDATA);
  if (found == nullptr) return {};
  HGLOBAL loaded = ::LoadResource(program, found);
  const void* bytes = loaded == nullptr ? nullptr : ::LockResource(loaded);
  if (bytes == nullptr) return {};
  return {static_cast<const unsigned char*>(bytes), ::SizeofResource(program, found)};
}

// Three bytes a pixel: picture controls treat 32-bit bitmaps as carrying transparency, and the
// decoder leaves the fourth byte undefined.
HBITMAP MakeBitmap(const Picture& picture, SIZE size) {
  if (picture.Empty() || size.cx <= 0 || size.cy <= 0) return nullptr;
  HBITMAP bitmap = CopyPixels(picture);
  if (bitmap == nullptr || (size.cx == picture.width && size.cy == picture.height)) return bitmap;
  HBITMAP stretched = Stretched(bitmap, {picture.width, picture.height}, size);
  ::DeleteObject(bitmap);
  return stretched;
}

}  // namespace tailmend
