// The rich view on the offscreen platform: markup in, markup and wire text
// out, pictures, the send key, links, the edit menu and the font dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTimer>
#include <string>
#include <vector>

#include "chat/font_dlg.h"
#include "chat/qt_markup_format.h"
#include "chat/rich_edit.h"
#include "chat/rich_edit_pictures.h"
#include "chat/transcript_lines.h"
#include "platform/message_box.h"
#include "platform/window_message.h"
#include "support/qt_input.h"
#include "support/temp_dir.h"
#include "windows/client_vocabulary.h"

namespace kanzo {
namespace {

using platform::LParam;
using platform::MessageBoxResult;
using platform::MessageResult;
using platform::WParam;

struct Received {
  std::uint32_t message;
  WParam wParam;
  std::string text;
};

// Stands in for the chat window the views report to.
class RecordingWindow final : public platform::Window {
 public:
  MessageResult OnWindowMessage(std::uint32_t message, WParam wParam, LParam lParam) override {
    const std::string* text = message == kMsgCallPhone ? platform::BorrowPayload(kCallPhone, lParam) : nullptr;
    received.push_back({message, wParam, text ? *text : std::string()});
    return 0;
  }
  std::vector<Received> received;
};

// Writes a picture file; Qt reads a file by its content when the suffix
// does not fit, so a PNG serves as a one-frame GIF.
void WritePicture(const std::string& path, int width, int height, QColor colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG")) << path;
}

struct Picture {
  QTextImageFormat format;
  int position;
};

std::vector<Picture> Pictures(const QTextDocument* doc) {
  std::vector<Picture> pictures;
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      if (f.charFormat().isImageFormat()) pictures.push_back({f.charFormat().toImageFormat(), f.position()});
    }
  }
  return pictures;
}

class RichEditTest : public testing::Test {
 protected:
  void SetUp() override {
    WritePicture(faces.File("smile.gif"), 24, 24, Qt::yellow);
    WritePicture(faces.File("still.png"), 64, 48, Qt::blue);
    view.SetFaceFolder(faces.path());
    view.SetParentWindow(parent.Id());
    view.resize(400, 300);
    view.show();
  }

  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(&view, &press);
  }
  void Type(const QString& text) {
    for (const QChar c : text) Key(c.unicode(), Qt::NoModifier, QString(c));
  }
  void Enter(Qt::KeyboardModifiers modifiers = Qt::NoModifier) { Key(Qt::Key_Return, modifiers, QStringLiteral("\r")); }
  std::size_t SendKeyMessages() const {
    std::size_t n = 0;
    for (const auto& r : parent.received) n += r.message == kMsgSendKeyPressed ? 1 : 0;
    return n;
  }

  test::TempDir faces;
  RecordingWindow parent;
  platform::MessageBoxRecorder boxes;
  RichEdit view;
};

TEST_F(RichEditTest, EmptyViewReadsBackEmpty) {
  EXPECT_EQ(view.ReadDisplayMarkup(), "");
  EXPECT_EQ(view.ReadWireText(), "");
}

TEST_F(RichEditTest, FacePictureRoundTrip) {
  view.AppendMarkup("hello[@smile.gif]");
  EXPECT_EQ(view.ReadDisplayMarkup(), "[#333333$0A]hello[@smile.gif]");
  EXPECT_EQ(view.ReadWireText(), "hello[FACE]smile[/FACE]");
  const auto pictures = Pictures(view.document());
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures[0].format.property(kPicturePathProperty).toByteArray().toStdString(), faces.File("smile.gif"));
  EXPECT_FALSE(pictures[0].format.boolProperty(kPictureAbsoluteProperty));
  // A GIF keeps its own size; it is the animated kind.
  EXPECT_EQ(pictures[0].format.width(), 24);
  EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(RichEditTest, AbsoluteStillPictureIsScaledAndNamedByPath) {
  const std::string still = faces.File("still.png");
  view.AppendMarkup("a[@" + still + "]b");
  EXPECT_EQ(view.ReadDisplayMarkup(), "[#333333$0A]a[@" + still + "]b");
  EXPECT_EQ(view.ReadWireText(), "a" + still + "b");
  const auto pictures = Pictures(view.document());
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_TRUE(pictures[0].format.boolProperty(kPictureAbsoluteProperty));
  EXPECT_EQ(pictures[0].format.width(), kStillPictureEdge);
  EXPECT_EQ(pictures[0].format.height(), kStillPictureEdge);
  const QVariant resource = view.document()->resource(QTextDocument::ImageResource, QUrl(pictures[0].format.name()));
  EXPECT_EQ(resource.value<QPixmap>().size(), QSize(kStillPictureEdge, kStillPictureEdge));
}

TEST_F(RichEditTest, PickedFaceReadsBackAsItsName) {
  view.SetSendKeyMode(SendKeyMode::Enter);
  Type(QStringLiteral("hi"));
  view.InsertPicture(faces.File("smile.gif"), false);
  Type(QStringLiteral("!"));
  EXPECT_EQ(view.ReadDisplayMarkup(), "[#333333$0A]hi[@smile.gif]!");
  EXPECT_EQ(view.ReadWireText(), "hi[FACE]smile[/FACE]!");
}

TEST_F(RichEditTest, PicturesThatCannotLoad) {
  view.AppendMarkup("a[@nosuch.gif]b[@nosuch.png]c[@http://host/x.gif]d");
  EXPECT_TRUE(Pictures(view.document()).empty());
  EXPECT_EQ(view.ReadWireText(), "abcd");
  // Only the animated kind tells the agent, once per picture for the run,
  // however often a visitor sends it and in whichever view.
  view.AppendMarkup("[@nosuch.gif][@nosuch.gif]");
  RichEdit other;
  other.SetFaceFolder(view.FaceFolder());
  other.AppendMarkup("[@nosuch.gif]");
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "提示");
  EXPECT_FALSE(boxes.Boxes()[0].text.empty());
}

TEST_F(RichEditTest, PicturesComeBackAfterTheViewIsCleared) {
  view.AppendMarkup("[@smile.gif]");
  view.clear();
  view.AppendMarkup("x[@smile.gif]");
  const auto pictures = Pictures(view.document());
  ASSERT_EQ(pictures.size(), 1u);
  const QVariant resource = view.document()->resource(QTextDocument::ImageResource, QUrl(pictures[0].format.name()));
  EXPECT_FALSE(resource.value<QPixmap>().isNull());
}

TEST_F(RichEditTest, ParagraphFormats) {
  view.AppendMarkup("\n[#549954]me (10:00:00)\n[>00C8]text\n");
  view.AppendMarkup("[C][#999999] 消息发送失败\n");
  const QTextDocument* doc = view.document();
  ASSERT_GE(doc->blockCount(), 4);
  const QTextBlock header = doc->findBlockByNumber(1);
  const QTextBlock body = doc->findBlockByNumber(2);
  const QTextBlock notice = doc->findBlockByNumber(3);
  EXPECT_EQ(header.text(), QStringLiteral("me (10:00:00)"));
  EXPECT_EQ(header.blockFormat().intProperty(kIndentTwipsProperty), kDefaultIndentTwips);
  EXPECT_EQ(body.text(), QStringLiteral("text"));
  EXPECT_EQ(body.blockFormat().intProperty(kIndentTwipsProperty), 200);
  EXPECT_EQ(body.blockFormat().leftMargin(), TwipsToPixels(200, view.logicalDpiX()));
  EXPECT_TRUE(notice.blockFormat().alignment() & Qt::AlignHCenter);
  EXPECT_EQ(view.ReadWireText(), "\nme (10:00:00)\ntext\n 消息发送失败\n");
  EXPECT_EQ(view.ReadDisplayMarkup(), "[#333333$0A]\n[#549954]me (10:00:00)\n[#333333]text\n[#999999] 消息发送失败\n");
}

TEST_F(RichEditTest, FormatLeftByAnAppendCarriesOn) {
  view.AppendMarkup("[B#FF0000]x");
  view.AppendMarkup("y\r\nz");
  EXPECT_EQ(view.ReadDisplayMarkup(), "[B#FF0000$0A]xy\nz");
}

// A conversation's backlog goes in as one long markup text; it must end the
// same as the lines appended one by one, scrolled to the end, and the scroll
// bar shows only when the text does not fit.
TEST_F(RichEditTest, LongAppendEndsAsLineByLineAppends) {
  std::string backlog;
  RichEdit oneByOne;
  oneByOne.SetFaceFolder(faces.path());
  oneByOne.resize(view.size());
  oneByOne.show();
  for (int i = 0; i < 400; ++i) {
    const std::string line = "\n[#4895E1]访客5 (10:00:00)\n[>00C8]第" + std::to_string(i) + "行 [@smile.gif] 您好\n";
    backlog += line;
    oneByOne.AppendMarkup(line);
  }
  ASSERT_GE(backlog.size(), 16u * 1024u);
  view.AppendMarkup(backlog);
  EXPECT_EQ(view.ReadDisplayMarkup(), oneByOne.ReadDisplayMarkup());
  EXPECT_EQ(view.document()->toPlainText(), oneByOne.document()->toPlainText());
  EXPECT_EQ(view.verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
  EXPECT_TRUE(view.verticalScrollBar()->isVisible());
  EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
  EXPECT_EQ(view.document()->textWidth(), oneByOne.document()->textWidth());

  // As long in bytes, but only format tags around one letter: it fits, and
  // the bar goes again, the text laid out at the full width.
  view.clear();
  std::string tags;
  while (tags.size() < 16u * 1024u) tags += "[B]";
  view.AppendMarkup(tags + "x");
  EXPECT_EQ(view.document()->toPlainText(), QStringLiteral("x"));
  EXPECT_EQ(view.verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
  EXPECT_FALSE(view.verticalScrollBar()->isVisible());
  EXPECT_EQ(view.document()->textWidth(), view.viewport()->width());
}

// Entries of a conversation as the chat window makes them: lines of the
// visitor (with a face), the agent's own lines, and every few lines a grey
// notice or a visitor-moved notice, which are no paragraphs of their own.
std::vector<std::string> MixedEntries(int count, int noticeEvery) {
  std::vector<std::string> entries;
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    if (noticeEvery > 0 && i % noticeEvery == noticeEvery - 1) {
      entries.push_back(i % 2 ? NoticeLine("提示" + n) : VisitorMovedNotice("客服" + n));
    } else if (i % 3 == 0) {
      entries.push_back(OwnTranscriptLine("我", 36000 + i, "[B$0E]好的 " + n));
    } else {
      entries.push_back(IncomingTranscriptLine("[#4895E1]访客5", 36000 + i, "第" + n + "行[@smile.gif]您好"));
    }
  }
  return entries;
}

bool RunLoopUntilNoBacklog(const RichEdit& edit) {
  for (int turn = 0; turn < 1000 && edit.HasBacklog(); ++turn) QApplication::processEvents();
  return !edit.HasBacklog();
}

// A long run of entries goes in newest part first and the older parts above
// it on later turns of the loop. Once in, the view must hold exactly what one
// append of the whole run gives after a clear: text, character and paragraph
// formats (those of the paragraph marks too), pictures, and the end in view,
// whatever format the view was left in before.
TEST_F(RichEditTest, EntriesShownInPartsEndAsOneAppendOfThemAll) {
  struct Case {
    const char* name;
    int count;
    int noticeEvery;
    bool inParts;
  };
  for (const Case c : {Case{"chat lines", 1500, 0, true}, Case{"notices between", 1500, 7, true},
                       Case{"short", 30, 4, false}, Case{"notices only", 600, 1, false}}) {
    SCOPED_TRACE(c.name);
    RichEdit whole;
    whole.SetFaceFolder(faces.path());
    whole.resize(view.size());
    whole.show();
    for (RichEdit* edit : {&view, &whole}) edit->AppendMarkup("[$10#FF0000]left red");
    const std::vector<std::string> entries = MixedEntries(c.count, c.noticeEvery);
    std::string joined;
    for (const std::string& entry : entries) joined += entry;
    whole.ClearContent();
    whole.AppendMarkup(joined);

    view.ShowEntries(entries);
    EXPECT_EQ(view.HasBacklog(), c.inParts);
    // The newest lines show at once, at the end.
    EXPECT_EQ(view.document()->toPlainText().right(100), whole.document()->toPlainText().right(100));
    EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
    ASSERT_TRUE(RunLoopUntilNoBacklog(view));
    EXPECT_EQ(view.document()->toHtml(), whole.document()->toHtml());
    EXPECT_EQ(Pictures(view.document()).size(), Pictures(whole.document()).size());
    EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
    EXPECT_EQ(view.ReadDisplayMarkup(), whole.ReadDisplayMarkup());
  }
}

// Lines arriving, the agent scrolling back, reading and switching away while
// older entries still wait.
TEST_F(RichEditTest, EntriesStillWaitingKeepWhatTheAgentSees) {
  const std::vector<std::string> entries = MixedEntries(1500, 9);
  std::string joined;
  for (const std::string& entry : entries) joined += entry;
  const std::string arrived = IncomingTranscriptLine("[#4895E1]访客5", 50000, "新的一行");

  view.ShowEntries(entries);
  ASSERT_TRUE(view.HasBacklog());
  view.AppendMarkup(arrived);
  QScrollBar* bar = view.verticalScrollBar();
  bar->setValue(bar->maximum() / 2);
  const QString topLine = view.cursorForPosition(QPoint(0, 0)).block().text();
  ASSERT_TRUE(RunLoopUntilNoBacklog(view));
  EXPECT_EQ(view.cursorForPosition(QPoint(0, 0)).block().text(), topLine);
  EXPECT_LT(bar->value(), bar->maximum());
  RichEdit whole;
  whole.SetFaceFolder(faces.path());
  whole.AppendMarkup(joined + arrived);
  EXPECT_EQ(view.ReadDisplayMarkup(), whole.ReadDisplayMarkup());

  // Reading takes what still waits at once.
  view.ShowEntries(entries);
  ASSERT_TRUE(view.HasBacklog());
  whole.ClearContent();
  whole.AppendMarkup(joined);
  EXPECT_EQ(view.ReadDisplayMarkup(), whole.ReadDisplayMarkup());
  EXPECT_FALSE(view.HasBacklog());

  // Another conversation: nothing of this one comes in after.
  view.ShowEntries(entries);
  view.ClearContent();
  view.AppendMarkup("other");
  for (int turn = 0; turn < 50; ++turn) QApplication::processEvents();
  EXPECT_EQ(view.document()->toPlainText(), QStringLiteral("other"));
}

TEST_F(RichEditTest, SendKeyEnterMode) {
  view.SetSendKeyMode(SendKeyMode::Enter);
  Type(QStringLiteral("a"));
  Enter();
  EXPECT_EQ(SendKeyMessages(), 1u);
  Enter(Qt::ShiftModifier);
  EXPECT_EQ(SendKeyMessages(), 2u);
  Enter(Qt::ControlModifier);
  EXPECT_EQ(SendKeyMessages(), 2u);
  Type(QStringLiteral("b"));
  EXPECT_EQ(view.ReadWireText(), "a\nb");
  EXPECT_EQ(view.ReadDisplayMarkup(), "[#333333$0A]a\nb");
}

TEST_F(RichEditTest, SendKeyCtrlEnterMode) {
  view.SetSendKeyMode(SendKeyMode::CtrlEnter);
  Type(QStringLiteral("a"));
  Enter();
  Type(QStringLiteral("b"));
  EXPECT_EQ(SendKeyMessages(), 0u);
  Enter(Qt::ControlModifier);
  EXPECT_EQ(SendKeyMessages(), 1u);
  EXPECT_EQ(view.ReadWireText(), "a\nb");
}

TEST_F(RichEditTest, NoSendKeyMode) {
  Type(QStringLiteral("a"));
  Enter();
  Enter(Qt::ControlModifier);
  EXPECT_EQ(SendKeyMessages(), 0u);
  EXPECT_EQ(view.ReadWireText(), "a\n\n");
}

TEST_F(RichEditTest, CharacterLimit) {
  view.SetCharacterLimit(3);
  Type(QStringLiteral("abcde"));
  view.InsertPicture(faces.File("smile.gif"), false);
  EXPECT_EQ(view.ReadWireText(), "abc");
}

class RichEditLinkTest : public RichEditTest {
 protected:
  void SetUp() override {
    RichEditTest::SetUp();
    view.setReadOnly(true);
    view.SetLinkReporting(true);
    view.AppendMarkup("\n[#4895E1]访客5 (10:00:00)\n[>00C8]call [!]13812345678[>00C8] now\n");
    const QString plain = view.document()->toPlainText();
    linkStart = static_cast<int>(plain.indexOf(QStringLiteral("138")));
    ASSERT_GT(linkStart, 0);
  }
  // A point over the character at `position`.
  QPoint Over(int position) {
    QTextCursor at(view.document());
    at.setPosition(position);
    const QRect caret = view.cursorRect(at);
    return QPoint(caret.right() + 2, caret.center().y());
  }
  void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button) { test::Mouse(view.viewport(), type, pos, button); }
  int linkStart = 0;
};

TEST_F(RichEditLinkTest, HoverSelectsTheLink) {
  Mouse(QEvent::MouseMove, Over(linkStart + 3), Qt::NoButton);
  EXPECT_EQ(view.textCursor().selectedText(), QStringLiteral("13812345678"));
  view.setTextCursor(QTextCursor(view.document()));
  Mouse(QEvent::MouseMove, Over(linkStart - 3), Qt::NoButton);
  EXPECT_FALSE(view.textCursor().hasSelection());
}

TEST_F(RichEditLinkTest, ConfirmedClickAsksToCall) {
  boxes.QueueAnswer(MessageBoxResult::Ok);
  Mouse(QEvent::MouseButtonPress, Over(linkStart + 5), Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, Over(linkStart + 5), Qt::LeftButton);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "拨打电话");
  EXPECT_EQ(boxes.Boxes()[0].text, "即将拨打电话：13812345678");
  EXPECT_EQ(boxes.Boxes()[0].buttons, platform::MessageBoxButtons::OkCancel);
  ASSERT_EQ(parent.received.size(), 1u);
  EXPECT_EQ(parent.received[0].message, kMsgCallPhone);
  EXPECT_EQ(parent.received[0].wParam, kCallPhoneRequest);
  EXPECT_EQ(parent.received[0].text, "13812345678");
}

TEST_F(RichEditLinkTest, CancelledClickSendsNothing) {
  boxes.QueueAnswer(MessageBoxResult::Cancel);
  Mouse(QEvent::MouseButtonRelease, Over(linkStart + 1), Qt::LeftButton);
  EXPECT_EQ(boxes.Count(), 1u);
  EXPECT_TRUE(parent.received.empty());
  // A click beside the link asks nothing.
  Mouse(QEvent::MouseButtonRelease, Over(linkStart - 3), Qt::LeftButton);
  EXPECT_EQ(boxes.Count(), 1u);
}

// Shown blue and underlined; read back as the markup wrote it.
TEST_F(RichEditLinkTest, LinkLooksLikeOneAndReadsBackAsItsMarkup) {
  QTextCursor at(view.document());
  at.setPosition(linkStart + 1);
  EXPECT_EQ(at.charFormat().foreground().color(), QColor(0x00, 0x66, 0xCC));
  EXPECT_TRUE(at.charFormat().fontUnderline());
  const std::string markup = view.ReadDisplayMarkup();
  EXPECT_EQ(markup.find("0066CC"), std::string::npos) << markup;
  EXPECT_EQ(markup.find("U"), std::string::npos) << markup;
  EXPECT_NE(markup.find("13812345678"), std::string::npos) << markup;
}

struct MenuState {
  std::vector<QString> texts;
  std::vector<bool> enabled;
};

MenuState ReadMenu(RichEdit& view) {
  std::unique_ptr<QMenu> menu(view.CreateContextMenu());
  MenuState state;
  for (QAction* action : menu->actions()) {
    state.texts.push_back(action->isSeparator() ? QStringLiteral("-") : action->text());
    state.enabled.push_back(action->isEnabled());
  }
  return state;
}

TEST_F(RichEditTest, ContextMenuItemsAndGreying) {
  QApplication::clipboard()->clear();
  MenuState fresh = ReadMenu(view);
  const std::vector<QString> texts = {QStringLiteral("重做(R&)"), QStringLiteral("-"),
                                      QStringLiteral("剪贴(U&)"), QStringLiteral("复制(C&)"),
                                      QStringLiteral("粘贴(P&)"), QStringLiteral("清空(A&)"),
                                      QStringLiteral("-"),        QStringLiteral("选择全部(&S)"),
                                      QStringLiteral("-"),        QStringLiteral("选择字体(&F)")};
  EXPECT_EQ(fresh.texts, texts);
  // undo, cut, copy, paste, clear greyed; select all and font offered.
  EXPECT_EQ(fresh.enabled, (std::vector<bool>{false, true, false, false, false, false, true, true, true, true}));

  Type(QStringLiteral("abc"));
  view.selectAll();
  QApplication::clipboard()->setText(QStringLiteral("pasted"));
  MenuState typed = ReadMenu(view);
  EXPECT_EQ(typed.enabled, (std::vector<bool>{true, true, true, true, true, true, true, true, true, true}));

  view.setReadOnly(true);
  MenuState readOnly = ReadMenu(view);
  EXPECT_EQ(readOnly.enabled, (std::vector<bool>{false, true, false, true, false, false, true, true, true, true}));
}

TEST_F(RichEditTest, CopiedContentPastesWithItsFaces) {
  RichEdit transcript;
  transcript.SetFaceFolder(faces.path());
  transcript.setReadOnly(true);
  transcript.AppendMarkup("[#FF0000]red[@smile.gif]");
  transcript.selectAll();
  transcript.copy();
  view.paste();
  EXPECT_EQ(view.ReadDisplayMarkup(), "[#FF0000$0A]red[@smile.gif]");
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("red[FACE]smile[/FACE]"));
}

TEST_F(RichEditTest, PastedMarkupKeepsFacesButNoOtherPicture) {
  const std::string outside = faces.File("still.png");
  auto* mime = new QMimeData;
  const std::string markup = "a[@" + outside + "]b[@smile.gif]c[@../still.png]d";
  mime->setData(QLatin1String(RichEdit::kMarkupMimeType), QByteArray::fromStdString(markup));
  mime->setText(QStringLiteral("abcd"));
  QApplication::clipboard()->setMimeData(mime);
  view.paste();
  const auto pictures = Pictures(view.document());
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_FALSE(pictures[0].format.boolProperty(kPictureAbsoluteProperty));
  EXPECT_EQ(view.ReadWireText(), "ab[FACE]smile[/FACE]cd");
}

TEST_F(RichEditTest, FontDialogChoiceBecomesTypingFormat) {
  // The dialog offers the styles a family really has.
  const QString family = QStringLiteral("DejaVu Serif");
  if (!QFontDatabase::families().contains(family)) GTEST_SKIP() << "no font family with bold italic style";
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<FontDlg*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    seen = true;
    QFont font(family);
    font.setPointSize(14);
    font.setBold(true);
    font.setItalic(true);
    font.setUnderline(true);
    dialog->SetChoice(font, QColor(0xFF, 0x00, 0x00));
    dialog->accept();
  });
  // Never leaves a dialog open if the first timer missed it.
  QTimer::singleShot(5000, [] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
  });
  view.OpenFontDialog();
  ASSERT_TRUE(seen);
  EXPECT_EQ(view.TypingFormat().fontWeight(), kFontWeightBold);
  Type(QStringLiteral("x"));
  EXPECT_EQ(view.TypingFormat().fontFamilies().toStringList().value(0), family);
  EXPECT_EQ(view.ReadDisplayMarkup(), "[BIU#FF0000$0E]x");
}

}  // namespace
}  // namespace kanzo
