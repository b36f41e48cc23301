#include "workspace/signal_count_dlg.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <memory>

#include "controls/skin_kit.h"
#include "workspace/login_session.h"
#include "workspace/window_factories.h"

namespace kanzo {
namespace {

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
constexpr int kListMargin = 10;  // left, top and right
constexpr int kListBottomMargin = 50;
constexpr int kCounterWidth = 100;
constexpr int kCounterHeight = 15;
constexpr int kCounterGap = 20;  // below the list
constexpr int kRowHeight = 22;
constexpr SkinKit::Colour kGroundColour = 0xFFFFFF;

enum SignalColumn { kColumnNumber, kColumnType, kColumnSent, kColumnReceived, kColumnAnswered, kSignalColumns };
constexpr const char* kHeaders[kSignalColumns] = {"序号", "类型", "发送时间", "接收时间", "是否返回"};
constexpr int kFixedWidths[] = {50, 150, 150, 150};  // the last column takes the rest

// Where a row keeps its record.
constexpr int kRecordRole = Qt::UserRole;

QString Text(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size())); }

}  // namespace

SignalCountDlg::SignalCountDlg(QWidget* parent, WindowContext& context)
    : QDialog(parent),
      context_(context),
      list_(new QTableWidget(this)),
      sentCounter_(new QLabel(this)),
      receivedCounter_(new QLabel(this)) {
  setWindowTitle(QString::fromUtf8(kSignalCountCaption));
  setFixedSize(kWindowWidth, kWindowHeight);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, SkinKit::ToQColor(kGroundColour));
  setPalette(palette);
  setAutoFillBackground(true);

  list_->setObjectName(QString::number(kSignalCountListControl));
  const int listWidth = kWindowWidth - 2 * kListMargin;
  const int listHeight = kWindowHeight - kListMargin - kListBottomMargin;
  list_->setGeometry(kListMargin, kListMargin, listWidth, listHeight);
  list_->setColumnCount(kSignalColumns);
  QStringList headers;
  for (const char* header : kHeaders) headers << QString::fromUtf8(header);
  list_->setHorizontalHeaderLabels(headers);
  for (int column = 0; column < static_cast<int>(std::size(kFixedWidths)); ++column)
    list_->setColumnWidth(column, kFixedWidths[column]);
  list_->horizontalHeader()->setStretchLastSection(true);
  list_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  list_->verticalHeader()->hide();
  list_->verticalHeader()->setDefaultSectionSize(kRowHeight);
  list_->setShowGrid(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QPalette listPalette = list_->palette();
  listPalette.setColor(QPalette::Base, SkinKit::ToQColor(kGroundColour));
  list_->setPalette(listPalette);

  const int counterTop = kListMargin + listHeight + kCounterGap;
  const int right = kListMargin + listWidth;
  receivedCounter_->setGeometry(right - kCounterWidth, counterTop, kCounterWidth, kCounterHeight);
  sentCounter_->setGeometry(right - 2 * kCounterWidth, counterTop, kCounterWidth, kCounterHeight);
  sentCounter_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  receivedCounter_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  WriteCounters();

  context_.router.Enter(kSignalCountName, *this, this);
}

SignalCountDlg::~SignalCountDlg() { context_.router.Leave(kSignalCountName, *this); }

SignalCountDlg* SignalCountDlg::Open(QWidget* owner, WindowContext& context) {
  auto* window = context.router.Find<SignalCountDlg>(kSignalCountName);
  if (!window) window = new SignalCountDlg(owner, context);
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

void SignalCountDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  LoadRecords(records_ ? records_ : LoginRequestRecords());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

void SignalCountDlg::LoadRecords(const RequestRecords* records) {
  list_->setRowCount(0);
  if (records) {
    for (const KeepAliveRecord* record : records->InOrder()) AddRow(record);
  }
  WriteCounters();
}

platform::MessageResult SignalCountDlg::OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                                        platform::LParam lParam) {
  if (message != kKeepAliveRecordMessage || lParam == 0) return 0;
  // A removed record is ours until its row is gone.
  std::unique_ptr<KeepAliveRecord> removed;
  if (wParam == kKeepAliveRecordRemoved) removed = platform::TakePayload(kKeepAliveRecordGone, lParam);
  const KeepAliveRecord* record = removed ? removed.get() : platform::BorrowPayload(kKeepAliveRecordShown, lParam);
  switch (wParam) {
    case kKeepAliveRecordAdded:
      if (const int row = RowOf(record); row >= 0) {
        ShowRow(row, record);
      } else {
        AddRow(record);
      }
      break;
    case kKeepAliveRecordAnswered:
      if (const int row = RowOf(record); row >= 0) ShowRow(row, record);
      break;
    case kKeepAliveRecordRemoved: RemoveRow(record); break;
    default: return 0;
  }
  WriteCounters();
  return 0;
}

int SignalCountDlg::RowOf(const KeepAliveRecord* record) const {
  const auto key = static_cast<qulonglong>(reinterpret_cast<quintptr>(record));
  for (int row = 0; row < list_->rowCount(); ++row) {
    const QTableWidgetItem* item = list_->item(row, kColumnNumber);
    if (item && item->data(kRecordRole).toULongLong() == key) return row;
  }
  return -1;
}

void SignalCountDlg::AddRow(const KeepAliveRecord* record) {
  const int row = list_->rowCount();
  list_->insertRow(row);
  for (int column = 0; column < kSignalColumns; ++column) {
    auto* item = new QTableWidgetItem;
    item->setTextAlignment(Qt::AlignCenter);
    list_->setItem(row, column, item);
  }
  list_->item(row, kColumnNumber)->setData(kRecordRole, static_cast<qulonglong>(reinterpret_cast<quintptr>(record)));
  ShowRow(row, record);
}

void SignalCountDlg::ShowRow(int row, const KeepAliveRecord* record) {
  const SignalRowTexts texts = SignalRow(*record, row + 1);
  list_->item(row, kColumnNumber)->setText(Text(texts.number));
  list_->item(row, kColumnType)->setText(Text(texts.type));
  list_->item(row, kColumnSent)->setText(Text(texts.sent));
  list_->item(row, kColumnReceived)->setText(Text(texts.received));
  list_->item(row, kColumnAnswered)->setText(Text(texts.answered));
}

void SignalCountDlg::RemoveRow(const KeepAliveRecord* record) {
  const int row = RowOf(record);
  if (row < 0) return;
  list_->removeRow(row);
  Renumber();
}

void SignalCountDlg::Renumber() {
  for (int row = 0; row < list_->rowCount(); ++row) {
    if (QTableWidgetItem* item = list_->item(row, kColumnNumber)) item->setText(QString::number(row + 1));
  }
}

void SignalCountDlg::WriteCounters() {
  std::size_t answered = 0;
  for (int row = 0; row < list_->rowCount(); ++row) {
    // A row counts as received when it shows an answer time.
    const QTableWidgetItem* received = list_->item(row, kColumnReceived);
    if (received && !received->text().isEmpty()) ++answered;
  }
  sentCounter_->setText(Text(SentCounterText(static_cast<std::size_t>(list_->rowCount()))));
  receivedCounter_->setText(Text(ReceivedCounterText(answered)));
}

void InstallSignalCountWindowFactory(WindowFactories& factories) {
  factories.Set(kSignalCountName, [](QWidget* parent, WindowContext& context) -> QWidget* {
    return new SignalCountDlg(parent, context);
  });
}

}  // namespace kanzo
