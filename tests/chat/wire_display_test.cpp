// Wire text shown as display markup, and the rule that text from the network
// names pictures of the face folder only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chat/markup_document.h"
#include "chat/markup_render.h"
#include "chat/wire_display.h"

namespace kanzo {
namespace {

constexpr const char* kFace = "/opt/kanzo/face/";

struct ConvertCase {
  const char* name;
  std::string wire;
  std::string display;
};

class WireDisplayTest : public testing::TestWithParam<ConvertCase> {};

TEST_P(WireDisplayTest, Converts) { EXPECT_EQ(ConvertWireTextForDisplay(GetParam().wire), GetParam().display); }

const ConvertCase kConvertCases[] = {
    {"PlainTextUnchanged", "hello 你好", "hello 你好"},
    {"FaceBecomesPicture", "hi[FACE]smile[/FACE]!", "hi[@smile.gif]!"},
    {"SeveralFaces", "[FACE]a[/FACE][FACE]b[/FACE]", "[@a.gif][@b.gif]"},
    {"FormattingTagsStay", "[B]bold[#FF0000]red[b]", "[B]bold[#FF0000]red[b]"},
    {"FaceNameWithParent", "x[FACE]../../etc/passwd[/FACE]y", "x[]y"},
    {"FaceNameWithBackslash", "[FACE]sub\\x[/FACE]", "[]"},
    {"FaceNameAbsolute", "[FACE]/etc/passwd[/FACE]", "[]"},
    {"FaceNameDrive", "[FACE]C:\\x[/FACE]", "[]"},
    {"FaceNameWeb", "[FACE]http://host/x[/FACE]", "[]"},
    {"DirectAbsolutePicture", "see [@/home/agent/secret.png] now", "see [] now"},
    {"DirectDrivePicture", "[@D:\\a\\b.bmp]", "[]"},
    {"DirectFaceNameStays", "[@smile.gif]", "[@smile.gif]"},
    {"PictureAfterCodes", "[B#FF0000@/etc/x.gif]", "[]"},
    {"PictureInClosingTag", "[/@/etc/x.gif]", "[]"},
    {"TagWithoutOpeningBracket", "x]@/etc/passwd]y", "x]]y"},
    {"TagStartingTheText", "@../x.png]y", "]y"},
    {"EmptyReference", "[@]", "[]"},
    {"LinkSwallowsPictureCode", "[!@/etc/x]", "[!@/etc/x]"},
    {"NotATagIsKept", "[ab@/etc/x]", "[ab@/etc/x]"},
};

INSTANTIATE_TEST_SUITE_P(Wire, WireDisplayTest, testing::ValuesIn(kConvertCases),
                         [](const testing::TestParamInfo<ConvertCase>& info) { return std::string(info.param.name); });

TEST(FaceFolderNameTest, OnlyPlainNamesInsideTheFolder) {
  struct Case {
    const char* reference;
    bool allowed;
  } cases[] = {{"smile.gif", true}, {"smile", true},      {"a b.gif", true},  {"", false},
               {"../x.gif", false}, {"a..gif", false},    {"a/b.gif", false}, {"a\\b.gif", false},
               {"/x.gif", false},   {"C:\\x.gif", false}, {"C:xy", false},    {"http://x", false}};
  for (const auto& c : cases) EXPECT_EQ(IsFaceFolderName(c.reference), c.allowed) << c.reference;
  EXPECT_FALSE(IsFaceFolderName(std::string_view("a\0b.gif", 7)));
}

// Whatever a visitor writes, a transcript line built from it shows pictures
// of the face folder only.
TEST(FaceFolderNameTest, TranscriptLinesFromTheNetworkShowFaceFolderPicturesOnly) {
  const std::vector<std::string> bodies = {
      "[FACE]smile[/FACE][@/etc/passwd]",
      "a]b]@/root/x.gif]",
      "[#FF0000>00C8C@C:\\Windows\\x.bmp]",
      "[FACE]..[/FACE][FACE]x/../../y[/FACE]",
      "[[[@/x]]]@/y",
      "[/B/@../z.gif]",
      "@/tmp/a.gif",
  };
  for (const auto& body : bodies) {
    MarkupDocument doc(kFace);
    AppendMarkup(doc, "\n[#4895E1]访客5 (10:00:00)\n[>00C8]" + ConvertWireTextForDisplay(body) + "\n");
    for (const auto& item : doc.Items()) {
      if (!item.isPicture) continue;
      EXPECT_FALSE(item.picture.absolute) << body;
      ASSERT_TRUE(item.picture.path.starts_with(kFace)) << body;
      EXPECT_TRUE(IsFaceFolderName(item.picture.path.substr(std::string(kFace).size()))) << body;
    }
  }
}

}  // namespace
}  // namespace kanzo
