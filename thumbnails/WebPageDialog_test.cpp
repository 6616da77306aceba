// The web page dialog on a real window: a build over a folder of real pictures, its coloured log,
// its settings in the INI file, every link and picture of the pages written found in the folder,
// Cancel during a build, and the modal dialog over a folder without pictures.
#include <windows.h>

#include <richedit.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "foundation/DialogDriver_test.h"
#include "foundation/uIdentity.h"
#include "foundation/uIniFile.h"
#include "foundation/uMessages.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/GroupBox.h"
#include "framework/Label.h"
#include "framework/PageControl.h"
#include "framework/RadioButton.h"
#include "framework/RichEdit.h"
#include "imaging/uGraphic.h"
#include "tests/TestSupport.h"
#include "thumbnails/WebPageDialog.h"
#include "thumbnails/cShowControls.h"

namespace {
namespace fs = std::filesystem;
using dialogtest::Pump;

std::string U8(const fs::path& path) {
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

fs::path FromU8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void Copy(const fs::path& from, const fs::path& to) {
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  fs::permissions(to, fs::perms::owner_write, fs::perm_options::add);
}

std::string PercentDecoded(const std::string& address) {
  std::string out;
  for (size_t i = 0; i < address.size(); ++i) {
    if (address[i] == '%' && i + 2 < address.size()) {
      out += static_cast<char>(std::stoi(address.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += address[i];
    }
  }
  return out;
}

// Every address (href and src, quoted or not) of every page in the folder that names no file
// there.
std::vector<std::string> UnresolvedAddresses(const fs::path& dir, int* pages, int* addresses) {
  const std::regex attribute(R"re((?:href|src)=(?:"([^"]*)"|([^ >"]+)))re", std::regex::icase);
  std::vector<std::string> missing;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() != ".html") continue;
    ++*pages;
    const std::string page = ReadText(entry.path());
    for (auto m = std::sregex_iterator(page.begin(), page.end(), attribute);
         m != std::sregex_iterator(); ++m) {
      const std::string address = (*m)[1].matched ? (*m)[1].str() : (*m)[2].str();
      ++*addresses;
      if (!fs::is_regular_file(dir / FromU8(PercentDecoded(address))))
        missing.push_back(U8(entry.path().filename()) + ": " + address);
    }
  }
  return missing;
}

// The text colour of the log at a character position.
COLORREF LogColorAt(TRichEdit* log, int64_t at) {
  log->SetSelection(at, 1);
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof cf;
  log->Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  return cf.crTextColor;
}

std::string LogText(TRichEdit* log) {
  const std::u16string t = log->Text();
  std::string s;
  for (char16_t c : t) s += c == u'\r' ? '\n' : static_cast<char>(c < 128 ? c : '?');
  return s;
}

// The thread's visible dialog of the system's own class (the colour dialog).
BOOL CALLBACK MatchSystemDialog(HWND h, LPARAM found) {
  wchar_t cls[16] = {};
  GetClassNameW(h, cls, 16);
  if (!IsWindowVisible(h) || lstrcmpW(cls, L"#32770") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = h;
  return FALSE;
}

class WebPageWindow : public testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllFormats(); }

  // Real pictures under awkward names, with a file that is no picture and an old thumbnail.
  fs::path MakeFolder(const std::string& name, int copies = 1) {
    const fs::path dir = testsupport::ScratchDir(name);
    const std::pair<const char*, const char*> files[] = {
        {"jpeg/video-001.jpeg", "My Cat's #1 at 100%.jpg"},
        {"gif/flag_fr.gif", "flag fr.gif"},
        {"gif/triangle-001.gif", "Tom & Jerry.GIF"},
        {"jpeg/video-005.gray.jpeg", "grey.jpeg"},
        {"jpeg/video-001.jpeg", "(thm)old.jpg"},
    };
    for (int c = 0; c < copies; ++c)
      for (const auto& [from, to] : files)
        if (c == 0) Copy(testsupport::TestData(from), dir / FromU8(to));
        else if (std::string(to).find("(thm)") != 0)
          Copy(testsupport::TestData(from), dir / FromU8(std::to_string(c) + " " + to));
    std::ofstream(dir / "notes.txt") << "not a picture\r\n";
    return dir;
  }

  static std::vector<std::string> ListOf(const fs::path& dir) {
    std::vector<std::string> list{U8(dir)};
    for (const auto& entry : fs::directory_iterator(dir)) list.push_back(U8(entry.path().filename()));
    return list;
  }
};

TEST_F(WebPageWindow, BuildsAFramedGalleryWhosePagesResolve) {
  const fs::path dir = MakeFolder("webdialog");
  const fs::path ini = dir / "tavis.ini";
  std::ofstream(ini) << "[Web Page]\r\nFile name=My Pics.htm\r\nThumbnail columns=1\r\n"
                        "Main page=zz\r\nTooltip name=1\r\n";
  int changed = 0;
  std::vector<std::string> opened;
  TForm notify(nullptr);
  notify.OnMessage(WM_FOLDER_CHANGED, [&](WPARAM, LPARAM) -> LRESULT { return ++changed; });
  tWebPageHost host;
  host.IniFile = U8(ini);
  host.NotifyWnd = notify.Handle();
  host.OpenDocument = [&](const std::string& path) { opened.push_back(path); };
  int sounds = 0;
  host.PlayDoneSound = [&] { ++sounds; };
  auto* dlg = new TdlgHTML(&Application, ListOf(dir), host);
  dlg->Show();
  Pump();
  EXPECT_EQ(dlg->lblStats->Caption(), "4 pictures in folder " + U8(dir));
  EXPECT_EQ(dlg->edFilename->Text(), "My Pics.htm");
  EXPECT_EQ(dlg->Colors[wcMainPage], 0u);  // not hexadecimal: black
  EXPECT_TRUE(dlg->btnBuild->Enabled());
  EXPECT_FALSE(dlg->btnOpen->Enabled());
  // "Spacing" waits while there is a border; the picture page's settings while links go to the
  // picture itself.
  const auto type = [&](TSpinEdit* spin, wchar_t digit) {
    spin->SelectAll();
    SendMessageW(spin->Handle(), WM_CHAR, digit, 0);
    Pump();
  };
  type(dlg->seFrame, L'2');
  EXPECT_FALSE(dlg->seSpacing->Enabled());
  type(dlg->seFrame, L'0');
  EXPECT_TRUE(dlg->seSpacing->Enabled());
  SendMessageW(dlg->rbLink[wlPicture]->Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(dlg->edTitle2->Enabled());
  EXPECT_EQ(dlg->btnBG2->Caption(), "");
  SendMessageW(dlg->rbLink[wlPage]->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(dlg->edPrompt2->Enabled());
  EXPECT_EQ(dlg->btnBG2->Caption(), "Select");
  const char* const tabs[] = {"webpage-main", "webpage-thumbnails", "webpage-picture"};
  for (int i = 0; i < 3; ++i) {
    dlg->PageControl1->SetPageIndex(i);
    Pump();
    dialogtest::Screenshot(dlg->Handle(), tabs[i]);
  }

  dlg->PageControl1->SetPageIndex(3);
  // Each picture is decoded with the dialog as the decoder's window: it hears of each
  // complete image.
  int decoded = 0;
  dlg->OnMessage(WM_GRAPHIC_PROGRESS, [&](WPARAM w, LPARAM) -> LRESULT { return decoded += w == 0; });
  dlg->btnBuild->Click();
  Pump();
  dialogtest::Screenshot(dlg->Handle(), "webpage-build");
  const std::string log = LogText(dlg->BuildLog);
  EXPECT_EQ(log.substr(0, 23), "Processing pictures...\n");
  EXPECT_NE(log.find("Building 80 x 55 thumbnail (thm)My Cat's #1 at 100%.jpg\n"), std::string::npos)
      << log;
  EXPECT_NE(log.find("\n-- Done --\n"), std::string::npos) << log;
  EXPECT_EQ(LogColorAt(dlg->BuildLog, 0), 0u);
  EXPECT_EQ(dlg->lblProgress->Caption(), "4 of 4 pictures");
  EXPECT_EQ(sounds, 1);
  Pump();
  EXPECT_EQ(changed, 1);

  // Frames: the frameset, its two pages, a page and a thumbnail per picture.
  for (const char* name : {"My Pics.html", "My Pics_left.html", "My Pics_right.html",
                           "(thm)My Cat's #1 at 100%.jpg", "My Cat's #1 at 100%.html",
                           "(thm)flag fr.jpg", "flag fr.html", "(thm)Tom & Jerry.jpg",
                           "(thm)grey.jpg", "grey.html"})
    EXPECT_TRUE(fs::is_regular_file(dir / FromU8(name))) << name;
  EXPECT_FALSE(fs::exists(dir / "(thm)(thm)old.jpg"));
  EXPECT_EQ(decoded, 4);
  // The thumbnails carry the program's name as their comment.
  EXPECT_NE(ReadText(dir / "(thm)grey.jpg").find(ProgramNameAndVersion() + "\r\n"), std::string::npos);
  EXPECT_EQ(dlg->BuiltFile, U8(dir / "My Pics_left.html"));
  int pages = 0, addresses = 0;
  EXPECT_EQ(UnresolvedAddresses(dir, &pages, &addresses), std::vector<std::string>{});
  EXPECT_EQ(pages, 7);
  EXPECT_GE(addresses, 2 + 4 * 2 + 4 * 2);
  EXPECT_NE(ReadText(dir / "My Pics_left.html").find("alt=\"Tom &amp; Jerry.GIF\""), std::string::npos);

  // The settings went into the INI file at the build.
  TIniFile saved(U8(ini));
  EXPECT_EQ(saved.ReadString("Web Page", "File name", ""), "My Pics.htm");
  EXPECT_EQ(saved.ReadInteger("Web Page", "Thumbnail columns", 0), 1);
  EXPECT_EQ(saved.ReadString("Web Page", "Main page", ""), "000000");
  EXPECT_EQ(saved.ReadString("Web Page", "Main link", ""), "ff0000");
  EXPECT_TRUE(saved.ReadBool("Web Page", "Tooltip name", false));

  ASSERT_TRUE(dlg->btnOpen->Enabled());
  dlg->btnOpen->Click();
  EXPECT_EQ(opened, std::vector<std::string>{U8(dir / "My Pics.html")});

  // A blank name: one red line, no settings saved.
  dlg->edFilename->SetText("");
  dlg->seCols->SetValue(7);
  dlg->btnBuild->Click();
  EXPECT_EQ(LogText(dlg->BuildLog), "Fatal error! Output file name is blank.\n");
  EXPECT_EQ(LogColorAt(dlg->BuildLog, 0), static_cast<COLORREF>(RGB(255, 0, 0)));
  EXPECT_EQ(TIniFile(U8(ini)).ReadInteger("Web Page", "Thumbnail columns", 0), 1);
  dlg->Close();
  Pump();
}

TEST_F(WebPageWindow, CancelStopsTheBuildAndKeepsTheThumbnailsMade) {
  const fs::path dir = MakeFolder("webdialog-cancel", 8);
  auto* dlg = new TdlgHTML(&Application, ListOf(dir), tWebPageHost{});
  dlg->Show();
  Pump();
  ASSERT_EQ(dlg->PictureCount(), 32);
  dialogtest::TDriver driver;
  driver.Then([&] {
    if (!dlg->Building()) return false;
    dlg->btnCancel->Click();
    return true;
  });
  driver.Start();
  dlg->btnBuild->Click();
  EXPECT_TRUE(driver.Finished());
  const std::string log = LogText(dlg->BuildLog);
  EXPECT_EQ(log.substr(log.size() - 17), "Build cancelled.\n") << log;
  int thumbnails = 0;
  for (const auto& entry : fs::directory_iterator(dir))
    thumbnails += U8(entry.path().filename()).starts_with("(thm)") ? 1 : 0;
  EXPECT_GE(thumbnails, 1 + 1);  // the old one and at least one made
  EXPECT_LT(thumbnails, 1 + 32);
  EXPECT_FALSE(fs::exists(dir / "Page0001.html"));
  EXPECT_TRUE(dlg->btnBuild->Enabled());
  EXPECT_FALSE(dlg->btnCancel->Enabled());
  dlg->Close();
  Pump();
}

// A colour button opens the colour dialog fully open, for solid colours; OK keeps the colour
// in its place.
TEST_F(WebPageWindow, ColorButtonsOpenTheColorDialogFullyOpen) {
  auto* dlg = new TdlgHTML(&Application, ListOf(MakeFolder("webdialog-color")), tWebPageHost{});
  dlg->Show();
  Pump();
  const auto colorDialog = [] {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &MatchSystemDialog, reinterpret_cast<LPARAM>(&found));
    return found;
  };
  bool seen = false, defineOffered = true;
  dialogtest::TDriver driver;
  driver.Then([&] {
    HWND h = colorDialog();
    if (!h) return false;
    seen = true;
    // The button that opens the custom part is there only for a dialog opened half.
    HWND define = GetDlgItem(h, 0x2cf);
    defineOffered = define && IsWindowEnabled(define);
    PostMessageW(h, WM_COMMAND, IDOK, 0);
    return true;
  });
  driver.Start();
  dlg->ColorButtons[wcThumbRow]->Click();
  EXPECT_TRUE(driver.Finished());
  EXPECT_TRUE(seen);
  EXPECT_FALSE(defineOffered);
  EXPECT_EQ(dlg->Colors[wcThumbRow], 0x000080u);
  dlg->Close();
  Pump();
}

TEST_F(WebPageWindow, AFolderWithoutPicturesOpensOnTheLogWithBuildDisabled) {
  const fs::path dir = testsupport::ScratchDir("webdialog-empty");
  std::ofstream(dir / "notes.txt") << "text\r\n";
  bool checked = false;
  dialogtest::TDriver driver;
  driver.Then([&] {
    HWND form = dialogtest::FindForm("Build Web Page");
    if (!form) return false;
    auto* dlg = static_cast<TdlgHTML*>(TWindow::FromHandle(form));
    EXPECT_EQ(dlg->PageControl1->PageIndex(), 3);
    EXPECT_FALSE(dlg->btnBuild->Enabled());
    EXPECT_EQ(LogText(dlg->BuildLog),
              "Fatal error! No pictures in this folder (or no pictures tagged)\n");
    EXPECT_EQ(LogColorAt(dlg->BuildLog, 3), static_cast<COLORREF>(RGB(255, 0, 0)));
    dialogtest::Screenshot(form, "webpage-nopictures");
    checked = true;
    return true;
  });
  driver.Then([] { return dialogtest::PressButton("Build Web Page", "Close"); });
  driver.Start();
  ShowWebPageDialog(&Application, ListOf(dir), tWebPageHost{});
  EXPECT_TRUE(checked);
  EXPECT_TRUE(driver.Finished());
}

}  // namespace
