#include "platform/qt/qt_text.h"

#include <QTextDocument>

#include "platform/narrow_text.h"

namespace kanzo::platform {

QString FromNarrow(std::string_view narrow) {
  const std::string utf8 = NarrowToUtf8(narrow);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToNarrow(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToNarrow(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

QString PlainToolTip(const QString& text) {
  if (!Qt::mightBeRichText(text)) return text;
  return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

}  // namespace kanzo::platform
