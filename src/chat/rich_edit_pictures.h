#pragma once
// The pictures of one rich view: each file is loaded once and kept as an
// image resource of the view's document under a name of its own; GIFs
// animate through a QMovie that replaces the resource at every frame.
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QUrl>
#include <map>
#include <memory>
#include <string>

#include "chat/markup_format.h"

class QMovie;
class QTextCursor;
class QTextEdit;

namespace kanzo {

// Edge of a still picture in the view, in pixels.
inline constexpr int kStillPictureEdge = 20;

class RichEditPictures {
 public:
  explicit RichEditPictures(QTextEdit* view);
  ~RichEditPictures();
  RichEditPictures(const RichEditPictures&) = delete;
  RichEditPictures& operator=(const RichEditPictures&) = delete;

  // Inserts the picture at `cursor`; false when it could not be loaded. An
  // animated picture that fails shows the loader's error text in a box; a
  // still one is only logged.
  bool Insert(QTextCursor& cursor, const PicturePlacement& picture);

  // The current frame of a resource name this object gave out (the document
  // forgets its resources when it is cleared and asks again).
  QPixmap Frame(const QUrl& name) const;

 private:
  struct Entry {
    QUrl name;
    QSize size;
    QPixmap still;
    std::unique_ptr<QMovie> movie;
  };
  Entry* Load(const PicturePlacement& picture);

  QTextEdit* view_;
  std::map<std::string, std::unique_ptr<Entry>> byPath_;
  std::map<QString, Entry*> byName_;
  int nextId_ = 0;
};

}  // namespace kanzo
