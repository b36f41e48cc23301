#pragma once
// The connection statistics window: one row per keep-alive request of the
// login window (kind, sent, received, answered) and the two counters below.
// The login window keeps it current with window message 2044 while it is in
// the window registry as "SignalCountDlg".
#include <QDialog>
#include <QLabel>
#include <QTableWidget>

#include "platform/window_message.h"
#include "workspace/keep_alive_records.h"

namespace kanzo {

inline constexpr const char* kSignalCountCaption = "信号统计";
inline constexpr int kSignalCountListControl = 1140;

class SignalCountDlg : public QDialog, public platform::Window {
  Q_OBJECT
 public:
  explicit SignalCountDlg(QWidget* parent = nullptr);
  ~SignalCountDlg() override;

  // Opens the statistics window: the one in the registry, or a new one
  // owned by `owner`.
  static SignalCountDlg* Open(QWidget* owner);

  // The records the window shows when it opens; null (the default) means
  // the login window's.
  void SetRecords(const RequestRecords* records) { records_ = records; }
  // Removes every row and adds one per record, oldest first; then the
  // counters.
  void LoadRecords(const RequestRecords* records);

  // 2044: first parameter 1 adds a row, 2 marks a row answered, 3 removes
  // the row and frees the record.
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

  QTableWidget* list_;
  QLabel* sentCounter_;
  QLabel* receivedCounter_;
  const RequestRecords* records_ = nullptr;
};

// Lets the main window make the statistics window when its signal button is
// first pressed (start-up calls this once).
void InstallSignalCountWindowFactory();

}  // namespace kanzo
