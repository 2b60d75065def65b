// Names and lines made UTF-8 for the tables and the page: characters cut by
// a field's width, and bytes that are no UTF-8.
#include "model/utf8_text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kFffd = "\xEF\xBF\xBD";

// A 25-byte field: `text` cut at 25 bytes or padded with blanks to them.
std::string field(const std::string& text) {
  return text.size() >= 25 ? text.substr(0, 25) : text + std::string(25 - text.size(), ' ');
}

}  // namespace

TEST(Utf8Text, WellFormedTextIsKeptAsItIs) {
  for (const std::string text : {"", "Mule deer", "Cerf \xC3\xA9lanc\xC3\xA9", "\xE2\x82\xAC 5", "\xF0\x9F\xA6\x8A",
                                 "\xF4\x8F\xBF\xBF", "\xED\x9F\xBF", "\xEE\x80\x80", "\x01\x7F"}) {
    EXPECT_TRUE(mv::isUtf8(text)) << text;
    bool replaced = true;
    EXPECT_EQ(mv::utf8Text(text, &replaced), text);
    EXPECT_FALSE(replaced) << text;
  }
}

TEST(Utf8Text, EachPieceThatIsNoCharacterBecomesOneReplacement) {
  const struct {
    std::string in;
    std::string out;
  } cases[] = {
      {"Pe\xF1\x61", "Pe" + kFffd + "a"},                   // Latin-1
      {"\x80\xBF", kFffd + kFffd},                          // stray continuation bytes
      {"\xC0\xAF", kFffd + kFffd},                          // overlong '/'
      {"\xE0\x80\xAF", kFffd + kFffd + kFffd},              // overlong, three bytes
      {"\xED\xA0\x80", kFffd + kFffd + kFffd},              // a surrogate
      {"\xF4\x90\x80\x80", kFffd + kFffd + kFffd + kFffd},  // beyond U+10FFFF
      {"\xF5\xFE\xFF", kFffd + kFffd + kFffd},              // never in UTF-8
      {"\xE2\x82\x41", kFffd + "A"},                        // a character cut short, then a letter
      {"\xF0\x9F\xA6 x", kFffd + " x"},                     // four bytes cut short
      {"ok \xE2\x82", "ok " + kFffd},                       // cut short by the end of a line
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(mv::isUtf8(c.in)) << c.in;
    bool replaced = false;
    EXPECT_EQ(mv::utf8Text(c.in, &replaced), c.out) << c.in;
    EXPECT_TRUE(replaced) << c.in;
    EXPECT_TRUE(mv::isUtf8(c.out));
  }
}

TEST(Utf8Text, AFieldIsCutBeforeTheCharacterItsWidthSplits) {
  const std::string ascii24 = "Station de la Haute Vall";  // 24 bytes
  bool replaced = true;
  // Two, three and four bytes across byte 25: the character is left out.
  EXPECT_EQ(mv::utf8Field(field(ascii24 + "\xC3\xA9" + "e"), &replaced), ascii24);
  EXPECT_FALSE(replaced);
  EXPECT_EQ(mv::utf8Field(field("Red fox of the far no" + std::string("\xE2\x82\xAC\xE2\x82\xAC")), &replaced),
            "Red fox of the far no\xE2\x82\xAC");
  EXPECT_FALSE(replaced);
  EXPECT_EQ(mv::utf8Field(field("Red fox of the far nort" + std::string("\xF0\x9F\xA6\x8A")), &replaced),
            "Red fox of the far nort");
  EXPECT_FALSE(replaced);
  // Blanks before the cut character were padding too.
  EXPECT_EQ(mv::utf8Field("Lynx" + std::string(20, ' ') + "\xC3", &replaced), "Lynx");
  EXPECT_FALSE(replaced);
  // A character that ends exactly at byte 25 stays; blanks go.
  EXPECT_EQ(mv::utf8Field(field("Cerf \xC3\xA9lanc\xC3\xA9"), &replaced), "Cerf \xC3\xA9lanc\xC3\xA9");
  EXPECT_EQ(mv::utf8Field(field(std::string(23, 'a') + "\xC3\xA9"), &replaced), std::string(23, 'a') + "\xC3\xA9");
  EXPECT_FALSE(replaced);
  // A character cut short inside the field, before blanks, is not a cut by
  // the width: it is replaced.
  EXPECT_EQ(mv::utf8Field(field("Lynx \xC3"), &replaced), "Lynx " + kFffd);
  EXPECT_TRUE(replaced);
  EXPECT_EQ(mv::utf8Field(field("Z\xFCrich"), &replaced), "Z" + kFffd + "rich");
  EXPECT_TRUE(replaced);
  // A 75-byte title.
  const std::string title = std::string(74, 't') + "\xE2\x82\xAC";
  EXPECT_EQ(mv::utf8Field(title.substr(0, 75), &replaced), std::string(74, 't'));
  EXPECT_FALSE(replaced);
}
