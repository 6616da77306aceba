#include "viewers/hex/cHexView.h"

#include <algorithm>

#include "framework/Canvas.h"

TOrvexHexView::TOrvexHexView(TComponent* owner, TWindow* parent, int x, int y, int width,
                             int height)
    : TPaintedWindow(owner) {
  Create("", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP, x, y, width, height,
         parent->Handle(), WS_EX_CLIENTEDGE);
  // Its own font, not the parent's.
  Font().SetName("Courier New");
  Font().SetSize(8);
  Font().SetColor(clBlack);
  Font().SetPitch(fpFixed);
  UpdateScrollBar();
}

TOrvexHexView::~TOrvexHexView() = default;

void TOrvexHexView::OpenFile(const std::string& fileName) {
  view_ = std::make_unique<tHexView>(fileName);
  top_ = 0;
  UpdateScrollBar();
  Invalidate();
  if (OnChange) OnChange(this);
}

int TOrvexHexView::VisibleRows() const {
  const int rows = ClientHeight() / std::max(1, DefaultRowHeight) - 1;
  return std::max(rows, 1);
}

void TOrvexHexView::SetTopRow(int64_t row) {
  const int64_t last = std::max<int64_t>(0, LineCount() - VisibleRows());
  row = std::clamp<int64_t>(row, 0, last);
  if (row == top_) return;
  top_ = row;
  UpdateScrollBar();
  Invalidate();
}

void TOrvexHexView::UpdateScrollBar() {
  if (!HandleAllocated()) return;
  // Positions count file lines; beyond the range of the scroll bar they are scaled.
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  const int64_t lines = LineCount();
  const int64_t scale = lines > 0x3FFFFFFF ? lines / 0x3FFFFFFF + 1 : 1;
  si.nMin = 0;
  si.nMax = static_cast<int>(std::max<int64_t>(0, lines - 1) / scale);
  si.nPage = static_cast<UINT>(VisibleRows() / scale + 1);
  si.nPos = static_cast<int>(top_ / scale);
  SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
}

void TOrvexHexView::Resize() {
  TPaintedWindow::Resize();
  SetTopRow(top_);
  UpdateScrollBar();
}

void TOrvexHexView::Paint(TCanvas& canvas) {
  RECT client = ClientRect();
  canvas.Brush.SetColor(clWindow);
  canvas.Brush.SetStyle(bsSolid);
  canvas.FillRect(client);
  if (!view_) return;
  canvas.Font = Font();
  canvas.Font.SetColor(clBlack);
  const int h = DefaultRowHeight;
  // The column follows the control: its client width minus 10.
  const int columnWidth = client.right - 10;
  canvas.Pen.SetColor(clSilver);
  for (int k = 0; k * h < client.bottom; ++k) {
    RECT cell{0, k * h, columnWidth, (k + 1) * h - 1};
    std::string text;
    if (k == 0) {
      canvas.Brush.SetColor(clBtnFace);
      text = HexHeaderText(view_->Size, view_->FileName);
    } else {
      canvas.Brush.SetColor(clWindow);
      const int64_t row = top_ + k - 1;
      if (row >= view_->Rows) break;
      text = view_->FormatLine(row, 8);
    }
    canvas.TextRect(cell, cell.left + 2, cell.top + 1, text);
    canvas.MoveTo(0, cell.bottom);
    canvas.LineTo(columnWidth, cell.bottom);
  }
}

void TOrvexHexView::KeyDown(WORD& key, TShiftState shift) {
  const int page = VisibleRows();
  switch (key) {
    case VK_UP: SetTopRow(top_ - 1); break;
    case VK_DOWN: SetTopRow(top_ + 1); break;
    case VK_PRIOR: SetTopRow(top_ - page); break;
    case VK_NEXT: SetTopRow(top_ + page); break;
    case VK_HOME: if (shift & ssCtrl) SetTopRow(0); break;
    case VK_END: if (shift & ssCtrl) SetTopRow(LineCount()); break;
    default: TPaintedWindow::KeyDown(key, shift); return;
  }
}

LRESULT TOrvexHexView::WndProc(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
      SetFocus();
      break;
    case WM_MOUSEWHEEL: {
      const int steps = GET_WHEEL_DELTA_WPARAM(w) / WHEEL_DELTA;
      SetTopRow(top_ - 3 * steps);
      return 0;
    }
    case WM_VSCROLL: {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_ALL;
      GetScrollInfo(Handle(), SB_VERT, &si);
      const int64_t lines = LineCount();
      const int64_t scale = lines > 0x3FFFFFFF ? lines / 0x3FFFFFFF + 1 : 1;
      const int page = VisibleRows();
      switch (LOWORD(w)) {
        case SB_LINEUP: SetTopRow(top_ - 1); break;
        case SB_LINEDOWN: SetTopRow(top_ + 1); break;
        case SB_PAGEUP: SetTopRow(top_ - page); break;
        case SB_PAGEDOWN: SetTopRow(top_ + page); break;
        case SB_TOP: SetTopRow(0); break;
        case SB_BOTTOM: SetTopRow(lines); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: SetTopRow(int64_t{si.nTrackPos} * scale); break;
        default: break;
      }
      Update();
      return 0;
    }
    default:
      break;
  }
  return TPaintedWindow::WndProc(message, w, l);
}
