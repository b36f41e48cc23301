// Renders every skinned control in every state (normal, hover, pressed,
// selected; each login state; each signal level) into PNG files, one per
// control and state, plus gallery.png with all of them on one sheet; then
// the windows, the list panes filled by the simulator among them.
//   kanzo_gallery <output-folder> [<picture-folder>]
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "chat/chat_dlg.h"
#include "chat/face_dialog.h"
#include "chat/quick_message_tree_ctrl.h"
#include "chat/quick_msg_edit_dlg.h"
#include "chat/rich_edit.h"
#include "controls/high_light_button.h"
#include "controls/icon_text_button.h"
#include "controls/logo_panel.h"
#include "controls/segment.h"
#include "controls/signal_panel.h"
#include "controls/skin_kit.h"
#include "controls/state_button.h"
#include "db/db_access.h"
#include "db/db_manager.h"
#include "db/db_operations.h"
#include "details/setting_dlg.h"
#include "details/user_info_dlg.h"
#include "list_windows.h"
#include "platform/clock.h"
#include "platform/narrow_text.h"
#include "platform/qt/qt_ui_loop.h"
#include "protocol/commands.h"
#include "protocol/message_id.h"
#include "records/records.h"
#include "windows/client_vocabulary.h"
#include "windows/window_context.h"
#include "windows/window_router.h"
#include "workspace/bubble_notify_dlg.h"
#include "workspace/json_body.h"

namespace {

using namespace kanzo;

constexpr QRgb kHostBackground = 0xFAFAFA;  // the main window's ground
constexpr QRgb kSheetBackground = 0xFFFFFF;
constexpr QRgb kCaptionColour = 0x333333;
constexpr int kCellPadding = 8;
constexpr int kCaptionHeight = 18;
constexpr int kSheetColumns = 6;
constexpr int kSheetScale = 2;
constexpr std::int32_t kGalleryAgent = 2001;
constexpr std::int32_t kGalleryColleague = 2004;
// The quick-message menu opens this far below the top of its button.
constexpr int kMenuBelowButton = 24;

struct Shot {
  QString name;
  QImage image;
};

// A host window with the main window's ground, so controls that show their
// parent's background show that.
std::unique_ptr<QWidget> Host(const QSize& size) {
  auto host = std::make_unique<QWidget>();
  host->setAutoFillBackground(true);
  QPalette palette = host->palette();
  palette.setColor(QPalette::Window, QColor(kHostBackground));
  host->setPalette(palette);
  host->resize(size);
  return host;
}

void Send(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons) {
  const QPointF local(w->width() / 2.0, w->height() / 2.0);
  QMouseEvent event(type, local, w->mapToGlobal(local), button, buttons, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &event);
}

void Hover(QWidget* w) { Send(w, QEvent::MouseMove, Qt::NoButton, Qt::NoButton); }
void Press(QWidget* w) { Send(w, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton); }

class Gallery {
 public:
  explicit Gallery(QString folder) : folder_(std::move(folder)) {}

  void Take(const QString& name, QWidget* host) {
    const QImage image = host->grab().toImage();
    image.save(folder_ + name + ".png");
    shots_.push_back(Shot{name, image});
  }

  bool WriteSheet() const {
    int cellW = 0, cellH = 0;
    for (const Shot& s : shots_) {
      cellW = std::max(cellW, s.image.width() * kSheetScale);
      cellH = std::max(cellH, s.image.height() * kSheetScale);
    }
    cellW += 2 * kCellPadding;
    cellH += 2 * kCellPadding + kCaptionHeight;
    const int rows = (static_cast<int>(shots_.size()) + kSheetColumns - 1) / kSheetColumns;
    QImage sheet(kSheetColumns * cellW, rows * cellH, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(kSheetBackground));
    QPainter p(&sheet);
    p.setPen(QColor(kCaptionColour));
    for (int i = 0; i < static_cast<int>(shots_.size()); ++i) {
      const int x = (i % kSheetColumns) * cellW + kCellPadding, y = (i / kSheetColumns) * cellH + kCellPadding;
      const QImage& img = shots_[static_cast<std::size_t>(i)].image;
      p.drawImage(QRect(x, y, img.width() * kSheetScale, img.height() * kSheetScale), img);
      p.drawText(QRect(x, y + cellH - 2 * kCellPadding - kCaptionHeight, cellW - 2 * kCellPadding, kCaptionHeight),
                 Qt::AlignLeft | Qt::AlignVCenter, shots_[static_cast<std::size_t>(i)].name);
    }
    p.end();
    return sheet.save(folder_ + "gallery.png");
  }

  std::size_t Count() const { return shots_.size(); }

 private:
  QString folder_;
  std::vector<Shot> shots_;
};

void HighLightButtons(Gallery& g) {
  const char* icons[] = {"Setting", "BackgroundManage", "AddQuickMessage", "AddEmployee", "Face", "Font", "Refresh"};
  for (const char* icon : icons) {
    for (const char* state : {"normal", "hover", "pressed"}) {
      auto host = Host(QSize(28, 28));
      auto* button = new HighLightButton(host.get());
      button->setGeometry(2, 2, 24, 24);
      button->SetIcon(std::string("\\Images\\") + icon, HighLightButton::kIconTexture);
      if (std::string(state) != "normal") Hover(button);
      if (std::string(state) == "pressed") Press(button);
      g.Take(QStringLiteral("HighLightButton_%1_%2").arg(icon, state), host.get());
    }
  }
  // A picture icon, and a hovered button without its border.
  for (const bool border : {true, false}) {
    auto host = Host(QSize(28, 28));
    auto* button = new HighLightButton(host.get());
    button->setGeometry(2, 2, 24, 24);
    button->SetIcon("Images\\copy.png", HighLightButton::kIconPicture);
    button->SetShowBorder(border);
    Hover(button);
    g.Take(QStringLiteral("HighLightButton_picture_hover%1").arg(border ? "" : "_noborder"), host.get());
  }
}

void IconTextButtons(Gallery& g) {
  for (const char* state : {"normal", "hover"}) {
    auto host = Host(QSize(96, 26));
    auto* button = new IconTextButton(host.get());
    button->setGeometry(2, 2, 40, 22);
    button->SetIconText("\\Images\\MessageIcon", QString::fromUtf8("快捷消息"));
    if (std::string(state) == "hover") Hover(button);
    g.Take(QStringLiteral("IconTextButton_%1").arg(state), host.get());
  }
}

void StateButtons(Gallery& g) {
  const char* names[] = {"online", "busy", "offline", "invisible", "away"};
  for (int state = 0; state < 5; ++state) {
    for (const char* mode : {"normal", "hover"}) {
      auto host = Host(QSize(42, 24));
      auto* button = new StateButton(host.get());
      button->setGeometry(2, 2, 38, 20);
      button->SetState(state);
      if (std::string(mode) == "hover") Hover(button);
      g.Take(QStringLiteral("StateButton_%1_%2_%3").arg(state).arg(names[state], mode), host.get());
    }
  }
}

void LogoPanels(Gallery& g) {
  const char* pictures[] = {"big_def_logo", "big_offline_logo", "big_outline_logo", "big_endtalk_logo"};
  for (const char* picture : pictures) {
    for (const char* mode : {"normal", "hover"}) {
      auto host = Host(QSize(64, 64));
      auto* panel = new LogoPanel(host.get());
      panel->setGeometry(4, 4, 56, 56);
      panel->SetPicture(std::string("Images\\") + picture + ".png");
      if (std::string(mode) == "hover") Hover(panel);
      g.Take(QStringLiteral("LogoPanel_%1_%2").arg(picture, mode), host.get());
    }
  }
}

void Segments(Gallery& g) {
  const std::vector<std::vector<const char*>> sets = {{"会话"}, {"会话", "通讯录"}, {"会话", "通讯录", "在线"}};
  for (const auto& labels : sets) {
    for (int chosen = 0; chosen < static_cast<int>(labels.size()); ++chosen) {
      auto host = Host(QSize(200, 60));
      auto* segment = new Segment(host.get());
      segment->setGeometry(4, 4, 192, 52);
      for (const char* label : labels) {
        auto* page = new QWidget;
        page->setAutoFillBackground(true);
        QPalette palette = page->palette();
        palette.setColor(QPalette::Window, Qt::white);
        page->setPalette(palette);
        segment->AddItem(QString::fromUtf8(label), page);
      }
      segment->Select(chosen);
      Hover(segment);
      g.Take(QStringLiteral("Segment_%1items_selected%2").arg(labels.size()).arg(chosen), host.get());
    }
  }
}

void SignalPanels(Gallery& g) {
  for (int level = 0; level < 5; ++level) {
    auto host = Host(QSize(28, 22));
    auto* panel = new SignalPanel(host.get());
    panel->setGeometry(2, 2, 24, 18);
    panel->SetLevel(level);
    g.Take(QStringLiteral("SignalPanel_level%1").arg(level), host.get());
  }
}

void MenuBitmaps(Gallery& g) {
  auto host = Host(QSize(5 * 20, 20));
  auto* button = new StateButton(host.get());
  button->hide();
  for (int state = 0; state < 5; ++state) {
    auto* cell = new QWidget(host.get());
    cell->setGeometry(state * 20 + 2, 2, 16, 16);
    cell->setAutoFillBackground(true);
    QPalette palette = cell->palette();
    palette.setBrush(QPalette::Window, button->MenuBitmap(state));
    cell->setPalette(palette);
  }
  g.Take(QStringLiteral("StateButton_menu_bitmaps"), host.get());
}

// The chat window with a conversation in progress (a visitor's faces and
// telephone number, the agent's answers, a failed send, a colleague's line
// in the column) and the bubble, each written as a picture of its own.
std::unique_ptr<Message> ChatLine(std::int32_t from, std::int8_t fromType, const std::string& body) {
  auto message = std::make_unique<Message>();
  message->command = kCommandChatMessage;
  auto msg = std::make_unique<Msg>();
  msg->FROM = from;
  msg->FROM_TYPE = fromType;
  msg->TO = kGalleryAgent;
  msg->TO_TYPE = kMemberKindAgent;
  msg->BODY = body;
  message->adoptBody(std::move(msg));
  return message;
}

void SendTyped(ChatDlg& chat, const std::string& markup) {
  chat.Input()->AppendMarkup(markup);
  platform::SendWindowMessage(chat.Id(), kMsgSendKeyPressed, 0, 0);
}

bool ChatWindows(const QString& folder, WindowContext& context) {
  Records& records = context.records;
  records.agent.Update([](AgentRecord& r) {
    r.triple = {1, kGalleryAgent, 1};
    r.realname = "李明";
  });
  records.names.Set(kGalleryColleague, "王芳");
  const std::pair<std::int32_t, const char*> visitors[] = {
      {3001, "上海市"}, {3003, "广东省深圳市"}, {3006, "江苏省南京市"}};
  for (const auto& [id, area] : visitors) {
    auto record = std::make_unique<ContactRecord>();
    record->id = id;
    record->kind = kContactKindVisitor;
    record->name = "访客 " + std::to_string(id);
    record->area = area;
    record->ip = "116.228.45.12";
    record->pageTitle = "价格与版本 - 在线客服系统";
    record->currentPage = "https://www.kanzo.example/price.html";
    record->remark = "从搜索结果进入，第二次访问";
    records.contacts.Enter(std::move(record));
  }
  auto chat = std::make_unique<ChatDlg>(nullptr, context);
  chat->show();
  // The stock replies as the server sends them, one category opened.
  Json::Value replies;
  ParseJsonBody(
      R"({"common":{"问候":[{"content":"您好，很高兴为您服务！","cmid":1},{"content":"请稍等，我帮您查一下。","cmid":2}],)"
      R"("价格":[{"content":"标准版每年 980 元。","cmid":3}],"售后":[]},)"
      R"("quick":["您好，请问有什么可以帮您？","R&D 部门稍后回复您",7,"好的，我马上处理。"]})",
      &replies);
  chat->LoadQuickMessage(replies);
  QuickMessageTreeCtrl* tree = chat->QuickTree();
  const QPoint glyph = tree->GlyphRect(2).center();
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(glyph), QPointF(tree->mapToGlobal(glyph)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(tree, &press);
  ChatConversations& talk = chat->Conversations();
  talk.OpenConversation(3006);
  talk.OpenConversation(3001);
  talk.OnChatMessage(*ChatLine(3001, kMemberKindVisitor, "你好，请问你们的在线客服系统怎么收费？[FACE]00_微笑[/FACE]"));
  SendTyped(*chat, "您好！标准版每年 980 元，专业版每年 2680 元。[@00_微笑.gif]");
  talk.OnChatMessage(*ChatLine(3001, kMemberKindVisitor, "专业版支持电话回拨吗？我的手机号是13812345678"));
  SendTyped(*chat, "支持的，我稍后给您回电话。");
  SendTyped(*chat, "请问还有别的问题吗？");
  talk.OnChatMessage(*ChatLine(3003, kMemberKindVisitor, "客户端安装到一半报错了"));
  talk.OnChatMessage(*ChatLine(kGalleryColleague, kMemberKindAgent, "三点的例会别忘了。"));
  // The last send fails: the visitor has left.
  auto failure = std::make_unique<Message>();
  failure->command = kCommandChatMessage;
  failure->MESSAGE_ID = NextMessageId() - 1;  // the last send: nothing took an id since
  failure->RESULT = 6;
  talk.OnChatMessage(*failure);
  chat->Input()->AppendMarkup("好的，");
  QApplication::processEvents();
  bool ok = chat->grab().save(folder + "chat.png");

  // The emoticon picker above its button, the quick-message menu and the
  // stock-reply editor.
  chat->ShowFacePicker();
  QApplication::processEvents();
  ok = chat->FacePicker()->grab().save(folder + "face_picker.png") && ok;
  chat->FacePicker()->hide();
  const std::unique_ptr<QMenu> quickMenu = chat->BuildQuickMenu();
  quickMenu->popup(chat->Control(kChatQuickButtonId)->mapToGlobal(QPoint(0, kMenuBelowButton)));
  QApplication::processEvents();
  ok = quickMenu->grab().save(folder + "quick_menu.png") && ok;
  quickMenu->hide();
  QuickMsgEditDlg* editor = QuickMsgEditDlg::Shared(chat.get(), context);
  editor->show();
  editor->Content()->setText(QString::fromUtf8("请留下您的联系方式，我们稍后回电。"));
  QApplication::processEvents();
  ok = editor->grab().save(folder + "quick_editor.png") && ok;
  editor->hide();

  chat->hide();
  talk.OnChatMessage(*ChatLine(3003, kMemberKindVisitor, "下午三点以后都可以，[FACE]00_微笑[/FACE]"));
  if (BubbleNotifyDlg* bubble = chat->Bubble()) {
    QApplication::processEvents();
    ok = bubble->grab().save(folder + "bubble.png") && ok;
  }
  chat.reset();
  return ok;
}

// The settings window's two pages and the agent's own card.
bool DetailWindows(const QString& folder, WindowContext& context) {
  Records& records = context.records;
  records.agent.Update([](AgentRecord& r) {
    r.userName = "liming";
    r.sex = "男";
    r.age = "29";
    r.phone = "021-61234567";
    r.mobile = "13900001234";
    r.email = "liming@kanzo.example";
    r.qq = "10001";
    r.address = "上海市浦东新区世纪大道 100 号";
    r.zipcode = "200120";
    r.remark = "售前咨询，工作日 9:00-18:00";
    r.userGroup = "售前组";
  });
  DBManager::EnsureSetting(kGalleryAgent);
  SettingDlg settings(nullptr, context);
  settings.show();
  QApplication::processEvents();
  bool ok = settings.grab().save(folder + "settings_basic.png");
  settings.SelectTab(kSettingSelfTab);
  QApplication::processEvents();
  ok = settings.grab().save(folder + "settings_self.png") && ok;
  settings.hide();

  UserInfoDlg card(nullptr, records.agent);
  card.FillFromAgentRecord();
  card.show();
  QApplication::processEvents();
  return card.grab().save(folder + "agent_card.png") && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <output-folder> [<picture-folder>]\n", argv[0]);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  kanzo::platform::InitNarrowEncoding();
  QApplication app(argc, argv);
  kanzo::platform::QtUiLoop loop;
  kanzo::SkinKit::SetPictureFolder(argc > 2 ? argv[2] : KANZO_ASSET_FOLDER);
  kanzo::SkinKit::Init();
  const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + '/';
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
    return 1;
  }
  Gallery gallery(folder);
  HighLightButtons(gallery);
  IconTextButtons(gallery);
  StateButtons(gallery);
  MenuBitmaps(gallery);
  LogoPanels(gallery);
  Segments(gallery);
  SignalPanels(gallery);
  const QString dbFolder = folder + "chat-db/";
  QDir().mkpath(dbFolder);
  SetDatabasePath(dbFolder.toStdString() + kDatabaseFileName);
  DBManager::Init();
  // The windows' own context: records of their own, nothing sent.
  kanzo::Records records;
  kanzo::WindowRouter router;
  kanzo::StoredDatabase db;
  kanzo::WindowContext context{[](kanzo::Message&) { return -1; }, kanzo::platform::CurrentClock(), records, router,
                               db};
  const bool chatOk = ChatWindows(folder, context);
  const bool detailsOk = DetailWindows(folder, context);
  const bool listsOk = kanzo::ListWindows(folder, KANZO_SIM_DATA_FOLDER);
  const bool ok = gallery.WriteSheet() && chatOk && detailsOk && listsOk;
  std::printf("%zu pictures and gallery.png in %s\n", gallery.Count(), qPrintable(folder));
  return ok ? 0 : 1;
}
