#include "workspace/customer_info_dlg.h"

#include <QCursor>
#include <QFont>
#include <QMouseEvent>
#include <QPainter>

#include "platform/qt/qt_text.h"

namespace kanzo {
namespace {

constexpr const char* kBackground = "Images/InfoBg";
constexpr const char* kPopupObjectName = "CustomerInfoDlg";
constexpr int kWidth = 250;
constexpr int kMargin = 12;
constexpr int kLineHeight = 22;
constexpr int kLabelWidth = 60;
constexpr int kFontPixels = 12;
// The background is stretched one pixel beyond the client area on each side.
constexpr int kBackgroundOverhang = 1;

}  // namespace

CustomerInfoDlg::CustomerInfoDlg(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      timers_(*this, this),
      background_(kBackground, SkinKit::kLoadSharp),
      fields_{{{kCustomerInfoIdControl, "ID："},
               {kCustomerInfoNameControl, "姓名："},
               {kCustomerInfoAreaControl, "所在地："},
               {kCustomerInfoStatusControl, "状态："},
               {kCustomerInfoIpControl, "IP："},
               {kCustomerInfoTimeControl, "时间："},
               {kCustomerInfoTitleControl, "标题："},
               {kCustomerInfoPageControl, "来源："}}} {
  setObjectName(QString::fromUtf8(kPopupObjectName));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setMouseTracking(true);
  QFont font = this->font();
  font.setPixelSize(kFontPixels);
  setFont(font);
  int y = kMargin;
  for (Field& field : fields_) {
    auto* label = new QLabel(QString::fromUtf8(field.label), this);
    label->setGeometry(kMargin, y, kLabelWidth, kLineHeight);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    field.value = new QLabel(this);
    // Visitor text: never read as rich text.
    field.value->setTextFormat(Qt::PlainText);
    field.value->setObjectName(QString::number(field.control));
    field.value->setGeometry(kMargin + kLabelWidth, y, kWidth - 2 * kMargin - kLabelWidth, kLineHeight);
    field.value->setAttribute(Qt::WA_TransparentForMouseEvents);
    y += kLineHeight;
  }
  setFixedSize(kWidth, y + kMargin);
}

CustomerInfoDlg::~CustomerInfoDlg() { timers_.KillTimer(kCustomerInfoHideTimer); }

CustomerInfoDlg* CustomerInfoDlg::Of(QWidget* owner) {
  if (owner == nullptr) return nullptr;
  if (auto* popup = owner->findChild<CustomerInfoDlg*>(QString::fromUtf8(kPopupObjectName), Qt::FindDirectChildrenOnly))
    return popup;
  return new CustomerInfoDlg(owner);
}

void CustomerInfoDlg::Fill(const ContactRecord* record) {
  if (record == nullptr) return;
  const auto set = [this](int control, const std::string& narrow) {
    for (Field& field : fields_) {
      if (field.control != control) continue;
      // A page address is often wider than the panel: cut it where a
      // reader sees that it goes on, not in the middle of a letter.
      field.text = platform::FromNarrow(narrow);
      field.value->setText(field.value->fontMetrics().elidedText(field.text, Qt::ElideRight, field.value->width()));
    }
  };
  set(kCustomerInfoIdControl, std::to_string(record->id));
  set(kCustomerInfoNameControl, record->name);
  set(kCustomerInfoAreaControl, record->area);
  set(kCustomerInfoStatusControl, record->statusText);
  set(kCustomerInfoIpControl, record->ip);
  set(kCustomerInfoTimeControl, record->onlineTime);
  set(kCustomerInfoTitleControl, record->pageTitle);
  set(kCustomerInfoPageControl, record->currentPage);
  update();
}

QString CustomerInfoDlg::FieldText(int control) const {
  for (const Field& field : fields_)
    if (field.control == control) return field.text;
  return {};
}

void CustomerInfoDlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  SkinKit::Canvas canvas(&painter, 0, rect(), 1);
  const QRect stretched =
      rect().adjusted(-kBackgroundOverhang, -kBackgroundOverhang, kBackgroundOverhang, kBackgroundOverhang);
  canvas.DrawTexture(stretched, 0, background_, SkinKit::kTransparentKey);
  canvas.Draw(nullptr, nullptr, nullptr);
}

void CustomerInfoDlg::mouseMoveEvent(QMouseEvent* event) {
  // The first movement over the shown popup starts the hide timer, once.
  if (!hideTimerStarted_) {
    hideTimerStarted_ = true;
    timers_.SetTimer(kCustomerInfoHideTimer, kCustomerInfoHideMs);
  }
  QDialog::mouseMoveEvent(event);
}

void CustomerInfoDlg::OnTimer(std::uint32_t timerId) {
  if (timerId != kCustomerInfoHideTimer) return;
  if (geometry().contains(QCursor::pos())) return;
  timers_.KillTimer(kCustomerInfoHideTimer);
  hide();
}

void CustomerInfoDlg::hideEvent(QHideEvent* event) {
  timers_.KillTimer(kCustomerInfoHideTimer);
  hideTimerStarted_ = false;
  QDialog::hideEvent(event);
}

}  // namespace kanzo
