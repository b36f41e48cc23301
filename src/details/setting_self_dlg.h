#pragma once
// The page "个人信息" of the settings window: the agent's own details,
// filled from the current agent record, saved on the server with command 28
// by "保存". The answer comes back to this page (it registers for 28); on
// success the main window shows the new details. "取消" asks first, then
// closes the settings window without saving.
#include <QWidget>
#include <functional>

#include "details/agent_details_save.h"
#include "platform/window_message.h"
#include "windows/window_context.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kanzo {

inline constexpr int kSettingSelfDialogId = 134;

class SettingSelfDlg final : public QWidget, public platform::Window {
  Q_OBJECT
 public:
  SettingSelfDlg(QWidget* parent, WindowContext& context);
  ~SettingSelfDlg() override;

  // The fields from the current agent record.
  void FillFromAgentRecord();
  AgentDetailsForm Form() const;

  // "保存" and "取消" (the buttons call them).
  void Save();
  void Cancel();
  // What "取消" does once the agent confirmed (the settings window closes).
  void SetOnCancelled(std::function<void()> onCancelled) { onCancelled_ = std::move(onCancelled); }

  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;

  QLineEdit* Edit(int id) const;
  QRadioButton* Radio(int id) const;
  QPushButton* Button(int id) const;
  const AgentDetailsSave& Saver() const { return save_; }

 private:
  WindowContext& context_;
  AgentDetailsSave save_;
  std::function<void()> onCancelled_;
};

}  // namespace kanzo
