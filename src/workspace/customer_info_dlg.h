#pragma once
// The visitor detail popup beside the conversation list: a borderless panel
// with the hovered visitor's id, name, area, status, IP, time, page title
// and page. One instance, owned by the main window, made on first use.
#include <QDialog>
#include <QLabel>
#include <array>

#include "controls/skin_kit.h"
#include "platform/qt/window_timers.h"
#include "platform/window_message.h"
#include "records/contact_record.h"
#include "windows/client_vocabulary.h"

namespace kanzo {

inline constexpr int kCustomerInfoDialogId = 139;
inline constexpr int kCustomerInfoIdControl = 1092;
inline constexpr int kCustomerInfoNameControl = 1185;
inline constexpr int kCustomerInfoAreaControl = 1096;
inline constexpr int kCustomerInfoStatusControl = 1097;
inline constexpr int kCustomerInfoIpControl = 1095;
inline constexpr int kCustomerInfoTimeControl = 1098;
inline constexpr int kCustomerInfoTitleControl = 1094;
inline constexpr int kCustomerInfoPageControl = 1093;
inline constexpr int kCustomerInfoHideMs = 500;

class CustomerInfoDlg final : public QDialog, public platform::Window {
  Q_OBJECT
 public:
  explicit CustomerInfoDlg(QWidget* owner);
  ~CustomerInfoDlg() override;

  // The popup of `owner` (the main window), made on first use.
  static CustomerInfoDlg* Of(QWidget* owner);

  // Shows the record's fields; a null record leaves the popup as it is.
  void Fill(const ContactRecord* record);
  // The whole text of a field by its control id (tests, the gallery); the
  // label shows it cut with "…" where it is wider than the panel.
  QString FieldText(int control) const;

  platform::MessageResult OnWindowMessage(std::uint32_t, platform::WParam, platform::LParam) override { return 0; }
  void OnTimer(std::uint32_t timerId) override;
  platform::WindowTimers& Timers() { return timers_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  struct Field {
    int control;
    const char* label;
    QLabel* value = nullptr;
    QString text;
  };

  platform::WindowTimers timers_;
  SkinKit::Texture background_;
  std::array<Field, 8> fields_;
  bool hideTimerStarted_ = false;
};

}  // namespace kanzo
