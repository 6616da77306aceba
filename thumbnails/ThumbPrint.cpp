#include "thumbnails/ThumbPrint.h"

#include <algorithm>

#include "foundation/uFiles.h"
#include "foundation/uUtil.h"
#include "framework/Application.h"
#include "framework/Bitmap.h"
#include "framework/Printer.h"
#include "imaging/uMemBmpWin.h"
#include "thumbnails/uThumbMake.h"
#include "thumbnails/uThumbPrint.h"
#include "viewers/print/PrintingForm.h"

namespace {

void PrintCell(TPrinter& printer, tThumbnailView& view, uint32_t n, const tThumbPrintLayout& l,
               const tThumbPrintCell& cell) {
  TCanvas& canvas = printer.Canvas();
  TThumbnailRecord r{};
  tMemBmpPtr picture;
  bool read = false;
  try {
    read = ReadThumbnail(view.Database, n, &r, &picture, nullptr);
  } catch (const std::exception&) {
    read = false;
  }
  if (!read) return;
  const int square = l.CellHeight - l.NameLineHeight;
  // A small gap keeps neighbouring thumbnails apart.
  const int gap = std::max(1, l.CellWidth / 24);
  if (picture && picture->Width() > 0 && picture->Height() > 0) {
    int w = 0, h = 0;
    FitRect(l.CellWidth - 2 * gap, square - 2 * gap, picture->Width(), picture->Height(), w, h);
    const int x = cell.Left + (l.CellWidth - w) / 2;
    const int y = cell.Top + gap + (square - 2 * gap - h) / 2;
    TBitmap bitmap;
    bitmap.Assign(AssignToBitmap(*picture));
    canvas.StretchDraw(RECT{x, y, x + w, y + h}, bitmap);
  }
  const std::string name = ExtractFileName(RecordPathText(r));
  RECT line{cell.Left + gap, cell.Top + square, cell.Left + l.CellWidth - gap, cell.Top + l.CellHeight};
  canvas.DrawText(name, line, DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX | DT_TOP);
}

}  // namespace

void PrintThumbnails(tThumbnailView& view, const std::vector<uint32_t>& records,
                     const std::string& headerFormat, const std::string& title,
                     TForm* progressOwner, bool center, int printSize) {
  if (records.empty() || printSize < 0 || printSize > 2) return;
  TPrinter& printer = Printer();
  printer.Title = title;
  if (!printer.BeginDoc()) return;
  TCanvas& canvas = printer.Canvas();
  tThumbPrintDevice device;
  device.HorzRes = printer.DeviceCaps(HORZRES);
  device.VertRes = printer.DeviceCaps(VERTRES);
  device.HorzSize = printer.DeviceCaps(HORZSIZE);
  device.VertSize = printer.DeviceCaps(VERTSIZE);
  device.LogPixelsX = printer.DeviceCaps(LOGPIXELSX);
  device.LogPixelsY = printer.DeviceCaps(LOGPIXELSY);
  device.TextHeight = canvas.TextHeight("Hy");
  device.Landscape = printer.Orientation() == poLandscape;
  const tThumbPrintLayout layout =
      ThumbPrintLayout(device, static_cast<int>(records.size()), printSize, center);
  ShowPrintingForm(progressOwner, title);
  for (size_t k = 0; k < records.size() && !printer.Aborted(); ++k) {
    const tThumbPrintCell cell = ThumbPrintCell(layout, static_cast<int>(k));
    if (cell.StartsPage) {
      if (k > 0) printer.NewPage();
      const std::string page = ThumbPrintPageText(cell.Page + 1, layout.Pages);
      const std::string header = ThumbPrintHeader(headerFormat, page);
      canvas.TextOut(device.HorzRes - canvas.TextWidth(header) - 1, device.VertRes - device.TextHeight,
                     header);
      SetPrintingPageText(PrintingFrm, page);
    }
    PrintCell(printer, view, records[k], layout, cell);
    Application.ProcessMessages();
  }
  if (!printer.Aborted()) printer.EndDoc();
  ClosePrintingForm();
}
