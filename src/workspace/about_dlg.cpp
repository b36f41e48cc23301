#include "workspace/about_dlg.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/program_folder.h"
#include "platform/qt/qt_text.h"

namespace kanzo {
namespace {

constexpr const char* kAboutTitle = "关于 Qimbo";
constexpr const char* kAboutLineFormat = "%s %s Release版";
constexpr const char* kOkText = "确定";
constexpr const char* kBackgroundColour = "#FAFAFA";
constexpr const char* kTextColour = "#333333";
constexpr const char* kProgramIconPath = "Images/kanzo.png";
constexpr int kIconSize = 32;

}  // namespace

std::string AboutLineText(const std::string& description, const std::string& version) {
  char buf[512];
  std::snprintf(buf, sizeof(buf), kAboutLineFormat, description.c_str(), version.c_str());
  return buf;
}

AboutDlg::AboutDlg(const std::string& description, const std::string& version, QWidget* parent)
    : QDialog(parent), line_(new QLabel(this)) {
  setWindowTitle(QString::fromUtf8(kAboutTitle));
  setModal(true);
  setStyleSheet(
      QString("QDialog{background:%1;} QLabel{color:%2;background:transparent;}").arg(kBackgroundColour, kTextColour));
  auto* icon = new QLabel(this);
  const QString iconPath = platform::FromNarrow(platform::ProgramFolder() + kProgramIconPath);
  icon->setPixmap(QIcon(iconPath).pixmap(kIconSize, kIconSize));
  line_->setTextFormat(Qt::PlainText);
  line_->setText(platform::FromNarrow(AboutLineText(description, version)));
  auto* ok = new QPushButton(QString::fromUtf8(kOkText), this);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addWidget(icon);
  row->addWidget(line_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

}  // namespace kanzo
