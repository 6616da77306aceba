#include "shell/BatchPrintDialog.h"

#include <memory>

#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Label.h"
#include "framework/Printer.h"
#include "framework/RadioButton.h"
#include "framework/Text.h"
#include "framework/TrackBar.h"
#include "imaging/uGraphic.h"
#include "imaging/uImageOps.h"
#include "shell/BatchRenameDialog.h"
#include "shell/ViewerForm.h"
#include "thumbnails/cShowControls.h"
#include "viewers/print/PrintingForm.h"

namespace {

std::unique_ptr<tGraphicID> DecodeFile(const std::string& path) {
  auto file = OpenFileStream(path);
  if (!file) return nullptr;
  auto* stream = new tBuffStream(path, std::move(file), false);
  auto id = std::make_unique<tGraphicID>(stream);
  id->FileName = path;
  if (!id->IdentifyPicture()) {
    delete stream;
    return nullptr;
  }
  try {
    id->LoadPicture();
  } catch (...) {
    return nullptr;
  }
  if (!id->Bitmap || !id->Bitmap->HasLayout()) return nullptr;
  return id;
}

void StretchPicture(HDC dc, tMemBmp& picture, const TRect& r) {
  tMemBmpPtr direct;
  tMemBmp* p = &picture;
  if (p->BitCount() == 15 || p->BitCount() == 16 || p->BitCount() == 32) {
    direct = ConvertTo24Bit(picture);
    if (direct) p = direct.get();
  }
  SetStretchBltMode(dc, HALFTONE);
  StretchDIBits(dc, r.Left, r.Top, r.Right - r.Left + 1, r.Bottom - r.Top + 1, 0, 0, p->Width(),
                p->Height(), p->Bits, reinterpret_cast<const BITMAPINFO*>(p->InfoHeader),
                DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace

int PrintBatch(const std::vector<std::string>& files, const tBatchPrintOptions& o, TForm* owner) {
  TPrinter& printer = Printer();
  int printed = 0;
  if (files.size() < 2) return 0;
  if (o.Style == bpSeparatePictures && o.PerPage == 0) {
    // One picture per job, fitted to its page.
    for (size_t i = 1; i < files.size(); ++i) {
      auto id = DecodeFile(JoinPath(files[0], files[i]));
      if (!id) continue;
      tMemBmp& pic = *id->Bitmap;
      printer.SetOrientation(pic.Width() > pic.Height() ? poLandscape : poPortrait);
      ShowPrintingForm(owner, files[i]);
      printer.Title = files[i];
      if (printer.BeginDoc()) {
        TRect r;
        FitCenterRect(printer.PageWidth(), printer.PageHeight(), pic.Width(), pic.Height(), r);
        StretchPicture(printer.Handle(), pic, r);
        printer.EndDoc();
        ++printed;
      }
      ClosePrintingForm();
    }
    return printed;
  }
  const bool album = o.Style == bpAlbumPage;
  printer.SetOrientation(album && o.Landscape ? poLandscape : poPortrait);
  const tBatchPrintLayout layout =
      BatchPrintLayout(o.Style, o.PerPage, album && o.Landscape, printer.PageWidth(),
                       printer.PageHeight(), printer.DeviceCaps(HORZSIZE), o.Border);
  printer.Title = Format(album ? "%s album page print" : "%s batch print", {Application.Title});
  for (size_t i = 1; i < files.size() && !printer.Aborted(); ++i) {
    auto id = DecodeFile(JoinPath(files[0], files[i]));
    if (!id) continue;  // not a picture: no empty cell
    tMemBmp* pic = id->Bitmap.get();
    // The document starts with the first picture; the name is measured on the printer's page.
    if (printed == 0 && !printer.BeginDoc()) return 0;
    TCanvas& canvas = printer.Canvas();
    canvas.Font.SetName("Arial");
    canvas.Font.SetSize(5);
    const int nameW = o.FileName ? canvas.TextWidth(files[i]) : 0;
    const int nameH = o.FileName ? canvas.TextHeight(files[i]) : 0;
    const tCellPlacement place = PlacePicture(layout, printed, pic->Width(), pic->Height(), nameW, nameH);
    tMemBmpPtr turned;
    if (place.Rotate) {
      turned = RotateImage(*pic, 1);
      if (turned) pic = turned.get();
    }
    if (printed > 0 && place.NewPage) printer.NewPage();
    HDC dc = printer.Handle();
    if (place.NewPage && o.Outline) {
      HPEN pen = CreatePen(PS_DASH, 1, RGB(0, 0, 0));
      HGDIOBJ old = SelectObject(dc, pen);
      SetROP2(dc, R2_COPYPEN);
      for (const tGridLine& line : GridOutline(layout)) {
        MoveToEx(dc, line.From.X, line.From.Y, nullptr);
        LineTo(dc, line.To.X, line.To.Y);
      }
      SelectObject(dc, old);
      DeleteObject(pen);
    }
    ShowPrintingForm(owner, files[i]);
    StretchPicture(dc, *pic, place.Picture);
    if (o.FileName) {
      SetBkMode(dc, TRANSPARENT);
      canvas.TextOut(place.NamePos.X, place.NamePos.Y, files[i]);
    }
    ClosePrintingForm();
    ++printed;
  }
  if (printed > 0) printer.EndDoc();
  return printed;
}

TdlgBatchPrint::TdlgBatchPrint(TComponent* owner, const std::vector<std::string>* files)
    : TForm(owner, bsDialog) {
  if (files) files_ = *files;
  SetCaption("Batch Print");
  Position = poScreenCenter;
  SetClientSize(300, 236);
  auto* style = new TLabel(this, this, 12, 8, 80, 16);
  style->SetCaption(" Style ");
  rbAlbum = new TRadioButton(this, this, "Album page", 20, 28, 120, 20, true);
  rbSeparate = new TRadioButton(this, this, "Separate pictures", 20, 50, 140, 20, false);
  auto* per = new TLabel(this, this, 12, 80, 80, 16);
  per->SetCaption("Per page");
  tbPerPage = new TTrackBar(this, this, 12, 98, 180, 30);
  tbPerPage->SetRange(0, 3);
  for (int i = 0; i < 4; ++i) PerPageLabels[i] = new TLabel(this, this, 20 + i * 52, 130, 30, 16);
  auto* border = new TLabel(this, this, 200, 28, 50, 16);
  border->SetCaption("Border");
  seBorder = new TSpinEdit(this, this, 250, 26, 40, 22, 0, 5);
  cbOutline = new TCheckBox(this, this, "Outline", 200, 60, 90, 20);
  cbFileName = new TCheckBox(this, this, "File name", 200, 84, 90, 20);
  lblCount = new TLabel(this, this, 12, 160, 280, 16);
  btnOK = new TButton(this, this, "OK", 52, 200, 75, 26);
  btnOK->SetDefault(true);
  btnCancel = new TButton(this, this, "Cancel", 134, 200, 75, 26);
  btnCancel->SetCancel(true);
  btnCancel->ModalResult = mrCancel;
  btnHelp = new TButton(this, this, "Help", 216, 200, 75, 26);
  rbAlbum->OnClick = [this](TComponent*) { StyleChanged(); };
  rbSeparate->OnClick = [this](TComponent*) { StyleChanged(); };
  if (files_.size() >= 2) {
    lblCount->SetCaption(Format("Print %d pictures", {static_cast<int>(files_.size()) - 1}));
  } else {
    lblCount->SetCaption("NO PICTURES TO PRINT");
    btnOK->SetEnabled(false);
    if (!ViewerForm || ViewerForm->MessageSounds) MessageBeep(MB_ICONHAND);
  }
  tBatchPrintOptions o;
  if (ViewerForm) {
    o.Style = ViewerForm->BatchPrintStyle;
    o.PerPage = ViewerForm->BatchPrintPerPage;
    o.Border = ViewerForm->BatchPrintBorder;
    o.Outline = ViewerForm->BatchPrintOutline;
    o.FileName = ViewerForm->BatchPrintFileName;
    o.Landscape = ViewerForm->BatchPrintOrientation == 1;
  }
  SetOptions(o);
  btnOK->OnClick = [this](TComponent*) {
    const tBatchPrintOptions chosen = Options();
    PrintBatch(files_, chosen, this);
    if (ViewerForm) {
      ViewerForm->BatchPrintStyle = chosen.Style;
      ViewerForm->BatchPrintPerPage = chosen.PerPage;
      ViewerForm->BatchPrintBorder = chosen.Border;
      ViewerForm->BatchPrintOutline = chosen.Outline;
      ViewerForm->BatchPrintFileName = chosen.FileName;
    }
    ModalResult = mrOk;
  };
  FinishCreate();
}

tBatchPrintOptions TdlgBatchPrint::Options() const {
  tBatchPrintOptions o;
  o.Style = rbAlbum->Checked() ? bpAlbumPage : bpSeparatePictures;
  o.PerPage = tbPerPage->Position();
  o.Border = seBorder->Value();
  o.Outline = cbOutline->Checked();
  o.FileName = cbFileName->Checked();
  o.Landscape = ViewerForm && ViewerForm->BatchPrintOrientation == 1;
  return o;
}

void TdlgBatchPrint::SetOptions(const tBatchPrintOptions& o) {
  rbAlbum->SetChecked(o.Style == bpAlbumPage);
  rbSeparate->SetChecked(o.Style != bpAlbumPage);
  tbPerPage->SetPosition(o.PerPage);
  seBorder->SetValue(o.Border);
  cbOutline->SetChecked(o.Outline);
  cbFileName->SetChecked(o.FileName);
  StyleChanged();
}

void TdlgBatchPrint::StyleChanged() {
  const bool album = rbAlbum->Checked();
  const char* texts[] = {"1", "2", album ? "6" : "4", album ? "12" : "8"};
  for (int i = 0; i < 4; ++i) PerPageLabels[i]->SetCaption(texts[i]);
}

void ShowBatchPrintDialog(const std::vector<std::string>* files) {
  TdlgBatchPrint dlg(ViewerForm, files);
  dlg.ShowModal();
}
