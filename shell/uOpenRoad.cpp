#include "shell/uOpenRoad.h"

#include <cctype>

#include "foundation/uFiles.h"
#include "foundation/uUtil.h"

namespace {
std::string LowerExtension(const std::string& name) {
  std::string ext = ExtractFileExt(name);
  for (char& c : ext) c = LowerChar(c);
  return ext;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trimmed(const std::string& text) {
  size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  return text.substr(b, e - b);
}

enum class tChain { Opened, Refused, Unreadable };

tChain RunChain(tOpenRoadHost& host, const tOpenRoadSettings& settings, const std::string& name) {
  if (host.FileSize(name) <= 0) return tChain::Refused;
  if (!host.OpenStream(name)) {
    // A locked file or one without rights is no unknown type: say so once and go no further.
    host.Message("Cannot open " + name, "error");
    return tChain::Unreadable;
  }
  if (host.OfferStream(tStreamViewer::Picture)) return tChain::Opened;
  if (settings.OpenHtml != 0 && !GetHtmlFileName(name).empty()) {
    host.FreeStream();
    host.ShellOpenDocument(name);
    return tChain::Opened;
  }
  if (host.OfferStream(tStreamViewer::Text) || host.OfferStream(tStreamViewer::Zip))
    return tChain::Opened;
  host.FreeStream();
  if (host.OpenMedia(name)) return tChain::Opened;
  if (settings.ParentalLevel == 0 && settings.OpenDocuments) {
    std::string program;
    const bool shortcut = LowerExtension(name) == ".lnk";
    if (!shortcut) program = host.AssociatedProgram(name);
    if ((shortcut || !program.empty()) && host.AskYesNo(kRunInWindowsQuestion, kRunInWindowsHelp)) {
      const std::string error = host.ShellOpen(name);
      if (!error.empty()) host.Message("error " + error + "\r(" + name + ")\r(" + program + ")", "error");
      return tChain::Opened;
    }
  }
  return tChain::Refused;
}
}  // namespace

std::string GetHtmlFileName(const std::string& name) {
  const std::string ext = LowerExtension(name);
  return ext == ".htm" || ext == ".html" ? name : std::string();
}

bool TryKnownViewers(tOpenRoadHost& host, const tOpenRoadSettings& settings,
                     const std::string& name) {
  return RunChain(host, settings, name) == tChain::Opened;
}

bool OpenFileByType(tOpenRoadHost& host, const tOpenRoadSettings& settings, unsigned shift,
                    const std::string& name) {
  if (host.FileSize(name) <= 0) return false;
  host.Busy(true);
  bool result = false;
  if (shift & kRoadAlt) {
    host.OpenHex(name);
    result = true;
  } else if (settings.WindowlessWavs && LowerExtension(name) == ".wav") {
    host.PlaySoundFile(name);
  } else {
    const tChain chain = RunChain(host, settings, name);
    result = chain == tChain::Opened;
    if (chain == tChain::Refused &&
        (settings.HexWindow || host.AskYesNo(kUnknownTypeQuestion, kUnknownTypeHelp))) {
      host.OpenHex(name);
      result = true;
    }
  }
  host.Busy(false);
  return result;
}

tSelectionAction SelectionAction(bool hasTagged, unsigned shift) {
  if (!hasTagged) return tSelectionAction::OpenCurrent;
  return shift & (kRoadCtrl | kRoadAlt) ? tSelectionAction::Nothing : tSelectionAction::SlideShow;
}

tBrowserStart BrowserStart(std::string command, const std::string& document) {
  RemoveAllText(command, "\"%1\"");
  RemoveAllText(command, "%1");
  command = Trimmed(command);
  tBrowserStart start;
  std::string rest;
  if (!command.empty() && command[0] == '"') {
    const size_t close = command.find('"', 1);
    start.Program = command.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    if (close != std::string::npos) rest = command.substr(close + 1);
  } else {
    size_t end = 0;
    while (end < command.size() && !IsBlank(command[end])) ++end;
    start.Program = command.substr(0, end);
    rest = command.substr(end);
  }
  rest = Trimmed(rest);
  const bool blanks = document.find_first_of(" \t") != std::string::npos;
  const std::string quoted = blanks ? "\"" + document + "\"" : document;
  start.Parameters = rest.empty() ? quoted : rest + " " + quoted;
  return start;
}

namespace {
const char* const kEventNames[] = {"Tavishore 32 bad file", "Tavishore 32 update start",
                                   "Tavishore 32 update done", "Tavishore 32 end of slides"};
}

std::string EventSoundName(int event, const tSoundSettings& s) {
  if (event < 0 || event > 3) return {};
  const bool on[] = {s.PictureErrorSound, s.StartUpdateSound, s.EndUpdateSound, s.LastSlideSound};
  return on[event] ? kEventNames[event] : std::string();
}

std::string OperationSoundName(int event, const tSoundSettings& s) {
  if (event < 0 || event > 3 || !s.MessageSounds) return {};
  return kEventNames[event];
}
