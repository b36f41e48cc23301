#include "workspace/user_tree_ctrl.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>

#include "platform/qt/qt_text.h"
#include "windows/client_vocabulary.h"
#include "windows/window_links.h"
#include "workspace/list_pictures.h"

namespace kanzo {
namespace {

using SkinKit::Colour;

constexpr Colour kBackground = 0xFFFFFF;
constexpr Colour kGroupText = 0x333333;
constexpr Colour kRowFill = 0xECF0F1;
constexpr Colour kOfflineName = 0x6E6E6E;
constexpr Colour kOnlineName = 0x3598DB;
constexpr const char* kFontFamily = "宋体";
constexpr int kFontPixels = 13;
constexpr int kGroupRowHeight = 28;
constexpr int kAgentRowHeight = 40;
constexpr int kMarkSize = 11;
constexpr int kMarkLeft = 6;
constexpr int kGroupTextLeft = 22;
constexpr int kCountGap = 5;
constexpr int kAvatarLeft = 22;
constexpr int kAvatarSize = 30;
constexpr int kAgentTextLeft = 60;
constexpr int kWheelStep = 120;

}  // namespace

UserTreeCtrl::UserTreeCtrl(AgentTree& tree, WindowContext& context, QWidget* parent)
    : QWidget(parent),
      tree_(tree),
      context_(context),
      timers_(*this, this),
      groupBackground_(kPictureGroupBackground, SkinKit::kLoadSharp),
      expandedMark_(kPictureGroupExpanded, SkinKit::kLoadSharp),
      collapsedMark_(kPictureGroupCollapsed, SkinKit::kLoadSharp) {
  setObjectName(QStringLiteral("UserTreeCtrl"));
  setMouseTracking(true);
  QFont font(QString::fromUtf8(kFontFamily));
  font.setPixelSize(kFontPixels);
  setFont(font);
}

UserTreeCtrl::~UserTreeCtrl() {
  timers_.KillTimer(kTreeBlinkTimer);
  timers_.KillTimer(kTreeHoverTimer);
}

void UserTreeCtrl::Reload() {
  for (std::size_t g = 0; g < tree_.Groups().size(); ++g) tree_.SetExpanded(g, true);
  selected_ = -1;
  hovered_ = -1;
  scroll_ = 0;
  Refresh();
}

void UserTreeCtrl::Refresh() {
  BuildRows();
  if (selected_ >= static_cast<int>(rows_.size())) selected_ = -1;
  if (hovered_ >= static_cast<int>(rows_.size())) hovered_ = -1;
  update();
}

void UserTreeCtrl::BuildRows() {
  rows_.clear();
  const auto& groups = tree_.Groups();
  for (std::size_t g = 0; g < groups.size(); ++g) {
    rows_.push_back({g, -1});
    if (!groups[g].expanded) continue;
    for (std::size_t a = 0; a < groups[g].agents.size(); ++a) rows_.push_back({g, static_cast<int>(a)});
  }
}

int UserTreeCtrl::RowHeight(const Row& row) const { return row.agent < 0 ? kGroupRowHeight : kAgentRowHeight; }

int UserTreeCtrl::RowTop(int row) const {
  int top = -scroll_;
  for (int i = 0; i < row; ++i) top += RowHeight(rows_[static_cast<std::size_t>(i)]);
  return top;
}

int UserTreeCtrl::RowAt(int y) const {
  int top = -scroll_;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const int bottom = top + RowHeight(rows_[i]);
    if (y >= top && y < bottom) return static_cast<int>(i);
    top = bottom;
  }
  return -1;
}

void UserTreeCtrl::ClickRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  const Row clicked = rows_[static_cast<std::size_t>(row)];
  if (clicked.agent < 0) {
    const bool expanded = tree_.Groups()[clicked.group].expanded;
    // Expanding is always allowed; collapsing only of the selected group.
    if (!expanded)
      tree_.SetExpanded(clicked.group, true);
    else if (row == selected_)
      tree_.SetExpanded(clicked.group, false);
  }
  BuildRows();
  // The clicked row keeps its index: only rows after it come or go.
  selected_ = row;
  update();
}

void UserTreeCtrl::DoubleClickRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  const Row clicked = rows_[static_cast<std::size_t>(row)];
  if (clicked.agent < 0) return;
  const ContactRecord* agent = tree_.Groups()[clicked.group].agents[static_cast<std::size_t>(clicked.agent)];
  if (auto* chat = context_.router.Find<ChatWindowLink>(kChatWindowName)) chat->OpenConversation(agent->id);
}

platform::MessageResult UserTreeCtrl::OnWindowMessage(std::uint32_t message, platform::WParam, platform::LParam) {
  if (message == kStartBlinkMessage && !timers_.IsRunning(kTreeBlinkTimer))
    timers_.SetTimer(kTreeBlinkTimer, kTreeBlinkMs);
  return 0;
}

void UserTreeCtrl::OnTimer(std::uint32_t timerId) {
  if (timerId == kTreeBlinkTimer) {
    if (!tree_.BlinkTick()) timers_.KillTimer(kTreeBlinkTimer);
    update();
  } else if (timerId == kTreeHoverTimer) {
    const int row = RowAt(mapFromGlobal(QCursor::pos()).y());
    if (!rect().contains(mapFromGlobal(QCursor::pos())) || row != hovered_) {
      hovered_ = rect().contains(mapFromGlobal(QCursor::pos())) ? row : -1;
      timers_.KillTimer(kTreeHoverTimer);
      update();
    }
  }
}

void UserTreeCtrl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  SkinKit::Canvas canvas(&painter, 0, rect(), 1);
  canvas.FillRect(rect(), kBackground);
  canvas.SetFont(font());
  const auto& groups = tree_.Groups();
  int top = -scroll_;
  for (std::size_t i = 0; i < rows_.size() && top < height(); ++i) {
    const Row& row = rows_[i];
    const int rowHeight = RowHeight(row);
    const QRect area(0, top, width(), rowHeight);
    top += rowHeight;
    if (area.bottom() < 0) continue;
    const ColleagueGroup& group = groups[row.group];
    if (row.agent < 0) {
      canvas.DrawImage(area, groupBackground_, SkinKit::kTransparentKey);
      const QRect mark =
          SkinKit::CentredRect(QRect(kMarkLeft, area.top(), kMarkSize, rowHeight), QSize(kMarkSize, kMarkSize));
      canvas.DrawImage(mark, group.expanded ? expandedMark_ : collapsedMark_, SkinKit::kTransparentKey);
      const QString label = platform::FromNarrow(tree_.GroupLabel(row.group));
      const QSize extent = canvas.TextExtent(label);
      canvas.DrawText(label, SkinKit::kTextVCenter | SkinKit::kTextSingleLine | SkinKit::kTextNoPrefix,
                      QRect(kGroupTextLeft, area.top(), width() - kGroupTextLeft, rowHeight), kGroupText);
      char counts[32];
      std::snprintf(counts, sizeof counts, "%d/%d", group.online, group.total);
      const int countLeft = kGroupTextLeft + extent.width() + kCountGap;
      canvas.DrawTextA(counts, SkinKit::kTextVCenter | SkinKit::kTextSingleLine,
                       QRect(countLeft, area.top(), std::max(0, width() - countLeft), rowHeight), kGroupText, nullptr);
      continue;
    }
    const ContactRecord& agent = *group.agents[static_cast<std::size_t>(row.agent)];
    if (static_cast<int>(i) == selected_ || static_cast<int>(i) == hovered_) canvas.FillRect(area, kRowFill);
    const SkinKit::Image avatar(TreeAvatarPicture(agent), SkinKit::kLoadSmooth);
    canvas.DrawImage(QRect(kAvatarLeft, area.top() + (rowHeight - kAvatarSize) / 2, kAvatarSize, kAvatarSize), avatar,
                     SkinKit::kTransparentKey);
    canvas.DrawTextA(tree_.AgentLabel(row.group, static_cast<std::size_t>(row.agent)),
                     SkinKit::kTextVCenter | SkinKit::kTextSingleLine | SkinKit::kTextNoPrefix,
                     QRect(kAgentTextLeft, area.top(), width() - kAgentTextLeft, rowHeight),
                     IsAgentOnline(agent) ? kOnlineName : kOfflineName, nullptr);
  }
  canvas.Draw(nullptr, nullptr, nullptr);
}

void UserTreeCtrl::mouseMoveEvent(QMouseEvent* event) {
  const int row = RowAt(event->position().toPoint().y());
  if (row == hovered_) return;
  hovered_ = row;
  timers_.SetTimer(kTreeHoverTimer, kTreeHoverPollMs);
  update();
}

void UserTreeCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) ClickRow(RowAt(event->position().toPoint().y()));
  update();
}

void UserTreeCtrl::mouseDoubleClickEvent(QMouseEvent* event) { DoubleClickRow(RowAt(event->position().toPoint().y())); }

void UserTreeCtrl::wheelEvent(QWheelEvent* event) {
  int total = 0;
  for (const Row& row : rows_) total += RowHeight(row);
  const int steps = event->angleDelta().y() / kWheelStep;
  scroll_ = std::clamp(scroll_ - steps * kAgentRowHeight, 0, std::max(0, total - height()));
  event->accept();
  update();
}

}  // namespace kanzo
