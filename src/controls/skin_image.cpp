// Picture loading for SkinKit: paths, the shared picture cache, Image and
// Texture.
#include <QGuiApplication>
#include <QImageReader>
#include <QStringList>
#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>

#include "controls/skin_kit.h"
#include "log/cx_log.h"
#include "platform/program_folder.h"
#include "platform/qt/qt_text.h"

namespace kanzo::SkinKit {

// A loaded file: the pixels as stored and, ready for drawing, the same with
// the standard key removed.
struct PictureData {
  QImage pixels;  // ARGB32, straight alpha
  QImage keyed;   // ARGB32 premultiplied, 0xFF00FF pixels transparent
  QString frames;
  QString margins;
};

namespace {

// Text keys a texture file carries (PNG text chunks).
constexpr const char* kFramesKey = "frames";
constexpr const char* kMarginsKey = "margins";
constexpr const char* kTextureExtension = ".png";
constexpr int kMarginCount = 4;
constexpr QRgb kRgbMask = 0x00FFFFFF;

struct Library {
  std::mutex mutex;
  std::string folder;
  std::map<std::string, std::shared_ptr<const PictureData>> cache;
};

Library& Lib() {
  static Library lib;
  return lib;
}

QImage RemoveKey(const QImage& pixels, Colour key) {
  QImage out = pixels.convertToFormat(QImage::Format_ARGB32);
  if (key != kNoColourKey) {
    const QRgb match = key & kRgbMask;
    for (int y = 0; y < out.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
      for (int x = 0; x < out.width(); ++x)
        if ((row[x] & kRgbMask) == match) row[x] = 0;
    }
  }
  return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

std::shared_ptr<const PictureData> LoadPicture(const std::string& file) {
  {
    std::lock_guard<std::mutex> lock(Lib().mutex);
    const auto it = Lib().cache.find(file);
    if (it != Lib().cache.end()) return it->second;
  }
  QImageReader reader(platform::FromNarrow(file));
  QImage pixels = reader.read();
  if (pixels.isNull()) {
    KLOG_WARN("加载图片失败：%s %s", file.c_str(), platform::ToNarrow(reader.errorString()).c_str());
    return nullptr;
  }
  auto data = std::make_shared<PictureData>();
  data->pixels = pixels.convertToFormat(QImage::Format_ARGB32);
  data->keyed = RemoveKey(data->pixels, kTransparentKey);
  data->frames = pixels.text(kFramesKey);
  data->margins = pixels.text(kMarginsKey);
  std::lock_guard<std::mutex> lock(Lib().mutex);
  Lib().cache[file] = data;
  return data;
}

}  // namespace

QColor ToQColor(Colour colour) { return QColor((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF); }

bool Init() {
  if (PictureFolder().empty()) SetPictureFolder(platform::ProgramFolder());
  if (!QGuiApplication::instance()) {
    KLOG_ERROR("绘图库初始化失败：没有图形界面");
    return false;
  }
  const QList<QByteArray> formats = QImageReader::supportedImageFormats();
  const bool ready = formats.contains("png") && formats.contains("gif");
  if (!ready) KLOG_ERROR("绘图库初始化失败：缺少 PNG 或 GIF 图片格式");
  KLOG_INFO("绘图库初始化完成 图片目录：%s", PictureFolder().c_str());
  return ready;
}

void SetPictureFolder(const std::string& folder) {
  std::string f = folder;
  if (!f.empty() && f.back() != '/') f += '/';
  std::lock_guard<std::mutex> lock(Lib().mutex);
  Lib().folder = f;
}

std::string PictureFolder() {
  std::lock_guard<std::mutex> lock(Lib().mutex);
  return Lib().folder;
}

std::string ResolvePicturePath(const std::string& path) {
  std::string p = path;
  for (char& c : p)
    if (c == '\\') c = '/';
  std::error_code ec;
  if (!p.empty() && p.front() == '/' && std::filesystem::is_regular_file(p, ec)) return p;
  const std::size_t start = p.find_first_not_of('/');
  std::string folder = PictureFolder();
  if (folder.empty()) folder = platform::ProgramFolder();
  return folder + (start == std::string::npos ? std::string() : p.substr(start));
}

void ClearPictureCache() {
  std::lock_guard<std::mutex> lock(Lib().mutex);
  Lib().cache.clear();
}

Image::Image(const std::string& path, int flag) : path_(path), flag_(flag) {
  if (!path.empty()) data_ = LoadPicture(ResolvePicturePath(path));
}

int Image::Width() const { return data_ ? data_->pixels.width() : 0; }

int Image::Height() const { return data_ ? data_->pixels.height() : 0; }

QImage Image::Keyed(Colour key) const {
  if (!data_) return {};
  if (key == kTransparentKey) return data_->keyed;
  return RemoveKey(data_->pixels, key);
}

Texture::Texture(const std::string& path, int flag) {
  std::string file = path;
  const std::size_t slash = file.find_last_of("/\\");
  const std::size_t dot = file.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) file += kTextureExtension;
  image_ = Image(file, flag);
  image_.path_ = path;
  if (!image_.data_) return;

  const PictureData& data = *image_.data_;
  bool ok = true;
  int frames = 1;
  if (!data.frames.isEmpty()) frames = data.frames.trimmed().toInt(&ok);
  if (!ok || frames <= 0 || data.pixels.width() % frames != 0) {
    KLOG_WARN("贴图帧数无效：%s frames=%s", path.c_str(), platform::ToNarrow(data.frames).c_str());
    image_.data_.reset();
    return;
  }
  frames_ = frames;
  const int frameWidth = data.pixels.width() / frames;
  const int frameHeight = data.pixels.height();
  const QStringList parts = data.margins.split(',', Qt::SkipEmptyParts);
  if (parts.size() == kMarginCount) {
    int v[kMarginCount] = {};
    for (int i = 0; i < kMarginCount && ok; ++i) v[i] = parts[i].trimmed().toInt(&ok);
    if (ok) {
      // Margins that do not fit the frame are cut down to it.
      margins_.left = std::clamp(v[0], 0, frameWidth);
      margins_.right = std::clamp(v[2], 0, frameWidth - margins_.left);
      margins_.top = std::clamp(v[1], 0, frameHeight);
      margins_.bottom = std::clamp(v[3], 0, frameHeight - margins_.top);
    }
  }
  if (!ok) KLOG_WARN("贴图边距无效：%s margins=%s", path.c_str(), platform::ToNarrow(data.margins).c_str());
}

int Texture::Width() const { return frames_ > 0 ? image_.Width() / frames_ : 0; }

int Texture::Height() const { return frames_ > 0 ? image_.Height() : 0; }

void Texture::Rect(QRect* rect) const {
  if (rect) *rect = QRect(0, 0, Width(), Height());
}

QRect Texture::FrameRect(int frame) const {
  if (frame < 0 || frame >= frames_) return {};
  return QRect(frame * Width(), 0, Width(), Height());
}

}  // namespace kanzo::SkinKit
