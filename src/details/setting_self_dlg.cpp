#include "details/setting_self_dlg.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "controls/skin_kit.h"
#include "net/window_network_future.h"
#include "platform/qt/qt_text.h"
#include "protocol/commands.h"
#include "windows/client_vocabulary.h"
#include "windows/network_vocabulary.h"
#include "windows/window_links.h"

namespace kanzo {
namespace {

constexpr SkinKit::Colour kStaticTextColour = 0x333333;
constexpr SkinKit::Colour kEditColour = 0xFFFFFF;
constexpr int kLabelLeft = 20;
constexpr int kLabelWidth = 60;
constexpr int kEditLeft = 84;
constexpr int kEditWidth = 280;
constexpr int kRowTop = 16;
constexpr int kRowHeight = 24;
constexpr int kRowStep = 32;
constexpr int kRadioWidth = 60;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 16;

struct FieldRow {
  int id;
  const char* label;
  std::string AgentDetailsForm::*field;
};

// Top to bottom, with the sex row after the name.
constexpr FieldRow kBeforeSex[] = {{kRealnameEditId, "姓名:", &AgentDetailsForm::realname}};
constexpr FieldRow kAfterSex[] = {
    {kAgeEditId, "年龄:", &AgentDetailsForm::age},       {kAddressEditId, "地址:", &AgentDetailsForm::address},
    {kMobileEditId, "手机:", &AgentDetailsForm::mobile}, {kPhoneEditId, "电话:", &AgentDetailsForm::phone},
    {kQqEditId, "QQ:", &AgentDetailsForm::qq},           {kEmailEditId, "Email:", &AgentDetailsForm::email},
    {kRemarkEditId, "备注:", &AgentDetailsForm::remark},
};

QString Utf8(const char* text) { return QString::fromUtf8(text); }

QLabel* StaticText(const char* text, QWidget* parent, int top) {
  auto* label = new QLabel(Utf8(text), parent);
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(kLabelLeft, top, kLabelWidth, kRowHeight);
  return label;
}

template <typename Rows>
void ForEachRow(Rows&& rows, const std::function<void(const FieldRow&)>& each) {
  for (const FieldRow& row : rows) each(row);
}

}  // namespace

SettingSelfDlg::SettingSelfDlg(QWidget* parent, WindowContext& context)
    : QWidget(parent), context_(context), save_(context.records, context.send) {
  setObjectName(QString::number(kSettingSelfDialogId));
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, SkinKit::ToQColor(kStaticTextColour));
  colours.setColor(QPalette::ButtonText, SkinKit::ToQColor(kStaticTextColour));
  colours.setColor(QPalette::Base, SkinKit::ToQColor(kEditColour));
  setPalette(colours);

  int top = kRowTop;
  auto addEdit = [&](const FieldRow& row) {
    StaticText(row.label, this, top);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::number(row.id));
    edit->setGeometry(kEditLeft, top, kEditWidth, kRowHeight);
    top += kRowStep;
  };
  ForEachRow(kBeforeSex, addEdit);
  StaticText("性别:", this, top);
  auto* sex = new QButtonGroup(this);
  int left = kEditLeft;
  for (const auto& [id, label] : {std::pair{kMaleRadioId, kSexMale}, std::pair{kFemaleRadioId, kSexFemale}}) {
    auto* radio = new QRadioButton(Utf8(label), this);
    radio->setObjectName(QString::number(id));
    radio->setGeometry(left, top, kRadioWidth, kRowHeight);
    sex->addButton(radio, id);
    left += kRadioWidth;
  }
  top += kRowStep;
  ForEachRow(kAfterSex, addEdit);

  auto* save = new QPushButton(Utf8("保存"), this);
  save->setObjectName(QString::number(kSaveButtonId));
  save->setGeometry(kEditLeft, top, kButtonWidth, kButtonHeight);
  connect(save, &QPushButton::clicked, this, &SettingSelfDlg::Save);
  auto* cancel = new QPushButton(Utf8("取消"), this);
  cancel->setObjectName(QString::number(kCancelButtonId));
  cancel->setGeometry(kEditLeft + kButtonWidth + kButtonGap, top, kButtonWidth, kButtonHeight);
  connect(cancel, &QPushButton::clicked, this, &SettingSelfDlg::Cancel);

  save_.SetOnSaved([this] {
    if (auto* mainWindow = context_.router.Find<MainWindowLink>(kMainWindowName)) mainWindow->RefreshAgentDetails();
  });
  WindowNetworkFuture::instance().registerWindow(kCommandSaveAgentInfo, Id());
  FillFromAgentRecord();
}

SettingSelfDlg::~SettingSelfDlg() { WindowNetworkFuture::instance().unregisterWindow(Id()); }

QLineEdit* SettingSelfDlg::Edit(int id) const { return findChild<QLineEdit*>(QString::number(id)); }
QRadioButton* SettingSelfDlg::Radio(int id) const { return findChild<QRadioButton*>(QString::number(id)); }
QPushButton* SettingSelfDlg::Button(int id) const { return findChild<QPushButton*>(QString::number(id)); }

void SettingSelfDlg::FillFromAgentRecord() {
  const AgentDetailsForm form = AgentDetailsFormFrom(context_.records.agent.Copy());
  auto show = [&](const FieldRow& row) {
    if (QLineEdit* edit = Edit(row.id)) edit->setText(platform::FromNarrow(form.*row.field));
  };
  ForEachRow(kBeforeSex, show);
  ForEachRow(kAfterSex, show);
  Radio(form.male ? kMaleRadioId : kFemaleRadioId)->setChecked(true);
}

AgentDetailsForm SettingSelfDlg::Form() const {
  AgentDetailsForm form;
  auto read = [&](const FieldRow& row) {
    if (QLineEdit* edit = Edit(row.id)) form.*row.field = platform::ToNarrow(edit->text());
  };
  ForEachRow(kBeforeSex, read);
  ForEachRow(kAfterSex, read);
  form.male = Radio(kMaleRadioId)->isChecked();
  return form;
}

void SettingSelfDlg::Save() { save_.Save(Form()); }

void SettingSelfDlg::Cancel() {
  if (!ConfirmCancelSettings()) return;
  // Unsaved edits go; the page shows the record again when it reopens.
  FillFromAgentRecord();
  if (onCancelled_) onCancelled_();
}

platform::MessageResult SettingSelfDlg::OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                                        platform::LParam lParam) {
  if (message != kNetworkWindowMessage || wParam != kNetworkEventMessage) return 0;
  save_.OnNetworkMessage(platform::TakePayload(kNetworkMessage, lParam));
  return 0;
}

}  // namespace kanzo
