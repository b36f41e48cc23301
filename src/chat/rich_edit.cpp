#include "chat/rich_edit.h"

#include <QAbstractTextDocumentLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>

#include "chat/markup_document.h"
#include "chat/markup_grammar.h"
#include "chat/markup_reader.h"
#include "chat/markup_render.h"
#include "chat/qt_markup_format.h"
#include "chat/rich_edit_pictures.h"
#include "chat/wire_display.h"
#include "platform/message_box.h"
#include "platform/program_folder.h"
#include "platform/qt/qt_text.h"
#include "windows/client_vocabulary.h"

namespace kanzo {
namespace {

constexpr const char* kFaceFolderName = "face/";
constexpr const char* kCallPhoneCaption = "拨打电话";
constexpr const char* kCallPhoneText = "即将拨打电话：%s";
// Markup this long (a conversation's backlog) surely fills more than a view.
constexpr std::size_t kLongAppendBytes = 16 * 1024;
// Entries shown at once, and put in above them per turn of the loop: each
// part is laid out in a few milliseconds, and the first fills several
// views.
constexpr std::size_t kBacklogPartBytes = 24 * 1024;

// Qt marks line breaks inside text with these; the markup knows only "\n".
QString NormaliseLineBreaks(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  text.replace(QChar::LineSeparator, QLatin1Char('\n'));
  return text;
}

bool IsLinkFormat(const QTextCharFormat& format) { return format.boolProperty(kLinkProperty); }

}  // namespace

RichEdit::RichEdit(QWidget* parent)
    : QTextEdit(parent),
      faceFolder_(platform::ProgramFolder() + kFaceFolderName),
      typingFormat_(ToQtCharFormat(kMarkupDefaultFormat)),
      insertionFormat_(ToQtCharFormat(CharFormat{})),
      markupCursor_(document()),
      pictures_(std::make_unique<RichEditPictures>(this)) {
  setAcceptRichText(false);
  // The edit menu opens when the right button is released, not pressed.
  setContextMenuPolicy(Qt::DefaultContextMenu);
  QTextBlockFormat block = textCursor().blockFormat();
  ApplyParaFormat(kDefaultParaFormat, logicalDpiX(), &block);
  textCursor().setBlockFormat(block);
  setCurrentCharFormat(typingFormat_);
  document()->clearUndoRedoStacks();
  backlogTimer_.setSingleShot(true);
  backlogTimer_.setInterval(0);
  connect(&backlogTimer_, &QTimer::timeout, this, [this] {
    InsertBacklogPart(backlog_.TakeNewestPart(kBacklogPartBytes));
    if (!backlog_.empty()) backlogTimer_.start();
  });
}

void RichEdit::changeEvent(QEvent* event) {
  // A transcript only grows by appending; an undo history of it would only
  // cost memory.
  if (event->type() == QEvent::ReadOnlyChange) document()->setUndoRedoEnabled(!isReadOnly());
  QTextEdit::changeEvent(event);
}

RichEdit::~RichEdit() = default;

void RichEdit::SetLinkReporting(bool on) {
  linkReporting_ = on;
  viewport()->setMouseTracking(on);
}

int RichEdit::CharacterCount() const {
  // The document always ends with one paragraph mark of its own.
  return document()->characterCount() - 1;
}

int RichEdit::RoomLeft(int replacing) const {
  if (characterLimit_ <= 0) return INT_MAX;
  return std::max(0, characterLimit_ - (CharacterCount() - replacing));
}

// MarkupView ----------------------------------------------------------------

void RichEdit::MoveInsertionToEnd() {
  markupCursor_ = QTextCursor(document());
  markupCursor_.movePosition(QTextCursor::End);
}

void RichEdit::InsertText(std::string_view narrow) {
  markupCursor_.insertText(NormaliseLineBreaks(platform::FromNarrow(narrow)), insertionFormat_);
}

void RichEdit::SetInsertionFormat(const CharFormat& format) { insertionFormat_ = ToQtCharFormat(format); }

void RichEdit::SetParagraphFormat(const ParaFormat& format) {
  QTextBlockFormat block = markupCursor_.blockFormat();
  ApplyParaFormat(format, logicalDpiX(), &block);
  markupCursor_.setBlockFormat(block);
}

void RichEdit::InsertPicture(const PicturePlacement& picture) { pictures_->Insert(markupCursor_, picture); }

void RichEdit::ScrollToEnd() {
  QTextCursor end = textCursor();
  end.movePosition(QTextCursor::End);
  setTextCursor(end);
  ensureCursorVisible();
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void RichEdit::ReadContent(MarkupContentSink& sink) const {
  // Entries still waiting are content too: they go in before it is read.
  if (HasBacklog()) const_cast<RichEdit*>(this)->FinishBacklog();
  ReadRange(sink, 0, CharacterCount());
}

void RichEdit::ReadRange(MarkupContentSink& sink, int from, int to) const {
  const QTextDocument* doc = document();
  for (QTextBlock block = doc->findBlock(from); block.isValid() && block.position() <= to; block = block.next()) {
    // The paragraph mark before a block reads as "\n" in the format it was
    // inserted with.
    const int mark = block.position() - 1;
    if (block != doc->begin() && mark >= from && mark < to) sink.OnText("\n", FromQtCharFormat(block.charFormat()));
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const int start = std::max(from, fragment.position());
      const int end = std::min(to, fragment.position() + fragment.length());
      if (start >= end) continue;
      const QTextCharFormat format = fragment.charFormat();
      const QString text = fragment.text().mid(start - fragment.position(), end - start);
      if (format.isImageFormat()) {
        const QByteArray path = format.property(kPicturePathProperty).toByteArray();
        const bool absolute = format.boolProperty(kPictureAbsoluteProperty);
        for (int i = 0; i < text.size(); ++i) {
          sink.OnPicture(std::string_view(path.constData(), static_cast<std::size_t>(path.size())), absolute);
        }
        continue;
      }
      QString plain = NormaliseLineBreaks(text);
      plain.remove(QChar::ObjectReplacementCharacter);
      if (!plain.isEmpty()) sink.OnText(platform::ToNarrow(plain), FromQtCharFormat(format));
    }
  }
}

// The markup interface of the view -------------------------------------------

void RichEdit::InsertMarkupInOneEdit(std::string_view markup) {
  // One edit block per markup text: the document is laid out once, not after
  // every run, tag and picture.
  markupCursor_.beginEditBlock();
  InsertMarkup(*this, markup);
  markupCursor_.endEditBlock();
}

void RichEdit::AppendMarkup(std::string_view markup) {
  // A long text into a view without a scroll bar would be laid out once at
  // the full width and, when the bar then appears, once again at the
  // narrower one. The bar is held on while it goes in, so that it is laid
  // out at the width it will be shown at; should it fit after all, the bar
  // goes again as before.
  const bool holdBar = markup.size() >= kLongAppendBytes && verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded &&
                       !verticalScrollBar()->isVisible();
  if (holdBar) setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MoveInsertionToEnd();
  InsertMarkupInOneEdit(markup);
  if (holdBar) setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  ScrollToEnd();
}

void RichEdit::ShowEntries(std::vector<std::string> entries) {
  ClearContent();
  backlogStartFormat_ = insertionFormat_;
  const BacklogPart newest = backlog_.Start(std::move(entries), kBacklogPartBytes);
  insertionFormat_ = FormatBefore(newest);
  AppendMarkup(newest.markup);
  if (!backlog_.empty()) backlogTimer_.start();
}

void RichEdit::FinishBacklog() {
  backlogTimer_.stop();
  // All of it as one part: one edit and one layout.
  if (!backlog_.empty()) InsertBacklogPart(backlog_.TakeNewestPart(std::numeric_limits<std::size_t>::max()));
}

void RichEdit::ClearContent() {
  backlogTimer_.stop();
  backlog_.Clear();
  clear();
}

QTextCharFormat RichEdit::FormatBefore(const BacklogPart& part) const {
  return part.formatBefore ? ToQtCharFormat(*part.formatBefore) : backlogStartFormat_;
}

void RichEdit::InsertBacklogPart(const BacklogPart& part) {
  // What the agent looks at stays put: the end when the view was at the
  // end, otherwise the same lines, moved down by what went in above them.
  QScrollBar* bar = verticalScrollBar();
  const bool atEnd = bar->value() >= bar->maximum();
  const int valueBefore = bar->value();
  const qreal heightBefore = document()->documentLayout()->documentSize().height();
  const QTextCharFormat endFormat = insertionFormat_;
  insertionFormat_ = FormatBefore(part);
  markupCursor_ = QTextCursor(document());
  InsertMarkupInOneEdit(part.markup);
  insertionFormat_ = endFormat;
  if (atEnd) {
    ScrollToEnd();
    return;
  }
  const qreal added = document()->documentLayout()->documentSize().height() - heightBefore;
  bar->setValue(valueBefore + static_cast<int>(std::lround(added)));
}

std::string RichEdit::ReadDisplayMarkup() const { return ::kanzo::ReadDisplayMarkup(*this); }

std::string RichEdit::ReadWireText() const { return ::kanzo::ReadWireText(*this); }

bool RichEdit::ReadDisplayMarkup(char* buffer, std::size_t size) const {
  return CopyToBuffer(ReadDisplayMarkup(), buffer, size);
}

bool RichEdit::ReadWireText(char* buffer, std::size_t size) const { return CopyToBuffer(ReadWireText(), buffer, size); }

void RichEdit::InsertPicture(std::string_view path, bool absolute) {
  if (isReadOnly() || RoomLeft(textCursor().selectedText().size()) < 1) return;
  PicturePlacement picture;
  picture.path = std::string(path);
  picture.absolute = absolute;
  picture.animated = picture.path.find(kAnimatedPictureMark) != std::string::npos;
  markupCursor_ = textCursor();
  markupCursor_.removeSelectedText();
  InsertPicture(picture);
  setTextCursor(markupCursor_);
}

void RichEdit::ReplaceWithPlainText(std::string_view narrow) {
  QString text = NormaliseLineBreaks(platform::FromNarrow(narrow));
  if (characterLimit_ > 0 && text.size() > characterLimit_) {
    int keep = characterLimit_;
    // Never half a surrogate pair.
    if (text.at(keep - 1).isHighSurrogate()) --keep;
    text.truncate(keep);
  }
  clear();
  QTextCursor cursor(document());
  cursor.insertText(text, typingFormat_);
  setTextCursor(cursor);
}

// Keys ------------------------------------------------------------------------

bool RichEdit::IsSendKey(const QKeyEvent* event) const {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
  const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
  switch (sendKeyMode_) {
    case SendKeyMode::CtrlEnter: return ctrl;
    case SendKeyMode::Enter: return !ctrl;
    case SendKeyMode::None: return false;
  }
  return false;
}

void RichEdit::keyPressEvent(QKeyEvent* event) {
  if (IsSendKey(event)) {
    event->accept();
    platform::SendWindowMessage(parentWindow_, kMsgSendKeyPressed, 0, 0);
    return;
  }
  if (isReadOnly()) {
    QTextEdit::keyPressEvent(event);
    return;
  }
  QTextCursor cursor = textCursor();
  const int selected = static_cast<int>(cursor.selectedText().size());
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // Every Enter that does not send breaks the paragraph, whatever the
    // modifiers; the new paragraph keeps the indent of the old one.
    event->accept();
    if (RoomLeft(selected) < 1) return;
    cursor.removeSelectedText();
    cursor.insertBlock(cursor.blockFormat(), typingFormat_);
    setTextCursor(cursor);
    ensureCursorVisible();
    return;
  }
  const QString text = event->text();
  const bool typesText = !text.isEmpty() && text.at(0).isPrint() &&
                         !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
  if (typesText) {
    if (RoomLeft(selected) < text.size()) {
      event->accept();
      return;
    }
    if (cursor.hasSelection()) {
      cursor.removeSelectedText();
      setTextCursor(cursor);
    }
    setCurrentCharFormat(typingFormat_);
  }
  QTextEdit::keyPressEvent(event);
}

void RichEdit::inputMethodEvent(QInputMethodEvent* event) {
  if (!isReadOnly() && !event->commitString().isEmpty()) {
    QTextCursor cursor = textCursor();
    if (RoomLeft(static_cast<int>(cursor.selectedText().size())) < event->commitString().size()) {
      event->accept();
      return;
    }
    if (cursor.hasSelection()) {
      cursor.removeSelectedText();
      setTextCursor(cursor);
    }
    setCurrentCharFormat(typingFormat_);
  }
  QTextEdit::inputMethodEvent(event);
}

// Links -----------------------------------------------------------------------

bool RichEdit::LinkAt(const QPoint& viewportPos, int* start, int* end) const {
  const QPointF docPos(viewportPos.x() + horizontalScrollBar()->value(),
                       viewportPos.y() + verticalScrollBar()->value());
  const int position = document()->documentLayout()->hitTest(docPos, Qt::ExactHit);
  if (position < 0) return false;
  const QTextBlock block = document()->findBlock(position);
  // The link run is the stretch of link fragments around the position,
  // within its paragraph.
  int runStart = -1;
  int runEnd = -1;
  bool hit = false;
  for (auto it = block.begin(); !it.atEnd(); ++it) {
    const QTextFragment fragment = it.fragment();
    const int fStart = fragment.position();
    const int fEnd = fStart + fragment.length();
    if (!IsLinkFormat(fragment.charFormat()) || fragment.charFormat().isImageFormat()) {
      if (hit) break;
      runStart = -1;
      continue;
    }
    if (runStart < 0) runStart = fStart;
    runEnd = fEnd;
    if (position >= fStart && position < fEnd) hit = true;
  }
  if (!hit) return false;
  *start = runStart;
  *end = runEnd;
  return true;
}

void RichEdit::mouseMoveEvent(QMouseEvent* event) {
  int start = 0;
  int end = 0;
  if (linkReporting_ && event->buttons() == Qt::NoButton && LinkAt(event->position().toPoint(), &start, &end)) {
    viewport()->setCursor(Qt::PointingHandCursor);
    setFocus(Qt::MouseFocusReason);
    QTextCursor selection(document());
    selection.setPosition(start);
    selection.setPosition(end, QTextCursor::KeepAnchor);
    if (textCursor().selectionStart() != start || textCursor().selectionEnd() != end) setTextCursor(selection);
    event->accept();
    return;
  }
  if (linkReporting_) viewport()->setCursor(isReadOnly() ? Qt::ArrowCursor : Qt::IBeamCursor);
  QTextEdit::mouseMoveEvent(event);
}

void RichEdit::ClickLink(int start, int end) {
  QTextCursor selection(document());
  selection.setPosition(start);
  selection.setPosition(end, QTextCursor::KeepAnchor);
  setTextCursor(selection);
  const std::string whole = platform::ToNarrow(selection.selectedText());
  const std::string number(NarrowPrefixWithin(whole, kLinkTextMaxBytes));
  const int length = std::snprintf(nullptr, 0, kCallPhoneText, number.c_str());
  std::string prompt(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(prompt.data(), prompt.size(), kCallPhoneText, number.c_str());
  prompt.resize(static_cast<std::size_t>(length));
  const platform::MessageBoxResult answer = platform::ShowMessageBox(
      kCallPhoneCaption, prompt, platform::MessageBoxIcon::Question, platform::MessageBoxButtons::OkCancel);
  if (answer != platform::MessageBoxResult::Ok) return;
  platform::SendPayload(parentWindow_, kCallPhone, kCallPhoneRequest, number);
}

void RichEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    event->accept();
    ShowContextMenu(event->globalPosition().toPoint());
    return;
  }
  int start = 0;
  int end = 0;
  if (linkReporting_ && event->button() == Qt::LeftButton && LinkAt(event->position().toPoint(), &start, &end)) {
    event->accept();
    ClickLink(start, end);
    return;
  }
  QTextEdit::mouseReleaseEvent(event);
}

void RichEdit::contextMenuEvent(QContextMenuEvent* event) {
  // The mouse opens the menu on release (mouseReleaseEvent); only the
  // keyboard's menu key comes this way.
  event->accept();
  if (event->reason() == QContextMenuEvent::Mouse) return;
  ShowContextMenu(event->globalPos());
}

// Pictures and the clipboard ------------------------------------------------

QVariant RichEdit::loadResource(int type, const QUrl& name) {
  if (type == QTextDocument::ImageResource) {
    const QPixmap frame = pictures_->Frame(name);
    if (!frame.isNull()) return frame;
  }
  return QTextEdit::loadResource(type, name);
}

bool RichEdit::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasFormat(QLatin1String(kMarkupMimeType)) || source->hasText();
}

void RichEdit::insertFromMimeData(const QMimeData* source) {
  if (isReadOnly()) return;
  QTextCursor cursor = textCursor();
  const int room = RoomLeft(static_cast<int>(cursor.selectedText().size()));
  const QString plain = NormaliseLineBreaks(source->text());
  const QByteArray markup = source->data(QLatin1String(kMarkupMimeType));
  cursor.beginEditBlock();
  cursor.removeSelectedText();
  if (!markup.isEmpty() && plain.size() <= room) {
    // Markup keeps its faces and formats. Any program can put it on the
    // clipboard, so it gets the rule of text from the network: no picture
    // from outside the face folder.
    markupCursor_ = cursor;
    InsertMarkup(*this,
                 RemoveForeignPictures(std::string_view(markup.constData(), static_cast<std::size_t>(markup.size()))));
    cursor = markupCursor_;
  } else {
    cursor.insertText(plain.left(room), typingFormat_);
  }
  cursor.endEditBlock();
  setTextCursor(cursor);
  ensureCursorVisible();
}

QMimeData* RichEdit::createMimeDataFromSelection() const {
  auto* mime = new QMimeData;
  const QTextCursor cursor = textCursor();
  MarkupDocument selection(faceFolder_);
  struct Copy final : public MarkupContentSink {
    explicit Copy(MarkupDocument& d) : doc(d) {}
    void OnText(std::string_view narrow, const CharFormat& format) override {
      doc.SetInsertionFormat(format);
      doc.InsertText(narrow);
    }
    void OnPicture(std::string_view path, bool absolute) override {
      doc.InsertPicture({std::string(path), absolute, false});
    }
    MarkupDocument& doc;
  } copy(selection);
  ReadRange(copy, cursor.selectionStart(), cursor.selectionEnd());
  const std::string display = ::kanzo::ReadDisplayMarkup(selection);
  const std::string wire = ::kanzo::ReadWireText(selection);
  mime->setData(QLatin1String(kMarkupMimeType), QByteArray(display.data(), static_cast<qsizetype>(display.size())));
  mime->setText(platform::FromNarrow(wire));
  return mime;
}

}  // namespace kanzo
