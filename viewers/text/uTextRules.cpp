#include "viewers/text/uTextRules.h"

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"

int StripBackspaces(std::u16string& text, const std::function<void(int64_t, int64_t)>& progress) {
  const int64_t total = static_cast<int64_t>(text.size());
  int count = 0;
  size_t lead = 0;
  while (lead < text.size() && text[lead] == 8) ++lead;
  count += static_cast<int>(lead);
  text.erase(0, lead);
  // Each pass removes at least one character, so the loop ends.
  for (size_t p = text.find(u'\b'); p != std::u16string::npos; p = text.find(u'\b', p == 0 ? 0 : p - 1)) {
    if (p == 0) {
      text.erase(0, 1);
    } else {
      text.erase(p - 1, 2);
    }
    ++count;
    if (progress) progress(static_cast<int64_t>(p) + 1, total);
  }
  return count;
}

std::string CharCountText(int64_t chars) {
  return Format("%.0n characters ", {static_cast<double>(chars)});
}

std::string LineCountText(int64_t lines) { return Format("%.0n lines", {static_cast<double>(lines)}); }

std::string DecodeFailureText(const std::string& fileName, int result, int line) {
  static const char* const kWords[] = {" encoded", " failed!", "damaged", "incomplete"};
  const int index = result + 1;
  const char* word = index >= 0 && index < 4 ? kWords[index] : " failed!";
  return Format("%s %s at line %d", {fileName, word, line});
}

std::string DecodeSuccessText(const std::string& fileName, const std::string& outputName,
                              const std::string& renamedName) {
  std::string text = Format("%s decoded to %s", {fileName, outputName});
  if (!renamedName.empty()) text += Format(" and renamed to %s", {renamedName});
  return text;
}

std::string PrintHeaderFormat(const std::string& dateText, const std::string& timeText,
                              const std::string& fileName) {
  return "Page %d   " + Format("%s  %s     %s", {dateText, timeText, fileName});
}

std::string PrintHeaderText(const std::string& headerFormat, int page) {
  // Only the leading page number is a format; the rest (a file name may hold "%") is text.
  const std::string lead = "Page %d";
  if (headerFormat.rfind(lead, 0) == 0)
    return "Page " + std::to_string(page) + headerFormat.substr(lead.size());
  return headerFormat;
}

bool SameTextIgnoringCase(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= u'a' && x <= u'z') x = static_cast<char16_t>(x - 32);
    if (y >= u'a' && y <= u'z') y = static_cast<char16_t>(y - 32);
    if (x != y) return false;
  }
  return true;
}

namespace {
// Steps 3-4 of find: the selection, or from the caret to the end; the search never wraps.
int64_t SearchFrom(tTextTarget& t, const std::u16string& what, bool wholeWord, bool matchCase) {
  const int64_t start = t.SelStart(), length = t.SelLength();
  const int64_t span = length > 0 ? length : t.TextLength() - start;
  return t.SearchText(what, start, span, wholeWord, matchCase);
}
}  // namespace

bool FindInTarget(tTextTarget& t, const std::u16string& what, bool wholeWord, bool matchCase) {
  if (SameTextIgnoringCase(t.SelText(), what)) t.SetSelection(t.SelStart() + t.SelLength(), 0);
  const int64_t q = SearchFrom(t, what, wholeWord, matchCase);
  if (q >= 0) {
    t.SetSelection(q, static_cast<int64_t>(what.size()));
    return true;
  }
  t.SetSelection(t.SelStart(), 0);
  return false;
}

int ReplaceInTarget(tTextTarget& t, const std::u16string& what, const std::u16string& with,
                    bool wholeWord, bool matchCase, bool all) {
  if (what.empty()) return 0;
  int count = 0;
  for (;;) {
    int64_t q;
    if (SameTextIgnoringCase(t.SelText(), what)) {
      q = t.SelStart();
    } else {
      q = SearchFrom(t, what, wholeWord, matchCase);
      if (q >= 0) t.SetSelection(q, static_cast<int64_t>(what.size()));
    }
    if (q < 0) break;
    t.ReplaceSelection(with);
    t.SetSelection(q + static_cast<int64_t>(with.size()), 0);
    ++count;
    if (!all) break;
  }
  return count;
}

int ReplaceSound(int count, bool all) {
  if (count == 0) return 0;
  return all ? 1 : 2;
}

std::string HtmlNameOf(const std::string& fileName) {
  std::string ext = ExtractFileExt(fileName);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return ext == ".htm" || ext == ".html" ? fileName : "";
}
