#pragma once
// The notification bubble: a small borderless window that slides in above
// the notification area when a line arrives while the chat window is hidden
// or minimised. It shows who wrote, what, and how many of that sender's
// lines are unread; a click opens that conversation. The chat window owns
// the one bubble and makes it on first need.
#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>

#include "controls/skin_kit.h"
#include "platform/qt/window_timers.h"
#include "platform/window_message.h"

class QLabel;
class QPropertyAnimation;

namespace kanzo {

class ContactTable;

inline constexpr int kBubbleTitleId = 1195;
inline constexpr int kBubbleTextId = 1196;
inline constexpr int kBubbleCountId = 1200;

class BubbleNotifyDlg final : public QDialog, public platform::Window {
  Q_OBJECT
 public:
  static constexpr std::uint32_t kTimerClose = 2025;
  static constexpr int kShowMs = 10'000;
  static constexpr int kSlideMs = 100;
  static constexpr int kFadeMs = 200;
  static constexpr int kWidth = 270;
  static constexpr int kHeight = 65;
  static constexpr int kScreenGap = 20;

  // `open` opens the conversation of a record id (the chat window's).
  BubbleNotifyDlg(ContactTable& contacts, std::function<void(std::int32_t)> open, QWidget* parent = nullptr);
  ~BubbleNotifyDlg() override;

  // Shows the bubble for `senderId` with its texts; a changed sender hides
  // the bubble first so that it slides in again.
  void Show(std::int32_t senderId, bool senderChanged, const std::string& title, const std::string& text);
  // Stops the timer and fades out.
  void FadeOut();

  std::int32_t SenderId() const { return senderId_; }
  QString TitleText() const;
  QString BodyText() const;
  QString CountText() const;
  // Where the bubble comes to rest on the screen.
  QRect RestingGeometry() const;
  platform::WindowTimers& Timers() { return timers_; }

  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;
  void OnTimer(std::uint32_t timerId) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void HideNow();
  void StopFade();

  ContactTable& contacts_;
  std::function<void(std::int32_t)> open_;
  platform::WindowTimers timers_;
  std::int32_t senderId_ = 0;
  QLabel* icon_ = nullptr;
  QLabel* title_ = nullptr;
  QLabel* text_ = nullptr;
  QLabel* count_ = nullptr;
  QString fullText_;
  SkinKit::Texture background_;
  QPointer<QPropertyAnimation> slide_;
  QPointer<QPropertyAnimation> fade_;
};

}  // namespace kanzo
