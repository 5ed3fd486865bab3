#include "ui/qt/jpeg_picture.h"

#include <QFile>
#include <csetjmp>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "engine/preview_reader.h"
#include "ui/behaviour/picture_fit.h"

namespace tailmend {

namespace {

const char* const kPictureResource = ":/tailmend/main_picture.jpg";
constexpr int kRgbComponents = 3;

// libjpeg's own error handler ends the process; this one jumps back to the decoder instead.
struct JumpingErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void JumpBack(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JumpingErrors*>(info->err)->jump, 1);
}

void Quiet(j_common_ptr) {}

// Where a box is given, the picture is decoded reduced for it, and fitted is the size it fits at.
// Only plain C objects live in this frame, so the jump back skips no destructor.
bool Decode(jpeg_decompress_struct& info, JumpingErrors& errors, const QByteArray& bytes, const DesignSize* box,
            DesignSize& fitted, QImage& image) {
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JumpBack;
  errors.manager.output_message = Quiet;
  if (setjmp(errors.jump) != 0) return false;
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  if (box != nullptr) {
    const DesignSize picture{static_cast<int>(info.image_width), static_cast<int>(info.image_height)};
    fitted = FittedSize(picture, *box);
    if (fitted.width == 0) return false;
    info.scale_num = 1;
    info.scale_denom = static_cast<unsigned int>(JpegReduction(picture, fitted));
  }
  jpeg_start_decompress(&info);
  if (info.output_components != kRgbComponents) return false;
  image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB888);
  if (image.isNull()) return false;
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& bytes) {
  if (bytes.isEmpty()) return {};
  jpeg_decompress_struct info{};
  JumpingErrors errors{};
  DesignSize fitted;
  QImage image;
  const bool decoded = Decode(info, errors, bytes, nullptr, fitted, image);
  jpeg_destroy_decompress(&info);
  return decoded ? image : QImage();
}

QImage DecodeJpegToFit(const QByteArray& bytes, QSize box) {
  if (bytes.isEmpty() || box.isEmpty()) return {};
  jpeg_decompress_struct info{};
  JumpingErrors errors{};
  const DesignSize inside{box.width(), box.height()};
  DesignSize fitted;
  QImage image;
  const bool decoded = Decode(info, errors, bytes, &inside, fitted, image);
  jpeg_destroy_decompress(&info);
  if (!decoded) return {};
  const QSize shown(fitted.width, fitted.height);
  return image.size() == shown ? image : image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage PreviewPicture(const std::string& path, const std::optional<PreviewPlace>& place, QSize box) {
  if (!place) return {};
  const std::optional<std::vector<unsigned char>> bytes = ReadPreviewOf(path, *place);
  if (!bytes) return {};
  return DecodeJpegToFit(
      QByteArray::fromRawData(reinterpret_cast<const char*>(bytes->data()), static_cast<qsizetype>(bytes->size())),
      box);
}

QImage MainPicture() {
  QFile file(QString::fromLatin1(kPictureResource));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return DecodeJpeg(file.readAll());
}

}  // namespace tailmend
