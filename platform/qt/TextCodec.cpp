#include "platform/qt/TextCodec.h"

#include <QStringDecoder>

namespace platform {

QString DecodeText(std::string_view bytes) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  QString text = utf8.decode(view);
  if (!utf8.hasError()) return text;
  QStringDecoder windows1252("windows-1252");
  if (windows1252.isValid()) return windows1252.decode(view);
  return QString::fromLatin1(view);  // the nearest codec every Qt has
}

CString EncodeText(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace platform
