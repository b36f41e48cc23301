#include "platform/qt/qt_message_box.h"

#include <QMessageBox>

#include "platform/message_box.h"
#include "platform/qt/qt_text.h"

namespace kanzo::platform {
namespace {

QMessageBox::Icon ToQt(MessageBoxIcon icon) {
  switch (icon) {
    case MessageBoxIcon::Information: return QMessageBox::Information;
    case MessageBoxIcon::Warning: return QMessageBox::Warning;
    case MessageBoxIcon::Error: return QMessageBox::Critical;
    case MessageBoxIcon::Question: return QMessageBox::Question;
    case MessageBoxIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(MessageBoxButtons buttons) {
  switch (buttons) {
    case MessageBoxButtons::Ok: return QMessageBox::Ok;
    case MessageBoxButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageBoxButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageBoxButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

MessageBoxResult FromQt(int button) {
  switch (button) {
    case QMessageBox::Ok: return MessageBoxResult::Ok;
    case QMessageBox::Yes: return MessageBoxResult::Yes;
    case QMessageBox::No: return MessageBoxResult::No;
    default: return MessageBoxResult::Cancel;
  }
}

}  // namespace

void InstallQtMessageBoxHandler() {
  SetMessageBoxHandler([](const MessageBoxRequest& request) {
    QMessageBox box(ToQt(request.icon), FromNarrow(request.caption), FromNarrow(request.text), ToQt(request.buttons));
    // Box texts carry server and visitor text: never read as rich text.
    box.setTextFormat(Qt::PlainText);
    return FromQt(box.exec());
  });
}

}  // namespace kanzo::platform
