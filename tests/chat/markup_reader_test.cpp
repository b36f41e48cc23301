// Reading a view's content back as display markup and as wire text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chat/markup_document.h"
#include "chat/markup_reader.h"
#include "chat/markup_render.h"

namespace kanzo {
namespace {

constexpr const char* kFace = "/opt/kanzo/face/";

struct ReadCase {
  const char* name;
  std::string markup;  // what the document is given
  std::string display;
  std::string wire;
};

class MarkupReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(MarkupReadTest, ReadsBackBothForms) {
  const ReadCase& c = GetParam();
  MarkupDocument doc(kFace);
  AppendMarkup(doc, c.markup);
  EXPECT_EQ(ReadDisplayMarkup(doc), c.display);
  EXPECT_EQ(ReadWireText(doc), c.wire);
}

const ReadCase kReadCases[] = {
    {"EmptyView", "", "", ""},
    {"TypingFormatWord", "hello", "[#333333$0A]hello", "hello"},
    {"FaceAfterWord", "hello[@smile.gif]", "[#333333$0A]hello[@smile.gif]", "hello[FACE]smile[/FACE]"},
    {"FaceNameWithoutGif", "[@smile]", "[@smile]", "[FACE]smile[/FACE]"},
    {"EveryGifIsRemoved", "[@a.gif.gif]", "[@a.gif.gif]", "[FACE]a[/FACE]"},
    {"AbsolutePictureKeepsPath", "a[@C:\\pics\\x.bmp]", "[#333333$0A]a[@C:\\pics\\x.bmp]",
     "a"
     "C:\\pics\\x.bmp"},
    {"AbsoluteSlashPath", "[@/tmp/x.gif]", "[@/tmp/x.gif]", "/tmp/x.gif"},
    {"EffectsInOrderThenColourThenHeight", "[USIB#FF0000$0C]x", "[BIUS#FF0000$0C]x", "x"},
    // Each tag starts from the default format: what differs from it is
    // written again, and a return to it is written too.
    {"ColourAndHeightAreWrittenWhileNotDefault", "[#FF0000]a[#00FF00$0C]b[B#00FF00$0C]c",
     "[#FF0000$0A]a[#00FF00$0C]b[B#00FF00$0C]c", "abc"},
    {"DroppedEffectEndsTheBold", "[B]a[/]b", "[B#333333$0A]a[#333333]b", "ab"},
    {"BackToTheDefaultColourAndHeight", "[#FF0000$0C]a[/]b", "[#FF0000$0C]a[#333333$0A]b", "ab"},
    {"BlackStaysBlack", "[#000000]x", "[#000000$0A]x", "x"},
    {"LinkIsNeverWritten", "x[!]13812345678[>00C8]y", "[#333333$0A]x13812345678y", "x13812345678y"},
    {"ParagraphFormatsAreNeverWritten", "[C]a\n[>00C8]b", "[#333333$0A]a\nb", "a\nb"},
    {"HeightInWholePoints", "[$FF]x", "[#333333$FF]x", "x"},
    {"NotATagIsText", "[b]x", "[#333333$0A][bx", "[bx"},
    {"MultibyteText", "你好[@smile.gif]再见", "[#333333$0A]你好[@smile.gif]再见", "你好[FACE]smile[/FACE]再见"},
};

INSTANTIATE_TEST_SUITE_P(ReadBack, MarkupReadTest, testing::ValuesIn(kReadCases),
                         [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

// The characters of a view with the format each is shown in, and its
// pictures, run for run. Links are found again in the text, not written.
std::vector<std::string> FormattedRuns(const MarkupView& view) {
  struct Runs final : public MarkupContentSink {
    void OnText(std::string_view narrow, const CharFormat& format) override {
      for (char c : narrow) {
        CharFormat shown = format;
        shown.effects &= ~static_cast<std::uint32_t>(kEffectLink);
        if (!out.empty() && last == shown && out.back().front() != '@') {
          out.back().push_back(c);
          continue;
        }
        last = shown;
        out.push_back(std::to_string(shown.effects) + "/" + std::to_string(shown.colour) + "/" +
                      std::to_string(shown.heightTwips) + ":" + std::string(1, c));
      }
    }
    void OnPicture(std::string_view path, bool absolute) override {
      out.push_back("@" + std::string(path) + (absolute ? "!" : ""));
    }
    std::vector<std::string> out;
    CharFormat last;
  } runs;
  view.ReadContent(runs);
  return runs.out;
}

// What an agent typed goes out as it was typed: the display markup read
// back from a view renders to the same characters in the same formats.
TEST(MarkupReadBackTest, DisplayMarkupRoundTripsWithItsFormats) {
  const std::vector<std::string> inputs = {
      "hello[@smile.gif] world",
      "[B#FF0000]red bold[#00FF00$0C]green big[I]italic",
      "[B]bold[/]plain[#FF0000]red[/]grey[$0C]big[/]small",
      "[#000000]black[B#000000]black bold[#000000]black",
      "[U#123456$10]a[U#123456$10]b[S]c",
      "\n[#549954]小王 (09:05:01)\n[>00C8]你好[@cool.gif]\n",
      "[@C:\\x\\y.bmp][@/abs/z.gif]",
  };
  for (const auto& input : inputs) {
    MarkupDocument first(kFace);
    AppendMarkup(first, input);
    const std::string display = ReadDisplayMarkup(first);
    MarkupDocument second(kFace);
    AppendMarkup(second, display);
    EXPECT_EQ(FormattedRuns(second), FormattedRuns(first)) << input << " -> " << display;
    EXPECT_EQ(ReadWireText(second), ReadWireText(first)) << input;
  }
}

TEST(MarkupReadBackTest, FaceNamedByFullPathReadsBackAsName) {
  MarkupDocument doc(kFace);
  doc.InsertPicture({std::string(kFace) + "smile.gif", false, true});
  EXPECT_EQ(ReadDisplayMarkup(doc), "[@smile.gif]");
  EXPECT_EQ(ReadWireText(doc), "[FACE]smile[/FACE]");
}

TEST(MarkupReadBackTest, CopyToBufferNeedsRoomForTheZero) {
  char buffer[6] = "xxxxx";
  EXPECT_TRUE(CopyToBuffer("hello", buffer, 6));
  EXPECT_STREQ(buffer, "hello");
  EXPECT_FALSE(CopyToBuffer("hello!", buffer, 6));
  EXPECT_STREQ(buffer, "");
  EXPECT_TRUE(CopyToBuffer("", buffer, 1));
  EXPECT_FALSE(CopyToBuffer("a", buffer, 0));
}

}  // namespace
}  // namespace kanzo
