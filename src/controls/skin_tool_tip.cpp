#include "controls/skin_tool_tip.h"

#include "controls/skin_kit.h"

namespace kanzo {
namespace {

constexpr SkinKit::Colour kToolTipBackground = 0xFFFFFF;
constexpr SkinKit::Colour kToolTipText = 0x6E6E6E;
constexpr SkinKit::Colour kToolTipBorder = 0xCECECE;
constexpr const char* kToolTipStyle = "QLabel{background:%1;color:%2;border:1px solid %3;padding:2px 4px;}";
// The tip stands this far below and right of the pointer, clear of the cursor.
constexpr int kPointerOffsetX = 2;
constexpr int kPointerOffsetY = 18;

}  // namespace

SkinToolTip::SkinToolTip(QWidget& owner, int maxWidth) : owner_(owner), maxWidth_(maxWidth) {}

SkinToolTip::~SkinToolTip() { delete label_.data(); }

void SkinToolTip::Show(const QPoint& globalPos, const QString& text) {
  if (text.isEmpty()) {
    Hide();
    return;
  }
  if (!label_) {
    label_ = new QLabel(&owner_, Qt::ToolTip | Qt::FramelessWindowHint);
    label_->setStyleSheet(QString::fromLatin1(kToolTipStyle)
                              .arg(SkinKit::ToQColor(kToolTipBackground).name(), SkinKit::ToQColor(kToolTipText).name(),
                                   SkinKit::ToQColor(kToolTipBorder).name()));
    label_->setWordWrap(true);
    label_->setTextFormat(Qt::PlainText);
    label_->setMaximumWidth(maxWidth_);
  }
  label_->setText(text);
  label_->adjustSize();
  label_->move(globalPos + QPoint(kPointerOffsetX, kPointerOffsetY));
  label_->show();
}

void SkinToolTip::Hide() {
  if (label_) label_->hide();
}

bool SkinToolTip::IsVisible() const { return label_ && label_->isVisible(); }

QString SkinToolTip::Text() const { return label_ ? label_->text() : QString(); }

}  // namespace kanzo
