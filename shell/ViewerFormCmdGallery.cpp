// The gallery button: the thumbnail window over the first window's database, with the main
// window's services (opening pictures, finding a file in a main window, printing, the about box).
#include <windows.h>

#include "foundation/SoundMessageDialog.h"
#include "framework/Text.h"
#include "online/AboutBox.h"
#include "resources/uResStrings.h"
#include "shell/ViewerForm.h"
#include "thumbnails/ThumbPrint.h"
#include "thumbnails/ThumbWindowForm.h"

namespace {
std::string VolumeLabel(const std::string& root) {
  wchar_t label[MAX_PATH + 1] = {};
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  const bool ok = GetVolumeInformationW(Utf8ToWide(root).c_str(), label, MAX_PATH + 1, nullptr,
                                        nullptr, nullptr, nullptr, 0) != 0;
  SetErrorMode(oldMode);
  return ok ? WideToUtf8(label) : std::string();
}
}  // namespace

bool TViewerForm::GalleryAvailable() const {
  return ViewerForm && ViewerForm->Thumbnails != nullptr;
}

void TViewerForm::ShowGallery() {
  if (!GalleryAvailable()) return;
  TViewerForm& s = *ViewerForm;
  // The window writes its place back here when it closes; the settings take it from here.
  const tFormBounds& b = s.GalleryBounds;
  s.GalleryPlace = {b.Left, b.Top, b.Width, b.Height};
  tGalleryHost host;
  host.PerPage = s.GalleryPerPage;
  host.Bounds = s.GalleryPlace.data();
  host.MessageSounds = s.MessageSounds;
  host.PrintSize = &s.GalleryPrintSize;
  host.CenterPrint = &s.GalleryCenterPrint;
  host.Orientation = &s.GalleryOrientation;
  host.OpenPicture = [](const std::string& path) {
    if (ViewerForm) ViewerForm->OpenFileByType(path);
  };
  host.ShowFileInViewerForm = [](const std::string& path) {
    if (ViewerForm) ViewerForm->ShowFileInViewerForm(path);
  };
  host.ShowAbout = [] { ShowAboutBox(); };
  host.DriveLabel = &VolumeLabel;
  host.Ask = [](const std::string& text, bool question, int help) {
    const bool sounds = ViewerForm && ViewerForm->MessageSounds;
    if (!question)
      return SoundMessageDlg(text, mtInformation, MsgDlgButtons({mbOK}), sounds, help) == mrOk;
    return SoundMessageDlg(text, mtConfirmation, MsgDlgButtons({mbYes, mbNo}), sounds, help) ==
           mrYes;
  };
  host.Print = [](tDatabaseView& view, const std::vector<uint32_t>& records,
                  const std::string& headerFormat, const std::string& title) {
    if (!ViewerForm) return;
    PrintThumbnails(view, records, headerFormat, title, ViewerForm,
                    ViewerForm->GalleryCenterPrint, ViewerForm->GalleryPrintSize);
  };
  ShowThumbnailWindow(this, *s.Thumbnails, std::move(host));
}

void TViewerForm::KeepGalleryPlace() {
  if (GalleryPlace[2] > 0 && GalleryPlace[3] > 0)
    GalleryBounds = {GalleryPlace[0], GalleryPlace[1], GalleryPlace[2], GalleryPlace[3]};
}
