#pragma once
// "常用语": the editor of a new common message. One instance serves the
// chat window's add button and the main window's button, so that the
// answers to its requests always reach the window that is open; it is
// application-modal and asks for the categories each time it opens.
#include <QDialog>
#include <memory>

#include "chat/quick_msg_editor.h"
#include "platform/window_message.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kanzo {

class QuickMsgEditDlg : public QDialog, public platform::Window, public QuickMsgEditView {
  Q_OBJECT
 public:
  // The one editor: made on the first call with `owner` as its parent.
  static QuickMsgEditDlg* Shared(QWidget* owner);
  // Shows the one editor, application-modal, over `owner`.
  static QuickMsgEditDlg* OpenShared(QWidget* owner);

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
  explicit QuickMsgEditDlg(QWidget* parent);
  void SaveInfo();

  std::unique_ptr<QuickMsgEditor> editor_;
  QLineEdit* content_;
  QComboBox* category_;
  QRadioButton* quick_;
  QRadioButton* notQuick_;
  QPushButton* save_;
};

// Lets the main window open the editor with its button.
void InstallQuickMsgEditWindowFactory();

}  // namespace kanzo
