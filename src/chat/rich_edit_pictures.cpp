#include "chat/rich_edit_pictures.h"

#include <QImageReader>
#include <QMovie>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextImageFormat>
#include <set>
#include <string>

#include "chat/qt_markup_format.h"
#include "log/cx_log.h"
#include "platform/message_box.h"
#include "platform/qt/qt_text.h"

namespace kanzo {
namespace {

constexpr const char* kPictureUrlScheme = "kanzo-picture";
constexpr const char* kPictureErrorCaption = "提示";

// A picture that fails is reported once per run: a visitor who sends the
// same missing face a hundred times must not open a hundred boxes.
bool FirstFailureOf(const std::string& path) {
  static std::set<std::string> reported;
  return reported.insert(path).second;
}

}  // namespace

RichEditPictures::RichEditPictures(QTextEdit* view) : view_(view) {}

RichEditPictures::~RichEditPictures() {
  // Movies go first: a frame must not reach a view that is being destroyed.
  for (auto& [path, entry] : byPath_) {
    if (entry->movie) {
      QObject::disconnect(entry->movie.get(), nullptr, nullptr, nullptr);
      entry->movie->stop();
    }
  }
}

RichEditPictures::Entry* RichEditPictures::Load(const PicturePlacement& picture) {
  const auto found = byPath_.find(picture.path);
  if (found != byPath_.end()) return found->second.get();

  const QString file = platform::FromNarrow(picture.path);
  auto entry = std::make_unique<Entry>();
  entry->name = QUrl(QStringLiteral("%1:%2").arg(QLatin1String(kPictureUrlScheme)).arg(nextId_));
  if (picture.animated) {
    auto movie = std::make_unique<QMovie>(file);
    if (!movie->isValid() || !movie->jumpToFrame(0)) {
      if (!FirstFailureOf(picture.path)) return nullptr;
      const QString error = movie->lastErrorString();
      KLOG_WARN("动画图片加载失败：%s %s", picture.path.c_str(), platform::ToNarrow(error).c_str());
      platform::ShowMessageBox(kPictureErrorCaption, platform::ToNarrow(error), platform::MessageBoxIcon::Warning);
      return nullptr;
    }
    movie->setCacheMode(QMovie::CacheAll);
    entry->size = movie->currentPixmap().size();
    QMovie* raw = movie.get();
    const QUrl name = entry->name;
    QTextEdit* view = view_;
    QObject::connect(raw, &QMovie::frameChanged, view_, [view, raw, name](int) {
      view->document()->addResource(QTextDocument::ImageResource, name, raw->currentPixmap());
      view->viewport()->update();
    });
    entry->movie = std::move(movie);
    if (raw->frameCount() != 1) raw->start();
  } else {
    QImageReader reader(file);
    const QImage image = reader.read();
    if (image.isNull()) {
      if (!FirstFailureOf(picture.path)) return nullptr;
      KLOG_WARN("图片加载失败：%s %s", picture.path.c_str(), platform::ToNarrow(reader.errorString()).c_str());
      return nullptr;
    }
    entry->still = QPixmap::fromImage(
        image.scaled(kStillPictureEdge, kStillPictureEdge, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    entry->size = entry->still.size();
  }
  ++nextId_;
  Entry* raw = entry.get();
  byName_[raw->name.toString()] = raw;
  byPath_.emplace(picture.path, std::move(entry));
  return raw;
}

QPixmap RichEditPictures::Frame(const QUrl& name) const {
  const auto found = byName_.find(name.toString());
  if (found == byName_.end()) return {};
  const Entry* entry = found->second;
  return entry->movie ? entry->movie->currentPixmap() : entry->still;
}

bool RichEditPictures::Insert(QTextCursor& cursor, const PicturePlacement& picture) {
  Entry* entry = Load(picture);
  if (entry == nullptr) return false;
  view_->document()->addResource(QTextDocument::ImageResource, entry->name, Frame(entry->name));
  QTextImageFormat format;
  format.setName(entry->name.toString());
  format.setWidth(entry->size.width());
  format.setHeight(entry->size.height());
  format.setProperty(kPicturePathProperty,
                     QByteArray(picture.path.data(), static_cast<qsizetype>(picture.path.size())));
  format.setProperty(kPictureAbsoluteProperty, picture.absolute);
  cursor.insertImage(format);
  return true;
}

}  // namespace kanzo
