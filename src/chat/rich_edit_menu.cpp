// The edit menu and the font dialog of the rich view.
#include <QMenu>
#include <QTextBlock>

#include "chat/font_dlg.h"
#include "chat/rich_edit.h"
#include "platform/qt/qt_text.h"

namespace kanzo {
namespace {

constexpr const char* kMenuUndo = "重做(R&)";
constexpr const char* kMenuCut = "剪贴(U&)";
constexpr const char* kMenuCopy = "复制(C&)";
constexpr const char* kMenuPaste = "粘贴(P&)";
constexpr const char* kMenuClear = "清空(A&)";
constexpr const char* kMenuSelectAll = "选择全部(&S)";
constexpr const char* kMenuFont = "选择字体(&F)";

}  // namespace

QMenu* RichEdit::CreateContextMenu() {
  auto* menu = new QMenu(this);
  const bool selected = textCursor().hasSelection();
  const bool editable = !isReadOnly();

  QAction* undoAction = menu->addAction(platform::FromNarrow(kMenuUndo), this, &QTextEdit::undo);
  undoAction->setEnabled(editable && document()->isUndoAvailable());
  menu->addSeparator();
  QAction* cutAction = menu->addAction(platform::FromNarrow(kMenuCut), this, &QTextEdit::cut);
  cutAction->setEnabled(editable && selected);
  QAction* copyAction = menu->addAction(platform::FromNarrow(kMenuCopy), this, &QTextEdit::copy);
  copyAction->setEnabled(selected);
  QAction* pasteAction = menu->addAction(platform::FromNarrow(kMenuPaste), this, &QTextEdit::paste);
  pasteAction->setEnabled(editable && canPaste());
  QAction* clearAction =
      menu->addAction(platform::FromNarrow(kMenuClear), this, [this] { textCursor().removeSelectedText(); });
  clearAction->setEnabled(editable && selected);
  menu->addSeparator();
  menu->addAction(platform::FromNarrow(kMenuSelectAll), this, &QTextEdit::selectAll);
  menu->addSeparator();
  menu->addAction(platform::FromNarrow(kMenuFont), this, &RichEdit::OpenFontDialog);
  return menu;
}

void RichEdit::ShowContextMenu(const QPoint& globalPos) {
  QMenu* menu = CreateContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(globalPos);
}

void RichEdit::OpenFontDialog() {
  // The dialog starts from the selection's format, or from the typing format
  // when nothing is selected.
  QTextCharFormat initial = typingFormat_;
  const QTextCursor cursor = textCursor();
  if (cursor.hasSelection()) {
    QTextCursor first(document());
    first.setPosition(cursor.selectionStart() + 1);
    initial = typingFormat_;
    initial.merge(first.charFormat());
  }
  FontDlg dialog(initial, this);
  if (dialog.exec() != QDialog::Accepted) return;
  typingFormat_ = dialog.Choice();
  if (!cursor.hasSelection()) setCurrentCharFormat(typingFormat_);
}

}  // namespace kanzo
