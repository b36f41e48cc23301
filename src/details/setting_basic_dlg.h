#pragma once
// The page "基础设置" of the settings window: four pairs of radio buttons.
// Every click is stored at once (BasicSettings); a change of the alert or
// sound choice lets the main window's tray tip and icon follow. The page is
// in the window registry as "SettingBasicDlg", so that the main window's
// own toggles can have it show the stored values again.
#include <QWidget>

#include "details/basic_settings.h"
#include "platform/window_message.h"
#include "windows/window_context.h"
#include "windows/window_links.h"

class QRadioButton;

namespace kanzo {

inline constexpr int kSettingBasicDialogId = 132;

class SettingBasicDlg final : public QWidget, public platform::Window, public SettingBasicLink {
  Q_OBJECT
 public:
  SettingBasicDlg(QWidget* parent, WindowContext& context);
  ~SettingBasicDlg() override;

  // Reads the stored values again and checks the buttons by them.
  void RefreshSettings() override;
  // What a click on radio button `id` does (the buttons call it).
  void OnRadioClicked(int id);

  // The page takes no window messages of its own.
  platform::MessageResult OnWindowMessage(std::uint32_t, platform::WParam, platform::LParam) override { return 0; }

  QRadioButton* Radio(int id) const;
  const BasicSettings& Settings() const { return settings_; }

 private:
  void ShowState();

  WindowContext& context_;
  BasicSettings settings_;
};

}  // namespace kanzo
