// The options dialog under the real window system: every page shown (and pictured for the
// screenshots), OK without changes leaving everything as it was, the password unlocking the
// level group, the decoder bits, and the database size change that changes nothing when the
// size stays.
#include "shell/OptionsDialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "foundation/DialogDriver_test.h"
#include "foundation/uControlGroupsWin.h"
#include "foundation/uRegistry.h"
#include "framework/Application.h"
#include "imaging/uGraphic.h"
#include "shell/uInstallWin.h"
#include "tests/TestSupport.h"
#include "thumbnails/uThumbnails.h"

namespace {
struct OptionsDialogTest : ::testing::Test {
  tViewerSettings settings = DefaultSettings("C:\\Tavis\\Tavishore32.exe");
  uint16_t graphic = goHighQuality;
  tOptionsHost host;
  std::vector<int> notified;
  bool closed = false;
  void SetUp() override {
    host.Settings = &settings;
    host.GraphicOptions = &graphic;
    host.ProgramFile = "C:\\Tavis\\Tavishore32.exe";
    host.NotifyAll = [this](int c) { notified.push_back(c); };
    host.CloseProgram = [this] { closed = true; };
  }
  TOptionsDialog* Make() {
    auto* d = new TOptionsDialog(nullptr, host);
    d->Fill();
    return d;
  }
  // The password box loses the focus, as when the user tabs on.
  static void LeavePassword(TOptionsDialog* d, const std::string& text) {
    d->Pages->SetPageIndex(8);
    d->Show();
    d->EditPassword->SetFocus();
    d->EditPassword->SetText(text);
    d->btnOK->SetFocus();
    dialogtest::Pump(2);
  }
};
}  // namespace

TEST_F(OptionsDialogTest, EveryPageShowsAndOkWithoutChangesKeepsEverything) {
  settings.HiddenOptions = true;
  settings.SlidePaper = "";
  settings.ParentalLevel = 1;
  settings.ParentalPassword = "pw";
  uint32_t assocBefore = 0;
  RegisterFileAssociations(host.ProgramFile, true, assocBefore, 0);
  bool linksBefore[kShortcutKinds];
  for (int k = 0; k < kShortcutKinds; ++k) linksBefore[k] = ShortcutExists(TShortcutKind(k));
  const tViewerSettings before = settings;

  TOptionsDialog* d = Make();
  EXPECT_EQ(d->Caption(), "Tavishore 32 Options");
  EXPECT_EQ(d->Pages->PageCount(), kOptionsPages);
  EXPECT_TRUE(d->Pages->TabVisible(kOptionsPrivatePage));
  EXPECT_FALSE(d->chkWP->Enabled());
  EXPECT_FALSE(d->LevelUnlocked());
  EXPECT_EQ(d->EditPassword->Text(), "");
  d->Show();
  const char* names[kOptionsPages] = {"preferences", "associations", "graphic", "movies",
                                      "slides", "stats", "size", "thumbs", "parental",
                                      "shortcut", "private"};
  for (int page = 0; page < kOptionsPages; ++page) {
    d->Pages->SetPageIndex(page);
    EXPECT_EQ(d->HelpContext, 1001 + page);
    dialogtest::Pump(2);
    dialogtest::Screenshot(d->Handle(), std::string("options-") + names[page]);
  }
  d->Pages->SetPageIndex(4);
  d->btnOK->Click();
  EXPECT_EQ(d->ModalResult, mrOk);
  delete d;

  EXPECT_EQ(settings.FolderHistory, before.FolderHistory);
  EXPECT_EQ(settings.ZoomPercent, before.ZoomPercent);
  EXPECT_EQ(settings.MonitorGamma, before.MonitorGamma);
  EXPECT_EQ(settings.SlideDelay, before.SlideDelay);
  EXPECT_EQ(settings.ParentalLevel, 1);
  EXPECT_EQ(settings.ParentalPassword, "pw");
  EXPECT_EQ(graphic, goHighQuality);
  uint32_t assocAfter = 0;
  RegisterFileAssociations(host.ProgramFile, true, assocAfter, 0);
  EXPECT_EQ(assocAfter, assocBefore);
  for (int k = 0; k < kShortcutKinds; ++k)
    EXPECT_EQ(ShortcutExists(TShortcutKind(k)), linksBefore[k]);
  // The hidden options close the program, and the dialog opens on its first page next time.
  EXPECT_TRUE(closed);
  EXPECT_EQ(settings.OptionsPage, 0);
}

TEST_F(OptionsDialogTest, PrivatePageOnlyWithTheHiddenOptions) {
  TOptionsDialog* d = Make();
  EXPECT_FALSE(d->Pages->TabVisible(kOptionsPrivatePage));
  d->Pages->SetPageIndex(kOptionsPrivatePage);
  EXPECT_NE(d->Pages->PageIndex(), kOptionsPrivatePage);
  d->Pages->SetPageIndex(6);
  d->btnOK->Click();
  delete d;
  EXPECT_FALSE(closed);
  EXPECT_EQ(settings.OptionsPage, 6);
}

TEST_F(OptionsDialogTest, PasswordUnlocksTheLevelGroup) {
  struct Row {
    const char* stored;
    const char* typed;
    int chosen;
    bool unlocked;
    int wantLevel;
    const char* wantPassword;
  } rows[] = {
      {"", "first", 3, true, 3, "first"},  // no password yet: the typed one is it
      {"pw", "pw", 0, true, 0, ""},        // level 0 clears the password
      {"pw", "nope", 0, false, 2, "pw"},   // a wrong one changes nothing
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.typed);
    settings.ParentalLevel = 2;
    settings.ParentalPassword = r.stored;
    TOptionsDialog* d = Make();
    LeavePassword(d, r.typed);
    EXPECT_EQ(d->LevelUnlocked(), r.unlocked);
    EXPECT_EQ(d->grpLevel->Enabled(), r.unlocked);
    SetRadioByTag(*d->grpLevel, r.chosen);
    d->btnOK->Click();
    delete d;
    EXPECT_EQ(settings.ParentalLevel, r.wantLevel);
    EXPECT_EQ(settings.ParentalPassword, r.wantPassword);
  }
}

TEST_F(OptionsDialogTest, DecoderOptionsAreTheThreeBoxes) {
  graphic = goDisplayInterlace | 0x18;  // with the two GIF switches of old versions
  TOptionsDialog* d = Make();
  EXPECT_TRUE(d->chkGinterlace->Checked());
  EXPECT_FALSE(d->ChkQuant2->Checked());
  d->chkGinterlace->SetChecked(false);
  d->chkGaspect->SetChecked(true);
  d->btnOK->Click();
  delete d;
  EXPECT_EQ(graphic, goStandardAspect);
}

TEST_F(OptionsDialogTest, CancelChangesNothing) {
  TOptionsDialog* d = Make();
  d->spinHistD->SetValue(77);
  d->chkGinterlace->SetChecked(true);
  d->Show();
  d->btnCancel->Click();
  EXPECT_EQ(d->ModalResult, mrCancel);
  delete d;
  EXPECT_EQ(settings.FolderHistory, 20);
  EXPECT_EQ(graphic, goHighQuality);
}

TEST_F(OptionsDialogTest, DatabasePagesActOnTheDatabase) {
  auto dir = testsupport::ScratchDir("options_db");
  tThumbnails db((dir / "thumbs").string());
  host.Database = &db;
  db.ToggleOmittedFolder("C:\\Omit\\A");
  db.ToggleOmittedFolder("C:\\Omit\\B");
  const int code = db.ThumbnailSizeCode();
  TOptionsDialog* d = Make();
  EXPECT_EQ(d->omitList->Count(), 2);
  EXPECT_EQ(d->ChosenSizeCode(), code);
  EXPECT_NE(d->lblStats[0]->Caption(), "");
  d->Show();
  for (int page : {5, 7}) {
    d->Pages->SetPageIndex(page);
    dialogtest::Pump(2);
    dialogtest::Screenshot(d->Handle(), page == 5 ? "options-stats-database" : "options-thumbs-database");
  }

  // "Change" with the current size: confirmed, and nothing happens.
  dialogtest::TDriver driver;
  driver.Then([] { return dialogtest::PressButton("Confirm", "OK"); });
  driver.Start();
  d->ChangeSizeClick();
  EXPECT_EQ(db.ThumbnailSizeCode(), code);
  EXPECT_TRUE(notified.empty());

  // Another size: the database starts afresh at it and every window rebuilds its view.
  SetRadioByTag(*d->grpSize, 5);
  dialogtest::TDriver again;
  again.Then([] { return dialogtest::PressButton("Confirm", "OK"); });
  again.Start();
  d->ChangeSizeClick();
  EXPECT_EQ(db.ThumbnailSizeCode(), 5);
  EXPECT_EQ(notified, std::vector<int>{4});
  d->Pages->SetPageIndex(6);
  dialogtest::Pump(2);
  dialogtest::Screenshot(d->Handle(), "options-size-changed");

  // Removing an omitted folder reaches the database on OK.
  d->omitList->SetItemIndex(0);
  d->RemoveOmitted();
  d->btnOK->Click();
  delete d;
  EXPECT_EQ(db.OmittedFolders().Count(), 1);
  db.Close();
}
