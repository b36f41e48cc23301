#include "details/setting_dlg.h"

#include <QShowEvent>
#include <QTabBar>

#include "controls/skin_kit.h"

namespace kanzo {
namespace {

constexpr int kWindowWidth = 400;
constexpr int kWindowHeight = 420;
constexpr int kTabHeight = 28;
constexpr SkinKit::Colour kGroundColour = 0xFFFFFF;

}  // namespace

SettingDlg::SettingDlg(QWidget* parent, WindowContext& context)
    : QDialog(parent),
      tabs_(new QTabBar(this)),
      basic_(new SettingBasicDlg(this, context)),
      self_(new SettingSelfDlg(this, context)) {
  setObjectName(QString::number(kSettingDialogId));
  setWindowTitle(QString::fromUtf8(kSettingCaption));
  setModal(false);
  setFixedSize(kWindowWidth, kWindowHeight);
  QPalette ground = palette();
  ground.setColor(QPalette::Window, SkinKit::ToQColor(kGroundColour));
  setPalette(ground);
  setAutoFillBackground(true);

  tabs_->setObjectName(QString::number(kSettingTabControlId));
  tabs_->addTab(QString::fromUtf8("基础设置"));
  tabs_->addTab(QString::fromUtf8("个人信息"));
  tabs_->setGeometry(0, 0, kWindowWidth, kTabHeight);
  const QRect page(0, kTabHeight, kWindowWidth, kWindowHeight - kTabHeight);
  basic_->setGeometry(page);
  self_->setGeometry(page);
  connect(tabs_, &QTabBar::currentChanged, this, &SettingDlg::SelectTab);
  self_->SetOnCancelled([this] { close(); });
  SelectTab(kSettingBasicTab);
}

void SettingDlg::SelectTab(int index) {
  if (tabs_->currentIndex() != index) tabs_->setCurrentIndex(index);  // comes back here
  basic_->setVisible(index == kSettingBasicTab);
  self_->setVisible(index == kSettingSelfTab);
}

void SettingDlg::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    basic_->RefreshSettings();
    self_->FillFromAgentRecord();
  }
  QDialog::showEvent(event);
}

}  // namespace kanzo
