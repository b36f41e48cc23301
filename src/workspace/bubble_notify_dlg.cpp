#include "workspace/bubble_notify_dlg.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScreen>

#include "chat/transcript_lines.h"
#include "platform/qt/qt_text.h"
#include "records/contact_table.h"

namespace kanzo {
namespace {

constexpr SkinKit::Colour kGround = 0xFAFAFA;
constexpr SkinKit::Colour kTextColour = 0x333333;
constexpr SkinKit::Colour kCountColour = 0x505355;
constexpr const char* kBackgroundTexture = "Images\\InfoBg";
constexpr const char* kProgramIcon = "Images\\kanzo.png";
constexpr int kIconEdge = 32;
constexpr int kMargin = 10;
constexpr int kTextLeft = kMargin + kIconEdge + 8;
constexpr int kLineHeight = 18;
constexpr int kCountWidth = 56;

QLabel* MakeLabel(QWidget* parent, SkinKit::Colour colour, Qt::Alignment align) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(align | Qt::AlignVCenter);
  label->setAttribute(Qt::WA_TranslucentBackground);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, SkinKit::ToQColor(colour));
  label->setPalette(palette);
  return label;
}

}  // namespace

BubbleNotifyDlg::BubbleNotifyDlg(ContactTable& contacts, std::function<void(std::int32_t)> open, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      contacts_(contacts),
      open_(std::move(open)),
      timers_(*this),
      background_(kBackgroundTexture, SkinKit::kLoadSharp) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(kWidth, kHeight);
  icon_ = new QLabel(this);
  icon_->setGeometry(kMargin, (kHeight - kIconEdge) / 2, kIconEdge, kIconEdge);
  icon_->setPixmap(QPixmap(QString::fromStdString(SkinKit::ResolvePicturePath(kProgramIcon)))
                       .scaled(kIconEdge, kIconEdge, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  title_ = MakeLabel(this, kTextColour, Qt::AlignLeft);
  title_->setObjectName(QString::number(kBubbleTitleId));
  text_ = MakeLabel(this, kTextColour, Qt::AlignLeft);
  text_->setObjectName(QString::number(kBubbleTextId));
  count_ = MakeLabel(this, kCountColour, Qt::AlignRight);
  count_->setObjectName(QString::number(kBubbleCountId));
}

BubbleNotifyDlg::~BubbleNotifyDlg() = default;

void BubbleNotifyDlg::resizeEvent(QResizeEvent*) {
  const int textTop = (height() - 2 * kLineHeight) / 2;
  title_->setGeometry(kTextLeft, textTop, width() - kTextLeft - kCountWidth - kMargin, kLineHeight);
  count_->setGeometry(width() - kCountWidth - kMargin, textTop, kCountWidth, kLineHeight);
  text_->setGeometry(kTextLeft, textTop + kLineHeight, width() - kTextLeft - kMargin, kLineHeight);
  if (!fullText_.isEmpty()) text_->setText(text_->fontMetrics().elidedText(fullText_, Qt::ElideRight, text_->width()));
}

QRect BubbleNotifyDlg::RestingGeometry() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, kWidth, kHeight);
  return QRect(work.right() + 1 - kScreenGap - width(), work.bottom() + 1 - kScreenGap - height(), width(), height());
}

void BubbleNotifyDlg::Show(std::int32_t senderId, bool senderChanged, const std::string& title,
                           const std::string& text) {
  // Another sender: down at once (no fade), so that it slides in afresh.
  if (senderChanged) HideNow();
  senderId_ = senderId;
  ContactRecord record;
  const bool known = contacts_.CopyRecord(senderId, &record);
  // An unknown sender must not show the previous sender's count.
  count_->setText(known ? platform::FromNarrow(BubbleCountText(record.unread)) : QString());
  title_->setText(platform::FromNarrow(title));
  fullText_ = platform::FromNarrow(text);
  text_->setText(text_->fontMetrics().elidedText(fullText_, Qt::ElideRight, text_->width()));

  timers_.SetTimer(kTimerClose, kShowMs);
  StopFade();
  setWindowOpacity(1.0);
  const QRect rest = RestingGeometry();
  if (isVisible()) {
    move(rest.topLeft());
    return;
  }
  move(rest.right() + 1, rest.top());
  show();
  auto* slide = new QPropertyAnimation(this, "pos", this);
  slide->setDuration(kSlideMs);
  slide->setStartValue(QPoint(rest.right() + 1, rest.top()));
  slide->setEndValue(rest.topLeft());
  slide_ = slide;
  slide->start(QAbstractAnimation::DeleteWhenStopped);
}

void BubbleNotifyDlg::HideNow() {
  timers_.KillTimer(kTimerClose);
  if (slide_) slide_->stop();
  StopFade();
  hide();
  setWindowOpacity(1.0);
}

void BubbleNotifyDlg::StopFade() {
  // Deleted at once: a fade that was stopped must not count as running.
  if (!fade_) return;
  fade_->stop();
  delete fade_.data();
}

void BubbleNotifyDlg::FadeOut() {
  timers_.KillTimer(kTimerClose);
  if (!isVisible() || fade_) return;
  auto* fade = new QPropertyAnimation(this, "windowOpacity", this);
  fade->setDuration(kFadeMs);
  fade->setStartValue(windowOpacity());
  fade->setEndValue(0.0);
  connect(fade, &QPropertyAnimation::finished, this, [this] {
    hide();
    setWindowOpacity(1.0);
  });
  fade_ = fade;
  fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void BubbleNotifyDlg::OnTimer(std::uint32_t timerId) {
  if (timerId == kTimerClose) FadeOut();
}

platform::MessageResult BubbleNotifyDlg::OnWindowMessage(std::uint32_t, platform::WParam, platform::LParam) {
  return 0;
}

void BubbleNotifyDlg::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  FadeOut();
  if (contacts_.Contains(senderId_) && open_) open_(senderId_);
}

void BubbleNotifyDlg::closeEvent(QCloseEvent* event) {
  event->ignore();
  FadeOut();
}

void BubbleNotifyDlg::paintEvent(QPaintEvent*) {
  QPainter dc(this);
  SkinKit::Canvas canvas(&dc, 0, rect(), 1);
  canvas.FillRect(rect(), kGround);
  if (background_.IsLoaded()) canvas.DrawTexture(rect(), 0, background_, SkinKit::kTransparentKey);
  canvas.Draw(nullptr, nullptr, nullptr);
}

QString BubbleNotifyDlg::TitleText() const { return title_->text(); }
QString BubbleNotifyDlg::BodyText() const { return fullText_; }
QString BubbleNotifyDlg::CountText() const { return count_->text(); }

}  // namespace kanzo
