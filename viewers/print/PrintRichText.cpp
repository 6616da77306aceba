#include "viewers/print/PrintRichText.h"

#include <richedit.h>

#include <algorithm>

#include "framework/Application.h"
#include "framework/Printer.h"
#include "framework/RichEdit.h"
#include "framework/Text.h"

namespace {

std::wstring ControlText(HWND edit) {
  GETTEXTLENGTHEX lengthOf{GTL_NUMCHARS | GTL_PRECISE, 1200};
  const LRESULT n = SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthOf), 0);
  std::wstring text(static_cast<size_t>(std::max<LRESULT>(n, 0)) + 1, L'\0');
  GETTEXTEX get{};
  get.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  get.flags = GT_DEFAULT;
  get.codepage = 1200;
  const LRESULT got = SendMessageW(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                   reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, static_cast<LRESULT>(text.size()))));
  return text;
}

// The text from start on as word-wrapped lines in the font, a new page (with its header)
// whenever the next line no longer fits the area.
void PrintRemainingLines(const std::wstring& all, int64_t start, const TFont& font, const RECT& area,
                         const std::function<void()>& pageHeader) {
  TPrinter& printer = Printer();
  TCanvas& canvas = printer.Canvas();
  const std::wstring text = all.substr(std::min<size_t>(all.size(), static_cast<size_t>(start)));
  int y = area.top;
  size_t from = 0;
  while (from <= text.size() && printer.Printing()) {
    size_t end = text.find_first_of(L"\r\n", from);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(from, end - from);
    if (line.empty()) line = L" ";
    canvas.Font = font;
    canvas.Font.SetColor(clBlack);
    canvas.Brush.SetStyle(bsClear);
    const std::string utf8 = WideToUtf8(line);
    RECT box{area.left, 0, area.right, 0};
    const int h = canvas.DrawText(utf8, box, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS | DT_CALCRECT);
    if (y + h > area.bottom && y > area.top) {
      printer.NewPage();
      if (pageHeader) pageHeader();
      canvas.Font = font;
      canvas.Font.SetColor(clBlack);
      y = area.top;
    }
    RECT r{area.left, y, area.right, y + h};
    canvas.DrawText(utf8, r, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    y += h;
    if (end >= text.size()) break;
    from = end + ((text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n') ? 2 : 1);
  }
}

}  // namespace

bool PrintRichTextDocument(HWND richEdit, const TFont& font, const std::string& title,
                           const tRichPrintMargins& margins, const std::function<void()>& pageHeader) {
  TPrinter& printer = Printer();
  printer.Title = title;
  if (!printer.BeginDoc()) return false;
  HDC dc = printer.Handle();
  const int ppiX = GetDeviceCaps(dc, LOGPIXELSX), ppiY = GetDeviceCaps(dc, LOGPIXELSY);
  TCanvas& canvas = printer.Canvas();
  canvas.Font = font;
  const int line = canvas.TextHeight("H"), chr = canvas.TextWidth("W");
  const RECT page{0, 0, MulDiv(printer.PageWidth(), 1440, ppiX), MulDiv(printer.PageHeight(), 1440, ppiY)};
  const RECT render{page.left + MulDiv(margins.LeftChars * chr, 1440, ppiX),
                    page.top + MulDiv(margins.TopLines * line, 1440, ppiY),
                    page.right - MulDiv(margins.RightChars * chr, 1440, ppiX),
                    page.bottom - MulDiv(margins.BottomLines * line, 1440, ppiY)};
  const int oldMode = SetMapMode(dc, MM_TEXT);
  FormatRichRange(richEdit, nullptr, page, render, 0, -1, false);
  const std::wstring text = ControlText(richEdit);
  const auto length = static_cast<int64_t>(text.size());
  int64_t start = 0;
  for (;;) {
    if (pageHeader) pageHeader();
    const int64_t next = FormatRichRange(richEdit, dc, page, render, start, -1, true);
    Application.ProcessMessages();
    if (next <= start && start < length) {
      PrintRemainingLines(text, start, font,
                          {MulDiv(render.left, ppiX, 1440), MulDiv(render.top, ppiY, 1440),
                           MulDiv(render.right, ppiX, 1440), MulDiv(render.bottom, ppiY, 1440)},
                          pageHeader);
      break;
    }
    if (!printer.Printing() || next >= length || next == -1) break;
    start = next;
    printer.NewPage();
  }
  FormatRichRange(richEdit, nullptr, page, render, 0, -1, false);
  if (printer.Printing()) {
    SetMapMode(dc, oldMode);
    printer.EndDoc();
  }
  return true;
}
