#pragma once
// The connection statistics window: one row per keep-alive request of the
// login window (kind, sent, received, answered) and the two counters below.
// The login window keeps it current with kKeepAliveRecordMessage while it is
// in the router as "SignalCountDlg".
#include <QDialog>
#include <QLabel>
#include <QTableWidget>

#include "platform/window_message.h"
#include "windows/window_context.h"
#include "workspace/keep_alive_records.h"
#include "workspace/window_factories.h"

namespace kanzo {

inline constexpr const char* kSignalCountCaption = "信号统计";
inline constexpr int kSignalCountListControl = 1140;

class SignalCountDlg : public QDialog, public platform::Window {
  Q_OBJECT
 public:
  SignalCountDlg(QWidget* parent, WindowContext& context);
  ~SignalCountDlg() override;

  // Opens the statistics window: the one in the router, or a new one owned
  // by `owner`.
  static SignalCountDlg* Open(QWidget* owner, WindowContext& context);

  // The records the window shows when it opens; null (the default) means
  // the login window's.
  void SetRecords(const RequestRecords* records) { records_ = records; }
  // Removes every row and adds one per record, oldest first; then the
  // counters.
  void LoadRecords(const RequestRecords* records);

  // kKeepAliveRecordMessage: adds a row, marks a row answered, or removes
  // the row of a record that is gone.
  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;

  QTableWidget* List() const { return list_; }
  QLabel* SentCounter() const { return sentCounter_; }
  QLabel* ReceivedCounter() const { return receivedCounter_; }
  // The row that shows `record`; -1 for none.
  int RowOf(const KeepAliveRecord* record) const;

 protected:
  // Each opening shows the records afresh, centred on the screen.
  void showEvent(QShowEvent* event) override;

 private:
  void AddRow(const KeepAliveRecord* record);
  void ShowRow(int row, const KeepAliveRecord* record);
  void RemoveRow(const KeepAliveRecord* record);
  void Renumber();
  void WriteCounters();

  WindowContext& context_;
  QTableWidget* list_;
  QLabel* sentCounter_;
  QLabel* receivedCounter_;
  const RequestRecords* records_ = nullptr;
};

// Lets the main window make the statistics window when its signal button is
// first pressed (start-up calls this once).
void InstallSignalCountWindowFactory(WindowFactories& factories);

}  // namespace kanzo
