#pragma once
// The pop-up menu of quick messages under the chat window's "快捷消息"
// button: one entry per text, in order, with the commands 3025, 3026, ...
#include <QMenu>
#include <memory>
#include <string>
#include <vector>

namespace kanzo {

// The menu; each action carries its command as data. Texts are shown as
// written: "&" is no mnemonic.
std::unique_ptr<QMenu> BuildQuickMessageMenu(const std::vector<std::string>& texts, QWidget* parent);

// Shows the menu just below `button` and returns the index of the text
// chosen, or -1.
int PickQuickMessage(const std::vector<std::string>& texts, QWidget* button);

}  // namespace kanzo
