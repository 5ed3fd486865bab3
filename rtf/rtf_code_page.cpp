#include "rtf/rtf_code_page.h"

#include <array>

namespace tailmend {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. The five bytes it leaves undefined map to
// the C1 controls of the same value, as Windows itself converts them.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString DecodeWindows1252(const QByteArray& bytes) {
  QString text;
  text.reserve(bytes.size());
  for (const char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    const bool high = value >= 0x80 && value < 0xA0;
    text.append(QChar(high ? kWindows1252High[value - 0x80] : char16_t{value}));
  }
  return text;
}

// Names under which ICU knows the Windows code pages.
const char* CodecName(int codePage) {
  switch (codePage) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 874: return "windows-874";
    case 932: return "Shift_JIS";
    case 936: return "GBK";  // Windows' GB2312 code page; GBK is its superset
    case 949: return "windows-949";
    case 950: return "Big5";
    case 1250: return "windows-1250";
    case 1251: return "windows-1251";
    case 1253: return "windows-1253";
    case 1254: return "windows-1254";
    case 1255: return "windows-1255";
    case 1256: return "windows-1256";
    case 1257: return "windows-1257";
    case 1258: return "windows-1258";
    case 10000: return "macintosh";
    case 65001: return "UTF-8";
    default: return nullptr;
  }
}

}  // namespace

int RtfCodePageForCharset(int charset, int documentCodePage) {
  switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default: return documentCodePage;
  }
}

QString RtfTextDecoder::Decode(const QByteArray& bytes, int codePage) {
  QStringDecoder* decoder = DecoderFor(codePage);
  if (decoder == nullptr) return DecodeWindows1252(bytes);
  decoder->resetState();
  return decoder->decode(bytes);
}

// Opening a codec is far dearer than decoding a few bytes, so each is opened once per document.
// The map holds at most one entry per name CodecName knows.
QStringDecoder* RtfTextDecoder::DecoderFor(int codePage) {
  const char* name = CodecName(codePage);
  if (name == nullptr) return nullptr;
  auto& decoder = decoders_[codePage];
  if (!decoder) decoder = std::make_unique<QStringDecoder>(name);
  return decoder->isValid() ? decoder.get() : nullptr;
}

}  // namespace tailmend
