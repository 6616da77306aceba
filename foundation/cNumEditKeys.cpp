#include "foundation/cNumEditKeys.h"

#include <cerrno>
#include <cstdlib>

namespace {
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

void ReplaceSelection(tNumEditState& s, const std::u16string& with) {
  s.Text.replace(static_cast<size_t>(s.SelStart), static_cast<size_t>(s.SelLength), with);
  s.SelStart += static_cast<int>(with.size());
  s.SelLength = 0;
}

// Keeps positions inside the text whatever the control handed over.
void Clamp(tNumEditState& s) {
  int n = static_cast<int>(s.Text.size());
  if (s.SelStart < 0) s.SelStart = 0;
  if (s.SelStart > n) s.SelStart = n;
  if (s.SelLength < 0) s.SelLength = 0;
  if (s.SelStart + s.SelLength > n) s.SelLength = n - s.SelStart;
}

int IntegerDigits(const std::u16string& text, char16_t decimal) {
  int n = 0;
  for (char16_t c : text) {
    if (c == decimal) break;
    if (IsDigit(c)) ++n;
  }
  return n;
}

void TypeDigit(tNumEditState& s, char16_t key, const tNumEditOptions& o) {
  if (s.SelLength > 0) {
    s.Text.erase(static_cast<size_t>(s.SelStart), static_cast<size_t>(s.SelLength));
    s.SelLength = 0;
  }
  if (!s.Text.empty() && s.Text[0] == u'-' && s.SelStart == 0) s.SelStart = 1;
  const size_t found = s.Text.find(o.DecimalSeparator);
  const int p = found == std::u16string::npos ? 0 : static_cast<int>(found) + 1;  // 1-based
  const int c = s.SelStart;
  const bool inDecimals = p > 0 && c >= p;
  // A leading zero gives way to the digit typed at it; that adds no digit, so it comes before
  // the digit limit.
  if (c < 3 && s.Text.size() >= 2 && s.Text[0] == u'-' && s.Text[1] == u'0') {
    s.SelStart = 1;
    s.SelLength = 1;
    ReplaceSelection(s, std::u16string(1, key));
    return;
  }
  if (c < 2 && !s.Text.empty() && s.Text[0] == u'0') {
    s.SelStart = 0;
    s.SelLength = 1;
    ReplaceSelection(s, std::u16string(1, key));
    return;
  }
  if (!inDecimals && o.Digits > 0 && IntegerDigits(s.Text, o.DecimalSeparator) >= o.Digits) return;
  if (inDecimals && o.Decimals >= 1) {
    if (c >= p + o.Decimals) return;  // the decimals are full
    // Within the decimals a digit types over the next one.
    if (c < static_cast<int>(s.Text.size())) s.SelLength = 1;
  }
  ReplaceSelection(s, std::u16string(1, key));
}

void TypeSeparator(tNumEditState& s, const tNumEditOptions& o) {
  // The selection goes, the text stays; the caret is where a selection by the mouse or by
  // selecting all leaves it: at its end.
  s.SelStart += s.SelLength;
  s.SelLength = 0;
  const size_t found = s.Text.find(o.DecimalSeparator);
  if (found != std::u16string::npos) {
    s.SelStart = static_cast<int>(found) + 1;
    return;
  }
  if (o.Decimals == 0) return;
  if (o.Decimals < 0) s.SelStart = static_cast<int>(s.Text.size());
  ReplaceSelection(s, std::u16string(1, o.DecimalSeparator));
}

void ToggleSign(tNumEditState& s) {
  s.SelLength = 0;
  if (!s.Text.empty() && s.Text[0] == u'-') {
    s.Text.erase(0, 1);
    if (s.SelStart > 0) --s.SelStart;
  } else {
    s.Text.insert(0, 1, u'-');
    ++s.SelStart;
  }
}
}  // namespace

tNumKey NumEditChar(tNumEditState& s, char16_t key, const tNumEditOptions& o) {
  constexpr char16_t kCtrlA = 1, kCtrlC = 3, kCtrlV = 22, kCtrlX = 24, kBackspace = 8;
  if (o.ReadOnly || key == kCtrlC || key == kCtrlV || key == kCtrlX) return tNumKey::Pass;
  Clamp(s);
  if (key == kCtrlA) {
    s.SelStart = 0;
    s.SelLength = static_cast<int>(s.Text.size());
  } else if (key == kBackspace) {
    NumEditDelete(s, false);
  } else if (IsDigit(key)) {
    TypeDigit(s, key, o);
  } else if (key == o.DecimalSeparator) {
    TypeSeparator(s, o);
  } else if (key == u'-') {
    ToggleSign(s);
  }
  return tNumKey::Dropped;
}

bool NumEditDelete(tNumEditState& s, bool forward) {
  Clamp(s);
  if (s.SelLength == 0) {
    if (forward) {
      if (s.SelStart >= static_cast<int>(s.Text.size())) return false;
    } else {
      if (s.SelStart == 0) return false;
      --s.SelStart;
    }
    s.SelLength = 1;
  }
  s.Text.erase(static_cast<size_t>(s.SelStart), static_cast<size_t>(s.SelLength));
  s.SelLength = 0;
  return true;
}

double NumEditTextValue(const std::u16string& text, char16_t thousands, char16_t decimal) {
  std::string ascii;
  for (char16_t c : text) {
    if (thousands != 0 && c == thousands) continue;
    if (c == decimal)
      ascii += '.';
    else if (c < 0x80 && c != u'.')
      ascii += static_cast<char>(c);
    else
      return 0;  // a character no number has
  }
  // Blanks around a pasted number are tolerated; anything else that is no number reads as 0.
  size_t first = ascii.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return 0;
  size_t last = ascii.find_last_not_of(" \t\r\n");
  ascii = ascii.substr(first, last - first + 1);
  if (ascii == "-") return -0.0;
  for (char c : ascii)
    if (!(IsDigit(static_cast<char16_t>(c)) || c == '-' || c == '+' || c == '.' || c == 'e' ||
          c == 'E'))
      return 0;
  errno = 0;
  char* end = nullptr;
  double v = std::strtod(ascii.c_str(), &end);
  if (end != ascii.c_str() + ascii.size() || errno == ERANGE) return 0;
  return v;
}
