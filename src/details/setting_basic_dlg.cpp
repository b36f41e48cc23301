#include "details/setting_basic_dlg.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>

#include "controls/skin_kit.h"
#include "platform/qt/qt_text.h"
#include "platform/window_message.h"
#include "windows/client_vocabulary.h"

namespace kanzo {
namespace {

constexpr SkinKit::Colour kStaticTextColour = 0x333333;
constexpr int kMargin = 20;
constexpr int kGroupWidth = 360;
constexpr int kGroupHeight = 56;
constexpr int kGroupGap = 14;
constexpr int kRadioLeft = 20;
constexpr int kRadioTop = 24;
constexpr int kRadioWidth = 130;
constexpr int kRadioHeight = 20;
constexpr int kRadioGap = 150;

struct RadioPair {
  const char* frame;
  int firstId;
  const char* first;
  int secondId;
  const char* second;
};

constexpr RadioPair kPairs[] = {
    {"密码设置", kRememberPasswordId, "记住密码", kForgetPasswordId, "取消记住密码"},
    {"登录设置", kAutoLoginId, "自动登录", kNoAutoLoginId, "取消自动登录"},
    {"消息提醒", kBubbleAlertId, "气泡消息", kForceWindowAlertId, "强制弹窗"},
    {"声音提示", kSoundOnId, "开启", kSoundOffId, "关闭"},
};

QString Utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

SettingBasicDlg::SettingBasicDlg(QWidget* parent, WindowContext& context)
    : QWidget(parent), context_(context), settings_(context.records.agent) {
  setObjectName(QString::number(kSettingBasicDialogId));
  QPalette texts = palette();
  texts.setColor(QPalette::WindowText, SkinKit::ToQColor(kStaticTextColour));
  texts.setColor(QPalette::ButtonText, SkinKit::ToQColor(kStaticTextColour));
  setPalette(texts);

  int top = kMargin;
  for (const RadioPair& pair : kPairs) {
    auto* frame = new QGroupBox(Utf8(pair.frame), this);
    frame->setGeometry(kMargin, top, kGroupWidth, kGroupHeight);
    // Each pair is exclusive on its own; the couplings are the logic's.
    auto* group = new QButtonGroup(frame);
    int left = kRadioLeft;
    for (const auto& [id, label] : {std::pair{pair.firstId, pair.first}, std::pair{pair.secondId, pair.second}}) {
      auto* radio = new QRadioButton(Utf8(label), frame);
      radio->setObjectName(QString::number(id));
      radio->setGeometry(left, kRadioTop, kRadioWidth, kRadioHeight);
      group->addButton(radio, id);
      const int clicked = id;
      connect(radio, &QRadioButton::clicked, this, [this, clicked] { OnRadioClicked(clicked); });
      left += kRadioGap;
    }
    top += kGroupHeight + kGroupGap;
  }

  context_.router.Enter(kSettingBasicName, *this, static_cast<SettingBasicLink*>(this));
  RefreshSettings();
}

SettingBasicDlg::~SettingBasicDlg() { context_.router.Leave(kSettingBasicName, *this); }

QRadioButton* SettingBasicDlg::Radio(int id) const { return findChild<QRadioButton*>(QString::number(id)); }

void SettingBasicDlg::RefreshSettings() {
  platform::CheckUiThread("SettingBasicDlg::RefreshSettings");
  settings_.Load();
  ShowState();
}

void SettingBasicDlg::OnRadioClicked(int id) {
  const BasicSettingsClick click = settings_.Click(id);
  if (!click.handled) return;
  ShowState();
  if (!click.agentSettingsChanged) return;
  if (auto* mainWindow = context_.router.Find<MainWindowLink>(kMainWindowName)) mainWindow->SettingsChanged();
}

void SettingBasicDlg::ShowState() {
  for (const RadioPair& pair : kPairs) {
    for (int id : {pair.firstId, pair.secondId}) {
      if (QRadioButton* radio = Radio(id)) radio->setChecked(settings_.State().Checked(id));
    }
  }
}

}  // namespace kanzo
