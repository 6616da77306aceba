#include "online/uAboutRules.h"

#include <gtest/gtest.h>

#include "foundation/uUtil.h"
#include "tests/TestSupport.h"

namespace {

TEST(AboutRules, CreditsWrapAtTheEnd) {
  EXPECT_EQ(NextCreditsPosition(500, 100, 0, 1), 1);
  EXPECT_EQ(NextCreditsPosition(500, 100, 399, 1), 400);
  EXPECT_EQ(NextCreditsPosition(500, 100, 400, 1), 0);
  EXPECT_EQ(NextCreditsPosition(500, 100, 10, 0), 10);  // paused
}

TEST(AboutRules, SpeedButtons) {
  tScrollSpeed s;
  s.Slower();
  s.Slower();  // the second press is refused: Minus is disabled
  EXPECT_EQ(s.Interval, 120);
  EXPECT_FALSE(s.MinusEnabled);
  EXPECT_TRUE(s.PlusEnabled);
  s.Faster();
  s.Faster();
  EXPECT_EQ(s.Interval, 20);
  EXPECT_FALSE(s.PlusEnabled);
  EXPECT_TRUE(s.MinusEnabled);
}

class AboutTexts : public testsupport::tPlainPlatformTest {};

TEST_F(AboutTexts, BuildDateAndAge) {
  EXPECT_EQ(DosDateOfCompilerDate("Dec 10 2026"), (46 << 9) | (12 << 5) | 10);
  EXPECT_EQ(DosDateOfCompilerDate("Xyz 10 2026"), 0);
  EXPECT_EQ(BuildDateText(EncodeDate(2026, 3, 4)), "4-Mar-2026");
  EXPECT_EQ(BuildAgeText(45), "\r(45 days ago)");
  EXPECT_EQ(BuildAgeText(1234), "\r(1,234 days ago)");
}

TEST_F(AboutTexts, GuidePage) {
  tGuidePage none = GuidePageTexts("", "", "");
  EXPECT_FALSE(none.ViewEnabled);
  EXPECT_EQ(none.Update, "Retrieve the User's Guide");
  tGuidePage here = GuidePageTexts("C:\\p\\Doc\\t32guide.htm", "03/04/2026", "");
  EXPECT_TRUE(here.ViewEnabled);
  EXPECT_EQ(here.View, "User's Guide version 03/04/2026");
  EXPECT_EQ(here.Update, "Check for an update");
  EXPECT_EQ(GuidePageTexts("x", "d", "5.10a").Update, "The current User's Guide version is 5.10a");
}

TEST_F(AboutTexts, GuideProgressIsGuarded) {
  TGuide2 g;
  tGuideProgress p;
  g.FilesToGet = 2;
  ApplyGuideState(p, g, guideBatchBegin);
  EXPECT_TRUE(p.Visible && p.SecondVisible);
  g.CurrentName = "a.htm";
  ApplyGuideState(p, g, guideTransferBegin);
  EXPECT_EQ(p.StatusUpdate, "File 1 of 2");
  g.ContentLength = -1;  // no length sent
  g.Received = 500;
  g.TotalToGet = 0;
  g.TotalReceived = 500;
  ApplyGuideState(p, g, guideBytes);
  EXPECT_EQ(p.Percent1, 0);
  EXPECT_EQ(p.Percent2, 0);
  g.ContentLength = 500;
  g.TotalToGet = 1000;
  ApplyGuideState(p, g, guideBytes);
  EXPECT_EQ(p.Percent1, 100);
  EXPECT_TRUE(p.Pause);
  EXPECT_EQ(p.Percent2, 50);
  ApplyGuideState(p, g, guideTransferEnd);
  EXPECT_EQ(p.FilesDone, 2);
  ApplyGuideState(p, g, guideBatchEnd);
  EXPECT_FALSE(p.Visible);
}

TEST(AboutRules, VersionMessages) {
  tVersionDocument doc;
  EXPECT_EQ(VersionCheckMessage(doc, 5101).HelpContext, 30);
  doc.Valid = true;
  doc.VersionNumberW = 5200;
  EXPECT_EQ(VersionCheckMessage(doc, 5101).HelpContext, 31);
  doc.VersionNumberW = 5199;
  EXPECT_EQ(VersionCheckMessage(doc, 5101).Text, "You have the current version");
}

}  // namespace
