#pragma once
// The list panes, the chat window's conversation column and the visitor
// popup, filled by the chat-server simulator inside the gallery's process:
// the default scenario's opening (the visitors already on the site, the
// offline messages and guestbook entries) is played before the demo agent
// logs in, its first minute right after, without waiting for its clock.
// Writes lists_sessions.png, lists_colleagues.png, lists_visitors.png (the
// hidden visitor pane's rows), talk_list.png and customer_info.png.
#include <QString>
#include <string>

namespace kanzo {

// `simDataFolder` holds the simulator's demo-accounts.json and
// default.scenario. Needs the user-interface loop and the database set up.
bool ListWindows(const QString& folder, const std::string& simDataFolder);

}  // namespace kanzo
