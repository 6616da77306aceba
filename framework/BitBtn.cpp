#include "framework/BitBtn.h"

#include "framework/Canvas.h"
#include "framework/Text.h"

TBitBtn::TBitBtn(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y,
                 int width, int height)
    : TButton(owner, parent, caption, x, y, width, height) {
  SetWindowLongW(Handle(), GWL_STYLE,
                 (GetWindowLongW(Handle(), GWL_STYLE) & ~BS_TYPEMASK) | BS_OWNERDRAW);
}

bool TBitBtn::LoadGlyph(const std::string& resourceName) {
  bool ok = glyph_.LoadFromResourceName(resourceName);
  Invalidate();
  return ok;
}

LRESULT TBitBtn::WndProc(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case CN_DRAWITEM:
      DrawButton(*reinterpret_cast<DRAWITEMSTRUCT*>(l));
      return TRUE;
    case WM_ENABLE:
      Invalidate();
      break;
    case BM_SETSTYLE:
      // Owner-drawn buttons keep their style; the default frame is drawn from the form's field.
      Invalidate();
      return 0;
  }
  return TButton::WndProc(message, w, l);
}

void TBitBtn::DrawButton(const DRAWITEMSTRUCT& d) {
  TCanvas canvas(d.hDC);
  RECT r = d.rcItem;
  const bool pressed = (d.itemState & ODS_SELECTED) != 0;
  const bool disabled = (d.itemState & ODS_DISABLED) != 0;
  DrawFrameControl(d.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  const int shift = pressed ? 1 : 0;
  const std::string caption = Caption();
  canvas.Font = Font();
  const SIZE text = canvas.TextExtent(caption.empty() ? "X" : caption);
  const int gw = glyph_.Empty() ? 0 : glyph_.Width(), gh = glyph_.Empty() ? 0 : glyph_.Height();
  const int spacing = gh ? 1 : 0;
  const int total = gh + spacing + text.cy;
  int top = (r.bottom - r.top - total) / 2 + shift;
  if (gh) {
    const int left = (r.right - r.left - gw) / 2 + shift;
    if (disabled) {
      // Drawn as the system draws a disabled image: embossed in the shadow colours.
      HBITMAP mono = CreateBitmap(gw, gh, 1, 1, nullptr);
      HDC mdc = CreateCompatibleDC(d.hDC);
      HGDIOBJ old = SelectObject(mdc, mono);
      HDC gdc = glyph_.Canvas().Handle();
      SetBkColor(gdc, GetPixel(gdc, 0, gh - 1));
      BitBlt(mdc, 0, 0, gw, gh, gdc, 0, 0, SRCCOPY);
      SelectObject(mdc, old);
      DeleteDC(mdc);
      DrawStateW(d.hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(mono), 0, left, top, gw, gh,
                 DST_BITMAP | DSS_DISABLED);
      DeleteObject(mono);
    } else {
      canvas.Brush.SetColor(clBtnFace);
      canvas.BrushCopy(RECT{left, top, left + gw, top + gh}, glyph_, RECT{0, 0, gw, gh},
                       glyph_.Canvas().Pixel(0, gh - 1));
    }
    top += gh + spacing;
  }
  RECT tr{r.left + 2 + shift, top, r.right - 2 + shift, top + text.cy};
  SetBkMode(d.hDC, TRANSPARENT);
  const UINT flags = DT_CENTER | DT_SINGLELINE | DT_TOP;
  if (disabled) {
    OffsetRect(&tr, 1, 1);
    canvas.Font.SetColor(clBtnHighlight);
    canvas.Brush.SetStyle(bsClear);
    canvas.DrawText(caption, tr, flags);
    OffsetRect(&tr, -1, -1);
    canvas.Font.SetColor(clBtnShadow);
    canvas.DrawText(caption, tr, flags);
  } else {
    canvas.Font.SetColor(clBtnText);
    canvas.Brush.SetStyle(bsClear);
    canvas.DrawText(caption, tr, flags);
  }
  if (d.itemState & ODS_FOCUS) {
    RECT f = r;
    InflateRect(&f, -4, -4);
    DrawFocusRect(d.hDC, &f);
  }
}

TSpeedButton::TSpeedButton(TComponent* owner, TWindow* parent, const std::string& caption, int x,
                           int y, int width, int height, int groupIndex, bool allowAllUp)
    : TButton(owner, parent, caption, x, y, width, height),
      GroupIndex(groupIndex),
      AllowAllUp(allowAllUp) {
  SetWindowLongW(Handle(), GWL_STYLE,
                 (GetWindowLongW(Handle(), GWL_STYLE) & ~BS_TYPEMASK) | BS_CHECKBOX | BS_PUSHLIKE);
}

void TSpeedButton::SetDown(bool down) {
  down_ = down;
  Send(BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED);
  if (!down || GroupIndex == 0 || !Parent()) return;
  // The others of the group come up.
  for (int i = 0; i < Owner()->ComponentCount(); ++i) {
    auto* other = dynamic_cast<TSpeedButton*>(Owner()->Components(i));
    if (other && other != this && other->GroupIndex == GroupIndex && other->down_) {
      other->down_ = false;
      other->Send(BM_SETCHECK, BST_UNCHECKED);
    }
  }
}

void TSpeedButton::Click() {
  if (AllowAllUp)
    SetDown(!down_);
  else
    SetDown(true);
  TButton::Click();
}
