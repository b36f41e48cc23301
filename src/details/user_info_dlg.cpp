#include "details/user_info_dlg.h"

#include <QLabel>
#include <QPainter>

#include "controls/logo_panel.h"
#include "platform/qt/qt_text.h"
#include "platform/window_message.h"

namespace kanzo {
namespace {

constexpr int kCardWidth = 300;
constexpr int kCardHeight = 290;
constexpr int kAvatarLeft = 14;
constexpr int kAvatarTop = 14;
constexpr int kAvatarSize = 64;
constexpr int kFieldsLeft = 92;
constexpr int kFieldsTop = 14;
constexpr int kLabelWidth = 62;
constexpr int kValueWidth = kCardWidth - kFieldsLeft - kLabelWidth - 12;
constexpr int kRowHeight = 26;
// The background reaches one pixel beyond the card on each side.
constexpr int kBackgroundOverhang = 1;
constexpr SkinKit::Colour kTextColour = 0x333333;
constexpr SkinKit::Colour kTransparentKey = 0xFF00FF;

QLabel* PlainLabel(QWidget* parent, const QRect& where) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(where);
  return label;
}

}  // namespace

UserInfoDlg::UserInfoDlg(QWidget* parent, const SharedAgentRecord& agent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint),
      agent_(agent),
      background_(kAgentCardBackground, SkinKit::kLoadSharp),
      avatar_(new LogoPanel(this)) {
  setObjectName(QString::number(kAgentCardDialogId));
  setFixedSize(kCardWidth, kCardHeight);
  QPalette texts = palette();
  texts.setColor(QPalette::WindowText, SkinKit::ToQColor(kTextColour));
  setPalette(texts);

  avatar_->setObjectName(QString::number(kAgentCardAvatarId));
  avatar_->setGeometry(kAvatarLeft, kAvatarTop, kAvatarSize, kAvatarSize);
  avatar_->SetPicture(kAgentCardAvatarPicture);

  const AgentCardFields fields = AgentCardFieldsOf(AgentRecord{});
  int top = kFieldsTop;
  for (const AgentCardField& field : fields) {
    QLabel* label = PlainLabel(this, QRect(kFieldsLeft, top, kLabelWidth, kRowHeight));
    label->setText(QString::fromUtf8(field.label));
    QLabel* value = PlainLabel(this, QRect(kFieldsLeft + kLabelWidth, top, kValueWidth, kRowHeight));
    value->setObjectName(QString::number(field.controlId));
    top += kRowHeight;
  }
  FillFromAgentRecord();
}

QLabel* UserInfoDlg::Field(int controlId) const { return findChild<QLabel*>(QString::number(controlId)); }

void UserInfoDlg::FillFromAgentRecord() {
  platform::CheckUiThread("UserInfoDlg::FillFromAgentRecord");
  const QFontMetrics metrics(font());
  for (const AgentCardField& field : AgentCardFieldsOf(agent_.Copy())) {
    QLabel* value = Field(field.controlId);
    if (!value) continue;
    const QString text = platform::FromNarrow(field.value);
    value->setText(metrics.elidedText(text, Qt::ElideRight, value->width()));
  }
  update();
}

void UserInfoDlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area =
      rect().adjusted(-kBackgroundOverhang, -kBackgroundOverhang, kBackgroundOverhang, kBackgroundOverhang);
  SkinKit::Canvas canvas(&painter, 0, area, 0);
  canvas.DrawTexture(area, 0, background_, kTransparentKey);
  canvas.Draw(nullptr, nullptr, nullptr);
}

}  // namespace kanzo
