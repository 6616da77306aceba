// The road from a chosen file to the window that shows it: a slide show for a tagged
// selection, else the first viewer that takes the file (picture, HTML through the browser,
// text, zip, media), else the shell's own program when allowed, else a hex dump after asking.
// The decisions are kept apart from the windows: the main window answers tOpenRoadHost with
// the real viewers, and the tests with a recorder.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The modifiers of the last press in the file list (the framework's ssShift, ssAlt, ssCtrl).
enum : unsigned { kRoadShift = 1, kRoadAlt = 2, kRoadCtrl = 4 };

// The settings the road reads (the first main window's).
struct tOpenRoadSettings {
  bool WindowlessWavs = false;
  bool HexWindow = false;
  int32_t OpenHtml = 0;
  bool OpenDocuments = false;
  int32_t ParentalLevel = 0;
};

// The viewers that take an open stream, in the order they are offered it.
enum class tStreamViewer { Picture, Text, Zip };

class tOpenRoadHost {
 public:
  virtual ~tOpenRoadHost() = default;
  // The file's size, 0 for a missing file.
  virtual int64_t FileSize(const std::string& name) = 0;
  // Opens the file for reading (sharing allowed); false when it cannot be read.
  virtual bool OpenStream(const std::string& name) = 0;
  // Offers the open stream; true when the viewer took it (it owns the stream from then on).
  virtual bool OfferStream(tStreamViewer viewer) = 0;
  // Frees the stream when no stream viewer took it (also after the browser took the file).
  virtual void FreeStream() = 0;
  virtual bool OpenMedia(const std::string& name) = 0;
  virtual void OpenHex(const std::string& name) = 0;
  // An HTML page for the shell's registered program or the default browser.
  virtual void ShellOpenDocument(const std::string& name) = 0;
  // Plays a WAV file to its end before returning.
  virtual void PlaySoundFile(const std::string& name) = 0;
  // The program the shell names for the file ('' when none).
  virtual std::string AssociatedProgram(const std::string& name) = 0;
  // Opens the file with its registered program; the error's name, '' when it started.
  virtual std::string ShellOpen(const std::string& name) = 0;
  // The confirmation question with Yes, No and Help; true on Yes.
  virtual bool AskYesNo(const std::string& question, int helpContext) = 0;
  // A message box with an OK button.
  virtual void Message(const std::string& text, const std::string& caption) = 0;
  // The hourglass while the road runs; the pending messages are processed when it goes on.
  virtual void Busy(bool on) = 0;
};

inline constexpr const char* kUnknownTypeQuestion = "Unknown file type. Show contents?";
inline constexpr const char* kRunInWindowsQuestion = "Open (run) in Windows?";
inline constexpr int kUnknownTypeHelp = 52;
inline constexpr int kRunInWindowsHelp = 67;

// The file, when its extension is ".htm" or ".html" (any case); else ''.
std::string GetHtmlFileName(const std::string& name);

// The viewer chain; true when something opened the file.
bool TryKnownViewers(tOpenRoadHost& host, const tOpenRoadSettings& settings,
                     const std::string& name);
// The whole road for one file, with the modifiers held.
bool OpenFileByType(tOpenRoadHost& host, const tOpenRoadSettings& settings, unsigned shift,
                    const std::string& name);

// What a double-click in the file list does.
enum class tSelectionAction { OpenCurrent, SlideShow, Nothing };
// hasTagged: the current item is tagged (the list hands out the tagged selection).
tSelectionAction SelectionAction(bool hasTagged, unsigned shift);

// The default browser's command made into a program to start and its parameters for the
// document: every "%1" (quoted or not) goes, the program is the command's first word
// (quote-aware) and its other words stay in front of the document's name, which is quoted
// when it holds blanks.
struct tBrowserStart {
  std::string Program, Parameters;
};
tBrowserStart BrowserStart(std::string command, const std::string& document);

// The program's event sounds: 0 bad file, 1 update start, 2 update done, 3 end of slides.
struct tSoundSettings {
  bool PictureErrorSound = true, StartUpdateSound = false, EndUpdateSound = true,
       LastSlideSound = true, MessageSounds = true;
};
// The registered event name to play, '' for silence: each event by its own option.
std::string EventSoundName(int event, const tSoundSettings& settings);
// The same four sounds, all by the message-sounds option.
std::string OperationSoundName(int event, const tSoundSettings& settings);
