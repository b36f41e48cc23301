#include "chat/quick_msg_edit_dlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include "chat/quick_requests.h"
#include "net/window_network_future.h"
#include "platform/qt/qt_text.h"
#include "protocol/commands.h"
#include "windows/client_vocabulary.h"
#include "workspace/window_factories.h"

namespace kanzo {
namespace {

constexpr int kWindowWidth = 360;
constexpr int kWindowHeight = 200;
constexpr int kLabelLeft = 20;
constexpr int kLabelWidth = 70;
constexpr int kFieldLeft = kLabelLeft + kLabelWidth;
constexpr int kFieldWidth = kWindowWidth - kFieldLeft - 20;
constexpr int kRowHeight = 24;
constexpr int kContentTop = 20;
constexpr int kCategoryTop = 60;
constexpr int kQuickTop = 100;
constexpr int kRadioWidth = 60;
constexpr int kSaveWidth = 80;
constexpr int kSaveTop = 150;
constexpr int kSaveHeight = 28;

}  // namespace

QuickMsgEditDlg* QuickMsgEditDlg::Shared(QWidget* owner, WindowContext& context) {
  // The one editor is the one in the router.
  if (auto* editor = context.router.Find<QuickMsgEditDlg>(kQuickMsgEditFactoryName)) return editor;
  return new QuickMsgEditDlg(owner, context);
}

QuickMsgEditDlg* QuickMsgEditDlg::OpenShared(QWidget* owner, WindowContext& context) {
  QuickMsgEditDlg* editor = Shared(owner, context);
  editor->open();
  return editor;
}

QuickMsgEditDlg::QuickMsgEditDlg(QWidget* parent, WindowContext& context)
    : QDialog(parent),
      context_(context),
      content_(new QLineEdit(this)),
      category_(new QComboBox(this)),
      quick_(new QRadioButton(platform::FromNarrow("是"), this)),
      notQuick_(new QRadioButton(platform::FromNarrow("否"), this)),
      save_(new QPushButton(platform::FromNarrow("保存"), this)) {
  setWindowTitle(platform::FromNarrow(kQuickEditCaption));
  setFixedSize(kWindowWidth, kWindowHeight);
  const auto label = [this](const char* text, int top) {
    auto* l = new QLabel(platform::FromNarrow(text), this);
    l->setGeometry(kLabelLeft, top, kLabelWidth, kRowHeight);
  };
  label("内容:", kContentTop);
  label("分类:", kCategoryTop);
  label("快捷消息:", kQuickTop);
  content_->setGeometry(kFieldLeft, kContentTop, kFieldWidth, kRowHeight);
  category_->setGeometry(kFieldLeft, kCategoryTop, kFieldWidth, kRowHeight);
  category_->setEditable(true);
  // The names come sorted from the editor; a typed name is not added.
  category_->setInsertPolicy(QComboBox::NoInsert);
  quick_->setGeometry(kFieldLeft, kQuickTop, kRadioWidth, kRowHeight);
  notQuick_->setGeometry(kFieldLeft + kRadioWidth, kQuickTop, kRadioWidth, kRowHeight);
  auto* pair = new QButtonGroup(this);
  pair->addButton(quick_);
  pair->addButton(notQuick_);
  quick_->setChecked(true);
  save_->setGeometry((kWindowWidth - kSaveWidth) / 2, kSaveTop, kSaveWidth, kSaveHeight);
  connect(save_, &QPushButton::clicked, this, [this] { SaveInfo(); });

  const auto currentAgent = [&context] { return context.records.agent.Copy(); };
  editor_ = std::make_unique<QuickMsgEditor>(*this, context.send, currentAgent, [&context, currentAgent] {
    // The chat window's lists follow: the answer reaches it through the
    // main window like every quick-lists answer.
    Msg msg = QuickListsRequest(currentAgent());
    Message message(true);
    message.command = kCommandGetQuickMessage;
    message.setBody(&msg);
    context.send(message);
  });
  WindowNetworkFuture::instance().registerWindow({kCommandQuickMsgNotice, kCommandSaveQuickMsg, kCommandQuickMsgClass},
                                                 Id());
  context_.router.Enter(kQuickMsgEditFactoryName, *this, this);
}

QuickMsgEditDlg::~QuickMsgEditDlg() {
  context_.router.Leave(kQuickMsgEditFactoryName, *this);
  WindowNetworkFuture::instance().unregisterWindow(Id());
}

void QuickMsgEditDlg::open() {
  // Whoever opens it: the one editor, kept after it is closed.
  setAttribute(Qt::WA_DeleteOnClose, false);
  setWindowModality(Qt::ApplicationModal);
  show();
  raise();
  activateWindow();
}

void QuickMsgEditDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  content_->clear();
  quick_->setChecked(true);
  editor_->Open();
}

void QuickMsgEditDlg::SaveInfo() {
  editor_->Save(platform::ToNarrow(content_->text()), platform::ToNarrow(category_->currentText()),
                quick_->isChecked());
}

platform::MessageResult QuickMsgEditDlg::OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                                         platform::LParam lParam) {
  if (message == kNetworkWindowMessage && wParam == kNetworkEventMessage) {
    const std::unique_ptr<Message> received = platform::TakePayload(kNetworkMessage, lParam);
    if (received) editor_->OnNetworkMessage(*received);
  }
  return 0;
}

void QuickMsgEditDlg::ShowCategories(const std::vector<std::string>& names, const std::string& selected) {
  category_->clear();
  for (const std::string& name : names) category_->addItem(platform::FromNarrow(name));
  category_->setCurrentIndex(category_->findText(platform::FromNarrow(selected), Qt::MatchExactly));
}

void QuickMsgEditDlg::ClearContent() { content_->clear(); }

void InstallQuickMsgEditWindowFactory(WindowFactories& factories) {
  factories.Set(kQuickMsgEditFactoryName, [](QWidget* parent, WindowContext& context) -> QWidget* {
    return QuickMsgEditDlg::Shared(parent, context);
  });
}

}  // namespace kanzo
