#include "platform/qt/TextCodec.h"

#include <QStringDecoder>

#include "platform/TextEncoding.h"

namespace platform::qt {

QString DecodeText(std::string_view bytes) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  if (TextEncodingOf(bytes) == TextEncoding::Utf8) return QString::fromUtf8(view);
  QStringDecoder windows1252("windows-1252");
  if (windows1252.isValid()) return windows1252.decode(view);
  return QString::fromLatin1(view);  // the nearest codec every Qt has
}

CString EncodeText(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace platform::qt
