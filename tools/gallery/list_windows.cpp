#include "list_windows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>
#include <cstdio>
#include <functional>
#include <memory>

#include "chat/chat_dlg.h"
#include "chat/talk_list_box.h"
#include "controls/segment.h"
#include "controls/skin_kit.h"
#include "db/db_operations.h"
#include "net/network_startup.h"
#include "net/session_id.h"
#include "platform/clock.h"
#include "platform/qt/qt_text.h"
#include "protocol/startup_codecs.h"
#include "records/records.h"
#include "scenario_player.h"
#include "windows/client_vocabulary.h"
#include "windows/window_context.h"
#include "windows/window_router.h"
#include "workspace/contact_dlg.h"
#include "workspace/customer_info_dlg.h"
#include "workspace/list_pictures.h"
#include "workspace/login_dlg.h"
#include "workspace/main_dlg.h"
#include "workspace/online_dlg.h"
#include "workspace/session_dlg.h"
#include "workspace/session_list_box.h"
#include "workspace/stored_logins.h"
#include "workspace/user_tree_ctrl.h"
#include "workspace/window_factories.h"

namespace kanzo {
namespace {

constexpr const char* kDemoUser = "demo";
constexpr const char* kDemoPassword = "kanzo123";
// Long enough for a login and its start data on a busy machine.
constexpr int kWaitMs = 15000;
constexpr int kPumpSliceMs = 10;
// The scenario's first minute: visitors arrive, talk, are invited; a
// colleague writes; one visitor leaves.
constexpr std::int64_t kScenarioPlayedMs = 50'000;
// What the default scenario has waiting at login: four entries for the
// conversation pane, four visitors on the site.
constexpr std::size_t kWaitingEntries = 4;
constexpr std::size_t kVisitorsAtStart = 4;
// The hidden visitor pane's rows as the gallery draws them.
constexpr int kVisitorRowHeight = 50;
constexpr int kVisitorSheetWidth = 520;
constexpr int kVisitorAvatar = 40;
constexpr int kVisitorPadding = 5;
constexpr QRgb kVisitorGround = 0xFFFFFF;
constexpr QRgb kVisitorRule = 0xE5E5E5;
constexpr QRgb kVisitorName = 0x333333;
constexpr QRgb kVisitorDetail = 0x888888;

bool PumpUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, kPumpSliceMs);
    QThread::msleep(kPumpSliceMs);
  }
  return true;
}

void Pump(int ms) {
  PumpUntil([] { return false; }, ms);
}

template <typename Window>
Window* Pane(const WindowRouter& router, const char* name) {
  return dynamic_cast<Window*>(platform::FindWindow(router.IdOf(name)));
}

// The visitor pane draws nothing of its own (it is hidden and only keeps
// the list); the gallery shows its rows as the lists know them.
QImage VisitorRows(VisitorList& visitors, std::int32_t self, const QFont& font) {
  const int rows = static_cast<int>(visitors.Size());
  QImage sheet(kVisitorSheetWidth, std::max(1, rows) * kVisitorRowHeight, QImage::Format_ARGB32_Premultiplied);
  sheet.fill(QColor(kVisitorGround));
  QPainter p(&sheet);
  p.setFont(font);
  for (int i = 0; i < rows; ++i) {
    const ContactRecord& r = *visitors.At(static_cast<std::size_t>(i));
    const int top = i * kVisitorRowHeight;
    const SkinKit::Image avatar(SessionAvatarPicture(r, self), SkinKit::kLoadSmooth);
    p.drawImage(QRect(kVisitorPadding, top + (kVisitorRowHeight - kVisitorAvatar) / 2, kVisitorAvatar, kVisitorAvatar),
                avatar.Keyed(SkinKit::kTransparentKey));
    const int left = 2 * kVisitorPadding + kVisitorAvatar;
    const int half = kVisitorRowHeight / 2;
    const QRect first(left, top + 2, kVisitorSheetWidth - left - kVisitorPadding, half - 2);
    const QRect second(left, top + half, first.width(), half - 2);
    p.setPen(QColor(kVisitorName));
    p.drawText(first, Qt::AlignLeft | Qt::AlignVCenter,
               platform::FromNarrow(r.name + "  " + r.area + "  " + r.statusText));
    p.setPen(QColor(kVisitorDetail));
    p.drawText(second, Qt::AlignLeft | Qt::AlignVCenter,
               platform::FromNarrow(r.pageTitle + "  " + r.currentPage + "  " + r.ip));
    p.setPen(QColor(kVisitorRule));
    p.drawLine(0, top + kVisitorRowHeight - 1, kVisitorSheetWidth, top + kVisitorRowHeight - 1);
  }
  return sheet;
}

void HoverAvatar(SessionListBox* list, int row) {
  const QPoint at(kVisitorAvatar / 2, (row - list->TopIndex()) * kSessionRowHeight + kSessionRowHeight / 2);
  QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(list->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(list, &move);
}

bool Save(const QImage& image, const QString& path) {
  const bool ok = !image.isNull() && image.save(path);
  if (!ok) std::fprintf(stderr, "could not write %s\n", qPrintable(path));
  return ok;
}

}  // namespace

bool ListWindows(const QString& folder, const std::string& simDataFolder) {
  ScenarioPlayer sim;
  std::string error;
  if (!sim.Start(simDataFolder, &error) || !RegisterStartupCodecs() ||
      !StartNetwork("127.0.0.1", static_cast<std::uint16_t>(sim.Port()))) {
    std::fprintf(stderr, "list windows: no simulator: %s\n", error.c_str());
    return false;
  }
  // What waits before anybody logs in.
  const auto read = [] { Pump(kPumpSliceMs); };
  sim.Play(-1, 0, read);

  Records records;
  WindowRouter router;
  StoredDatabase db;
  WindowFactories factories;
  InstallListPaneFactories(factories);
  InstallChatWindowFactory(factories);
  WindowContext context{[](Message& message) { return SendNetworkMessage(message); }, platform::CurrentClock(), records,
                        router, db};
  context.factories = &factories;
  SetCurrentSessionId(0);
  SetAutomaticLoginAllowed(false);

  bool ok = false;
  {
    LoginDlg login(context);
    login.show();
    login.UserNameBox()->setEditText(kDemoUser);
    login.PasswordEdit()->setText(kDemoPassword);
    login.SubmitButton()->click();
    SessionDlg* session = nullptr;
    OnlineDlg* online = nullptr;
    ContactDlg* contact = nullptr;
    const bool filled = PumpUntil(
        [&] {
          session = Pane<SessionDlg>(router, kSessionPaneName);
          online = Pane<OnlineDlg>(router, kOnlinePaneName);
          contact = Pane<ContactDlg>(router, kContactPaneName);
          return session && online && contact && session->Sessions().Size() >= kWaitingEntries &&
                 online->List()->Visitors().Size() >= kVisitorsAtStart && !contact->Tree().Groups().empty();
        },
        kWaitMs);
    auto* main = dynamic_cast<MainDlg*>(login.MainWindow());
    if (filled && main != nullptr) {
      sim.Play(0, kScenarioPlayedMs, read);
      auto* chat = dynamic_cast<ChatDlg*>(platform::FindWindow(router.IdOf(kChatWindowName)));
      PumpUntil([&] { return chat != nullptr && chat->TalkColumn() != nullptr; }, kWaitMs);
      Pump(200);

      main->TabStrip()->Select(0);
      Pump(50);
      ok = Save(main->grab().toImage(), folder + "lists_sessions.png");
      ok = Save(VisitorRows(online->List()->Visitors(), records.agent.AgentId(), main->font()),
                folder + "lists_visitors.png") &&
           ok;
      SessionListBox* list = session->List();
      const int talking = session->Sessions().FindIndex(3001);
      HoverAvatar(list, talking < 0 ? 0 : talking);
      Pump(50);
      ok = list->Popup() != nullptr && Save(list->Popup()->grab().toImage(), folder + "customer_info.png") && ok;
      if (list->Popup()) list->Popup()->hide();

      main->TabStrip()->Select(1);
      // Colleagues with unread lines blink: take the tree while every label
      // stands.
      const AgentTree& tree = contact->Tree();
      PumpUntil(
          [&tree] {
            for (const ColleagueGroup& group : tree.Groups()) {
              if (group.nameHidden) return false;
              for (bool hidden : group.agentHidden)
                if (hidden) return false;
            }
            return true;
          },
          kWaitMs);
      ok = Save(main->grab().toImage(), folder + "lists_colleagues.png") && ok;
      ok = chat != nullptr && Save(chat->TalkColumn()->grab().toImage(), folder + "talk_list.png") && ok;
    } else {
      std::fprintf(stderr, "list windows: the panes did not fill\n");
    }
  }
  StopNetwork();
  sim.Stop();
  return ok;
}

}  // namespace kanzo
