// SPDX-License-Identifier: GPL-3.0-or-later
// UTF-8 at the edges and the 1-based cutting helpers.
#include "engine/text.h"

#include <gtest/gtest.h>

#include "engine/failure.h"
#include "engine/variable_table.h"

namespace suusiki {
namespace {

TEST(Utf8Test, RoundTripsAndReplacesMalformedBytes) {
  const std::string valid = "A: ①～ｶﾙﾒﾛ★ 数式 \xF0\x9F\x98\x80";
  EXPECT_EQ(ToUtf8(FromUtf8(valid)), valid);
  EXPECT_EQ(FromUtf8("①").size(), 1u);  // a full-width character is one character
  // One, two, three and four bytes a character.
  EXPECT_EQ(ToUtf8(U"a\u00E9\u07FF\u0800\uFF76\U0001F600\U00020B9F"),
            "a\xC3\xA9\xDF\xBF\xE0\xA0\x80\xEF\xBD\xB6\xF0\x9F\x98\x80\xF0\xA0\xAE\x9F");
  const struct {
    std::string bytes;
    Text text;
  } malformed[] = {
      {"a\xFF"
       "b",
       U"a\uFFFDb"},
      {"\xC3", U"\uFFFD"},  // cut short at the end
      {"\x80", U"\uFFFD"},  // a continuation byte without a lead byte
      {"\xE2\x91"
       "x",
       U"\uFFFDx"},                         // cut short before an ASCII byte
      {"\xC0\xAF", U"\uFFFD"},              // over-long form of "/"
      {"\xED\xA0\x80", U"\uFFFD"},          // a surrogate
      {"\xED\xBF\xBF", U"\uFFFD"},          // the last surrogate
      {"\xED\x9F\xBF", U"\uD7FF"},          // the character just before them
      {"\xF4\x90\x80\x80", U"\uFFFD"},      // beyond U+10FFFF
      {"\xF4\x8F\xBF\xBF", U"\U0010FFFF"},  // the last code point is no fault
      {std::string("\0z", 2), Text(U"\0z", 2)},
  };
  for (const auto& c : malformed) EXPECT_EQ(FromUtf8(c.bytes), c.text);
}

TEST(CutTest, BehavesLikeTheClassicStringFunctions) {
  const Text t = U"abcde";
  EXPECT_EQ(Left(t, 2), U"ab");
  EXPECT_EQ(Left(t, 99), t);
  EXPECT_EQ(Right(t, 2), U"de");
  EXPECT_EQ(Right(t, 0), U"");
  EXPECT_EQ(Mid(t, 2), U"bcde");
  EXPECT_EQ(Mid(t, 6), U"");
  EXPECT_EQ(Mid(t, 2, 2), U"bc");
  EXPECT_EQ(Mid(t, 1, 2), U"ab");  // the first position is 1
  EXPECT_EQ(Mid(t, 1), t);
  EXPECT_EQ(InStr(t, U"a", 1), 1);
  EXPECT_THROW(InStr(t, U"a", 0), EngineError);
  EXPECT_EQ(InStr(t, U"cd"), 3);
  EXPECT_EQ(InStr(t, U"x"), 0);
  EXPECT_EQ(InStr(U"-1-2", U"-", 2), 3);
  EXPECT_THROW(Left(t, -1), EngineError);
  EXPECT_THROW(Right(t, -1), EngineError);
  EXPECT_THROW(Mid(t, 0), EngineError);
  EXPECT_THROW(Mid(t, 1, -1), EngineError);
  EXPECT_THROW(Mid(t, 0, 1), EngineError);
}

TEST(CutTest, InStrFindsTheFirstOccurrenceAtOrAfterTheStart) {
  const struct {
    const char32_t* haystack;
    const char32_t* needle;
    int start;
    int position;
  } cases[] = {
      {U"", U"+", 1, 0},         {U"", U"+-", 1, 0},       {U"+", U"+-", 1, 0},     {U"+-", U"+-", 1, 1},
      {U"1+2+-3", U"+-", 1, 4},  {U"1+2+-3", U"+-", 5, 0}, {U"1+2+-3", U"+", 3, 4}, {U"1+2+-", U"+-", 1, 4},
      {U"abc", U"c", 3, 3},      {U"abc", U"c", 4, 0},     {U"abc", U"", 4, 4},     {U"abc", U"", 5, 0},
      {U"abcabc", U"bca", 1, 2}, {U"ab", U"abc", 1, 0},    {U"aab", U"ab", 1, 2},   {U"x-y", U"-", 2, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InStr(c.haystack, c.needle, c.start), c.position)
        << ToUtf8(c.haystack) << " / " << ToUtf8(c.needle) << " from " << c.start;
  }
  EXPECT_THROW(InStr(U"abc", U"a", 0), EngineError);
}

TEST(EntryTest, SplitsEntriesOfAnyLength) {
  EXPECT_EQ(EntryFor(2, U"58*3"), U"C: 58*3");
  EXPECT_EQ(DefinitionOf(U"C: 58*3"), U"58*3");
  EXPECT_EQ(DefinitionOf(U"C:"), U"");  // hand-edited files may hold short entries
  EXPECT_EQ(EmptyTable()[25], U"Z: ");
}

}  // namespace
}  // namespace suusiki
