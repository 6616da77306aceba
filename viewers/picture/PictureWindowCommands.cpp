// The picture window's button commands other than the decode cycle: full screen, magnifier,
// details, printing, encoding, copying, the adjustment tool and the about box. Saving has a
// unit of its own.
#include <windows.h>

#include "foundation/SoundMessageDialog.h"
#include "foundation/uFiles.h"
#include "foundation/uMessages.h"
#include "foundation/uUtil.h"
#include "framework/Application.h"
#include "framework/Clipboard.h"
#include "framework/Printer.h"
#include "imaging/uGraphics.h"
#include "online/AboutBox.h"
#include "shell/ViewerForm.h"
#include "viewers/picture/PictureCompanions.h"
#include "viewers/picture/PictureWindow.h"
#include "viewers/picture/TweakForm.h"
#include "viewers/picture/ZoomWindow.h"
#include "viewers/print/PrintingForm.h"
#include "viewers/text/uUUCode.h"

namespace {
bool Sounds() { return ViewerForm ? ViewerForm->MessageSounds : true; }

RECT NormalizedSelection(const TPictureWindow& w) {
  TRect r{w.Selection.left, w.Selection.top, w.Selection.right, w.Selection.bottom};
  NormalizeRect(r);
  return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

bool HasDisplay(const TPictureWindow& w) { return w.Display && !w.Display->Empty(); }

void PrintCommand(TPictureWindow& w) {
  if (!HasDisplay(w)) return;
  TBitmap& display = *w.Display;
  Printer().SetOrientation(poLandscape);
  const RECT clip = NormalizedSelection(w);
  const int choice = ChooseFullOrClipPart(&w, display, clip, "Print...");
  if (choice == 0) return;
  // Rows of the bitmap count from the bottom.
  const RECT src =
      choice == 1 ? RECT{0, 0, display.Width(), display.Height()} : FlipRect(display, clip);
  Printer().SetOrientation(src.right - src.left <= src.bottom - src.top ? poPortrait : poLandscape);
  TPrintDialog dialog;
  if (!dialog.Execute(w.Handle())) return;
  ShowPrintingForm(&w, w.Caption());
  TPrinter& printer = Printer();
  printer.Title = w.Caption();
  if (printer.BeginDoc()) {
    int fw = 0, fh = 0;
    FitRect(printer.PageWidth(), printer.PageHeight(), src.right - src.left, src.bottom - src.top,
            fw, fh);
    StretchDrawDIB(printer.Canvas(), RECT{0, 0, fw, fh}, display, src);
    printer.EndDoc();
  }
  ClosePrintingForm();
}

void EncodeCommand(TPictureWindow& w) {
  if (w.NoFile || !w.Decoder) return;
  const std::string file = w.Decoder->FileName;
  const std::string name = ExtractFileName(file);
  if (SoundMessageDlg("Encode \"" + name + "\"", mtConfirmation,
                      MsgDlgButtons({mbYes, mbNo, mbHelp}), Sounds(), 35) != mrYes)
    return;
  std::string output;
  int result;
  {
    THourGlass wait;
    Application.ProcessMessages();
    result = ViewerForm && ViewerForm->UuXxEncoding != 0 ? UUEncodeFile(file, output)
                                                         : XXEncodeFile(file, output);
  }
  if (result == 0) {
    SoundMessageDlg(name + " encoded to " + output, mtInformation, MsgDlgButtons({mbOK, mbHelp}),
                    Sounds(), 36);
    w.Encoded = 1;
    w.EncodeButton->SetEnabled(false);
  } else {
    // Every failure is one: the output may not have been created either.
    SoundMessageDlg(name + " failed!", mtWarning, MsgDlgButtons({mbOK, mbHelp}), Sounds(), 37);
  }
  if (w.OwnerForm) PostMessageW(w.OwnerForm->Handle(), WM_FOLDER_CHANGED, 0, 0);
}

void CopyCommand(TPictureWindow& w) {
  if (!HasDisplay(w)) return;
  TBitmap& display = *w.Display;
  const RECT clip = NormalizedSelection(w);
  const int choice = ChooseFullOrClipPart(&w, display, clip, "Copy to clipboard...");
  if (choice == 1) {
    SetClipboardBitmap(display);
  } else if (choice == 2) {
    TBitmap part;
    if (!part.SetSize(clip.right - clip.left, clip.bottom - clip.top)) return;
    BitBlt(part.Canvas().Handle(), 0, 0, part.Width(), part.Height(), display.Canvas().Handle(),
           clip.left, clip.top, SRCCOPY);
    SetClipboardBitmap(part);
  }
}

void ZoomCommand(TPictureWindow& w) {
  if (HasDisplay(w)) ShowMagnifier(&w, *w.Display, w.ZoomPoint, w.ZoomPercent);
}

void DetailsCommand(TPictureWindow& w, TBitBtn& button) {
  if (!w.Decoder) return;
  RECT r = button.ClientRect();
  POINT at{r.right - 10, r.bottom - 10};
  ClientToScreen(button.Handle(), &at);
  ShowDetailsOf(&w, *w.Decoder, at);
}

void TweakCommand(TPictureWindow& w) {
  if (!HasDisplay(w)) return;
  if (!w.TweakSource) {
    std::vector<uint8_t> info, bits;
    auto copy = std::make_unique<TBitmap>();
    if (w.Display->GetDIB(info, bits) &&
        copy->LoadFromDIB(reinterpret_cast<BITMAPINFO*>(info.data()), bits.data()))
      w.TweakSource = std::move(copy);
  }
  ShowTweakForm(w);
}
}  // namespace

void RegisterSavePictureCommand();

void RegisterPictureCommands() {
  static bool done = false;
  if (done) return;
  done = true;
  SetPictureCommand(pbAbout, [](TPictureWindow& w, TBitBtn&) { ShowAboutBox(&w, w.Handle()); });
  SetPictureCommand(pbFullScreen, [](TPictureWindow& w, TBitBtn&) {
    if (HasDisplay(w)) ShowFullScreen(&w, *w.Display);
  });
  SetPictureCommand(pbZoom, [](TPictureWindow& w, TBitBtn&) { ZoomCommand(w); });
  SetPictureCommand(pbDoc, [](TPictureWindow& w, TBitBtn& b) { DetailsCommand(w, b); });
  SetPictureCommand(pbPrint, [](TPictureWindow& w, TBitBtn&) { PrintCommand(w); });
  SetPictureCommand(pbEncode, [](TPictureWindow& w, TBitBtn&) { EncodeCommand(w); });
  SetPictureCommand(pbCopy, [](TPictureWindow& w, TBitBtn&) { CopyCommand(w); });
  SetPictureCommand(pbTweak, [](TPictureWindow& w, TBitBtn&) { TweakCommand(w); });
  RegisterSavePictureCommand();
}
