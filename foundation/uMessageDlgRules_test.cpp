#include "foundation/uMessageDlgRules.h"

#include <gtest/gtest.h>

TEST(MessageDlgRules, ButtonsAndResults) {
  int results[kMsgDlgBtnCount];
  for (int b = 0; b < kMsgDlgBtnCount; ++b) results[b] = MsgDlgModalResult(TMsgDlgBtn(b));
  EXPECT_EQ(std::vector<int>(results, results + kMsgDlgBtnCount),
            (std::vector<int>{6, 7, 1, 2, 3, 4, 5, 8, 9, 10, 0}));
  EXPECT_EQ(MsgDlgButtonCaption(mbNoToAll), "N&o to All");
  EXPECT_EQ(MsgDlgTypeCaption(mtConfirmation), "Confirm");
  EXPECT_EQ(MsgDlgTypeCaption(mtCustom), "");
  TMsgDlgButtons yesNo = MsgDlgButtons({mbNo, mbYes});
  EXPECT_EQ(MsgDlgButtonList(yesNo), (std::vector<TMsgDlgBtn>{mbYes, mbNo}));
  struct {
    TMsgDlgButtons set;
    TMsgDlgBtn enter, esc;
  } cases[] = {
      {MsgDlgButtons({mbOK}), mbOK, mbOK},
      {yesNo, mbYes, mbNo},
      {MsgDlgButtons({mbYes, mbNo, mbCancel}), mbYes, mbCancel},
      {MsgDlgButtons({mbAbort, mbRetry, mbIgnore}), mbAbort, kMsgDlgBtnCount},
      {MsgDlgButtons({mbOK, mbCancel, mbHelp}), mbOK, mbCancel},
      {0, kMsgDlgBtnCount, kMsgDlgBtnCount},
  };
  for (auto& c : cases) {
    EXPECT_EQ(MsgDlgDefaultButton(c.set), c.enter) << c.set;
    EXPECT_EQ(MsgDlgCancelButton(c.set), c.esc) << c.set;
  }
}

TEST(MessageDlgRules, Layout) {
  tMsgDlgMeasures m;  // base units 6 x 13: 8 units are 12 x 13 pixels
  m.TextWidth = 200;
  m.TextHeight = 13;
  m.CaptionWidths = {20, 40};
  tMsgDlgLayout l = MsgDlgLayout(m);
  EXPECT_EQ(l.Icon, (TRect{12, 13, 44, 45}));
  EXPECT_EQ(l.Text, (TRect{59, 13 + 9, 259, 13 + 9 + 13}));  // level with the icon's middle
  ASSERT_EQ(l.Buttons.size(), 2u);
  const int buttonTop = 45 + 16;
  EXPECT_EQ(l.Buttons[0], (TRect{57, buttonTop, 57 + 75, buttonTop + 23}));
  EXPECT_EQ(l.Buttons[1].Left - l.Buttons[0].Right, 6);
  EXPECT_EQ(l.ClientWidth, 259 + 12);
  // Centred buttons.
  EXPECT_NEAR(l.Buttons[0].Left, l.ClientWidth - l.Buttons[1].Right, 1);
  EXPECT_EQ(l.ClientHeight, buttonTop + 23 + 13);
  // A long caption widens every button; without an icon the text starts at the margin.
  m.IconSize = 0;
  m.CaptionWidths = {120};
  m.TextWidth = 10;
  l = MsgDlgLayout(m);
  EXPECT_EQ(l.Text.Left, 12);
  EXPECT_EQ(l.Buttons[0].Right - l.Buttons[0].Left, 132);
  EXPECT_EQ(l.ClientWidth, 132 + 24);
  EXPECT_EQ(l.Buttons[0].Left, 12);
}
