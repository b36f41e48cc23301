#include "chat/talk_list_box.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <map>

#include "platform/qt/qt_text.h"
#include "records/contact_table.h"

namespace kanzo {
namespace {

constexpr SkinKit::Colour kBackground = 0xEBF2F9;
constexpr SkinKit::Colour kSelectedRow = 0xD6E2EB;
constexpr SkinKit::Colour kLabelColour = 0x333333;
constexpr SkinKit::Colour kBadgeTextColour = 0xFFFFFF;
constexpr const char* kCloseButtonPicture = "Images\\Delete";
constexpr const char* kBadgePicture = "Images\\RedCircle";
constexpr const char* kBadgeFont = "Arial";
constexpr int kBadgeFontPixels = 12;
constexpr const char* kLabelFont = "宋体";
constexpr int kLabelFontPixels = 13;
constexpr int kCloseNormalFrame = 0;
constexpr int kCloseHoverFrame = 1;

QRect AvatarRect(int top) { return SkinKit::Rect(8, top + 5, 38, top + 35); }
QRect BadgeRect(int top) { return SkinKit::Rect(24, top + 21, 42, top + 39); }
QRect LabelRect(int top) { return SkinKit::Rect(43, top + 10, 143, top + 30); }

const SkinKit::Image& Avatar(const char* path) {
  static std::map<std::string, SkinKit::Image> cache;
  auto found = cache.find(path);
  if (found == cache.end()) found = cache.emplace(path, SkinKit::Image(path, SkinKit::kLoadSmooth)).first;
  return found->second;
}

}  // namespace

TalkListBox::TalkListBox(TalkList& list, ContactTable& contacts, QWidget* parent)
    : QWidget(parent),
      list_(list),
      contacts_(contacts),
      timers_(*this),
      closeButton_(kCloseButtonPicture, SkinKit::kLoadSharp),
      badge_(kBadgePicture, SkinKit::kLoadSmooth) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TalkListBox::~TalkListBox() = default;

QRect TalkListBox::CloseRect(int row) {
  const int top = row * kRowHeight;
  return SkinKit::Rect(1, top + 12, 16, top + 27);
}

int TalkListBox::RowAt(const QPoint& point, int* area) const {
  *area = TalkList::kAreaRow;
  if (point.y() < 0 || point.x() < 0 || point.x() >= width()) return TalkList::kNone;
  const int row = point.y() / kRowHeight;
  if (row >= list_.Count()) return TalkList::kNone;
  if (CloseRect(row).contains(point)) *area = TalkList::kAreaClose;
  return row;
}

void TalkListBox::UpdateHover(const QPoint& point) {
  int area = TalkList::kAreaRow;
  const int row = RowAt(point, &area);
  if (!list_.SetHover(row, area)) return;
  update();
  if (hoverTimer_ != 0) timers_.KillTimer(hoverTimer_);
  hoverTimer_ = 0;
  if (row == TalkList::kNone) return;
  hoverTimer_ = (area == TalkList::kAreaClose ? kTimerCloseHover : kTimerRowHover) + static_cast<std::uint32_t>(row);
  timers_.SetTimer(hoverTimer_, kHoverCheckMs);
}

void TalkListBox::OnTimer(std::uint32_t timerId) {
  // The pointer may have left without a move event reaching us.
  if (timerId != hoverTimer_) {
    timers_.KillTimer(timerId);
    return;
  }
  const QPoint point = mapFromGlobal(QCursor::pos());
  if (!rect().contains(point)) {
    timers_.KillTimer(timerId);
    hoverTimer_ = 0;
    if (list_.SetHover(TalkList::kNone, TalkList::kAreaRow)) update();
    return;
  }
  UpdateHover(point);
}

void TalkListBox::mouseMoveEvent(QMouseEvent* event) { UpdateHover(event->position().toPoint()); }

void TalkListBox::leaveEvent(QEvent*) {
  if (list_.SetHover(TalkList::kNone, TalkList::kAreaRow)) update();
}

void TalkListBox::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  int area = TalkList::kAreaRow;
  const int row = RowAt(event->position().toPoint(), &area);
  if (row == TalkList::kNone) return;
  const TalkList::ClickOutcome outcome = list_.Click(row, area);
  update();
  Tell(outcome);
}

void TalkListBox::CloseSelected() {
  const TalkList::ClickOutcome outcome = list_.Close(list_.Selected());
  update();
  Tell(outcome);
}

void TalkListBox::Tell(const TalkList::ClickOutcome& outcome) {
  switch (outcome.kind) {
    case TalkList::ClickOutcome::Kind::Open:
      platform::SendWindowMessage(parentWindow_, kMsgTalkChosen, static_cast<platform::WParam>(outcome.recordId), 0);
      break;
    case TalkList::ClickOutcome::Kind::LastClosed:
      platform::SendWindowMessage(parentWindow_, kMsgTalkChosen, 0, kTalkLastClosed);
      break;
    case TalkList::ClickOutcome::Kind::Nothing: break;
  }
}

platform::MessageResult TalkListBox::OnWindowMessage(std::uint32_t, platform::WParam, platform::LParam) { return 0; }

void TalkListBox::paintEvent(QPaintEvent*) {
  QPainter dc(this);
  SkinKit::Canvas canvas(&dc, 0, rect(), 1);
  canvas.FillRect(rect(), kBackground);
  QFont label(QString::fromUtf8(kLabelFont));
  label.setPixelSize(kLabelFontPixels);
  QFont badge(QString::fromLatin1(kBadgeFont));
  badge.setPixelSize(kBadgeFontPixels);
  for (int row = 0; row < list_.Count(); ++row) {
    const int top = row * kRowHeight;
    if (top > height()) break;
    ContactRecord record;
    if (!contacts_.CopyRecord(list_.IdAt(row), &record)) continue;
    const TalkRowLook look = TalkRowLookOf(record, agentId_);
    if (row == list_.Selected()) canvas.FillRect(QRect(0, top, width(), kRowHeight), kSelectedRow);
    canvas.DrawImage(AvatarRect(top), Avatar(look.avatar), SkinKit::kTransparentKey);
    if (!look.badge.empty()) {
      canvas.DrawImage(BadgeRect(top), badge_, SkinKit::kTransparentKey);
      canvas.SetFont(badge);
      canvas.DrawText(QString::fromStdString(look.badge), SkinKit::kTextCentredLine, BadgeRect(top), kBadgeTextColour);
    }
    if (row == list_.HoveredRow()) {
      const int frame = list_.HoveredArea() == TalkList::kAreaClose ? kCloseHoverFrame : kCloseNormalFrame;
      canvas.DrawTexture(CloseRect(row), frame, closeButton_, SkinKit::kTransparentKey);
    }
    canvas.SetFont(label);
    canvas.DrawText(
        platform::FromNarrow(look.label),
        SkinKit::kTextSingleLine | SkinKit::kTextVCenter | SkinKit::kTextNoPrefix | SkinKit::kTextEndEllipsis,
        LabelRect(top), kLabelColour);
  }
  canvas.Draw(nullptr, nullptr, nullptr);
}

}  // namespace kanzo
