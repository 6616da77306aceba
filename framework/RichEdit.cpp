#include "framework/RichEdit.h"

#include <commdlg.h>  // the search flags
#include <richedit.h>

#include <cstring>
#include <vector>

#include "framework/Text.h"

namespace {

void LoadRichEditLibrary() {
  static HMODULE module = LoadLibraryW(L"riched20.dll");
  (void)module;
}

bool IsValidUtf8(const std::string& s) {
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()),
                             nullptr, 0) > 0 || s.empty();
}

std::wstring Decode(const std::string& bytes) {
  const UINT page = IsValidUtf8(bytes) ? CP_UTF8 : CP_ACP;
  const int n = MultiByteToWideChar(page, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(page, 0, bytes.data(), static_cast<int>(bytes.size()), w.data(), n);
  return w;
}

struct tStreamState {
  const char* data;
  size_t size, pos;
  std::string* out;
};

DWORD CALLBACK ReadCallback(DWORD_PTR cookie, LPBYTE buffer, LONG want, LONG* got) {
  auto* s = reinterpret_cast<tStreamState*>(cookie);
  const size_t n = std::min<size_t>(static_cast<size_t>(want), s->size - s->pos);
  std::memcpy(buffer, s->data + s->pos, n);
  s->pos += n;
  *got = static_cast<LONG>(n);
  return 0;
}

DWORD CALLBACK WriteCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
  auto* s = reinterpret_cast<tStreamState*>(cookie);
  s->out->append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(count));
  *done = count;
  return 0;
}

std::u16string ToU16(const std::wstring& w) { return std::u16string(w.begin(), w.end()); }
std::wstring ToW(const std::u16string& u) { return std::wstring(u.begin(), u.end()); }

}  // namespace

TRichEdit::TRichEdit(TComponent* owner, TWindow* parent, int x, int y, int width, int height)
    : TWindow(owner) {
  LoadRichEditLibrary();
  CreateControl(parent, RICHEDIT_CLASSW,
                WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL |
                    ES_SAVESEL,
                WS_EX_CLIENTEDGE, x, y, width, height);
  Send(EM_SETEVENTMASK, 0, ENM_CHANGE);
  SetPlainText(true);
}

void TRichEdit::SetPlainText(bool plain) {
  plain_ = plain;
  Send(EM_SETTEXTMODE, plain ? (TM_PLAINTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE)
                             : (TM_RICHTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE));
}

bool TRichEdit::LoadFromBytes(const std::string& bytes) {
  const bool rtf = !plain_ && bytes.rfind("{\\rtf", 0) == 0;
  std::string payload;
  WPARAM format;
  if (rtf) {
    payload = bytes;
    format = SF_RTF;
  } else {
    const std::wstring w = Decode(bytes);
    payload.assign(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
    format = SF_TEXT | SF_UNICODE;
  }
  tStreamState state{payload.data(), payload.size(), 0, nullptr};
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&state);
  es.pfnCallback = ReadCallback;
  Send(EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
  SetModified(false);
  return es.dwError == 0;
}

bool TRichEdit::SaveToBytes(std::string& out) {
  out.clear();
  tStreamState state{nullptr, 0, 0, &out};
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&state);
  es.pfnCallback = WriteCallback;
  if (plain_) {
    Send(EM_STREAMOUT, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&es));
    std::wstring w(reinterpret_cast<const wchar_t*>(out.data()), out.size() / sizeof(wchar_t));
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()),
                                nullptr, 0, nullptr, &lossy);
    UINT page = lossy ? CP_UTF8 : CP_ACP;
    if (lossy) n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    out.assign(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(page, page == CP_ACP ? WC_NO_BEST_FIT_CHARS : 0, w.data(), static_cast<int>(w.size()),
                        out.data(), n, nullptr, nullptr);
  } else {
    Send(EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
  }
  return es.dwError == 0;
}

std::u16string TRichEdit::Text() const {
  GETTEXTLENGTHEX gl{GTL_NUMCHARS | GTL_PRECISE, 1200};
  const LRESULT n = ::SendMessageW(Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0);
  std::wstring w(static_cast<size_t>(n) + 1, L'\0');
  GETTEXTEX gt{};
  gt.cb = static_cast<DWORD>((n + 1) * sizeof(wchar_t));
  gt.flags = GT_DEFAULT;
  gt.codepage = 1200;
  const LRESULT got = ::SendMessageW(Handle(), EM_GETTEXTEX, reinterpret_cast<WPARAM>(&gt),
                                     reinterpret_cast<LPARAM>(w.data()));
  w.resize(static_cast<size_t>(got));
  return ToU16(w);
}

void TRichEdit::SetText(const std::u16string& text) {
  const std::wstring w = ToW(text);
  SETTEXTEX st{ST_DEFAULT, 1200};
  Send(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&st), reinterpret_cast<LPARAM>(w.c_str()));
}

int64_t TRichEdit::TextLength() const {
  GETTEXTLENGTHEX gl{GTL_NUMCHARS | GTL_PRECISE, 1200};
  return ::SendMessageW(Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0);
}

int TRichEdit::LineCount() const {
  // An empty last line after a final line end does not count, as a list of lines has none.
  int n = static_cast<int>(::SendMessageW(Handle(), EM_GETLINECOUNT, 0, 0));
  const LRESULT lastStart = ::SendMessageW(Handle(), EM_LINEINDEX, static_cast<WPARAM>(n - 1), 0);
  if (n > 0 && ::SendMessageW(Handle(), EM_LINELENGTH, static_cast<WPARAM>(lastStart), 0) == 0) --n;
  return n;
}

bool TRichEdit::ReadOnly() const { return (GetWindowLongW(Handle(), GWL_STYLE) & ES_READONLY) != 0; }
void TRichEdit::SetReadOnly(bool readOnly) { Send(EM_SETREADONLY, readOnly ? TRUE : FALSE); }
bool TRichEdit::Modified() const { return ::SendMessageW(Handle(), EM_GETMODIFY, 0, 0) != 0; }
void TRichEdit::SetModified(bool modified) { Send(EM_SETMODIFY, modified ? TRUE : FALSE); }
void TRichEdit::SetMaxLength(int64_t chars) { Send(EM_EXLIMITTEXT, 0, static_cast<LPARAM>(chars)); }

int64_t TRichEdit::SelStart() const {
  CHARRANGE r{};
  ::SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
  return r.cpMin;
}

int64_t TRichEdit::SelLength() const {
  CHARRANGE r{};
  ::SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
  return r.cpMax - r.cpMin;
}

void TRichEdit::SetSelection(int64_t start, int64_t length) {
  CHARRANGE r{static_cast<LONG>(start), static_cast<LONG>(start + length)};
  Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

std::u16string TRichEdit::SelText() const {
  const int64_t n = SelLength();
  std::wstring w(static_cast<size_t>(n) + 1, L'\0');
  const LRESULT got = ::SendMessageW(Handle(), EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(w.data()));
  w.resize(static_cast<size_t>(got));
  return ToU16(w);
}

void TRichEdit::SetSelText(const std::u16string& text) {
  const std::wstring w = ToW(text);
  Send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(w.c_str()));
}

int64_t TRichEdit::SearchText(const std::u16string& what, int64_t start, int64_t length,
                            bool wholeWord, bool matchCase) const {
  const std::wstring w = ToW(what);
  FINDTEXTEXW ft{};
  ft.chrg.cpMin = static_cast<LONG>(start);
  ft.chrg.cpMax = static_cast<LONG>(start + length);
  ft.lpstrText = w.c_str();
  const WPARAM flags = FR_DOWN | (wholeWord ? FR_WHOLEWORD : 0) | (matchCase ? FR_MATCHCASE : 0);
  return ::SendMessageW(Handle(), EM_FINDTEXTEXW, flags, reinterpret_cast<LPARAM>(&ft));
}

void TRichEdit::SetDefaultFormat(const TFont& font) {
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_FACE | CFM_SIZE | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
  const std::wstring face = Utf8ToWide(font.Name());
  lstrcpynW(cf.szFaceName, face.c_str(), LF_FACESIZE);
  cf.yHeight = font.Size() * 20;
  cf.crTextColor = ColorToRGB(font.Color());
  cf.dwEffects = ((font.Style() & fsBold) ? CFE_BOLD : 0) | ((font.Style() & fsItalic) ? CFE_ITALIC : 0) |
                 ((font.Style() & fsUnderline) ? CFE_UNDERLINE : 0) |
                 ((font.Style() & fsStrikeOut) ? CFE_STRIKEOUT : 0);
  Send(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
}

int64_t TRichEdit::FormatRange(HDC dc, const RECT& pageTwips, const RECT& renderTwips, int64_t start,
                               int64_t end, bool render) {
  return FormatRichRange(Handle(), dc, pageTwips, renderTwips, start, end, render);
}

int64_t FormatRichRange(HWND edit, HDC dc, const RECT& pageTwips, const RECT& renderTwips,
                        int64_t start, int64_t end, bool render) {
  if (!dc) return SendMessageW(edit, EM_FORMATRANGE, FALSE, 0);
  FORMATRANGE fr{};
  fr.hdc = dc;
  fr.hdcTarget = dc;
  fr.rc = renderTwips;
  fr.rcPage = pageTwips;
  fr.chrg.cpMin = static_cast<LONG>(start);
  fr.chrg.cpMax = static_cast<LONG>(end);
  return SendMessageW(edit, EM_FORMATRANGE, render ? TRUE : FALSE, reinterpret_cast<LPARAM>(&fr));
}

LRESULT TRichEdit::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (message == CN_COMMAND && HIWORD(w) == EN_CHANGE) {
    if (OnChange) OnChange(this);
    return 0;
  }
  return TWindow::WndProc(message, w, l);
}
