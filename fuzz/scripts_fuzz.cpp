// Feeds hostile text to what the slide shows read from files the user (or anyone) can edit: a
// script's lines file, the program INI's "Scripts" and "Screen Saver" sections, and the screen
// saver's command line and the main program's open command. Nothing may crash, read out of
// bounds or grow without bound; the answers must keep their invariants.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "screensaver/uSaverCommand.h"
#include "thumbnails/uSaverSettings.h"
#include "thumbnails/uScriptLibrary.h"
#include "thumbnails/uShowSequence.h"

namespace {

constexpr size_t kMaxInput = 1 << 16;

std::string Folder() {
  static const std::string folder = [] {
    char name[] = "/tmp/scripts_fuzz_XXXXXX";
    const char* made = mkdtemp(name);
    if (!made) std::abort();
    return std::string(made) + "/";
  }();
  return folder;
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class tNullHost : public tShowHost {
 public:
  bool OpenPicture(const std::string& name) override { return name.size() % 3 != 0; }
  bool PlayMusic(const std::string& name) override { return name.size() % 5 != 0; }
  void RepaintBackground() override {}
  void HoldSinglePicture() override {}
  void PostClose(int) override {}
  bool StopRequested() override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string folder = Folder();

  // A lines file as the screen saver reads it, then shown through the sequence.
  WriteText(folder + "lines.ini", text);
  std::vector<std::string> lines = ReadScriptFileLines(folder + "lines.ini");
  tNullHost host;
  tShowSequence sequence(host);
  sequence.ResetMidiPath = "reset.mid";
  sequence.Start(lines, size & 1, [size] { return static_cast<uint32_t>(size * 2654435761u); });
  for (int i = 0; i < 50; ++i) {
    sequence.ShowNextPicture();
    sequence.MusicFinished(i % 3 == 0);
    if (sequence.PictureIndex >= static_cast<int32_t>(sequence.Pictures.size())) std::abort();
  }

  // The program INI: the library listed and read, the saver's section read.
  WriteText(folder + "Tavishore32.ini", text);
  tVList library{folder + "Tavishore32.ini", (size & 2) != 0};
  std::vector<std::string> entries;
  tScriptSettings settings;
  int freeNumber = 0;
  ScriptLibraryEntry(library, smList, 0, settings, freeNumber, entries);
  if (freeNumber < 0 || freeNumber >= kScriptNumberLimit) std::abort();
  for (size_t i = 0; i < entries.size() && i < 20; ++i) {
    const int number = ScriptEntryNumber(entries[i]);
    std::vector<std::string> scriptLines;
    int other = 0;
    ScriptLibraryEntry(library, smRead, number, settings, other, scriptLines);
  }
  tScreenSaverSettings saver;
  ScreenSaverIni(true, folder + "Tavishore32.exe", saver);

  // The command line and the open command.
  uintptr_t window = 0;
  GetSaverMode(SplitArguments(text), window);
  MainProgramPathFromCommand(text);
  return 0;
}
