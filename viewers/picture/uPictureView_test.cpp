#include "viewers/picture/uPictureView.h"

#include <gtest/gtest.h>

#include <set>

#include "imaging/PictureTestUtil.h"
#include "imaging/uGraphic.h"

namespace {
const int kTags[] = {pbQuit, pbAbout, pbFullScreen, pbZoom, pbDoc,  pbPrint, pbSave,
                     pbEncode, pbCopy, pbTweak,     pbStop, pbNext, pbDelay, pbLoop};

std::set<int> EnabledIn(const tStatusInput& s) {
  std::set<int> on;
  for (int tag : kTags)
    if (PictureButtonEnabled(tag, s)) on.insert(tag);
  return on;
}
}  // namespace

TEST(PictureStatus, EachModeEnablesItsButtons) {
  const std::set<int> commands = {pbQuit,   pbAbout, pbFullScreen, pbZoom, pbDoc,
                                  pbPrint,  pbSave,  pbEncode,     pbCopy, pbTweak};
  tStatusInput s;
  s.FrameCount = 2;
  s.Mode = psDecoding;
  EXPECT_EQ(EnabledIn(s), (std::set<int>{pbQuit, pbStop}));
  s.Mode = psDelay;
  EXPECT_EQ(EnabledIn(s), (std::set<int>{pbQuit, pbStop, pbDelay}));
  s.Mode = psHeld;
  EXPECT_EQ(EnabledIn(s), (std::set<int>{pbQuit, pbStop, pbNext}));
  s.Mode = psPaused;
  auto paused = commands;
  paused.insert(pbNext);
  EXPECT_EQ(EnabledIn(s), paused);
  s.Mode = psDone;
  auto done = commands;
  done.insert(pbLoop);
  EXPECT_EQ(EnabledIn(s), done);
}

TEST(PictureStatus, RefinementsOfEnabledButtons) {
  tStatusInput s;
  s.Mode = psDone;
  s.FrameCount = 1;  // a single picture: nothing to loop
  EXPECT_FALSE(PictureButtonEnabled(pbLoop, s));
  s.CanZoom = false;
  EXPECT_FALSE(PictureButtonEnabled(pbZoom, s));
  s.NoFile = true;
  EXPECT_FALSE(PictureButtonEnabled(pbEncode, s));
  EXPECT_TRUE(PictureButtonEnabled(pbSave, s));
  s.HasDecoder = false;
  EXPECT_FALSE(PictureButtonEnabled(pbDoc, s));
  EXPECT_FALSE(PictureButtonEnabled(pbTweak, s));
  // Refinements never switch on a button that the mode leaves off.
  s = tStatusInput{};
  s.FrameCount = 5;
  EXPECT_FALSE(PictureButtonEnabled(pbLoop, s));
  for (int mode : {0, 1, 2, 3, 4}) EXPECT_EQ(StatusShowsHeadline(mode), mode <= 2);
}

TEST(PictureStatus, DetailsHintMentionsCommentsOnce) {
  EXPECT_EQ(DocHintWithComments("Details"), "Details and comments");
  EXPECT_EQ(DocHintWithComments("Details and comments"), "Details and comments");
}

TEST(FrameDelay, ZeroWaitsATenthAndInputWaitsForNext) {
  const double now = 40000.5, tick = 1.0 / 8640000.0;  // a hundredth of a second in days
  struct {
    bool input;
    uint32_t delay;
    bool waits;
    double hundredths;
  } table[] = {{false, 0, false, 10}, {false, 7, false, 7}, {true, 0, true, 0},
               {true, 25, false, 25}, {false, 500, false, 500}};
  for (auto& t : table) {
    tDelayStep step = FrameDelayStep(t.input, t.delay, now);
    EXPECT_EQ(step.WaitForNext, t.waits) << t.delay;
    if (!t.waits) {
      EXPECT_NEAR(step.Deadline - now, t.hundredths * tick, 1e-9) << t.delay;
      EXPECT_FALSE(DelayOver(now, step.Deadline, false));
      EXPECT_TRUE(DelayOver(now, step.Deadline, true));
      EXPECT_TRUE(DelayOver(step.Deadline, step.Deadline, false));
    }
  }
}

namespace {
tFitMetrics Screen1024(int w, int h) {
  tFitMetrics m;
  m.DisplayWidth = w;
  m.DisplayHeight = h;
  m.PanelWidth = 600;
  m.PanelHeight = 44;
  m.StatusHeight = 19;
  m.WorkWidth = 1024;
  m.WorkHeight = 768 - 30 + 19;  // full-screen client height with the caption
  m.FrameWidth = 8;
  m.FrameHeight = 34;
  m.VScrollWidth = 16;
  m.HScrollHeight = 16;
  return m;
}
}  // namespace

TEST(FitToScreen, SmallPicturesGetRoomForButtonsAndTheLeastHeight) {
  tFitResult r = FitToScreen(Screen1024(50, 40));
  EXPECT_EQ(r.ClientWidth, 602);                 // the button panel, not the picture
  EXPECT_EQ(r.ClientHeight, 130 + 44 + 19 + 2);  // at least 130 for the picture
  EXPECT_FALSE(r.Centred);
  r = FitToScreen(Screen1024(700, 300));
  EXPECT_EQ(r.ClientWidth, 702);
  EXPECT_EQ(r.ClientHeight, 300 + 44 + 19 + 2);
}

TEST(FitToScreen, LargePicturesFillTheWorkAreaWithBothScrollBars) {
  tFitMetrics m = Screen1024(5000, 4000);
  tFitResult r = FitToScreen(m);
  EXPECT_EQ(r.ClientWidth, m.WorkWidth - m.FrameWidth);
  // The whole window, caption and frame included, stays within the work area.
  EXPECT_EQ(r.ClientHeight + m.FrameHeight, m.WorkHeight);
  // Too high only: the vertical bar's width joins the wanted width, which still fits.
  m = Screen1024(600, 4000);
  r = FitToScreen(m);
  EXPECT_EQ(r.ClientWidth, 602 + 16);
  // Too wide only: the horizontal bar's height joins the wanted height.
  m = Screen1024(4000, 200);
  r = FitToScreen(m);
  EXPECT_EQ(r.ClientHeight, 200 + 44 + 19 + 2 + 16);
  m.ScrollBoxBorder = true;
  EXPECT_EQ(FitToScreen(m).ClientHeight, 200 + 44 + 19 + 2 + 2 + 16);
}

TEST(FitToScreen, CentresWhenTheSettingAsks) {
  tFitMetrics m = Screen1024(400, 300);
  m.WindowPlacement = 1;
  tFitResult r = FitToScreen(m);
  EXPECT_TRUE(r.Centred);
  EXPECT_EQ(r.Left, (m.WorkWidth - (r.ClientWidth + m.FrameWidth)) / 2);
  EXPECT_EQ(r.Top, (m.WorkHeight - (r.ClientHeight + m.FrameHeight)) / 2);
}

TEST(PictureLayout, CentresSmallPicturesAndStepsLargeOnes) {
  EXPECT_EQ(ScrollIncrement(100, 100), 1);
  EXPECT_EQ(ScrollIncrement(132, 100), 1);   // 32 outside
  EXPECT_EQ(ScrollIncrement(133, 100), 2);   // 33 outside: (33 + 31) / 32
  EXPECT_EQ(ScrollIncrement(4100, 100), 125);
  tLayoutMetrics m;
  m.DisplayWidth = 200;
  m.DisplayHeight = 100;
  m.ClientWidth = 602;
  m.ClientHeight = 195;
  m.PanelHeight = 44;
  m.StatusHeight = 19;
  m.VScrollWidth = m.HScrollHeight = 16;
  m.BoxClientWidth = 602;
  m.BoxClientHeight = 130;
  tViewLayout v = LayoutPicture(m);
  EXPECT_EQ(v.PaintWidth, 602);
  EXPECT_EQ(v.PaintHeight, 195);
  EXPECT_EQ(v.OriginX, 201);
  EXPECT_EQ(v.OriginY, 15);  // (195 - 44 - 19 - 2 - 100) / 2
  EXPECT_EQ(v.RangeX, 200);
  EXPECT_EQ(v.IncrementX, 1);
  // Within a scroll bar's width of filling: drawn at the corner.
  m.DisplayWidth = 602 - 18;
  EXPECT_EQ(LayoutPicture(m).OriginX, 0);
  m.DisplayWidth = 3000;
  m.DisplayHeight = 2000;
  v = LayoutPicture(m);
  EXPECT_EQ(v.PaintWidth, 3000);
  EXPECT_EQ(v.PaintHeight, 2000);
  EXPECT_EQ(v.OriginX, 0);
  EXPECT_EQ(v.OriginY, 0);
  EXPECT_EQ(v.IncrementX, (3000 - 602 + 31) / 32);
  EXPECT_EQ(v.IncrementY, (2000 - 130 + 31) / 32);
}

TEST(ScreenColours, PaletteScreensGetTheirReduction) {
  struct {
    int screen, picture;
    uint16_t options;
    tScreenReduction want;
  } table[] = {{24, 24, 0, srNone},           {32, 8, 0, srNone},
               {16, 24, 0, srNone},           {8, 24, 0, srOnePass256},
               {8, 24, goHighQuality, srOptimal256}, {8, 8, goHighQuality, srNone},
               {8, 4, 0, srNone},             {4, 24, 0, srDither16},
               {4, 8, goHighQuality, srDither16},    {4, 4, 0, srNone},
               {1, 24, 0, srNone}};
  for (auto& t : table)
    EXPECT_EQ(ScreenReductionFor(t.screen, t.picture, t.options), t.want)
        << t.screen << " " << t.picture;
}

TEST(DisplayPicture, TrueColourOnTrueColourScreensIsShownAsItIs) {
  auto pic = pictest::Pattern(40, 30, 24);
  tDisplayRequest r;
  r.DisplayWidth = 40;
  r.DisplayHeight = 30;
  r.PictureBits = 24;
  EXPECT_EQ(BuildDisplayPicture(*pic, r), nullptr);
}

TEST(DisplayPicture, EightAndFourBitScreensGetPalettePictures) {
  auto pic = pictest::Pattern(40, 30, 24);
  tDisplayRequest r;
  r.DisplayWidth = 40;
  r.DisplayHeight = 30;
  r.PictureBits = 24;
  for (uint16_t options : {uint16_t(0), goHighQuality}) {
    r.ScreenBits = 8;
    r.Options = options;
    auto shown = BuildDisplayPicture(*pic, r);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->BitCount(), 8);
    EXPECT_LE(shown->PaletteEntries(), 256);
    EXPECT_EQ(shown->Width(), 40);
  }
  r.ScreenBits = 4;
  auto shown = BuildDisplayPicture(*pic, r);
  ASSERT_NE(shown, nullptr);
  // The 16 standard colours: no index past 15.
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_LT(pictest::Pixel(*shown, x, y), 16u);
  // The decoder's picture is never changed.
  auto again = pictest::Pattern(40, 30, 24);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(pictest::Pixel(*pic, x, y), pictest::Pixel(*again, x, y));
}

TEST(DisplayPicture, AspectAndRotationGiveTheDisplaySize) {
  auto pic = pictest::Pattern(32, 20, 8);
  tDisplayRequest r;
  r.AspectX = 6;
  r.AspectY = 5;
  r.DisplayWidth = 32;
  r.DisplayHeight = 24;
  r.PictureBits = 8;
  auto shown = BuildDisplayPicture(*pic, r);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->Width(), 32);
  EXPECT_EQ(shown->Height(), 24);
  r.Rotation = 1;
  shown = BuildDisplayPicture(*pic, r);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->Width(), 24);
  EXPECT_EQ(shown->Height(), 32);
  // Square pixels turned a quarter: the sides swap and nothing is stretched.
  r.AspectX = r.AspectY = 1;
  r.DisplayWidth = 32;
  r.DisplayHeight = 20;
  shown = BuildDisplayPicture(*pic, r);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->Width(), 20);
  EXPECT_EQ(shown->Height(), 32);
  EXPECT_EQ(pictest::Pixel(*shown, 19, 0), pictest::Pixel(*pic, 0, 0));
}
