#include "chat/quick_message_menu.h"

#include "chat/quick_lists.h"
#include "platform/qt/qt_text.h"

namespace kanzo {

std::unique_ptr<QMenu> BuildQuickMessageMenu(const std::vector<std::string>& texts, QWidget* parent) {
  auto menu = std::make_unique<QMenu>(parent);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    QString text = platform::FromNarrow(texts[i]);
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    // A menu entry is one line; a message may hold several.
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    QAction* action = menu->addAction(text);
    action->setData(kFirstQuickMenuCommand + static_cast<int>(i));
  }
  return menu;
}

int PickQuickMessage(const std::vector<std::string>& texts, QWidget* button) {
  if (texts.empty() || !button) return -1;
  const std::unique_ptr<QMenu> menu = BuildQuickMessageMenu(texts, button);
  const QAction* chosen = menu->exec(button->mapToGlobal(QPoint(0, button->height())));
  if (!chosen) return -1;
  return chosen->data().toInt() - kFirstQuickMenuCommand;
}

}  // namespace kanzo
