// The about box under Wine: its pages, the version check and the guide update against the
// scripted server on 127.0.0.1, and the read-me window with its packed text.
#include <gtest/gtest.h>

#include <memory>

#include "foundation/DialogDriver_test.h"
#include "foundation/cProgress.h"
#include "framework/Application.h"
#include "online/AboutBox.h"
#include "online/CompressedResource.h"
#include "online/ReadMeForm.h"
#include "online/RichView.h"
#include "online/tests/LoopbackServer.h"
#include "framework/StatusBar.h"
#include "tests/PrintedPages.h"
#include "viewers/ViewerHost.h"
#include "viewers/print/PrintingForm.h"

namespace {

using dialogtest::Screenshot;

std::string OnZ(const std::string& unixPath) {
  std::string p = "Z:" + unixPath;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

void Pump(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  while (GetTickCount() < end) {
    Application.ProcessMessages();
    Sleep(10);
  }
}

struct tMessage {
  std::string text;
  int help = 0;
};

class AboutBoxTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = LoopbackScratch("site");
    program_ = LoopbackScratch("program");
    box_ = std::make_unique<TAboutBox>(nullptr);
    box_->MessageDlg = [this](const std::string& text, TMsgDlgType, TMsgDlgButtons, int help) {
      messages_.push_back({text, help});
      return mrOk;
    };
    box_->PlayInvalidSound = [this] { ++sounds_; };
    box_->ProgramFolder = OnZ(program_) + "\\";
    box_->Guide.ProgramFolder = box_->ProgramFolder;
  }
  std::string root_, program_;
  std::unique_ptr<TAboutBox> box_;
  std::vector<tMessage> messages_;
  int sounds_ = 0;
};

TEST_F(AboutBoxTest, PackedTextsAreLoaded) {
  EXPECT_GE(box_->Credits.size(), 5u);
  EXPECT_EQ(box_->Credits.front(), "Tavishore 32");
  ASSERT_EQ(box_->BaseAddresses.size(), 2u);
  EXPECT_EQ(box_->BaseAddresses.front().back(), '/');
  EXPECT_NE(box_->memoGuide->PlainText().find("User's Guide"), std::string::npos);
  EXPECT_EQ(box_->VersionNumber, 5101);
  EXPECT_THROW(LoadCompressedText("STRZ_99", "STRZ"), EResNotFound);
  // The 256-colour logo on this true-colour screen, and the notebook page at 96 pixels per inch.
  EXPECT_EQ(box_->Logo.Width(), 260);
  EXPECT_EQ(box_->Logo.Height(), 130);
  EXPECT_NE(box_->Logo.Palette(), nullptr);
  EXPECT_EQ(box_->Spiral.Height(), 15);
}

TEST_F(AboutBoxTest, PagesAndCloseQuery) {
  EXPECT_EQ(box_->PageIndex(), 0);
  EXPECT_TRUE(box_->ScrollTimer->Enabled());
  box_->btnInfoClick();
  EXPECT_EQ(box_->PageIndex(), 1);
  EXPECT_FALSE(box_->ScrollTimer->Enabled());
  EXPECT_EQ(box_->Caption(), "System Info");
  EXPECT_NE(box_->info_windows->Caption().find(" wide, "), std::string::npos);
  // Closing from another page goes back to the title page instead.
  EXPECT_FALSE(box_->CloseQuery());
  EXPECT_EQ(box_->PageIndex(), 0);
  EXPECT_TRUE(box_->CloseQuery());
  box_->btnGuideClick();
  EXPECT_EQ(box_->Caption(), "About the User's Guide");
  EXPECT_EQ(box_->lblUpdate->Caption(), "Retrieve the User's Guide");
  EXPECT_FALSE(box_->btnV->Enabled());
  box_->btnUcloseClick();
  box_->MinusButtonClick();
  box_->MinusButtonClick();
  EXPECT_EQ(box_->ScrollTimer->Interval(), 120u);
  EXPECT_FALSE(box_->MinusButton->Enabled());
  EXPECT_TRUE(box_->PlusButton->Enabled());
}

TEST_F(AboutBoxTest, VersionCheckNewerSameAndInvalid) {
  tLoopbackServer web("scripted", root_);
  REQUIRE_SERVER(web);
  box_->BaseAddresses = {web.Url("/")};
  const std::pair<const char*, int> cases[] = {
      {"<html>\nvsn=5.20\nvsw=5200\ncst=2000\n</html>\n", 31},
      {"vsn=5.10b\r\nvsw=5199\r\ncst=2000\r\n", 32},
      {"vsn=5.20\r\nvsw=5200\r\ncst=3500\r\n", 30},
  };
  for (const auto& [document, help] : cases) {
    WriteUnixFile(root_ + "/t32v.htm", document);
    messages_.clear();
    box_->btnNewVersionClick();
    ASSERT_EQ(messages_.size(), 2u);  // the question, then the answer
    EXPECT_EQ(messages_[0].help, 29);
    EXPECT_EQ(messages_[1].help, help) << document;
    EXPECT_TRUE(box_->ScrollTimer->Enabled());
    EXPECT_EQ(Screen.Cursor, crDefault);
  }
  EXPECT_EQ(sounds_, 1);
  // The last valid document was kept beside the program.
  EXPECT_EQ(ReadUnixFile(program_ + "/Version.Htm"), "vsn=5.10b\r\nvsw=5199\r\ncst=2000\r\n");

  // A folder that cannot take the document: the answer still comes, timer and cursor restored.
  WriteUnixFile(root_ + "/t32v.htm", "vsn=5.20\r\nvsw=5200\r\ncst=2000\r\n");
  box_->ProgramFolder = OnZ(program_) + "\\missing\\";
  messages_.clear();
  box_->btnNewVersionClick();
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[1].help, 31);
  EXPECT_TRUE(box_->ScrollTimer->Enabled());
  EXPECT_EQ(Screen.Cursor, crDefault);

  // Nobody answers: the connection-failed message.
  box_->BaseAddresses = {"http://127.0.0.1:1/"};
  messages_.clear();
  box_->btnNewVersionClick();
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[1].help, 30);
}

// Left to itself the box plays the program's event sound for an invalid document and opens
// the web site and the guide the way the main window opens documents.
TEST_F(AboutBoxTest, SoundsAndDocumentsGoThroughTheProgram) {
  tLoopbackServer web("scripted", root_);
  REQUIRE_SERVER(web);
  std::vector<int> events;
  std::vector<std::string> opened;
  ViewerHost().PlayEventSound = [&](int event) { events.push_back(event); };
  ViewerHost().OpenShellDocument = [&](const std::string& path) { opened.push_back(path); };
  auto box = std::make_unique<TAboutBox>(nullptr);
  box->MessageDlg = box_->MessageDlg;
  box->ProgramFolder = box_->ProgramFolder;
  box->Guide.ProgramFolder = box_->ProgramFolder;
  box->BaseAddresses = {web.Url("/")};
  WriteUnixFile(root_ + "/t32v.htm", "vsn=5.20\r\nvsw=5200\r\n");
  box->btnNewVersionClick();
  EXPECT_EQ(events, std::vector<int>{2});
  box->btnWebClick();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].rfind("http", 0), 0u) << opened[0];
  WriteUnixFile(program_ + "/Doc/t32guide.htm", "<html>guide</html>");
  box->btnGuideClick();
  ASSERT_TRUE(box->btnV->Enabled());
  box->btnVClick();
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[1], box->Guide.LocalGuidePath());
  ViewerHost().PlayEventSound = nullptr;
  ViewerHost().OpenShellDocument = nullptr;
}

TEST_F(AboutBoxTest, GuideBroughtUpToDateThenNothingFetched) {
  tLoopbackServer web("scripted", root_);
  REQUIRE_SERVER(web);
  const uint32_t date = (46u << 25 | 3u << 21 | 4u << 16) | (10u << 11 | 20u << 5 | 15u);
  WriteUnixFile(root_ + "/doc/t32guide.htm", "<html>guide</html>");
  WriteUnixFile(root_ + "/doc/img/pic.gif", std::string(30000, 'g'));
  WriteUnixFile(root_ + "/t51g.htm",
                "<html>\nFiles=2\nVsn=5.10a\nurl=" + web.Url("/doc/") +
                    "\nname000=t32guide.htm\nsize000=18\ndate000=" + std::to_string(date) +
                    "\nname001=img/pic.gif\nsize001=30000\ndate001=" + std::to_string(date) +
                    "\n</html>\n");
  // The first address answers nothing: the next is asked.
  box_->BaseAddresses = {"http://127.0.0.1:1/", web.Url("/")};
  box_->btnGuideClick();
  std::vector<int> states;
  auto inner = box_->Guide.OnUpdate;
  box_->Guide.OnUpdate = [&](TGuide2& g, uint8_t state) {
    states.push_back(state);
    inner(g, state);
  };
  box_->btnUpdateClick();
  EXPECT_EQ(box_->Guide.FilesGot, 2);
  EXPECT_EQ(ReadUnixFile(program_ + "/Doc/img/pic.gif"), std::string(30000, 'g'));
  EXPECT_TRUE(box_->btnV->Enabled());
  EXPECT_EQ(box_->lblView->Caption(), "User's Guide version 03/04/2026");
  EXPECT_EQ(box_->lblUpdate->Caption(), "The current User's Guide version is 5.10a");
  EXPECT_TRUE(box_->btnUpdate->Enabled());
  EXPECT_FALSE(box_->guide_bevel3->Visible());
  EXPECT_EQ(states.back(), guideBatchEnd);
  EXPECT_EQ(web.RequestLog(), "/t51g.htm\n/doc/t32guide.htm\n/doc/img/pic.gif\n");

  box_->btnUpdateClick();
  EXPECT_EQ(web.RequestLog(), "/t51g.htm\n/doc/t32guide.htm\n/doc/img/pic.gif\n/t51g.htm\n");

  // No index anywhere.
  box_->BaseAddresses = {"http://127.0.0.1:1/"};
  box_->btnUpdateClick();
  EXPECT_EQ(box_->lblUpdate->Caption(), "Retrieve failed, try again");
}

TEST_F(AboutBoxTest, Screenshots) {
  box_->Show();
  Pump(600);
  Screenshot(box_->Handle(), "about-title");
  box_->btnInfoClick();
  Pump(200);
  Screenshot(box_->Handle(), "about-info");
  box_->btnInfoDoneClick();
  box_->btnGuideClick();
  Pump(200);
  Screenshot(box_->Handle(), "about-guide");
  box_->Hide();

  TReadMe readMe(nullptr);
  LoadCompressedResource(*readMe.RichEdit1, "RTFZ_1", "RTFZ");
  EXPECT_EQ(readMe.RichEdit1->FirstVisibleLine(), 0);
  EXPECT_NE(readMe.RichEdit1->PlainText().find("picture viewer"), std::string::npos);
  EXPECT_EQ(readMe.Caption(), "Read me");
  readMe.TextLoaded();
  EXPECT_NE(readMe.StatusBar1->PanelText(1).find(" lines"), std::string::npos);
  readMe.Show();
  SetForegroundWindow(readMe.Handle());
  Pump(600);
  EXPECT_TRUE(IsWindowVisible(readMe.Handle()));
  // Full height it reaches below this screen, where a screen copy gets nothing.
  readMe.SetBounds(readMe.Left(), 10, 624, 600);
  Pump(300);
  Screenshot(readMe.Handle(), "readme");
}

// The read-me document printed through the real spooler, as the document "Read me".
using ReadMePrintTest = testsupport::PrintedPagesTest;

TEST_F(ReadMePrintTest, PrintsTheDocument) {
  TReadMe readMe(nullptr);
  LoadCompressedResource(*readMe.RichEdit1, "RTFZ_1", "RTFZ");
  readMe.PrintReadMe();
  EXPECT_EQ(PrintingFrm, nullptr);
  const auto pages = PrintedPages();
  ASSERT_GE(pages.size(), 1u);
  std::string all;
  for (const auto& page : pages) all += page;
  // Each line of the view reaches the paper (pdftotext may break lines elsewhere).
  const std::string text = readMe.RichEdit1->PlainText();
  size_t from = 0;
  for (size_t end = text.find_first_of("\r\n"); from < text.size(); end = text.find_first_of("\r\n", from)) {
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(from, std::min<size_t>(end - from, 20));
    if (line.find_first_not_of(' ') != std::string::npos) EXPECT_NE(all.find(line), std::string::npos) << line;
    from = end + 1;
  }
}

}  // namespace
