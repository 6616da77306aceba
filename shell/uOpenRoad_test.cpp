#include "shell/uOpenRoad.h"

#include <gtest/gtest.h>

#include <set>

namespace {
// Records what the road asks for, in order, as short words.
struct Recorder : tOpenRoadHost {
  int64_t size = 100;
  bool readable = true;
  std::set<std::string> takers;  // "picture", "text", "zip", "media"
  std::string program;           // associated program
  std::string shellError;
  std::vector<bool> answers;     // the user's answers, in order
  std::string log;
  bool streamOpen = false;

  void Say(const std::string& w) { log += (log.empty() ? "" : " ") + w; }
  int64_t FileSize(const std::string&) override { return size; }
  bool OpenStream(const std::string&) override {
    Say("stream");
    streamOpen = readable;
    return readable;
  }
  bool OfferStream(tStreamViewer v) override {
    static const char* const names[] = {"picture", "text", "zip"};
    const std::string n = names[static_cast<int>(v)];
    EXPECT_TRUE(streamOpen) << n;
    Say(n);
    if (!takers.count(n)) return false;
    streamOpen = false;  // the viewer owns it now
    return true;
  }
  void FreeStream() override {
    EXPECT_TRUE(streamOpen);
    streamOpen = false;
    Say("free");
  }
  bool OpenMedia(const std::string&) override {
    EXPECT_FALSE(streamOpen);
    Say("media");
    return takers.count("media") > 0;
  }
  void OpenHex(const std::string&) override { Say("HEX"); }
  void ShellOpenDocument(const std::string&) override { Say("BROWSER"); }
  void PlaySoundFile(const std::string&) override { Say("PLAY"); }
  std::string AssociatedProgram(const std::string&) override { return program; }
  std::string ShellOpen(const std::string&) override {
    Say("SHELL");
    return shellError;
  }
  bool AskYesNo(const std::string& q, int help) override {
    Say(q == kUnknownTypeQuestion ? "ask-hex" : "ask-run");
    EXPECT_EQ(help, q == kUnknownTypeQuestion ? 52 : 67);
    bool yes = !answers.empty() && answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
    return yes;
  }
  void Message(const std::string& text, const std::string&) override { Say("msg:" + text); }
  void Busy(bool on) override { Say(on ? "busy" : "idle"); }
};
}  // namespace

TEST(OpenRoad, EachKindOfFileGoesToTheFirstViewerThatTakesIt) {
  struct Case {
    const char* what;
    std::string name;
    int64_t size;
    std::set<std::string> takers;
    tOpenRoadSettings settings;
    unsigned shift;
    std::vector<bool> answers;
    std::string program;
    bool result;
    std::string log;
  };
  const tOpenRoadSettings plain;
  tOpenRoadSettings html = plain;
  html.OpenHtml = 1;
  tOpenRoadSettings docs = plain;
  docs.OpenDocuments = true;
  tOpenRoadSettings docsLevel1 = docs;
  docsLevel1.ParentalLevel = 1;
  tOpenRoadSettings hex = plain;
  hex.HexWindow = true;
  tOpenRoadSettings wavs = plain;
  wavs.WindowlessWavs = true;
  const Case cases[] = {
      {"picture", "a.gif", 10, {"picture"}, plain, 0, {}, "", true, "busy stream picture idle"},
      {"empty file", "a.gif", 0, {"picture"}, plain, 0, {}, "", false, ""},
      {"missing file", "gone.gif", 0, {}, hex, kRoadAlt, {}, "", false, ""},
      {"alt opens even a picture in hex", "a.gif", 10, {"picture"}, plain, kRoadAlt, {}, "",
       true, "busy HEX idle"},
      {"html as text", "page.HTM", 10, {"text"}, plain, 0, {}, "", true,
       "busy stream picture text idle"},
      {"html to the browser", "page.html", 10, {"text"}, html, 0, {}, "", true,
       "busy stream picture free BROWSER idle"},
      {"other text with the browser on", "a.txt", 10, {"text"}, html, 0, {}, "", true,
       "busy stream picture text idle"},
      {"zip", "a.zip", 10, {"zip"}, plain, 0, {}, "", true, "busy stream picture text zip idle"},
      {"media after the stream is freed", "a.mid", 10, {"media"}, plain, 0, {}, "", true,
       "busy stream picture text zip free media idle"},
      {"unknown, hex refused", "a.bin", 10, {}, plain, 0, {false}, "", false,
       "busy stream picture text zip free media ask-hex idle"},
      {"unknown, hex accepted", "a.bin", 10, {}, plain, 0, {true}, "", true,
       "busy stream picture text zip free media ask-hex HEX idle"},
      {"unknown with the hex option", "a.bin", 10, {}, hex, 0, {}, "", true,
       "busy stream picture text zip free media HEX idle"},
      {"shortcut offered without a program", "x.LNK", 10, {}, docs, 0, {true}, "", true,
       "busy stream picture text zip free media ask-run SHELL idle"},
      {"shortcut refused, then hex asked", "x.lnk", 10, {}, docs, 0, {false, false}, "", false,
       "busy stream picture text zip free media ask-run ask-hex idle"},
      {"no offer at parental level 1", "x.lnk", 10, {}, docsLevel1, 0, {false}, "", false,
       "busy stream picture text zip free media ask-hex idle"},
      {"document without a program", "a.doc", 10, {}, docs, 0, {false}, "", false,
       "busy stream picture text zip free media ask-hex idle"},
      {"document with a program", "a.doc", 10, {}, docs, 0, {true}, "word.exe", true,
       "busy stream picture text zip free media ask-run SHELL idle"},
      {"windowless wav plays and reports nothing opened", "a.WAV", 10, {"media"}, wavs, 0, {},
       "", false, "busy PLAY idle"},
      {"wav in its window", "a.wav", 10, {"media"}, plain, 0, {}, "", true,
       "busy stream picture text zip free media idle"},
      {"ctrl alone changes nothing", "a.gif", 10, {"picture"}, plain, kRoadCtrl, {}, "", true,
       "busy stream picture idle"},
  };
  for (const Case& c : cases) {
    Recorder r;
    r.size = c.size;
    r.takers = c.takers;
    r.answers = c.answers;
    r.program = c.program;
    EXPECT_EQ(OpenFileByType(r, c.settings, c.shift, c.name), c.result) << c.what;
    EXPECT_EQ(r.log, c.log) << c.what;
    EXPECT_FALSE(r.streamOpen) << c.what;
  }
}

TEST(OpenRoad, AnUnreadableFileIsReportedOnceAndGoesNoFurther) {
  Recorder r;
  r.readable = false;
  r.answers = {true};
  EXPECT_FALSE(OpenFileByType(r, tOpenRoadSettings{}, 0, "C:\\locked.gif"));
  EXPECT_EQ(r.log, "busy stream msg:Cannot open C:\\locked.gif idle");
}

TEST(OpenRoad, AShellErrorIsShownWithTheFileAndItsProgram) {
  Recorder r;
  tOpenRoadSettings docs;
  docs.OpenDocuments = true;
  r.program = "C:\\word.exe";
  r.shellError = "Access denied";
  r.answers = {true};
  EXPECT_TRUE(TryKnownViewers(r, docs, "a.doc"));
  EXPECT_EQ(r.log,
            "stream picture text zip free media ask-run SHELL "
            "msg:error Access denied\r(a.doc)\r(C:\\word.exe)");
}

TEST(OpenRoad, DoubleClickOnATaggedSelection) {
  EXPECT_EQ(SelectionAction(false, 0), tSelectionAction::OpenCurrent);
  EXPECT_EQ(SelectionAction(false, kRoadCtrl), tSelectionAction::OpenCurrent);
  EXPECT_EQ(SelectionAction(true, 0), tSelectionAction::SlideShow);
  EXPECT_EQ(SelectionAction(true, kRoadShift), tSelectionAction::SlideShow);
  EXPECT_EQ(SelectionAction(true, kRoadCtrl), tSelectionAction::Nothing);
  EXPECT_EQ(SelectionAction(true, kRoadAlt), tSelectionAction::Nothing);
}

TEST(OpenRoad, HtmlNames) {
  for (const char* n : {"a.htm", "B.HTML", "c:\\x.y\\page.Html"}) EXPECT_EQ(GetHtmlFileName(n), n);
  for (const char* n : {"a.txt", "a.htmx", "html", "a.shtml", ""}) EXPECT_EQ(GetHtmlFileName(n), "");
}

TEST(OpenRoad, TheBrowserCommandIsSplitIntoProgramAndParameters) {
  struct Case {
    const char* command;
    const char* document;
    const char* program;
    const char* parameters;
  } cases[] = {
      {"\"C:\\Program Files\\Web\\browser.exe\" -osint -url \"%1\"", "C:\\a b\\page.htm",
       "C:\\Program Files\\Web\\browser.exe", "-osint -url \"C:\\a b\\page.htm\""},
      {"C:\\WEB\\BROWSE.EXE %1", "C:\\page.htm", "C:\\WEB\\BROWSE.EXE", "C:\\page.htm"},
      {"\"C:\\Web Browser\\b.exe\"", "C:\\page.htm", "C:\\Web Browser\\b.exe", "C:\\page.htm"},
      {"  browser.exe -nohome   ", "p.htm", "browser.exe", "-nohome p.htm"},
      {"", "p.htm", "", "p.htm"},
  };
  for (const Case& c : cases) {
    tBrowserStart s = BrowserStart(c.command, c.document);
    EXPECT_EQ(s.Program, c.program) << c.command;
    EXPECT_EQ(s.Parameters, c.parameters) << c.command;
  }
}

TEST(OpenRoad, EventSoundsFollowTheirOwnOptionsAndOperationSoundsTheMessageOption) {
  tSoundSettings s;
  s.LastSlideSound = false;
  s.MessageSounds = true;
  EXPECT_EQ(EventSoundName(3, s), "");
  EXPECT_EQ(OperationSoundName(3, s), "Tavishore 32 end of slides");
  EXPECT_EQ(EventSoundName(0, s), "Tavishore 32 bad file");
  EXPECT_EQ(EventSoundName(1, s), "");  // update start is off by default
  EXPECT_EQ(EventSoundName(2, s), "Tavishore 32 update done");
  s.MessageSounds = false;
  s.StartUpdateSound = true;
  EXPECT_EQ(OperationSoundName(0, s), "");
  EXPECT_EQ(EventSoundName(1, s), "Tavishore 32 update start");
  for (int bad : {-1, 4}) {
    EXPECT_EQ(EventSoundName(bad, s), "");
    EXPECT_EQ(OperationSoundName(bad, tSoundSettings{}), "");
  }
}
