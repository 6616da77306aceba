#include "online/RichView.h"

#include <richedit.h>

#include <cstring>

#include "framework/Text.h"

namespace {

struct tSource {
  const std::string* text;
  size_t position;
};

DWORD CALLBACK ReadSource(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
  auto* source = reinterpret_cast<tSource*>(cookie);
  const size_t n = std::min(static_cast<size_t>(wanted), source->text->size() - source->position);
  std::memcpy(buffer, source->text->data() + source->position, n);
  source->position += n;
  *got = static_cast<LONG>(n);
  return 0;
}

}  // namespace

TRichView::TRichView(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
                     bool scrollBars)
    : TWindow(owner) {
  static HMODULE library = LoadLibraryW(L"riched20.dll");
  (void)library;
  DWORD style = WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
  if (scrollBars) style |= WS_VSCROLL | WS_HSCROLL;
  CreateControl(parent, RICHEDIT_CLASSW, style, WS_EX_CLIENTEDGE, x, y, width, height);
}

void TRichView::SetRichText(const std::string& rtf) {
  tSource source{&rtf, 0};
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  stream.pfnCallback = ReadSource;
  const bool isRtf = rtf.compare(0, 5, "{\\rtf") == 0;
  Send(EM_STREAMIN, isRtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&stream));
  Send(EM_SETSEL, 0, 0);
  Send(WM_VSCROLL, SB_TOP, 0);
}

std::string TRichView::PlainText() const { return Caption(); }

int TRichView::FirstVisibleLine() const {
  return static_cast<int>(::SendMessageW(Handle(), EM_GETFIRSTVISIBLELINE, 0, 0));
}
