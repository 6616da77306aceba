// The splash window: its picture for the screen, its round shape, and closing when due.
#include "shell/Splash.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "foundation/DialogDriver_test.h"
#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"
#include "framework/Application.h"
#include "shell/uStartup.h"

TEST(Splash, ShowsTheProgramRoundAndOnTop) {
  auto* s = new TSplash(&Application);
  EXPECT_EQ(s->BitmapName, SplashBitmapName(ScreenColorBits()));
  ASSERT_FALSE(s->SplashBitmap->Empty());
  EXPECT_EQ(s->SplashBitmap->Width(), 260);
  EXPECT_EQ(s->SplashBitmap->Height(), 130);
  EXPECT_EQ(s->ClientWidth(), 285);
  EXPECT_EQ(s->ClientHeight(), 266);
  EXPECT_EQ(s->lblProgramName->Caption(), "Tavishore 32");
  EXPECT_EQ(s->lblProgramVersion->Caption(), "32-bit version 5.10a");
  EXPECT_TRUE(GetWindowLongW(s->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongW(s->Handle(), GWL_STYLE) & WS_CAPTION);
  const double now = Platform().Now();
  // Three seconds from its making; a second of slack for a wall clock that steps back.
  EXPECT_NEAR(s->EndTime, now + kSplashDays, 1.0 / 86400.0);
  s->Show();
  dialogtest::Pump();
  EXPECT_TRUE(s->Rounded);
  EXPECT_GE(s->PaintCount, 1);
  // Centred on the screen.
  RECT r = s->BoundsRect();
  EXPECT_NEAR(r.left + (r.right - r.left) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 2);
  dialogtest::Screenshot(s->Handle(), "splash");
  // Closing frees it.
  Splash = s;
  s->Close();
  dialogtest::Pump();
  EXPECT_EQ(Splash, nullptr);
}

TEST(Splash, TheSharedDialogFormHasItsButtons) {
  auto* d = new TOKBottomDlg(&Application);
  EXPECT_EQ(d->Caption(), "Dialog");
  EXPECT_EQ(d->ClientWidth(), 313);
  EXPECT_EQ(d->ClientHeight(), 214);
  EXPECT_EQ(d->OKBtn->ModalResult, mrOk);
  EXPECT_EQ(d->CancelBtn->ModalResult, mrCancel);
  EXPECT_EQ(d->DefaultButton, d->OKBtn);
  EXPECT_EQ(d->CancelButton, d->CancelBtn);
  delete d;
}
