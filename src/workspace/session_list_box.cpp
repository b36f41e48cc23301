#include "workspace/session_list_box.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "platform/message_box.h"
#include "platform/narrow_text.h"
#include "platform/qt/qt_text.h"
#include "windows/client_vocabulary.h"
#include "windows/window_links.h"
#include "workspace/customer_info_dlg.h"
#include "workspace/list_pictures.h"
#include "workspace/list_texts.h"

namespace kanzo {
namespace {

using SkinKit::Colour;
using SkinKit::Rect;

constexpr Colour kSelectedFill = 0xECF0F1;
constexpr Colour kNameColour = 0x333333;
constexpr Colour kGreyText = 0x666666;
constexpr Colour kBadgeText = 0xFFFFFF;
constexpr Colour kRowLine = 0xE7E5DB;
constexpr Colour kBackground = 0xFFFFFF;
constexpr const char* kFontFamily = "宋体";
constexpr int kFontPixels = 13;
constexpr int kWheelRows = 1;
constexpr int kWheelStep = 120;

constexpr const char* kRefusedText = "交谈中不可删除!";
constexpr const char* kConfirmText = "强制删除聊天记录将清除?";

// Row geometry, from the row's top-left corner.
constexpr int kFrameInset = 3;
constexpr int kFrameSize = 44;
constexpr int kAvatarInset = 5;
constexpr int kAvatarSize = 40;
constexpr int kDeleteLeft = 1;
constexpr int kDeleteTop = 17;
constexpr int kDeleteSize = 15;
constexpr int kTextLeft = 50;
constexpr int kNameTop = 5;
constexpr int kNameRightGap = 50;
constexpr int kTimeWidth = 75;
constexpr int kTimeRightGap = 5;
constexpr int kTimeHeight = 15;
constexpr int kSecondLineRightGap = 40;
constexpr int kSecondLineBottom = 20;
constexpr int kSecondLineBottomGap = 5;
constexpr int kBadgeRightGap = 35;
constexpr int kBadgeTop = 24;
constexpr int kBadgeGap = 5;
constexpr int kLineInset = 5;

}  // namespace

SessionListBox::SessionListBox(SessionList& sessions, WindowContext& context, QWidget* parent)
    : QWidget(parent),
      sessions_(sessions),
      context_(context),
      timers_(*this, this),
      scroll_(new QScrollBar(Qt::Vertical, this)),
      frame_(kPictureAvatarFrame, SkinKit::kLoadSharp),
      badge_(kPictureUnreadBadge, SkinKit::kLoadSmooth),
      deleteButton_(kPictureDeleteButton, SkinKit::kLoadSharp) {
  setObjectName(QStringLiteral("SessionListBox"));
  setMouseTracking(true);
  QFont font(QString::fromUtf8(kFontFamily));
  font.setPixelSize(kFontPixels);
  font.setWeight(QFont::Normal);
  setFont(font);
  connect(scroll_, &QScrollBar::valueChanged, this, [this](int value) { SetTopIndex(value); });
  Refresh();
}

SessionListBox::~SessionListBox() {
  for (std::uint32_t id : {kSessionAvatarTimer, kSessionDeleteTimer, kSessionLeaveTimer}) timers_.KillTimer(id);
}

int SessionListBox::VisibleRows() const { return std::max(1, height() / kSessionRowHeight); }

void SessionListBox::Refresh() {
  const int count = static_cast<int>(sessions_.Size());
  const int last = std::max(0, count - VisibleRows());
  scroll_->setRange(0, last);
  scroll_->setPageStep(VisibleRows());
  scroll_->setVisible(last > 0);
  if (topIndex_ > last) SetTopIndex(last);
  if (selected_ >= count) selected_ = kNoRow;
  if (hovered_ >= count) {
    hovered_ = kNoRow;
    area_ = SessionArea::kNowhere;
  }
  update();
}

void SessionListBox::SetTopIndex(int index) {
  index = std::clamp(index, 0, std::max(0, static_cast<int>(sessions_.Size()) - 1));
  if (index == topIndex_) return;
  topIndex_ = index;
  if (scroll_->value() != index) scroll_->setValue(index);
  update();
}

void SessionListBox::SetSelectedRow(int row) {
  selected_ = row >= 0 && static_cast<std::size_t>(row) < sessions_.Size() ? row : kNoRow;
  update();
}

void SessionListBox::resizeEvent(QResizeEvent*) {
  const int width = scroll_->sizeHint().width();
  scroll_->setGeometry(this->width() - width, 0, width, height());
  Refresh();
}

QRect SessionListBox::RowRect(int row) const {
  const int right = scroll_->isVisible() ? width() - scroll_->width() : width();
  return Rect(0, (row - topIndex_) * kSessionRowHeight, right, (row - topIndex_ + 1) * kSessionRowHeight);
}

QRect SessionListBox::AvatarRect(int row) const {
  const QRect r = RowRect(row);
  return QRect(kAvatarInset, r.top() + kAvatarInset, kAvatarSize, kAvatarSize);
}

QRect SessionListBox::DeleteRect(int row) const {
  const QRect r = RowRect(row);
  return QRect(kDeleteLeft, r.top() + kDeleteTop, kDeleteSize, kDeleteSize);
}

SessionArea SessionListBox::AreaAt(const QPoint& point, int row) const {
  if (row == kNoRow) return SessionArea::kNowhere;
  // The delete button lies over the avatar's left edge and wins there.
  if (row == selected_ && DeleteRect(row).contains(point)) return SessionArea::kDelete;
  if (AvatarRect(row).contains(point)) return SessionArea::kAvatar;
  return SessionArea::kRow;
}

void SessionListBox::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  SkinKit::Canvas canvas(&painter, 0, rect(), 1);
  canvas.FillRect(rect(), kBackground);
  canvas.SetFont(font());
  const QRect clip = event->rect();
  for (int row = topIndex_; row < static_cast<int>(sessions_.Size()); ++row) {
    if (RowRect(row).top() >= clip.bottom() + 1) break;
    DrawRow(canvas, row);
  }
  canvas.Draw(nullptr, nullptr, nullptr);
}

void SessionListBox::DrawRow(SkinKit::Canvas& canvas, int row) {
  const ContactRecord& record = *sessions_.At(static_cast<std::size_t>(row));
  const QRect r = RowRect(row);
  const int top = r.top();
  const int right = r.right() + 1;
  const int bottom = r.bottom() + 1;
  const bool selected = row == selected_;
  const bool hoveredAvatar = row == hovered_ && area_ == SessionArea::kAvatar;

  if (selected) canvas.FillRect(r.adjusted(1, 1, -1, -1), kSelectedFill);
  canvas.DrawTexture(QRect(kFrameInset, top + kFrameInset, kFrameSize, kFrameSize), selected || hoveredAvatar ? 1 : 0,
                     frame_, SkinKit::kTransparentKey);
  const SkinKit::Image avatar(SessionAvatarPicture(record, context_.records.agent.AgentId()), SkinKit::kLoadSmooth);
  canvas.DrawImage(AvatarRect(row), avatar, SkinKit::kTransparentKey);
  if (selected && row == hovered_)
    canvas.DrawTexture(DeleteRect(row), area_ == SessionArea::kDelete ? 1 : 0, deleteButton_, SkinKit::kTransparentKey);

  canvas.DrawTextA(record.name, SkinKit::kTextSingleLine | SkinKit::kTextNoPrefix,
                   Rect(kTextLeft, top + kNameTop, right - kNameRightGap, bottom), kNameColour, nullptr);
  canvas.DrawTextA(
      TalkTimeText(record.lastTalkTime), SkinKit::kTextRightLine | SkinKit::kTextNoPrefix,
      Rect(right - kTimeRightGap - kTimeWidth, top + kNameTop, right - kTimeRightGap, top + kNameTop + kTimeHeight),
      kGreyText, nullptr);
  canvas.DrawTextA(
      SessionSecondLine(record), SkinKit::kTextSingleLine | SkinKit::kTextEndEllipsis | SkinKit::kTextNoPrefix,
      Rect(kTextLeft, bottom - kSecondLineBottom, right - kSecondLineRightGap, bottom - kSecondLineBottomGap),
      kGreyText, nullptr);
  const std::string badge = UnreadBadgeText(record);
  if (!badge.empty()) {
    const QRect circle = Rect(right - kBadgeRightGap, bottom - kBadgeTop, right - kBadgeGap, bottom - kBadgeGap);
    canvas.DrawTexture(circle, 0, badge_, SkinKit::kTransparentKey);
    canvas.DrawTextA(badge, SkinKit::kTextCentredLine, circle, kBadgeText, nullptr);
  }
  canvas.SetPen(QPen(SkinKit::ToQColor(kRowLine)));
  canvas.DrawLine(kLineInset, bottom - 1, right - kLineInset, bottom - 1);
}

void SessionListBox::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  const int row = SessionRowAt(point.y(), topIndex_, sessions_.Size());
  const SessionArea area = AreaAt(point, row);
  if (row == hovered_ && area == area_) return;
  hovered_ = row;
  area_ = area;
  setCursor(area == SessionArea::kAvatar ? Qt::PointingHandCursor : Qt::ArrowCursor);
  if (row != kNoRow) {
    const std::int32_t id = sessions_.At(static_cast<std::size_t>(row))->id;
    if (area == SessionArea::kDelete) {
      deleteTimerId_ = id;
      timers_.SetTimer(kSessionDeleteTimer, kSessionHoverPollMs);
    } else if (area == SessionArea::kAvatar) {
      ShowPopup(row);
      avatarTimerId_ = id;
      timers_.SetTimer(kSessionAvatarTimer, kSessionHoverPollMs);
    }
    timers_.SetTimer(kSessionLeaveTimer, kSessionHoverPollMs);
  }
  update();
}

void SessionListBox::ShowPopup(int row) {
  if (popup_ == nullptr) {
    // The pane's top-level window is the main window.
    popup_ = CustomerInfoDlg::Of(window());
  }
  popup_->Fill(sessions_.At(static_cast<std::size_t>(row)));
  const QPoint listTopLeft = mapToGlobal(QPoint(0, 0));
  const PopupPlace place =
      PlaceDetailPopup(listTopLeft.x(), listTopLeft.x() + width(), listTopLeft.y(), popup_->width(), row, topIndex_);
  popup_->move(place.x, place.y);
  popup_->show();
}

void SessionListBox::OnTimer(std::uint32_t timerId) {
  const QPoint point = mapFromGlobal(QCursor::pos());
  const int row = SessionRowAt(point.y(), topIndex_, sessions_.Size());
  if (timerId == kSessionAvatarTimer) {
    const int watched = sessions_.FindIndex(avatarTimerId_);
    const bool overAvatar = watched != kNoRow && row == watched && AvatarRect(watched).contains(point);
    if (overAvatar) return;
    timers_.KillTimer(kSessionAvatarTimer);
    if (popup_ != nullptr && popup_->isVisible() && !popup_->geometry().contains(QCursor::pos())) popup_->hide();
    return;
  }
  if (timerId == kSessionDeleteTimer) {
    const int watched = sessions_.FindIndex(deleteTimerId_);
    if (watched != kNoRow && row == watched && DeleteRect(watched).contains(point)) return;
    timers_.KillTimer(kSessionDeleteTimer);
    if (watched != kNoRow && area_ == SessionArea::kDelete) {
      area_ = SessionArea::kNowhere;
      update();
    }
    return;
  }
  if (timerId == kSessionLeaveTimer) {
    if (rect().contains(point)) return;
    timers_.KillTimer(kSessionLeaveTimer);
    hovered_ = kNoRow;
    area_ = SessionArea::kNowhere;
    update();
  }
}

void SessionListBox::leaveEvent(QEvent* event) {
  timers_.SetTimer(kSessionLeaveTimer, kSessionHoverPollMs);
  QWidget::leaveEvent(event);
}

void SessionListBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  const QPoint point = event->position().toPoint();
  const int row = SessionRowAt(point.y(), topIndex_, sessions_.Size());
  if (row != kNoRow && row == selected_ && AreaAt(point, row) == SessionArea::kDelete) {
    DeleteSession(selected_);
    return;
  }
  if (row != kNoRow) SetSelectedRow(row);
}

void SessionListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  // Below the last row is nowhere: nothing opens.
  const int row = SessionRowAt(event->position().toPoint().y(), topIndex_, sessions_.Size());
  if (row == kNoRow) return;
  const std::int32_t id = sessions_.At(static_cast<std::size_t>(row))->id;
  if (auto* chat = context_.router.Find<ChatWindowLink>(kChatWindowName)) chat->OpenConversation(id);
}

void SessionListBox::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / kWheelStep;
  if (steps != 0) SetTopIndex(topIndex_ - steps * kWheelRows);
  event->accept();
}

void SessionListBox::DeleteSession(int index) {
  switch (sessions_.CheckDelete(index)) {
    case SessionList::DeleteCheck::kNoRow: return;
    case SessionList::DeleteCheck::kRefused:
      platform::ShowMessageBox(context_.program.description, platform::Utf8ToNarrow(kRefusedText),
                               platform::MessageBoxIcon::None, platform::MessageBoxButtons::Ok);
      return;
    case SessionList::DeleteCheck::kAsk: break;
  }
  const auto answer =
      platform::ShowMessageBox(context_.program.description, platform::Utf8ToNarrow(kConfirmText),
                               platform::MessageBoxIcon::Question, platform::MessageBoxButtons::OkCancel);
  if (answer != platform::MessageBoxResult::Ok) return;
  sessions_.RemoveSession(index, context_.records.agent.Triple());
  if (selected_ == index) selected_ = kNoRow;
  if (selected_ > index) --selected_;
  hovered_ = kNoRow;
  area_ = SessionArea::kNowhere;
  Refresh();
}

}  // namespace kanzo
