// The picture window's Save command: whole picture or selection, the save dialog on the live
// options of the main window, and the save pipeline with the window's adjustments. A failed save
// is reported and leaves the picture marked unsaved.
#include <windows.h>

#include "foundation/SoundMessageDialog.h"
#include "foundation/uMessages.h"
#include "foundation/uUtil.h"
#include "framework/Application.h"
#include "framework/Text.h"
#include "shell/ViewerForm.h"
#include "viewers/picture/PictureCompanions.h"
#include "viewers/picture/PictureWindow.h"
#include "viewers/picture/SaveDialog.h"
#include "viewers/picture/uSavePicture.h"

namespace {
// The options when no main window holds them (a window of its own, as in tests).
TSaveOptions& LiveOptions() {
  static TSaveOptions own;
  return ViewerForm ? ViewerForm->SaveAsOptions : own;
}

bool SetDesktopWallpaper(const std::string& bmpFile) {
  std::wstring name = Utf8ToWide(bmpFile);
  return SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, name.data(), SPIF_UPDATEINIFILE) != 0;
}
}  // namespace

void SavePictureCommand(TPictureWindow& w) {
  if (!w.Decoder || !w.Decoder->Bitmap || !w.Display || w.Display->Empty()) return;
  TRect clip{w.Selection.left, w.Selection.top, w.Selection.right, w.Selection.bottom};
  NormalizeRect(clip);
  const RECT winClip{clip.Left, clip.Top, clip.Right, clip.Bottom};
  const int choice = ChooseFullOrClipPart(&w, *w.Display, winClip, "Save...");
  if (choice == 0) return;
  TSaveOptions& o = LiveOptions();
  o.BatchMode = 0;
  if (choice == scWhole) {
    o.Width = w.Display->Width();
    o.Height = w.Display->Height();
  } else {
    o.Width = clip.Right - clip.Left + 1;
    o.Height = clip.Bottom - clip.Top + 1;
  }
  o.Colors = w.Decoder->Colors;
  o.SourceGrey = w.Decoder->GrayFlag;
  o.Grayscale = w.Grey == 2;
  o.Picture = w.Decoder.get();
  o.Background = w.Decoder->BackgroundIndex;
  o.Transparent = -1;
  if (!ExecuteSaveDialog(&w, o)) return;
  tSaveAdjustments a;
  a.Adjusted = w.Adjusted;
  a.ColorTables = &w.ColorTables[0][0];
  a.Rotation = w.Rotation;
  a.Mirror = w.Mirror;
  a.Negate = w.Negate;
  a.Sharpen = w.Sharpen;
  tSaveResult r;
  {
    THourGlass wait;
    Application.ProcessMessages();
    if (!w.Decoder) return;  // the window was closed meanwhile
    const TSaveOptions copy = o;
    r = SaveConvertedPicture(*w.Decoder, copy, a, choice, clip);
  }
  w.LastSave = r.FileName;
  if (r.Ok) {
    w.Saved = 1;
  } else {
    const bool sounds = ViewerForm ? ViewerForm->MessageSounds : true;
    SoundMessageDlg("The picture was not saved to " + r.FileName + ":\n" + r.Error, mtError,
                    MsgDlgButtons({mbOK}), sounds, 0);
  }
  if (w.OwnerForm) PostMessageW(w.OwnerForm->Handle(), WM_FOLDER_CHANGED, 0, 0);
}

void RegisterSavePictureCommand() {
  SetWallpaperSetter(SetDesktopWallpaper);
  SetPictureCommand(pbSave, [](TPictureWindow& w, TBitBtn&) { SavePictureCommand(w); });
}
