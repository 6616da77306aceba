// The gallery window on a real window over a thumbnail database made in a scratch folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/DialogDriver_test.h"
#include "foundation/uFormat.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/ListView.h"
#include "framework/RadioButton.h"
#include "framework/StatusBar.h"
#include "imaging/uGraphic.h"
#include "tests/TestSupport.h"
#include "thumbnails/GalleryDialogs.h"
#include "thumbnails/GalleryShots_test.h"
#include "thumbnails/ShowTestFiles_test.h"
#include "thumbnails/ThumbWindowForm.h"
#include "thumbnails/uThumbMake.h"

namespace {
namespace fs = std::filesystem;
using dialogtest::Pump;

// A key pressed with a modifier (Ctrl, Alt) as a hand types it, through the input queue.
void PressWith(WORD modifier, WORD key) {
  INPUT in[4] = {};
  const WORD keys[4] = {modifier, key, key, modifier};
  for (int i = 0; i < 4; ++i) {
    in[i].type = INPUT_KEYBOARD;
    in[i].ki.wVk = keys[i];
    in[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(4, in, sizeof in[0]);
  Pump(20);
}

class GalleryWindow : public testing::Test {
 protected:
  void SetUp() override {
    RegisterAllFormats();
    dir_ = testsupport::ScratchDir("gallerywin");
    const uint8_t colors[3][3] = {{0, 0, 255}, {0, 160, 0}, {255, 0, 0}};
    for (int c = 0; c < 3; ++c)
      showtest::WriteBmp(dir_ / ("p" + std::to_string(c) + ".bmp"), 120 - 30 * c, 80 + 20 * c,
                         colors[c][0], colors[c][1], colors[c][2]);
    db_ = std::make_unique<tThumbnails>((dir_ / "thumbs").string());
    tThumbScanner scanner;
    // 81 records in C:\pics; the last lies on a removable disk labelled HOLIDAY.
    const int holiday = db_->AddVolumeLabel("HOLIDAY");
    for (int i = 0; i < 81; ++i) {
      std::unique_ptr<tGraphicID> id = scanner.Identify((dir_ / ("p" + std::to_string(i % 3) + ".bmp")).string());
      ASSERT_TRUE(id);
      scanner.Decode(*id, 0);
      tThumbFileFacts facts;
      facts.Path = i == 80 ? "E:\\trips\\z-beach.bmp" : Format("C:\\pics\\img%.3d.bmp", {i});
      facts.Size = 1000 + i;
      facts.DosTime = 0x2A2D6000 + i;
      StoreThumbnail(*db_, *id, 'A', i == 80 ? static_cast<uint32_t>(holiday) : 0, nullptr, nullptr,
                     nullptr, facts);
    }
    TGallerySettings settings = db_->GallerySettings();
    SetStatusFilter(settings, "AD");
    settings.SortKey = 0;
    settings.Order = 0;
    db_->SaveGallerySettings(settings);
  }
  void TearDown() override { db_.reset(); }

  TThumbWindowForm* Open(tGalleryHost host = {}) {
    TThumbWindowForm* form = ShowThumbnailWindow(&Application, *db_, std::move(host));
    WaitBuilt(form);
    return form;
  }
  static void WaitBuilt(TThumbWindowForm* form) {
    for (int i = 0; i < 400 && (form->Building || form->ItemCount == 0) ; ++i) {
      Pump(1);
      if (!form->Building && form->PageCount == 0) break;
    }
  }
  char StatusOf(TThumbWindowForm* form, int item) {
    TThumbnailRecord r{};
    db_->ReadRecord(form->RecordOfItem(item), r);
    return r.Status;
  }

  fs::path dir_;
  std::unique_ptr<tThumbnails> db_;
};

TEST_F(GalleryWindow, PagesOfFortyItems) {
  TThumbWindowForm* form = Open();
  EXPECT_EQ(form->PageCount, 3);
  EXPECT_EQ(form->StatusBar1->PanelText(0), "Page 1 of 3");
  EXPECT_EQ(form->StatusBar1->PanelText(1), "81 total items");
  EXPECT_EQ(form->ListView->Count(), 40);
  EXPECT_EQ(form->ListView->ItemText(0, 0), "img000.bmp");
  EXPECT_EQ(form->ListView->ItemText(0, 2), "C:\\pics");
  EXPECT_FALSE(form->btnBack->Enabled());
  dialogtest::Screenshot(form->Handle(), "gallery-large");
  form->btnEnd->Click();
  WaitBuilt(form);
  EXPECT_EQ(form->StatusBar1->PanelText(0), "Page 3 of 3");
  ASSERT_EQ(form->ListView->Count(), 1);
  EXPECT_EQ(form->ListView->ItemText(0, 2), "[HOLIDAY]  E:\\trips");
  EXPECT_FALSE(form->btnNext->Enabled());
  form->btnBack->Click();
  WaitBuilt(form);
  EXPECT_EQ(form->StatusBar1->PanelText(0), "Page 2 of 3");
  EXPECT_EQ(form->ListView->ItemText(0, 0), "img040.bmp");
  form->Close();
  Pump();
}

TEST_F(GalleryWindow, EditsReachTheTaggedItemsOrTheFocusedOne) {
  TThumbWindowForm* form = Open();
  form->ListView->SetSelected(1);
  Pump();
  EXPECT_EQ(form->Focus, 1);
  EXPECT_EQ(form->edFullName->Text(), "C:\\pics\\img001.bmp");
  form->StoreKeywords("sand sea");
  form->StoreGroup("family");
  TThumbnailRecord r{};
  db_->ReadRecord(form->RecordOfItem(1), r);
  EXPECT_EQ(RecordKeywords(r), "sand sea");
  EXPECT_EQ(r.Group, 'f');
  db_->ReadRecord(form->RecordOfItem(0), r);
  EXPECT_EQ(RecordKeywords(r), "");

  form->ToggleTag(0);
  form->ToggleTag(2);
  EXPECT_EQ(form->Tagged, 2);
  EXPECT_EQ(form->StatusBar1->PanelText(2), "2 tagged");
  form->ListView->SetSelected(2);  // a tagged item: the edit reaches both
  Pump();
  form->DeleteItClick();
  EXPECT_EQ(StatusOf(form, 0), 'D');
  EXPECT_EQ(StatusOf(form, 1), 'A');
  EXPECT_EQ(StatusOf(form, 2), 'D');
  EXPECT_EQ(db_->Header.Purged, 2u);
  // Deleted records stay in a gallery that includes "D".
  form->BuildGallery();
  WaitBuilt(form);
  EXPECT_EQ(form->ListView->Count(), 40);
  EXPECT_EQ(form->ListView->ItemText(0, 0), "img000.bmp");
  form->ListView->SetSelected(0);
  Pump();
  form->DeleteItClick();  // untagged now: only this one goes back
  EXPECT_EQ(StatusOf(form, 0), 'A');
  EXPECT_EQ(StatusOf(form, 2), 'D');
  form->Close();
  Pump();
}

// Ctrl+A as a hand types it: in an edit of the bar its whole text, elsewhere every item of the
// page tagged.
TEST_F(GalleryWindow, SelectAllTagsThePageOrTakesTheEditsText) {
  const auto ctrlA = [] { PressWith(VK_CONTROL, 'A'); };
  TThumbWindowForm* form = Open();
  SetForegroundWindow(form->Handle());
  form->ListView->SetSelected(2);
  form->ToggleTag(3);
  form->edKeywords->SetText("sand sea");
  form->edKeywords->SetFocus();
  Pump();
  ctrlA();
  DWORD from = 1, to = 0;
  form->edKeywords->Send(EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 8u);
  EXPECT_EQ(form->Tagged, 1);
  form->ListView->SetFocus();
  Pump();
  ctrlA();
  EXPECT_EQ(form->Tagged, 40);
  EXPECT_EQ(form->StatusBar1->PanelText(2), "40 tagged");
  for (int i = 0; i < 40; ++i) EXPECT_TRUE(form->IsTagged(i)) << i;
  form->Close();
  Pump();
}

// The select / sort dialog's labels lead to their edits by their letters; the buttons' letters
// still press them.
TEST(GallerySortDialog, LabelLettersTakeTheFocusToTheirEdits) {
  const auto altKey = [](WORD letter) { PressWith(VK_MENU, letter); };
  TGallerySort dialog(nullptr);
  dialog.Show();
  SetForegroundWindow(dialog.Handle());
  dialog.edKeyword->SetText("sunset");
  dialog.rbFwd->SetFocus();
  Pump();
  const std::pair<WORD, TEdit*> cases[] = {
      {'K', dialog.edKeyword}, {'G', dialog.edClass}, {'D', dialog.edDrives}};
  for (const auto& [letter, edit] : cases) {
    altKey(letter);
    EXPECT_EQ(GetFocus(), edit->Handle()) << static_cast<char>(letter);
  }
  dialog.edKeyword->SetFocus();
  altKey('K');
  DWORD from = 1, to = 0;
  dialog.edKeyword->Send(EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 6u);
  altKey('B');
  EXPECT_TRUE(dialog.rbBak->Checked());
  dialog.Hide();
}

TEST_F(GalleryWindow, RemovableRecordOpensOnlyFromItsDisk) {
  std::vector<std::pair<std::string, int>> asked;
  std::vector<std::string> opened;
  std::string label = "WORK";
  tGalleryHost host;
  host.Ask = [&](const std::string& text, bool, int help) {
    asked.emplace_back(text, help);
    return true;
  };
  host.DriveLabel = [&](const std::string& root) { return root == "E:\\" ? label : ""; };
  host.OpenPicture = [&](const std::string& path) { opened.push_back(path); };
  TThumbWindowForm* form = Open(host);
  form->OpenItem(3);
  EXPECT_EQ(opened, std::vector<std::string>{"C:\\pics\\img003.bmp"});
  EXPECT_TRUE(asked.empty());
  form->btnEnd->Click();
  WaitBuilt(form);
  form->OpenItem(0);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0], (std::pair<std::string, int>{"Mount \"HOLIDAY\" in E:", 49}));
  EXPECT_EQ(asked[1], (std::pair<std::string, int>{"Can't open \"HOLIDAY\" in E: Is this \"WORK\"?", 50}));
  EXPECT_EQ(opened.size(), 1u);
  label = "holiday";
  form->OpenItem(0);
  EXPECT_EQ(opened.back(), "E:\\trips\\z-beach.bmp");
  form->Close();
  Pump();
}

TEST_F(GalleryWindow, PrintCollectsAllThePageOrTheTagged) {
  std::vector<std::vector<uint32_t>> printed;
  std::string header, title;
  tGalleryHost host;
  host.Print = [&](tDatabaseView&, const std::vector<uint32_t>& records, const std::string& h,
                   const std::string& t) {
    printed.push_back(records);
    header = h;
    title = t;
  };
  Application.Title = "Tavishore 32";
  TThumbWindowForm* form = Open(host);
  form->ToggleTag(5);
  form->ToggleTag(7);
  // Each asks the print options first; Cancel there prints nothing.
  dialogtest::TDriver driver;
  for (const char* button : {"OK", "OK", "OK", "Cancel"})
    driver.Then([button] { return dialogtest::PressButton("Print thumbnails", button); });
  driver.Start();
  form->PrintRecords(0);
  form->PrintRecords(1);
  form->PrintRecords(2);
  form->PrintRecords(1);
  EXPECT_TRUE(driver.Finished());
  ASSERT_EQ(printed.size(), 3u);
  EXPECT_EQ(printed[0].size(), 81u);
  EXPECT_EQ(printed[1].size(), 40u);
  EXPECT_EQ(printed[2], (std::vector<uint32_t>{form->RecordOfItem(5), form->RecordOfItem(7)}));
  EXPECT_EQ(header, "Tavishore 32 Gallery    %s");
  EXPECT_EQ(title, "Tavishore 32 Gallery");
  form->Close();
  Pump();
}

TEST_F(GalleryWindow, Screenshots) {
  if (!std::getenv("TAVIS_SCREENSHOT_DIR")) GTEST_SKIP() << "TAVIS_SCREENSHOT_DIR not set";
  TThumbWindowForm* form = Open();
  form->ToggleTag(1);
  form->ListView->SetSelected(1);
  Pump();
  gallerytest::ScreenshotViews(form, "gallery");
  form->Close();
  Pump();
}

}  // namespace
