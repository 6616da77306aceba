// The main window's road from a chosen file to the viewer that takes it (uOpenRoad decides,
// the real viewers answer here), the count of viewers a command-line start waits for, the
// program's sounds, and what the viewers ask of their main window (ViewerHost).
#include <windows.h>

#include <mmsystem.h>
#include <shellapi.h>

#include "foundation/SoundMessageDialog.h"
#include "foundation/uFiles.h"
#include "foundation/uIniHistoryWin.h"
#include "foundation/uRegistry.h"
#include "foundation/uShell.h"
#include "framework/Application.h"
#include "framework/Text.h"
#include "online/AboutBox.h"
#include "shell/ViewerForm.h"
#include "shell/uOpenRoad.h"
#include "thumbnails/SlideShowWindow.h"
#include "viewers/ViewerHost.h"
#include "viewers/hex/HexWindow.h"
#include "viewers/media/VideoWindow.h"
#include "viewers/picture/DetailsWindow.h"
#include "viewers/picture/PictureWindow.h"
#include "viewers/picture/ZoomWindow.h"
#include "viewers/text/TextWindow.h"
#include "viewers/zip/ZipForm.h"

namespace {
const TViewerForm& Settings(const TViewerForm& form) { return ViewerForm ? *ViewerForm : form; }

tOpenRoadSettings RoadSettings(const TViewerForm& form) {
  const TViewerForm& s = Settings(form);
  tOpenRoadSettings r;
  r.WindowlessWavs = s.WindowlessWavs;
  r.HexWindow = s.HexWindow;
  r.OpenHtml = s.OpenHtml;
  r.OpenDocuments = s.OpenDocuments;
  r.ParentalLevel = s.ParentalLevel;
  return r;
}

tSoundSettings SoundSettings(const TViewerForm& form) {
  const TViewerForm& s = Settings(form);
  return tSoundSettings{s.PictureErrorSound, s.StartUpdateSound, s.EndUpdateSound,
                        s.LastSlideSound, s.MessageSounds};
}

void PlayNamedSound(const std::string& name) {
  if (!name.empty()) sndPlaySoundW(Utf8ToWide(name).c_str(), SND_ASYNC);
}

// The real viewers behind the road, for one main window.
class tMainWindowRoad : public tOpenRoadHost {
 public:
  explicit tMainWindowRoad(TViewerForm& form) : form_(form) {}

  int64_t FileSize(const std::string& name) override {
    return std::max<int64_t>(0, FileSizeOf(name));
  }
  bool OpenStream(const std::string& name) override {
    std::unique_ptr<TStream> file = OpenFileStream(name);
    if (!file) return false;
    stream_ = std::make_unique<tBuffStream>(name, std::move(file), false);
    return true;
  }
  bool OfferStream(tStreamViewer viewer) override {
    switch (viewer) {
      case tStreamViewer::Picture:
        if (!OpenPictureWindow(&form_, stream_.get(), 0)) return false;
        stream_.release();  // the picture window owns it now
        return true;
      case tStreamViewer::Text:
        return OpenTextWindow(&form_, stream_);
      case tStreamViewer::Zip:
        return OpenZipWindow(&form_, stream_);
    }
    return false;
  }
  void FreeStream() override { stream_.reset(); }
  bool OpenMedia(const std::string& name) override {
    const TViewerForm& s = Settings(form_);
    TMediaWindowSettings media;
    media.MessageSounds = s.MessageSounds;
    media.MovieDisplaySize = s.MovieDisplaySize;
    media.WindowPlacement = s.WindowPlacement;
    media.ShowHidden = s.SaveAsOptions.ShowHidden != 0;
    TViewerForm* owner = &form_;
    media.OnClosed = [owner] {
      // The window may have gone before its media window.
      for (TForm* f : Screen.Forms)
        if (f == owner) owner->DecViewerCount();
    };
    media.OnAbout = [] {
      if (ViewerHost().ShowAbout) ViewerHost().ShowAbout();
    };
    return OpenMediaWindow(&form_, name, media);
  }
  void OpenHex(const std::string& name) override { OpenHexWindow(&form_, name); }
  void ShellOpenDocument(const std::string& name) override { ::ShellOpenDocument(&form_, name); }
  void PlaySoundFile(const std::string& name) override {
    sndPlaySoundW(Utf8ToWide(name).c_str(), 0);
  }
  std::string AssociatedProgram(const std::string& name) override {
    return FindAssociatedProgram(name);
  }
  std::string ShellOpen(const std::string& name) override {
    std::string error;
    if (::ShellOpen(name, error)) return {};
    return error.empty() ? "Undefined error" : error;
  }
  bool AskYesNo(const std::string& question, int helpContext) override {
    return SoundMessageDlg(question, mtConfirmation, MsgDlgButtons({mbYes, mbNo, mbHelp}),
                           Settings(form_).MessageSounds, helpContext) == mrYes;
  }
  void Message(const std::string& text, const std::string& caption) override {
    MessageBoxW(form_.Handle(), Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(), MB_OK);
  }
  void Busy(bool on) override {
    if (on) {
      wait_ = std::make_unique<THourGlass>();
      Application.ProcessMessages();
    } else {
      wait_.reset();
    }
  }

 private:
  TViewerForm& form_;
  std::unique_ptr<tBuffStream> stream_;
  std::unique_ptr<THourGlass> wait_;
};
}  // namespace

void ShellOpenDocument(TForm* owner, const std::string& name) {
  const std::wstring document = Utf8ToWide(name);
  intptr_t code = reinterpret_cast<intptr_t>(
      ShellExecuteW(nullptr, L"open", document.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (code < 33) {
    const tBrowserStart start = BrowserStart(GetDefaultBrowserCommand(), name);
    code = reinterpret_cast<intptr_t>(ShellExecuteW(nullptr, L"open",
                                                    Utf8ToWide(start.Program).c_str(),
                                                    Utf8ToWide(start.Parameters).c_str(),
                                                    nullptr, SW_SHOWNORMAL));
  }
  const std::string error = ShellErrorText(code);
  if (error.empty()) return;
  const std::string text =
      "Yet another Microsoft bug: error " + std::to_string(code) + " (" + error + ")";
  MessageBoxW(owner ? owner->Handle() : nullptr, Utf8ToWide(text).c_str(),
              L"Another Microsoft bug", MB_OK);
}

void TViewerForm::OpenSelectedFiles() {
  const std::string folder = Orvex_FileList1->Directory();
  const int history = Settings(*this).FolderHistory;
  AddComboHistory(*cbDir, history, folder, "");
  if (!IsFirst() && ViewerForm) {
    ViewerForm->cbDir->Clear();
    for (int i = 0; i < cbDir->Count(); ++i) ViewerForm->cbDir->Add(cbDir->String(i));
  }
  const std::vector<std::string>* tagged = Orvex_FileList1->GetTaggedSelection();
  const std::string name = Orvex_FileList1->GetFileName();
  switch (SelectionAction(tagged != nullptr, ShiftState)) {
    case tSelectionAction::OpenCurrent:
      if (!name.empty()) OpenFileByType(name);
      break;
    case tSelectionAction::SlideShow:
      StartSlideShowOf(*tagged);
      break;
    case tSelectionAction::Nothing:
      break;
  }
}

tSlideShowHost SlideShowHostOf(TViewerForm& form) {
  TViewerForm& s = ViewerForm ? *ViewerForm : form;
  tSlideShowHost host;
  host.SlidePosition = &s.SlidePosition;
  host.LastSlideSound = s.LastSlideSound;
  host.ZoomPercent = s.ZoomPercent;
  TViewerForm* owner = &form;
  host.PlayEndOfSlidesSound = [owner] { owner->PlayEventSound(3); };
  // The pointer's place on the screen picks the region of the picture that is enlarged.
  host.ShowMagnifier = [](TForm* show, TBitmap& picture, int zoomPercent) {
    POINT at{};
    GetCursorPos(&at);
    ShowMagnifier(show, picture, at, zoomPercent);
  };
  return host;
}

void TViewerForm::StartSlideShowOf(const std::vector<std::string>& list) {
  TViewerForm& s = ViewerForm ? *ViewerForm : *this;
  StartSlideShow(this, Handle(), list, true, s.SlideDelay,
                 s.SlideWallpaper ? s.SlidePaper : std::string(), s.SlideColor,
                 s.SlideOriginalSize, SlideShowHostOf(*this));
}

bool TViewerForm::OpenFileByType(const std::string& fileName) {
  tMainWindowRoad road(*this);
  return ::OpenFileByType(road, RoadSettings(*this), ShiftState, fileName);
}

bool TViewerForm::TryKnownViewers(const std::string& fileName) {
  tMainWindowRoad road(*this);
  return ::TryKnownViewers(road, RoadSettings(*this), fileName);
}

void TViewerForm::IncViewerCount() { ++OpenViewers; }

void TViewerForm::DecViewerCount() {
  if (Interactive || (StartMode != smOpenFile && StartMode != smSaverSettings &&
                      StartMode != smHidden))
    return;
  if (--OpenViewers < 1) Post(WM_CLOSE_REQUEST);
}

void TViewerForm::PlayEventSound(int event) {
  PlayNamedSound(EventSoundName(event, SoundSettings(*this)));
}

void TViewerForm::PlayOperationSound(int event) {
  PlayNamedSound(OperationSoundName(event, SoundSettings(*this)));
}

void ConnectViewerHost() {
  tViewerHost& host = ViewerHost();
  // Read live: the options dialog changes these after the first window made the host.
  host.ReadSettings = [](tViewerHost& h) {
    if (!ViewerForm) return;
    h.ParentalLevel = ViewerForm->ParentalLevel;
    h.WindowPlacement = ViewerForm->WindowPlacement;
    h.MessageSounds = ViewerForm->MessageSounds;
    h.StripTextfileBackspace = ViewerForm->StripTextfileBackspace;
  };
  auto mainWindow = [](TForm* owner) -> TViewerForm* {
    for (TForm* f : Screen.Forms)
      if (f == owner) return dynamic_cast<TViewerForm*>(owner);
    return nullptr;
  };
  host.DecViewerCount = [mainWindow](TForm* viewer) {
    if (TViewerForm* owner = viewer ? mainWindow(dynamic_cast<TForm*>(viewer->Owner())) : nullptr)
      owner->DecViewerCount();
  };
  host.TryKnownViewers = [mainWindow](TForm* owner, const std::string& path) {
    TViewerForm* form = mainWindow(owner);
    if (!form) form = ViewerForm;
    return form && form->TryKnownViewers(path);
  };
  host.PlayOperationSound = [](int sound) {
    if (ViewerForm) ViewerForm->PlayOperationSound(sound);
  };
  host.AddTempFile = [](const std::string& path) {
    if (ViewerForm && ViewerForm->TempFiles) ViewerForm->TempFiles->push_back(path);
  };
  host.FolderChanged = [](const std::string& folder) {
    if (!ViewerForm) return;
    ViewerForm->ChangedFolder = folder;
    ViewerForm->NotifyAllViewerForms(5);
  };
  host.PlayEventSound = [](int event) {
    if (ViewerForm) ViewerForm->PlayEventSound(event);
  };
  host.OpenShellDocument = [](const std::string& path) { ShellOpenDocument(ViewerForm, path); };
  host.ShowAbout = [] { ShowAboutBox(nullptr, GetActiveWindow()); };
  // The picture window's Details button, unless its commands brought their own.
  if (!HasPictureCommand(pbDoc))
    SetPictureCommand(pbDoc, [](TPictureWindow& window, TBitBtn& button) {
      if (!window.Decoder) return;
      const POINT at = button.ClientToScreen(POINT{0, button.Height()});
      ShowPictureDetails(&window, *window.Decoder, at);
    });
}
