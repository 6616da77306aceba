// What the viewer windows ask of the main window that opened them: the settings they read and
// the services they call. The main window fills this in; until it does, the viewers run with
// the defaults below and the services do nothing. The settings are read again from the main
// window each time the host is asked for, so a change in the options reaches the next viewer.
#pragma once
#include <functional>
#include <string>

#include "foundation/uMessages.h"

class TForm;

struct tViewerHost {
  // Copies the first main window's settings into the fields below.
  std::function<void(tViewerHost& host)> ReadSettings;
  // Settings of the first main window.
  int ParentalLevel = 0;
  int WindowPlacement = 1;  // below 1: the system places viewer windows
  bool MessageSounds = true;
  bool StripTextfileBackspace = false;

  // A viewer window closed.
  std::function<void(TForm* viewer)> DecViewerCount;
  // Offers a file to the viewers that know its type; true when one opened it.
  std::function<bool(TForm* owner, const std::string& path)> TryKnownViewers;
  // The operation sounds 0 (failed) to 3.
  std::function<void(int sound)> PlayOperationSound;
  // The program's event sounds 0 (bad file) to 3 (end of slides).
  std::function<void(int event)> PlayEventSound;
  // A file to delete when the program ends.
  std::function<void(const std::string& path)> AddTempFile;
  // Every main window rescans the folder (ChangedFolder, then command 5 to all of them).
  std::function<void(const std::string& folder)> FolderChanged;
  // A document for the shell: an HTML page in the browser.
  std::function<void(const std::string& path)> OpenShellDocument;
  std::function<void()> ShowAbout;
};

tViewerHost& ViewerHost();
