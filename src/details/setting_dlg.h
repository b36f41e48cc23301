#pragma once
// The settings window "设置": a window of its own beside the main window
// (not modal), made once by the main window's settings button. A tab
// control holds the pages "基础设置" (shown first) and "个人信息".
#include <QDialog>

#include "details/setting_basic_dlg.h"
#include "details/setting_self_dlg.h"
#include "windows/window_context.h"

class QTabBar;

namespace kanzo {

inline constexpr int kSettingDialogId = 131;
inline constexpr int kSettingTabControlId = 1016;
inline constexpr const char* kSettingCaption = "设置";
inline constexpr int kSettingBasicTab = 0;
inline constexpr int kSettingSelfTab = 1;

class SettingDlg final : public QDialog {
  Q_OBJECT
 public:
  SettingDlg(QWidget* parent, WindowContext& context);

  // Shows the page of tab `index` and hides the other.
  void SelectTab(int index);

  QTabBar* Tabs() const { return tabs_; }
  SettingBasicDlg* BasicPage() const { return basic_; }
  SettingSelfDlg* SelfPage() const { return self_; }

 protected:
  // Each opening shows the record's details and the stored choices afresh.
  void showEvent(QShowEvent* event) override;

 private:
  QTabBar* tabs_;
  SettingBasicDlg* basic_;
  SettingSelfDlg* self_;
};

}  // namespace kanzo
