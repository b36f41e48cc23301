#pragma once
// "常用语": the editor of a new common message. One instance serves the
// chat window's add button and the main window's button, so that the
// answers to its requests always reach the window that is open; it is
// application-modal and asks for the categories each time it opens. It is
// found in the router under "QuickMsgEditDlg".
#include <QDialog>
#include <memory>

#include "chat/quick_msg_editor.h"
#include "platform/window_message.h"
#include "windows/window_context.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kanzo {

class QuickMsgEditDlg : public QDialog, public platform::Window, public QuickMsgEditView {
  Q_OBJECT
 public:
  // The one editor: made on the first call with `owner` as its parent.
  static QuickMsgEditDlg* Shared(QWidget* owner, WindowContext& context);
  // Shows the one editor, application-modal, over `owner`.
  static QuickMsgEditDlg* OpenShared(QWidget* owner, WindowContext& context);

  ~QuickMsgEditDlg() override;

  // Shown application-modal whoever opens it, and kept for the next opening.
  void open() override;

  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;

  void ShowCategories(const std::vector<std::string>& names, const std::string& selected) override;
  void ClearContent() override;

  QLineEdit* Content() const { return content_; }
  QComboBox* Category() const { return category_; }
  QRadioButton* Quick() const { return quick_; }
  QRadioButton* NotQuick() const { return notQuick_; }
  QPushButton* SaveButton() const { return save_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QuickMsgEditDlg(QWidget* parent, WindowContext& context);
  void SaveInfo();

  WindowContext& context_;
  std::unique_ptr<QuickMsgEditor> editor_;
  QLineEdit* content_;
  QComboBox* category_;
  QRadioButton* quick_;
  QRadioButton* notQuick_;
  QPushButton* save_;
};

// Lets the main window open the editor with its button.
class WindowFactories;
void InstallQuickMsgEditWindowFactory(WindowFactories& factories);

}  // namespace kanzo
