// The stock-reply tree, the quick-message menu, the editor and the emoticon
// picker as windows on the offscreen platform: what they show and what a
// click hands on. Each also writes its screenshot to
// <build>/screenshots/chat/.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <memory>
#include <string>
#include <vector>

#include "chat/face_dialog.h"
#include "chat/quick_lists.h"
#include "chat/quick_message_menu.h"
#include "chat/quick_message_tree_ctrl.h"
#include "chat/quick_msg_edit_dlg.h"
#include "chat/rich_edit.h"
#include "controls/skin_kit.h"
#include "net/network_future.h"
#include "platform/message_box.h"
#include "platform/qt/qt_text.h"
#include "protocol/commands.h"
#include "protocol/msg.h"
#include "support/qt_input.h"
#include "support/qt_pump.h"
#include "support/server_messages.h"
#include "support/temp_dir.h"
#include "support/window_context_fixture.h"

namespace kanzo {
namespace {

const std::string kAssets = std::string(KANZO_SOURCE_DIR) + "/assets/program/";

QString ShotPath(const char* name) {
  const QString folder = QString::fromUtf8(KANZO_BINARY_DIR) + "/screenshots/chat/";
  QDir().mkpath(folder);
  return folder + name;
}

using test::Mouse;

class QuickWindowsTest : public testing::Test {
 protected:
  void SetUp() override { SkinKit::SetPictureFolder(kAssets); }
};

TEST_F(QuickWindowsTest, TreeShowsSortedCategoriesFoldsOnlyTheSelectedAndPicksOnDoubleClick) {
  QuickLists lists;
  lists.SetFromBody(
      R"({"common":{"问候":[{"content":"您好，很高兴为您服务！","cmid":1},{"content":"请稍等，我查一下。","cmid":2}],)"
      R"("价格":[{"content":"专业版每年 1980 元，含 5 个客服席位。","cmid":3}],"默认":[]},"quick":[]})");
  QuickMessageTreeCtrl tree;
  tree.resize(180, 260);
  tree.Load(lists.Categories());
  std::vector<std::string> picked;
  tree.SetPickHandler([&](const std::string& content) { picked.push_back(content); });
  ASSERT_EQ(tree.VisibleRowCount(), 3);
  EXPECT_EQ(tree.RowText(0), "价格(1)");
  EXPECT_EQ(tree.RowText(1), "问候(2)");
  EXPECT_EQ(tree.RowText(2), "默认(0)");

  // Opening "问候" by its glyph, then "价格": both stay open, since a
  // category folds only while it is selected.
  Mouse(tree, QEvent::MouseButtonPress, tree.GlyphRect(1).center());
  Mouse(tree, QEvent::MouseButtonPress, tree.GlyphRect(0).center());
  ASSERT_EQ(tree.VisibleRowCount(), 6);
  EXPECT_EQ(tree.RowText(3), "您好，很高兴为您服务！");
  Mouse(tree, QEvent::MouseButtonPress, tree.GlyphRect(2).center());
  EXPECT_TRUE(tree.IsExpanded(1));

  // A double click on a message hands it on; on a category it only folds.
  Mouse(tree, QEvent::MouseButtonPress, tree.RowRect(4).center());
  Mouse(tree, QEvent::MouseButtonDblClick, tree.RowRect(4).center());
  EXPECT_EQ(picked, std::vector<std::string>{"请稍等，我查一下。"});
  EXPECT_EQ(tree.SelectedRow(), 4);
  Mouse(tree, QEvent::MouseMove, tree.RowRect(3).center());
  EXPECT_EQ(tree.HoveredRow(), 3);
  tree.grab().save(ShotPath("quick_tree.png"));

  Mouse(tree, QEvent::MouseButtonPress, tree.RowRect(2).center());
  Mouse(tree, QEvent::MouseButtonDblClick, tree.RowRect(2).center());
  EXPECT_FALSE(tree.IsExpanded(1));
  EXPECT_EQ(tree.VisibleRowCount(), 4);
  EXPECT_EQ(picked.size(), 1u);
}

// Leaving the tree sends no move: the 100 ms check finds the pointer gone
// and drops the hover.
TEST_F(QuickWindowsTest, TreeDropsTheHoverOnceThePointerHasLeft) {
  QuickLists lists;
  lists.SetFromBody(R"({"common":{"问候":[{"content":"您好"}]}})");
  QuickMessageTreeCtrl tree;
  tree.setGeometry(100, 100, 180, 260);
  tree.Load(lists.Categories());
  tree.show();
  QCursor::setPos(tree.mapToGlobal(tree.RowRect(0).center()));
  Mouse(tree, QEvent::MouseMove, tree.RowRect(0).center());
  ASSERT_EQ(tree.HoveredRow(), 0);
  // Still over the row: the check keeps it.
  test::PumpUntil([] { return false; }, 150);
  EXPECT_EQ(tree.HoveredRow(), 0);
  QCursor::setPos(tree.mapToGlobal(QPoint(-50, -50)));
  EXPECT_TRUE(test::PumpUntil([&] { return tree.HoveredRow() == -1; }));
}

TEST_F(QuickWindowsTest, MenuShowsQuickTextsAsWrittenWithTheirCommands) {
  QWidget owner;
  const std::unique_ptr<QMenu> menu =
      BuildQuickMessageMenu({"您好，请问有什么可以帮您？", "R&D 部门稍后回复", "好的"}, &owner);
  const QList<QAction*> actions = menu->actions();
  ASSERT_EQ(actions.size(), 3);
  EXPECT_EQ(actions[1]->text(), QString::fromUtf8("R&&D 部门稍后回复"));
  EXPECT_EQ(actions[0]->data().toInt(), 3025);
  EXPECT_EQ(actions[2]->data().toInt(), 3027);
  menu->popup(QPoint(0, 0));
  menu->grab().save(ShotPath("quick_menu.png"));
  menu->hide();
}

// A stock reply is server text: it goes into the input as typed text, a
// picture tag in it loads nothing, and the input's limit holds.
TEST_F(QuickWindowsTest, StockReplyReplacesTheDraftAsPlainTextWithinTheLimit) {
  RichEdit input;
  input.SetCharacterLimit(1024);
  input.setPlainText("a draft");
  input.ReplaceWithPlainText("[@/etc/passwd][B]hi");
  EXPECT_EQ(input.toPlainText(), QString("[@/etc/passwd][B]hi"));
  EXPECT_FALSE(input.toHtml().contains("<img"));
  input.ReplaceWithPlainText(std::string(1030, 'x'));
  EXPECT_EQ(input.toPlainText().size(), 1024);
}

TEST_F(QuickWindowsTest, EditorIsOneApplicationModalWindowThatTakesItsAnswers) {
  platform::MessageBoxRecorder boxes;
  QWidget chatWindow;
  QWidget mainWindow;
  test::TestWindowContext windows;
  QuickMsgEditDlg* editor = QuickMsgEditDlg::OpenShared(&chatWindow, windows.context);
  EXPECT_EQ(QuickMsgEditDlg::OpenShared(&mainWindow, windows.context), editor);
  EXPECT_EQ(editor->windowModality(), Qt::ApplicationModal);
  EXPECT_EQ(editor->windowTitle(), QString::fromUtf8("常用语"));
  EXPECT_TRUE(editor->Quick()->isChecked());

  platform::SendPayload(
      editor->Id(), kNetworkMessage, kNetworkEventMessage,
      test::Answer(kCommandQuickMsgClass, 0, R"({"cm":[{"name":"问候","id":2},{"name":"价格","id":1}]})"));
  ASSERT_EQ(editor->Category()->count(), 2);
  EXPECT_EQ(editor->Category()->itemText(0), QString::fromUtf8("价格"));
  EXPECT_EQ(editor->Category()->currentText(), QString::fromUtf8("价格"));
  editor->NotQuick()->setChecked(true);
  EXPECT_FALSE(editor->Quick()->isChecked());
  editor->Content()->setText(QString::fromUtf8("专业版支持多少个席位？"));
  editor->grab().save(ShotPath("quick_editor.png"));

  editor->Content()->clear();
  editor->SaveButton()->click();
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "常用语内容不能为空");
  editor->close();
  delete editor;
}

TEST_F(QuickWindowsTest, PickerShowsTheFolderFacesAndPicksTheHoveredOne) {
  test::TempDir folder;
  const QStringList faces =
      QDir(QString::fromStdString(kAssets + "face")).entryList({"*.gif"}, QDir::Files, QDir::Name);
  ASSERT_GE(faces.size(), 12);
  for (int i = 0; i < 12; ++i) {
    QFile::copy(QString::fromStdString(kAssets + "face/") + faces[i],
                QString::fromStdString(folder.File("")) + faces[i]);
  }
  test::WriteFile(folder.File("99_broken.gif"), "not a picture");

  QWidget owner;
  CFaceDialog picker(folder.path(), &owner);
  EXPECT_EQ(picker.FaceCount(), 12);
  std::vector<std::string> picked;
  picker.SetPickHandler([&](const std::string& path) { picked.push_back(path); });
  picker.show();

  // Cell 15 has no face: nothing is hovered and a click picks nothing.
  const QPoint cell15(5 * kFaceCellSize + 10, kFaceCellSize + 10);
  Mouse(picker, QEvent::MouseMove, cell15);
  EXPECT_EQ(picker.Hovered(), kNoFace);
  Mouse(picker, QEvent::MouseButtonPress, cell15);
  Mouse(picker, QEvent::MouseButtonRelease, cell15);
  EXPECT_TRUE(picked.empty());

  const QPoint cell11(1 * kFaceCellSize + 10, kFaceCellSize + 10);
  Mouse(picker, QEvent::MouseMove, cell11);
  EXPECT_EQ(picker.Hovered(), 11);
  EXPECT_EQ(picker.ToolTipText(), QString());  // index 11 has no name
  Mouse(picker, QEvent::MouseButtonPress, cell11);
  Mouse(picker, QEvent::MouseButtonRelease, cell11);
  ASSERT_EQ(picked.size(), 1u);
  EXPECT_EQ(picked[0], folder.File(faces[11].toStdString()));
  EXPECT_FALSE(picker.isVisible());
}

TEST_F(QuickWindowsTest, PickerOfTheShippedFacesNamesTheThirtySixthFace) {
  QWidget owner;
  owner.setGeometry(200, 400, 400, 300);
  QPushButton button(&owner);
  button.setGeometry(10, 200, 24, 24);
  owner.show();
  CFaceDialog picker(kAssets + "face", &owner);
  ASSERT_EQ(picker.FaceCount(), kFaceCellCount);
  picker.ShowAbove(&button);
  EXPECT_EQ(picker.geometry().left(), button.mapToGlobal(QPoint(0, 0)).x());
  EXPECT_EQ(picker.geometry().bottom() + 1, button.mapToGlobal(QPoint(0, 0)).y());
  EXPECT_EQ(picker.size(), QSize(361, 181));

  Mouse(picker, QEvent::MouseMove, QPoint(5 * kFaceCellSize + 10, 3 * kFaceCellSize + 10));
  EXPECT_EQ(picker.Hovered(), 35);
  EXPECT_EQ(picker.ToolTipText(), QString::fromUtf8("红色心"));

  // The picture with its tooltip, as the agent sees them.
  QImage shot(kFacePickerWidth + 80, kFacePickerHeight + 40, QImage::Format_RGB32);
  shot.fill(Qt::lightGray);
  QPainter painter(&shot);
  painter.drawPixmap(0, 0, picker.grab());
  for (QWidget* top : QApplication::topLevelWidgets()) {
    auto* label = qobject_cast<QLabel*>(top);
    if (label && label->isVisible() && label->text() == picker.ToolTipText()) {
      painter.drawPixmap(5 * kFaceCellSize + 20, 3 * kFaceCellSize + 30, label->grab());
    }
  }
  painter.end();
  shot.save(ShotPath("face_picker.png"));
}

}  // namespace
}  // namespace kanzo
