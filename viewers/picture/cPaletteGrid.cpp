#include "viewers/picture/cPaletteGrid.h"

#include <algorithm>

#include "framework/Canvas.h"

TPaletteGrid::TPaletteGrid(TComponent* owner, TWindow* parent, int x, int y, int width,
                           int height)
    : TPaintedWindow(owner) {
  // The 20 entries of the system's palette, the upper eight moved down: the 16 standard
  // colours, then the fill colour.
  PALETTEENTRY system[20] = {};
  GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 20, system);
  for (int i = 0; i < 256; ++i) entries_[i] = clBtnFace;
  for (int i = 0; i < 20; ++i)
    entries_[i] = RGB(system[i].peRed, system[i].peGreen, system[i].peBlue);
  for (int i = 8; i < 16; ++i) entries_[i] = entries_[i + 4];
  Font().SetName("Terminal");
  metrics_ = GridMetrics(shape_, large_, width, height);
  Create("", WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y, metrics_.Width, metrics_.Height,
         parent ? parent->Handle() : nullptr);
}

void TPaletteGrid::SetPalette(int count, const uint8_t* rgb, TColor fillColor) {
  if (count < 2 || count > 256 || !rgb) return;
  large_ = count > 16;
  count_ = count;
  for (TColor& e : entries_) e = fillColor;
  for (int i = 0; i < count; ++i) entries_[i] = RGB(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
  selection_ = 0;
  paletteIndex_ = -1;
  Relayout();
  Invalidate();
}

void TPaletteGrid::SetPaletteIndex(int index) {
  if (index < -1 || index >= count_) index = -1;
  if (index == paletteIndex_) return;
  paletteIndex_ = index;
  Invalidate();
  if (OnChange) OnChange(this);
}

void TPaletteGrid::SetSelection(int cell) {
  selection_ = std::clamp(cell, 0, count_ - 1);
  Invalidate();
}

void TPaletteGrid::SetGridShape(tGridShape shape) {
  shape_ = shape;
  Relayout();
  Invalidate();
}

TColor TPaletteGrid::EntryColor(int i) const { return i >= 0 && i < 256 ? entries_[i] : clBtnFace; }

RECT TPaletteGrid::CellRect(int i) const {
  const int x = (i % metrics_.Columns) * metrics_.CellWidth;
  const int y = (i / metrics_.Columns) * metrics_.CellHeight;
  return RECT{x, y, x + metrics_.CellWidth, y + metrics_.CellHeight};
}

void TPaletteGrid::Relayout() {
  const RECT r = BoundsRect();
  metrics_ = GridMetrics(shape_, large_, r.right - r.left, r.bottom - r.top);
  if (sizing_ || !HandleAllocated()) return;
  if (metrics_.Width != r.right - r.left || metrics_.Height != r.bottom - r.top) {
    sizing_ = true;
    POINT at{r.left, r.top};
    if (Parent()) at = Parent()->ScreenToClient(at);
    SetBounds(at.x, at.y, metrics_.Width, metrics_.Height);
    sizing_ = false;
  }
}

void TPaletteGrid::Choose(int cell) {
  if (cell < 0 || cell >= count_) return;  // the fill cells
  selection_ = cell;
  SetPaletteIndex(cell);
  Invalidate();
}

void TPaletteGrid::PressAt(int x, int y) { Choose(CellAt(metrics_, x, y)); }

LRESULT TPaletteGrid::WndProc(UINT message, WPARAM w, LPARAM l) {
  const int x = static_cast<short>(LOWORD(l)), y = static_cast<short>(HIWORD(l));
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      focused_ = message == WM_SETFOCUS;
      Invalidate();
      break;
    case WM_SIZE:
      if (!sizing_) Relayout();
      break;
    case WM_LBUTTONDOWN:
      SetFocus();
      dragging_ = true;
      SetMouseCapture(true);
      PressAt(x, y);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      SetFocus();
      break;
    case WM_MOUSEMOVE:
      if (dragging_ && (w & MK_LBUTTON)) PressAt(x, y);
      break;
    case WM_LBUTTONUP:
      dragging_ = false;
      SetMouseCapture(false);
      break;
    case WM_KEYDOWN: {
      tGridKey key;
      switch (w) {
        case VK_LEFT: key = tGridKey::Left; break;
        case VK_RIGHT: key = tGridKey::Right; break;
        case VK_UP: key = tGridKey::Up; break;
        case VK_DOWN: key = tGridKey::Down; break;
        case VK_HOME: key = tGridKey::Home; break;
        case VK_END: key = tGridKey::End; break;
        case VK_SPACE:
        case 'X':
        case VK_F9:
          Choose(selection_);
          Click();
          return 0;
        default:
          return TPaintedWindow::WndProc(message, w, l);
      }
      SetSelection(MoveFocus(metrics_, count_, selection_, key));
      return 0;
    }
  }
  return TPaintedWindow::WndProc(message, w, l);
}

void TPaletteGrid::Paint(TCanvas& canvas) {
  canvas.Pen.SetColor(clBlack);
  for (int i = 0; i < metrics_.Columns * metrics_.Rows; ++i) {
    const RECT r = CellRect(i);
    canvas.Brush.SetColor(entries_[std::min(i, 255)]);
    canvas.Pen.SetColor(Ctl3D ? entries_[std::min(i, 255)] : clBlack);
    canvas.Rectangle(r);
    if (!Ctl3D || i >= count_) continue;
    RECT f = r;
    const int width = FrameWidth(metrics_.CellWidth);
    if (i == paletteIndex_)
      canvas.Frame3D(f, clBtnShadow, clBtnHighlight, width);
    else if (metrics_.CellWidth >= 14)
      canvas.Frame3D(f, clBtnHighlight, clBtnShadow, 2);
  }
  if (focused_ && selection_ >= 0 && selection_ < count_) {
    RECT f = CellRect(selection_);
    InflateRect(&f, -1, -1);
    canvas.DrawFocusRect(f);
  }
  if (paletteIndex_ >= 0 && metrics_.CellWidth >= 14) {
    RECT r = CellRect(paletteIndex_);
    canvas.Font = Font();
    canvas.Font.SetColor(static_cast<TColor>(MarkColor(entries_[paletteIndex_])));
    canvas.Brush.SetStyle(bsClear);
    // Character 251 of the font: the check mark.
    canvas.DrawText("\xE2\x88\x9A", r,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    canvas.Brush.SetStyle(bsSolid);
  }
}

TPaintBox* NewInfoText(TComponent* owner, TWindow* parent, int x, int y, int width, int height) {
  auto* box = new TPaintBox(owner, parent, x, y, width, height);
  box->OnPaint = [box](TComponent*, TCanvas& canvas) {
    RECT r = box->ClientRect();
    canvas.Brush.SetColor(clBtnFace);
    canvas.FillRect(r);
    std::string text;
    for (char c : box->Caption()) {
      if (c == '\r') text += "\r\n"; else text += c;
    }
    canvas.Font = box->Font();
    canvas.Brush.SetStyle(bsClear);
    canvas.DrawText(text, r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
    canvas.Brush.SetStyle(bsSolid);
  };
  return box;
}

void SetInfoText(TPaintBox* box, const std::string& text) {
  box->SetCaption(text);
  box->Invalidate();
}
