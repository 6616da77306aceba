// The main window's road from a chosen file to the viewer that takes it (pictures so far; the
// other viewers join as their units arrive), and the count of viewers a command-line start
// waits for.
#include <windows.h>

#include <mmsystem.h>

#include "foundation/uFiles.h"
#include "framework/Application.h"
#include "shell/ViewerForm.h"
#include "viewers/picture/PictureWindow.h"

void TViewerForm::OpenSelectedFiles() {
  std::string name = Orvex_FileList1->GetFileName();
  if (!name.empty()) OpenFileByType(name);
}

bool TViewerForm::OpenFileByType(const std::string& fileName) {
  if (FileSizeOf(fileName) <= 0) return false;
  THourGlass wait;
  Application.ProcessMessages();
  return TryKnownViewers(fileName);
}

bool TViewerForm::TryKnownViewers(const std::string& fileName) {
  if (FileSizeOf(fileName) <= 0) return false;
  std::unique_ptr<TStream> file = OpenFileStream(fileName);
  if (!file) return false;
  auto stream = std::make_unique<tBuffStream>(fileName, std::move(file), false);
  if (OpenPictureWindow(this, stream.get(), 0)) {
    stream.release();  // the picture window owns it now
    return true;
  }
  return false;
}

void TViewerForm::IncViewerCount() { ++OpenViewers; }

void TViewerForm::DecViewerCount() {
  if (Interactive || (StartMode != smOpenFile && StartMode != smSaverSettings &&
                      StartMode != smHidden))
    return;
  if (--OpenViewers < 1) Post(WM_CLOSE_REQUEST);
}

void TViewerForm::PlayEventSound(int event) {
  static const wchar_t* const kEvents[] = {L"Tavishore 32 bad file", L"Tavishore 32 update start",
                                           L"Tavishore 32 update done",
                                           L"Tavishore 32 end of slides"};
  if (event < 0 || event > 3 || !ViewerForm) return;
  const bool on[] = {ViewerForm->PictureErrorSound, ViewerForm->StartUpdateSound,
                     ViewerForm->EndUpdateSound, ViewerForm->LastSlideSound};
  if (on[event]) sndPlaySoundW(kEvents[event], SND_ASYNC);
}
