// The committed program folder: every picture the windows name is there and
// loads with the frames they use; the emoticons and the sound are sound.
#include <gtest/gtest.h>

#include <QDir>
#include <QImageReader>

#include "controls/skin_kit.h"
#include "support/temp_dir.h"

namespace kanzo {
namespace {

std::string AssetFolder() { return KANZO_ASSET_FOLDER; }

class AssetsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinKit::ClearPictureCache();
    SkinKit::SetPictureFolder(AssetFolder());
  }
};

TEST_F(AssetsTest, EveryTextureLoadsWithItsFrames) {
  struct Case {
    const char* path;
    int frames;
  } cases[] = {
      {"Images\\Border", 2},
      {"\\Images\\InfoBorder", 1},
      {"Images\\DropArrow", 2},
      {"Images\\LoginState", 5},
      {"Images\\Shadow", 2},
      {"Images\\Signal", 5},
      {"Images\\RedCircle", 1},
      {"Images\\Delete", 2},
      {"\\Images\\InfoBg", 1},
      {"\\Images\\Setting", 2},
      {"\\Images\\BackgroundManage", 2},
      {"\\Images\\AddQuickMessage", 2},
      {"\\Images\\AddEmployee", 2},
      {"\\Images\\Face", 2},
      {"\\Images\\Font", 2},
      {"\\Images\\Refresh", 2},
      {"\\Images\\MessageIcon", 2},
      {"Segment/first", 2},
      {"Segment/button", 2},
      {"Segment/last", 2},
  };
  for (const Case& c : cases) {
    const SkinKit::Texture texture(c.path, SkinKit::kLoadSharp);
    EXPECT_EQ(texture.Frames(), c.frames) << c.path;
    EXPECT_GT(texture.Width(), 0) << c.path;
  }
  // The avatar frame fits the lists' 44-pixel frame around a 40-pixel picture.
  EXPECT_EQ(SkinKit::Texture("Images\\Shadow", 0).Width(), 44);
  // The tab strip sits in the 21 pixels the main window leaves above its panes.
  EXPECT_EQ(SkinKit::Texture("Segment/button", 0).Height(), 21);
}

TEST_F(AssetsTest, EveryPictureLoads) {
  for (const char* path :
       {"Images\\def_logo.png", "Images\\big_def_logo.png", "Images\\offline_logo.png", "Images\\big_offline_logo.png",
        "Images\\outline_logo.png", "Images\\big_outline_logo.png", "Images\\endtalk_logo.png",
        "Images\\big_endtalk_logo.png", "Images\\copy.png", "Images\\ItemBg.png", "Images\\tree_add.png",
        "Images\\tree_sub.png", "Images\\mark.png", "Images/kanzo.png", "Images/kanzo_away.png"}) {
    const SkinKit::Image image(path, SkinKit::kLoadSmooth);
    EXPECT_GT(image.Width(), 0) << path;
    EXPECT_GT(image.Height(), 0) << path;
  }
  EXPECT_EQ(SkinKit::Image("Images\\tree_add.png", 0).Width(), 11);
  EXPECT_EQ(SkinKit::Image("Images\\def_logo.png", 0).Width(), 40);
}

TEST_F(AssetsTest, FiftyEmoticonsInGridOrder) {
  QDir face(QString::fromStdString(AssetFolder() + "face"));
  const QStringList files = face.entryList(QStringList() << "*.gif", QDir::Files, QDir::Name);
  ASSERT_EQ(files.size(), 50);
  // Names carry the grid position first, then the picker's name for it.
  const struct {
    int index;
    const char* name;
  } named[] = {{0, "微笑"}, {4, "色"}, {10, "瞪大眼睛"}, {24, "嚎嚎大哭"}, {35, "红色心"}, {44, "囧"}, {49, "赞一个"}};
  for (const auto& n : named)
    EXPECT_EQ(files[n.index],
              QStringLiteral("%1_%2.gif").arg(n.index, 2, 10, QLatin1Char('0')).arg(QString::fromUtf8(n.name)));
  for (const QString& file : files) {
    QImageReader reader(face.filePath(file));
    EXPECT_EQ(reader.format(), "gif") << file.toStdString();
    const QImage first = reader.read();
    ASSERT_FALSE(first.isNull()) << file.toStdString();
    EXPECT_EQ(first.size(), QSize(28, 28)) << file.toStdString();
    // Round pictures: the corners are transparent.
    EXPECT_EQ(qAlpha(first.pixel(0, 0)), 0) << file.toStdString();
  }
  QImageReader heart(face.filePath(files[35]));
  EXPECT_GT(heart.imageCount(), 1);
}

TEST_F(AssetsTest, TheMessageSoundIsPlainPcm) {
  const std::string wav = test::ReadFile(AssetFolder() + "talkmessage.wav");
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(wav[20], 1);   // PCM
  EXPECT_EQ(wav[34], 16);  // bits per sample
  EXPECT_EQ(wav.substr(36, 4), "data");
  const auto u32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(wav[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(wav[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(wav[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(wav[at + 3])) << 24;
  };
  EXPECT_EQ(u32(40), wav.size() - 44);
  EXPECT_EQ(u32(4), wav.size() - 8);
}

}  // namespace
}  // namespace kanzo
