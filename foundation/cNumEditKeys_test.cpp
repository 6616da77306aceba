#include "foundation/cNumEditKeys.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
// Text with the caret as "|" and a selection between "[" and "]".
tNumEditState Parse(std::u16string s) {
  tNumEditState st;
  size_t open = s.find(u'['), bar = s.find(u'|');
  if (open != std::u16string::npos) {
    size_t close = s.find(u']');
    st.SelStart = static_cast<int>(open);
    st.SelLength = static_cast<int>(close - open - 1);
    s.erase(close, 1);
    s.erase(open, 1);
  } else if (bar != std::u16string::npos) {
    st.SelStart = static_cast<int>(bar);
    s.erase(bar, 1);
  }
  st.Text = s;
  return st;
}
std::u16string Show(const tNumEditState& st) {
  std::u16string s = st.Text;
  if (st.SelLength > 0) {
    s.insert(static_cast<size_t>(st.SelStart + st.SelLength), 1, u']');
    s.insert(static_cast<size_t>(st.SelStart), 1, u'[');
  } else {
    s.insert(static_cast<size_t>(st.SelStart), 1, u'|');
  }
  return s;
}
std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }
}  // namespace

TEST(NumEditKeys, TypedCharacters) {
  tNumEditOptions two;
  two.Decimals = 2;
  two.Digits = 4;
  tNumEditOptions one;
  one.Digits = 1;
  tNumEditOptions whole;  // no decimals, no digit limit
  tNumEditOptions free;
  free.Decimals = -1;
  struct {
    const char16_t* before;
    char16_t key;
    const tNumEditOptions& options;
    const char16_t* after;
  } cases[] = {
      {u"12|", u'3', two, u"123|"},
      {u"12|", u'x', two, u"12|"},  // not a number's character
      {u"12|", u' ', whole, u"12|"},
      {u"1234|", u'5', two, u"1234|"},     // four integer digits already
      {u"1234.|", u'5', two, u"1234.5|"},  // decimals are not integer digits
      {u"[12]", u'7', two, u"7|"},         // a digit replaces the selection
      {u"[12]", u'.', two, u"12.|"},       // the separator only cancels it, then is typed
      {u"|-5", u'3', two, u"-3|5"},        // caret moved behind the sign first
      {u"-|0", u'4', two, u"-4|"},         // the zero gives way
      {u"0|", u'8', two, u"8|"},
      {u"0|.50", u'8', two, u"8|.50"},
      {u"0|", u'5', one, u"5|"},  // replacing the zero adds no digit
      {u"-0|", u'5', one, u"-5|"},
      {u"7|", u'5', one, u"7|"},
      {u"1.|23", u'9', two, u"1.9|3"},  // over the next decimal
      {u"1.23|", u'9', two, u"1.23|"},  // the decimals are full
      {u"1.2|", u'9', two, u"1.29|"},
      {u"12|.5", u'6', two, u"126|.5"},  // at the separator: integer part
      {u"1|2", u'5', whole, u"15|2"},
      {u"12|", u'-', two, u"-12|"},  // the sign toggles; the key itself is dropped
      {u"-12|", u'-', two, u"12|"},
      {u"|-12", u'-', two, u"|12"},
      {u"1|2.5", u'.', two, u"12.|5"},  // a second separator jumps behind the first
      {u"12|", u'.', whole, u"12|"},    // no decimals: no separator
      {u"1|2", u'.', free, u"12.|"},    // any decimals: at the end
      {u"12", 1, two, u"[12]"},         // Ctrl+A
      {u"12|3", 8, two, u"1|3"},        // Backspace
      {u"1[23]", 8, two, u"1|"},
  };
  for (auto& c : cases) {
    tNumEditState s = Parse(c.before);
    EXPECT_EQ(NumEditChar(s, c.key, c.options), tNumKey::Dropped) << Narrow(c.before);
    EXPECT_EQ(Narrow(Show(s)), Narrow(c.after)) << Narrow(c.before) << " + " << int(c.key);
  }
}

TEST(NumEditKeys, LeftToTheEdit) {
  tNumEditOptions o;
  for (char16_t key : {char16_t{3}, char16_t{22}, char16_t{24}}) {
    tNumEditState s = Parse(u"12|");
    EXPECT_EQ(NumEditChar(s, key, o), tNumKey::Pass);
  }
  o.ReadOnly = true;
  tNumEditState s = Parse(u"12|");
  EXPECT_EQ(NumEditChar(s, u'x', o), tNumKey::Pass);
  EXPECT_EQ(s.Text, u"12");
}

TEST(NumEditKeys, Delete) {
  tNumEditState s = Parse(u"1|23");
  EXPECT_TRUE(NumEditDelete(s, true));
  EXPECT_EQ(Narrow(Show(s)), "1|3");
  s = Parse(u"13|");
  EXPECT_FALSE(NumEditDelete(s, true));
  s = Parse(u"|13");
  EXPECT_FALSE(NumEditDelete(s, false));
  s = Parse(u"[1]3");
  EXPECT_TRUE(NumEditDelete(s, true));
  EXPECT_EQ(Narrow(Show(s)), "|3");
}

TEST(NumEditKeys, TextValue) {
  struct {
    const char16_t* text;
    double value;
  } cases[] = {
      {u"1,234.50", 1234.5}, {u"", 0},      {u"-", 0},     {u"-12.25", -12.25},
      {u"abc", 0},           {u"12abc", 0}, {u" 42 ", 42}, {u"1.2.3", 0},
      {u"0x10", 0},          {u"inf", 0},   {u"1e400", 0}, {u"\u00e912", 0},
  };
  for (auto& c : cases) EXPECT_EQ(NumEditTextValue(c.text, u',', u'.'), c.value) << Narrow(c.text);
  // Another locale: blank thousands, comma decimals; a point is then no number's character.
  EXPECT_EQ(NumEditTextValue(u"1\u00a0234,5", u'\u00a0', u','), 1234.5);
  EXPECT_EQ(NumEditTextValue(u"1.5", u'\u00a0', u','), 0);
  EXPECT_EQ(NumEditTextValue(u"1234", 0, u'.'), 1234);
  EXPECT_TRUE(std::signbit(NumEditTextValue(u"-", u',', u'.')));
}
