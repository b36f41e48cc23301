// The grammar of display markup, rendered into the in-memory document.
#include <gtest/gtest.h>

#include "support/gbk_locale.h"

#include <clocale>
#include <string>
#include <vector>

#include "chat/markup_describe.h"
#include "chat/markup_grammar.h"
#include "chat/markup_render.h"

namespace kanzo {
namespace {

using test::DescribeItems;
using test::DescribeParagraphs;

constexpr const char* kFace = "/opt/kanzo/face/";

struct RenderCase {
  const char* name;
  std::vector<std::string> appends;  // appended in order to one document
  std::string items;
  std::string paragraphs;
};

class MarkupRenderTest : public testing::TestWithParam<RenderCase> {};

TEST_P(MarkupRenderTest, RendersAsTheGrammarSays) {
  const RenderCase& c = GetParam();
  MarkupDocument doc(kFace);
  for (const auto& markup : c.appends) AppendMarkup(doc, markup);
  EXPECT_EQ(DescribeItems(doc), c.items);
  EXPECT_EQ(DescribeParagraphs(doc), c.paragraphs);
}

const RenderCase kRenderCases[] = {
    {"PlainTextTakesTheInsertionFormat", {"hello world"}, "(#333333/200)hello world", "L20"},
    {"BoldCode", {"[B]hello"}, "(B#333333/200)hello", "L20"},
    {"EveryEffectCode", {"[BIUS]x"}, "(BIUS#333333/200)x", "L20"},
    {"LowerCaseIsNotACode", {"[#FF0000]x", "[b]hello"}, "(#FF0000/200)x[bhello", "L20"},
    {"LoneClosingBracketMakesATagText", {"a]b"}, "(#333333/200)[ab", "L20"},
    {"IndentAndColourInOneTag", {"[>00C8#333333]text"}, "(#333333/200)text", "L200"},
    {"CentredNameLine", {"[C][#2183D2]name[C][#999999] rest"}, "(#2183D2/200)name(#999999/200) rest", "C20"},
    {"FormatsDoNotAccumulate", {"[B][#FF0000]x"}, "(#FF0000/200)x", "L20"},
    {"EmptyTagDoesNothing", {"[B]a[]b"}, "(B#333333/200)ab", "L20"},
    {"BracketInsideTagEndsItAsPlainText", {"[ab[B]c"}, "(#333333/200)ab(B#333333/200)c", "L20"},
    {"ClosingTagAloneRestoresDefault", {"[B#FF0000]a[/]b"}, "(B#FF0000/200)a(#333333/200)b", "L20"},
    {"CodesAfterClosingMarkApply", {"[/B]a[/x#00FF00]b"}, "(B#333333/200)a(#00FF00/200)b", "L20"},
    {"NonCodeInClosingTagRestoresDefault", {"[/I/U]a"}, "(U#333333/200)a", "L20"},
    {"LinkLastsUntilNextTag",
     {"call [!]13812345678[>00C8] now"},
     "(#333333/200)call (!#333333/200)13812345678(#333333/200) now",
     "L200"},
    {"LinkIgnoresRestOfTag", {"[!zz@/etc/x]a"}, "(!#333333/200)a", "L20"},
    {"HeightCode", {"[$0C]x"}, "(#333333/240)x", "L20"},
    {"HeightWithOneDigitSkipsTheCode", {"[$C]x"}, "(#333333/200)x", "C20"},
    {"HeightWithNonHexIsText", {"[$G1]x"}, "(#333333/200)[$G1x", "L20"},
    {"ColourWithTooFewCharactersSkipsHash", {"[#12345]x"}, "(#333333/200)[#12345x", "L20"},
    {"ColourWithTooFewCharactersThenCodes", {"[BI#]x"}, "(BI#333333/200)x", "L20"},
    {"ColourWithNonHexSkipsHash", {"[#GGGGGGB]x"}, "(#333333/200)[#GGGGGGBx", "L20"},
    {"ColourThenCode", {"[#2183d2B]x"}, "(B#2183D2/200)x", "L20"},
    {"IndentCode", {"[>0064]x"}, "(#333333/200)x", "L100"},
    {"IndentTooShortIsText", {"[>64]x"}, "(#333333/200)[>64x", "L20"},
    {"RightAlignment", {"[R]x"}, "(#333333/200)x", "R20"},
    {"TagAfterTagKeepsParagraph", {"[C][#999999]grey"}, "(#999999/200)grey", "C20"},
    {"TagAfterPlainResetsParagraph", {"[C]a[#999999]b"}, "(#333333/200)a(#999999/200)b", "L20"},
    {"FirstTagOfEachAppendSetsParagraph", {"[C]a", "[#999999]b"}, "(#333333/200)a(#999999/200)b", "L20"},
    {"LineBreakStartsParagraphWithSameFormat", {"[>00C8]a\nb[C]c"}, "(#333333/200)a\nbc", "L200 C20"},
    {"InsertionFormatPersistsBetweenAppends", {"[B]x", "y"}, "(B#333333/200)xy", "L20"},
    {"FacePicture", {"[@smile.gif]"}, "(@/opt/kanzo/face/smile.gif rg)", "L20"},
    {"CodesBeforePictureHaveNoEffect",
     {"[B]a[I@smile.gif]b"},
     "(B#333333/200)a(@/opt/kanzo/face/smile.gif rg)(B#333333/200)b",
     "L20"},
    {"PictureKeepsParagraphOfGroup",
     {"[C][@smile.gif][#999999]x"},
     "(@/opt/kanzo/face/smile.gif rg)(#999999/200)x",
     "C20"},
    {"StillPictureByName", {"[@logo.png]"}, "(@/opt/kanzo/face/logo.png rs)", "L20"},
    {"DrivePathIsAbsolute", {"[@C:\\faces\\a.bmp]"}, "(@C:\\faces\\a.bmp as)", "L20"},
    {"SlashPathIsAbsolute", {"[@/tmp/pics/a.gif]"}, "(@/tmp/pics/a.gif ag)", "L20"},
    {"ShortColonNameIsRelative", {"[@a:b]"}, "(@/opt/kanzo/face/a:b rs)", "L20"},
    {"WebReferenceLoadsNothing", {"a[@http://host/x.gif]b"}, "(#333333/200)ab", "L20"},
    {"TranscriptLine",
     {"\n[#549954]小王 (09:05:01)\n[>00C8][#333333$0A]你好[@smile.gif]\n"},
     "(#333333/200)\n(#549954/200)小王 (09:05:01)\n(#333333/200)你好(@/opt/kanzo/face/smile.gif rg)(#333333/200)\n",
     "L20 L20 L200 L200"},
};

INSTANTIATE_TEST_SUITE_P(Grammar, MarkupRenderTest, testing::ValuesIn(kRenderCases),
                         [](const testing::TestParamInfo<RenderCase>& info) { return std::string(info.param.name); });

TEST(MarkupGrammarTest, TokensSplitAtBracketsOnly) {
  std::vector<std::string> seen;
  ForEachMarkupToken("a]b[c]]d[", true, [&](MarkupTokenKind kind, std::string_view text, std::size_t offset) {
    seen.push_back((kind == MarkupTokenKind::Tag ? "T:" : "P:") + std::string(text) + "@" + std::to_string(offset));
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"T:a@0", "P:b@2", "T:c@4", "P:d@7"}));
}

TEST(MarkupGrammarTest, AbsoluteReferences) {
  struct Case {
    const char* reference;
    bool absolute;
  } cases[] = {{"/x", true},    {"C:\\a", true}, {"C:ab", true},      {"C:a", false},
               {"ab:c", false}, {"", false},     {"smile.gif", false}};
  for (const auto& c : cases) EXPECT_EQ(IsAbsolutePictureReference(c.reference), c.absolute) << c.reference;
}

TEST(MarkupGrammarTest, ReadBackNameCutsAfterEitherSeparator) {
  EXPECT_EQ(PictureReadBackName("/opt/face/smile.gif", false), "smile.gif");
  EXPECT_EQ(PictureReadBackName("C:\\p\\face\\smile.gif", false), "smile.gif");
  EXPECT_EQ(PictureReadBackName("a\\b/c.gif", false), "c.gif");
  EXPECT_EQ(PictureReadBackName("/opt/face/smile.gif", true), "/opt/face/smile.gif");
  EXPECT_EQ(PictureReadBackName("smile", false), "smile");
}

// In GBK the second byte of a character may equal a bracket; it must not
// end a run or a tag.
using MarkupGbkTest = test::GbkLocaleTest;

TEST_F(MarkupGbkTest, GbkTrailBytesAreNotBrackets) {
  // 0x81 0x5D is a GBK character whose trail byte is ']'.
  const std::string text =
      "\x81\x5D"
      "a[B]b";
  std::vector<std::string> seen;
  ForEachMarkupToken(text, false, [&](MarkupTokenKind kind, std::string_view t, std::size_t) {
    seen.push_back((kind == MarkupTokenKind::Tag ? "T:" : "P:") + std::string(t));
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"P:\x81\x5D"
                                            "a",
                                            "T:B", "P:b"}));
}

TEST(MarkupGrammarTest, NarrowPrefixNeverSplitsACharacter) {
  const std::string text = "13812345678你好";
  EXPECT_EQ(NarrowPrefixWithin(text, 12), "13812345678");
  EXPECT_EQ(NarrowPrefixWithin(text, 14), "13812345678你");
  EXPECT_EQ(NarrowPrefixWithin(text, 100), text);
}

}  // namespace
}  // namespace kanzo
