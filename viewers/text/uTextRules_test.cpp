#include "viewers/text/uTextRules.h"

#include <gtest/gtest.h>

#include "tests/TestSupport.h"

namespace {

TEST(TextRules, StripBackspaces) {
  struct {
    std::u16string in, out;
    int count;
  } cases[] = {
      {u"\b\babc\bd", u"abd", 3},
      {u"a\b\bX", u"X", 2},  // the second backspace becomes the first character
      {u"ab\b\b", u"", 2},
      {u"_\bA_\bB", u"AB", 2},
      {u"plain", u"plain", 0},
      {u"\b", u"", 1},
  };
  for (auto& c : cases) {
    std::u16string t = c.in;
    int steps = 0;
    EXPECT_EQ(StripBackspaces(t, [&](int64_t, int64_t) { ++steps; }), c.count);
    EXPECT_EQ(t, c.out);
  }
}

class TextTexts : public testsupport::tPlainPlatformTest {};

TEST_F(TextTexts, Messages) {
  EXPECT_EQ(CharCountText(1234567), "1,234,567 characters ");
  EXPECT_EQ(LineCountText(12), "12 lines");
  EXPECT_EQ(DecodeFailureText("C:\\m.txt", 1, 12), "C:\\m.txt damaged at line 12");
  EXPECT_EQ(DecodeFailureText("C:\\m.txt", 2, 3), "C:\\m.txt incomplete at line 3");
  EXPECT_EQ(DecodeSuccessText("C:\\m.txt", "a.gif", ""), "C:\\m.txt decoded to a.gif");
  EXPECT_EQ(DecodeSuccessText("C:\\m.txt", "a.gif", "m.uue"),
            "C:\\m.txt decoded to a.gif and renamed to m.uue");
  const std::string f = PrintHeaderFormat("12/10/2026", "8:15:00 PM", "C:\\100%.txt");
  EXPECT_EQ(PrintHeaderText(f, 3), "Page 3   12/10/2026  8:15:00 PM     C:\\100%.txt");
  EXPECT_EQ(HtmlNameOf("C:\\A.HTM"), "C:\\A.HTM");
  EXPECT_EQ(HtmlNameOf("C:\\a.txt"), "");
}

// A text control as a string, searched as the rich edit does (forward, in a span).
struct tStringTarget : tTextTarget {
  std::u16string text;
  int64_t start = 0, length = 0;
  int64_t SelStart() override { return start; }
  int64_t SelLength() override { return length; }
  void SetSelection(int64_t s, int64_t l) override {
    start = s;
    length = l;
  }
  std::u16string SelText() override { return text.substr(static_cast<size_t>(start), static_cast<size_t>(length)); }
  void ReplaceSelection(const std::u16string& with) override {
    text.replace(static_cast<size_t>(start), static_cast<size_t>(length), with);
    length = static_cast<int64_t>(with.size());
  }
  int64_t TextLength() override { return static_cast<int64_t>(text.size()); }
  int64_t SearchText(const std::u16string& what, int64_t from, int64_t span, bool, bool matchCase) override {
    for (int64_t i = from; i + static_cast<int64_t>(what.size()) <= from + span; ++i) {
      const std::u16string part = text.substr(static_cast<size_t>(i), what.size());
      if (matchCase ? part == what : SameTextIgnoringCase(part, what)) return i;
    }
    return -1;
  }
};

TEST(TextFind, NeverWrapsAndSearchesInsideASelection) {
  tStringTarget t;
  t.text = u"one two one two";
  EXPECT_TRUE(FindInTarget(t, u"two", false, false));
  EXPECT_EQ(t.start, 4);
  EXPECT_TRUE(FindInTarget(t, u"TWO", false, false));  // the found text is skipped first
  EXPECT_EQ(t.start, 12);
  EXPECT_FALSE(FindInTarget(t, u"two", false, false));  // no wrap to the start
  EXPECT_EQ(t.length, 0);
  // A selection that is not the text: only inside it.
  t.SetSelection(0, 6);
  EXPECT_FALSE(FindInTarget(t, u"one two one", false, false));
  t.SetSelection(2, 8);
  EXPECT_TRUE(FindInTarget(t, u"two", false, false));
  EXPECT_EQ(t.start, 4);
  EXPECT_FALSE(FindInTarget(t, u"One", false, true));
}

TEST(TextFind, Replace) {
  tStringTarget t;
  t.text = u"a cat, a cat";
  EXPECT_EQ(ReplaceInTarget(t, u"cat", u"dog", false, false, false), 1);
  EXPECT_EQ(t.text, u"a dog, a cat");
  EXPECT_EQ(ReplaceSound(1, false), 2);
  t.SetSelection(0, 0);
  EXPECT_EQ(ReplaceInTarget(t, u"a", u"aa", false, false, true), 3);
  EXPECT_EQ(t.text, u"aa dog, aa caat");  // never looks into what it put in
  EXPECT_EQ(ReplaceSound(3, true), 1);
  const std::u16string before = t.text;
  t.SetSelection(0, 0);
  EXPECT_EQ(ReplaceInTarget(t, u"zebra", u"x", false, false, true), 0);
  EXPECT_EQ(t.text, before);
  EXPECT_EQ(ReplaceSound(0, true), 0);
}

}  // namespace
