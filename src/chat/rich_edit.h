#pragma once
// The rich text view of chat transcripts and inputs: renders display markup,
// reads its content back as display markup or wire text, shows face
// pictures (GIFs animate), reports link runs and the send key to its parent
// window, and offers the edit menu and the font dialog.
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chat/entry_backlog.h"
#include "chat/markup_view.h"
#include "platform/window_message.h"

class QMenu;

namespace kanzo {

class RichEditPictures;

// Which key combination sends; the numbers are the agent's stored choice.
enum class SendKeyMode : int {
  None = -1,      // read-only views: Enter is an ordinary key
  CtrlEnter = 0,  // Ctrl+Enter sends
  Enter = 1,      // Enter sends (Shift+Enter too); Ctrl+Enter breaks the line
};

class RichEdit : public QTextEdit, public MarkupView {
  Q_OBJECT
 public:
  // Clipboard format of our own content: its display markup (narrow).
  static constexpr const char* kMarkupMimeType = "application/x-kanzo-markup";
  // The most bytes of a link's text that a click passes on.
  static constexpr std::size_t kLinkTextMaxBytes = 511;

  explicit RichEdit(QWidget* parent = nullptr);
  ~RichEdit() override;

  // Renders display markup after the content and scrolls to the end.
  void AppendMarkup(std::string_view markup);
  // Replaces the content with `entries` (display markup each, oldest first)
  // and shows the end. A long run goes in newest part first; the older
  // parts go in above it over the next turns of the event loop, keeping
  // what the view shows in place. Reading the content takes them all.
  void ShowEntries(std::vector<std::string> entries);
  // Puts in at once whatever of the entries still waits.
  void FinishBacklog();
  bool HasBacklog() const { return !backlog_.empty(); }
  // Empties the view, dropping what still waits.
  void ClearContent();
  // The whole content as display markup / wire text.
  std::string ReadDisplayMarkup() const;
  std::string ReadWireText() const;
  // The same into a caller's buffer with its terminating zero; false (and an
  // empty buffer) when the text does not fit.
  bool ReadDisplayMarkup(char* buffer, std::size_t size) const;
  bool ReadWireText(char* buffer, std::size_t size) const;

  // Inserts a picture at the caret, as "[@...]" does, keeping `path` and
  // `absolute` so that reading back names it again.
  void InsertPicture(std::string_view path, bool absolute);
  // Replaces the whole content with `narrow` as plain text in the typing
  // format, cut to the character limit: text from the server (a stock
  // reply) never goes through the markup, whose picture tags load files.
  void ReplaceWithPlainText(std::string_view narrow);

  void SetSendKeyMode(SendKeyMode mode) { sendKeyMode_ = mode; }
  SendKeyMode GetSendKeyMode() const { return sendKeyMode_; }
  // The folder relative picture names are looked up in (trailing "/").
  void SetFaceFolder(std::string folder) { faceFolder_ = std::move(folder); }
  // The window told of the send key (3025) and of confirmed links (2033).
  void SetParentWindow(platform::WindowId window) { parentWindow_ = window; }
  platform::WindowId ParentWindow() const { return parentWindow_; }
  // Link runs select themselves on hover and ask to call on click.
  void SetLinkReporting(bool on);
  // Most characters the agent may type or paste (0: no limit). Each
  // picture counts as one.
  void SetCharacterLimit(int limit) { characterLimit_ = limit; }
  int CharacterCount() const;

  // The format typed text takes; the font dialog changes it.
  const QTextCharFormat& TypingFormat() const { return typingFormat_; }
  void SetTypingFormat(const QTextCharFormat& format) { typingFormat_ = format; }
  // Opens the font dialog; on OK the choice becomes the typing format.
  void OpenFontDialog();

  // The edit menu as it would open now (caller owns it).
  QMenu* CreateContextMenu();
  void ShowContextMenu(const QPoint& globalPos);

  // The text of the link run at a viewport point, if there is one.
  bool LinkAt(const QPoint& viewportPos, int* start, int* end) const;

  // MarkupView
  std::string FaceFolder() const override { return faceFolder_; }
  void MoveInsertionToEnd() override;
  void InsertText(std::string_view narrow) override;
  void SetInsertionFormat(const CharFormat& format) override;
  void SetParagraphFormat(const ParaFormat& format) override;
  void InsertPicture(const PicturePlacement& picture) override;
  void ScrollToEnd() override;
  void ReadContent(MarkupContentSink& sink) const override;

 protected:
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  QVariant loadResource(int type, const QUrl& name) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  QMimeData* createMimeDataFromSelection() const override;

 private:
  void ReadRange(MarkupContentSink& sink, int from, int to) const;
  bool IsSendKey(const QKeyEvent* event) const;
  // Characters that may still be added, after removing `replacing`.
  int RoomLeft(int replacing) const;
  void ClickLink(int start, int end);
  // Renders markup at the insertion point as one edit.
  void InsertMarkupInOneEdit(std::string_view markup);
  // The format a part's first text takes.
  QTextCharFormat FormatBefore(const BacklogPart& part) const;
  void InsertBacklogPart(const BacklogPart& part);

  std::string faceFolder_;
  SendKeyMode sendKeyMode_ = SendKeyMode::None;
  platform::WindowId parentWindow_ = platform::kNoWindow;
  bool linkReporting_ = false;
  int characterLimit_ = 0;
  QTextCharFormat typingFormat_;
  // Converted once when set: a backlog inserts thousands of runs in few
  // formats.
  QTextCharFormat insertionFormat_;
  // Where the markup operations insert: the end when appending, the caret
  // when pasting or placing a face.
  QTextCursor markupCursor_;
  std::unique_ptr<RichEditPictures> pictures_;
  // Older entries of the last ShowEntries still to go in, the format the
  // first of them starts in, and the turn of the loop that puts in the next
  // part.
  EntryBacklog backlog_;
  QTextCharFormat backlogStartFormat_;
  QTimer backlogTimer_;
};

}  // namespace kanzo
