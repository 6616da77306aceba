// The gallery over a database of 200 real pictures (the test files decoded and stored under
// 200 names of their own): paging, the select / sort dialog, keywords and groups as filters,
// tagging from the keyboard, the properties dialog, and pages of thumbnails printed on the
// real printer.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "foundation/DialogDriver_test.h"
#include "foundation/uFormat.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/ListView.h"
#include "framework/RadioButton.h"
#include "framework/StatusBar.h"
#include "framework/TrackBar.h"
#include "imaging/uGraphic.h"
#include "tests/PrintedPages.h"
#include "tests/TestSupport.h"
#include "thumbnails/GalleryDialogs.h"
#include "thumbnails/GalleryShots_test.h"
#include "thumbnails/ThumbWindowForm.h"
#include "framework/CheckBox.h"
#include "thumbnails/uThumbMake.h"

namespace {
namespace fs = std::filesystem;
using dialogtest::Pump;

constexpr int kPictures = 200;

// The database, made once for the suite: every test file that decodes, stored again and again
// until there are 200 records, each with a name, size and date of its own.
struct tPictureBase {
  fs::path Dir;
  std::unique_ptr<tThumbnails> Db;
  std::vector<std::string> Names;  // by record number - 1
};

tPictureBase& PictureBase() {
  static tPictureBase base;
  if (base.Db) return base;
  RegisterAllFormats();
  base.Dir = testsupport::ScratchDir("gallery200");
  base.Db = std::make_unique<tThumbnails>((base.Dir / "thumbs").string());
  tThumbScanner scanner;
  std::vector<std::unique_ptr<tGraphicID>> decoded;
  for (const char* folder : {"jpeg", "gif", "png", "bmp", "tga"}) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(testsupport::TestData(folder))) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
      if (file.filename().string()[0] == 'x') continue;  // the PNG suite's broken files
      std::unique_ptr<tGraphicID> id = scanner.Identify(file.string());
      if (!id) continue;
      try {
        scanner.Decode(*id, 0);
      } catch (const std::exception&) {
        continue;
      }
      if (id->Bitmap && id->Bitmap->HasLayout()) decoded.push_back(std::move(id));
    }
  }
  for (int i = 0; i < kPictures && !decoded.empty(); ++i) {
    tGraphicID& id = *decoded[static_cast<size_t>(i) % decoded.size()];
    tThumbFileFacts facts;
    // Names in an order of their own; sizes in another; dates in a third.
    const std::string name = Format("%s%.3d.%s", {std::string(1, static_cast<char>('a' + (i * 7) % 26)), i,
                                                   i % 2 ? "jpg" : "gif"});
    facts.Path = Format("C:\\photos\\%s\\%s", {i < 100 ? "2019" : "2020", name});
    facts.Size = 10000 + (i * 37) % 200 * 100;
    facts.DosTime = 0x4E210000 + i;
    StoreThumbnail(*base.Db, id, 'A', 0, nullptr, nullptr, nullptr, facts);
    base.Names.push_back(name);
  }
  return base;
}

class Gallery200 : public testing::Test {
 protected:
  void SetUp() override {
    base_ = &PictureBase();
    ASSERT_EQ(base_->Names.size(), static_cast<size_t>(kPictures));
    TGallerySettings settings = base_->Db->GallerySettings();
    SetStatusFilter(settings, "A");
    SetGroupsFilter(settings, "");
    SetKeywordsFilter(settings, "");
    SetDrivesFilter(settings, "");
    settings.SortKey = 1;  // file name
    settings.Order = 0;
    base_->Db->SaveGallerySettings(settings);
  }

  TThumbWindowForm* Open(tGalleryHost host = {}) {
    TThumbWindowForm* form = ShowThumbnailWindow(&Application, *base_->Db, std::move(host));
    WaitBuilt(form);
    return form;
  }
  // Until the page shows whole (the build starts from a posted message).
  static void WaitBuilt(TThumbWindowForm* form) {
    dialogtest::PumpUntil(
        [&] { return !form->Building && !form->StatusBar1->PanelText(0).empty(); }, 120000);
  }
  // Runs the select / sort dialog from the gallery's button, choosing in it what set says.
  static void SelectAndSort(TThumbWindowForm* form, const std::function<void(TGallerySort&)>& set) {
    dialogtest::TDriver driver;
    driver.Then([&] {
      HWND h = dialogtest::FindForm("Gallery select / sort");
      if (!h) return false;
      set(*static_cast<TGallerySort*>(TWindow::FromHandle(h)));
      return true;
    });
    driver.Then([] { return dialogtest::PressButton("Gallery select / sort", "OK"); });
    driver.Start();
    form->btnSort->Click();
    EXPECT_TRUE(driver.Finished());
    WaitBuilt(form);
  }
  static void Choose(TRadioButton* radio, std::initializer_list<TRadioButton*> others) {
    for (TRadioButton* r : others) r->SetChecked(false);
    radio->SetChecked(true);
  }
  std::vector<uint32_t> PageSizes(TThumbWindowForm* form) {
    std::vector<uint32_t> sizes;
    for (int i = 0; i < form->ItemCount; ++i) {
      TThumbnailRecord r{};
      base_->Db->ReadRecord(form->RecordOfItem(i), r);
      sizes.push_back(r.FileSize);
    }
    return sizes;
  }
  tPictureBase* base_ = nullptr;
};

TEST_F(Gallery200, PagesThroughTwoHundredPictures) {
  tGalleryHost host;
  host.PerPage = 30;
  TThumbWindowForm* form = Open(host);
  EXPECT_EQ(form->PageCount, 7);
  EXPECT_EQ(form->StatusBar1->PanelText(0), "Page 1 of 7");
  EXPECT_EQ(form->StatusBar1->PanelText(1), "200 total items");
  ASSERT_EQ(form->ListView->Count(), 30);
  std::vector<std::string> sorted = base_->Names;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(form->ListView->ItemText(0, 0), sorted[0]);
  EXPECT_EQ(form->ListView->ItemText(29, 0), sorted[29]);
  form->btnNext->Click();
  WaitBuilt(form);
  EXPECT_EQ(form->StatusBar1->PanelText(0), "Page 2 of 7");
  EXPECT_EQ(form->ListView->ItemText(0, 0), sorted[30]);
  form->btnEnd->Click();
  WaitBuilt(form);
  EXPECT_EQ(form->StatusBar1->PanelText(0), "Page 7 of 7");
  ASSERT_EQ(form->ListView->Count(), 20);
  EXPECT_EQ(form->ListView->ItemText(19, 0), sorted[199]);
  form->btnHome->Click();
  WaitBuilt(form);
  EXPECT_EQ(form->ListView->ItemText(0, 0), sorted[0]);
  form->Close();
  Pump();
}

TEST_F(Gallery200, JumpsToAPageOrToTheFirstRecordOfAnIndexLetter) {
  std::vector<std::string> offered;
  int answer = 1, chosen = 0;
  tGalleryHost host;
  host.Jump = [&](int& page, int pageCount, const std::vector<std::string>& lookup, int& entry) {
    EXPECT_EQ(pageCount, 5);
    offered = lookup;
    if (answer == 1) page = 3;
    entry = chosen;
    return answer;
  };
  TThumbWindowForm* form = Open(host);
  form->JumpClick();
  WaitBuilt(form);
  EXPECT_EQ(form->StatusBar1->PanelText(0), "Page 4 of 5");
  // Sorted by file name: one lookup entry per first letter that occurs, "a" to "z".
  ASSERT_EQ(offered.size(), 26u);
  answer = 6;
  chosen = 12;  // "m"
  form->JumpClick();
  WaitBuilt(form);
  std::vector<std::string> sorted = base_->Names;
  std::sort(sorted.begin(), sorted.end());
  const auto first = std::find_if(sorted.begin(), sorted.end(), [](const std::string& n) { return n[0] == 'm'; });
  const int position = static_cast<int>(first - sorted.begin());
  EXPECT_EQ(form->Page, position / 40);
  EXPECT_EQ(form->ListView->ItemText(position % 40, 0), *first);
  answer = 2;  // cancelled: the page stays
  form->JumpClick();
  EXPECT_EQ(form->Page, position / 40);
  form->Close();
  Pump();
}

TEST_F(Gallery200, SortsAndSelectsThroughItsDialog) {
  TThumbWindowForm* form = Open();
  SelectAndSort(form, [](TGallerySort& d) {
    dialogtest::Screenshot(d.Handle(), "gallery-sort");
    EXPECT_TRUE(d.SortKeys[1]->Checked());
    EXPECT_TRUE(d.rbActive->Checked());
    Choose(d.SortKeys[3], {d.SortKeys[0], d.SortKeys[1]});
    Choose(d.rbBak, {d.rbFwd});
  });
  // By size, largest first, within the page and across pages.
  std::vector<uint32_t> sizes = PageSizes(form);
  ASSERT_EQ(sizes.size(), 40u);
  EXPECT_TRUE(std::is_sorted(sizes.rbegin(), sizes.rend()));
  EXPECT_EQ(sizes[0], 10000u + 199 * 100);
  const uint32_t last = sizes.back();
  form->btnNext->Click();
  WaitBuilt(form);
  EXPECT_LE(PageSizes(form).front(), last);
  // The choice is the gallery's setting from now on.
  EXPECT_EQ(base_->Db->GallerySettings().SortKey, 3);
  EXPECT_EQ(base_->Db->GallerySettings().Order, 1);

  // Only the 2020 folder through the drive filter's neighbour, the keyword filter: first give
  // three pictures keywords by tagging them.
  SelectAndSort(form, [](TGallerySort& d) { Choose(d.SortKeys[1], {d.SortKeys[3]}); Choose(d.rbFwd, {d.rbBak}); });
  for (int i : {2, 5, 9}) form->ToggleTag(i);
  form->ListView->SetSelected(5);
  Pump();
  form->edKeywords->SetText("beach sunset");
  form->StoreKeywords(form->edKeywords->Text());
  form->StoreGroup("holiday");
  const std::vector<std::string> keyworded = {form->ListView->ItemText(2, 0), form->ListView->ItemText(5, 0),
                                              form->ListView->ItemText(9, 0)};
  EXPECT_EQ(form->ListView->ItemText(9, 4).substr(0, 12), "beach sunset");
  SelectAndSort(form, [](TGallerySort& d) { d.edKeyword->SetText("sunset"); });
  EXPECT_EQ(form->StatusBar1->PanelText(1), "3 total items");
  ASSERT_EQ(form->ListView->Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(form->ListView->ItemText(i, 0), keyworded[static_cast<size_t>(i)]);
  SelectAndSort(form, [](TGallerySort& d) {
    d.edKeyword->SetText("");
    d.edClass->SetText("h");
  });
  EXPECT_EQ(form->ListView->Count(), 3);
  SelectAndSort(form, [](TGallerySort& d) { d.edClass->SetText("xyz"); });
  EXPECT_EQ(form->ListView->Count(), 0);
  EXPECT_EQ(form->StatusBar1->PanelText(0), "Page 1 of 0");
  // Keywords and groups go again.
  SelectAndSort(form, [](TGallerySort& d) { d.edClass->SetText("h"); });
  for (int i = 0; i < 3; ++i) form->ToggleTag(i);
  form->ListView->SetSelected(0);
  Pump();
  form->StoreKeywords("");
  form->StoreGroup(" ");
  form->Close();
  Pump();
}

TEST_F(Gallery200, TagsFromTheKeyboardAndShowsProperties) {
  TThumbWindowForm* form = Open();
  form->ListView->SetSelected(3);
  form->ListView->SetFocus();
  Pump();
  SendMessageW(form->ListView->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  SendMessageW(form->ListView->Handle(), WM_KEYUP, VK_SPACE, 0);
  Pump();
  EXPECT_TRUE(form->IsTagged(3));
  EXPECT_EQ(form->StatusBar1->PanelText(2), "1 tagged");
  EXPECT_EQ(form->StatusBar1->PanelText(3), "<1 tagged>");

  std::vector<std::string> shown;
  bool drawn = false;
  dialogtest::TDriver driver;
  driver.Then([&] {
    HWND h = dialogtest::FindForm("Image Properties");
    if (!h) return false;
    auto* d = static_cast<TImagePropertiesDialog*>(TWindow::FromHandle(h));
    for (TLabel* value : d->Values) shown.push_back(value->Caption());
    drawn = d->HasPicture();
    Pump();
    dialogtest::Screenshot(h, "gallery-properties");
    return true;
  });
  driver.Then([] { return dialogtest::PressButton("Image Properties", "OK"); });
  driver.Start();
  form->Properties();
  EXPECT_TRUE(driver.Finished());
  ASSERT_EQ(shown.size(), 7u);
  EXPECT_EQ(shown[0], form->ListView->ItemText(3, 0));
  EXPECT_EQ(shown[1], form->ListView->ItemText(3, 2));
  EXPECT_NE(shown[2].find(" bytes"), std::string::npos);
  EXPECT_EQ(shown[4], form->ListView->ItemText(3, 1));
  EXPECT_TRUE(drawn);
  gallerytest::ScreenshotViews(form, "gallery200");
  form->Close();
  Pump();
}

using GalleryPrint = testsupport::PrintedPagesTest;

TEST_F(GalleryPrint, PrintsAPageOfThumbnailsOnTwoSheets) {
  tPictureBase& base = PictureBase();
  TGallerySettings settings = base.Db->GallerySettings();
  SetStatusFilter(settings, "A");
  SetGroupsFilter(settings, "");
  SetKeywordsFilter(settings, "");
  settings.SortKey = 1;
  settings.Order = 0;
  base.Db->SaveGallerySettings(settings);
  int size = 0, orientation = poPortrait;
  bool center = false;
  tGalleryHost host;
  host.PrintSize = &size;
  host.CenterPrint = &center;
  host.Orientation = &orientation;
  Application.Title = "Tavishore 32";
  TThumbWindowForm* form = ShowThumbnailWindow(&Application, *base.Db, host);
  dialogtest::PumpUntil(
      [&] { return !form->Building && !form->StatusBar1->PanelText(0).empty(); }, 120000);
  dialogtest::TDriver driver;
  driver.Then([&] {
    HWND h = dialogtest::FindForm("Print thumbnails");
    if (!h) return false;
    auto* d = static_cast<TThumbPrintDialog*>(TWindow::FromHandle(h));
    EXPECT_EQ(d->TrackBar1->Position(), 0);
    d->TrackBar1->SetPosition(2);
    d->chkCenter->SetChecked(true);
    dialogtest::Screenshot(h, "gallery-print-options");
    return true;
  });
  driver.Then([] { return dialogtest::PressButton("Print thumbnails", "OK"); });
  driver.Start();
  form->PrintRecords(1);  // the page: 40 thumbnails of 36 mm do not fit one sheet
  EXPECT_TRUE(driver.Finished());
  EXPECT_EQ(size, 2);
  EXPECT_TRUE(center);
  const std::vector<std::string> pages = PrintedPages("Tavishore_32_Gallery-");
  // A 32-bit program under qemu gets no text back from the Unix text tool it starts.
  if (pages.empty() && pdfFound_) GTEST_SKIP() << "the job's PDF came, but pdftotext gave no text here";
  ASSERT_EQ(pages.size(), 2u);
  // The header at the bottom right (the text tool makes the gap before the page text shorter).
  for (int p = 0; p < 2; ++p) {
    const std::string& page = pages[static_cast<size_t>(p)];
    const size_t header = page.find("Tavishore 32 Gallery ");
    ASSERT_NE(header, std::string::npos) << page;
    EXPECT_NE(page.find(Format("Page %d of 2", {p + 1}), header), std::string::npos) << page;
  }
  // 35 cells of 36 mm fit a sheet of the printer's paper: 5 columns of 7 rows.
  EXPECT_EQ(std::count(pages[0].begin(), pages[0].end(), '.'), 35);
  EXPECT_EQ(std::count(pages[1].begin(), pages[1].end(), '.'), 5);
  std::vector<std::string> sorted = base.Names;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_NE(pages[0].find(sorted[0]), std::string::npos);
  EXPECT_NE(pages[1].find(sorted[39]), std::string::npos);
  form->Close();
  Pump();
}

}  // namespace
