#include "foundation/SelectDirLayout.h"

#include <gtest/gtest.h>

TEST(SelectDirLayout, BoundsWithAndWithoutHelp) {
  auto b = SelectDirLayout(true, 96);
  EXPECT_EQ(b[sdiDirList], (tBox{8, 72, 213, 138}));
  EXPECT_EQ(b[sdiFileList], (tBox{232, 72, 185, 93}));
  EXPECT_EQ(b[sdiOKButton], (tBox{172, 224, 77, 27}));
  EXPECT_EQ(b[sdiHelpButton].Left, 340);
  b = SelectDirLayout(false, 96);
  EXPECT_EQ(b[sdiOKButton].Left, 256);
  EXPECT_EQ(b[sdiCancelButton].Left, 340);
  EXPECT_EQ(SelectDirClient(96), (tBox{0, 0, 424, 255}));
  // 120 pixels per inch: a quarter larger.
  EXPECT_EQ(SelectDirClient(120), (tBox{0, 0, 530, 319}));
  EXPECT_EQ(SelectDirLayout(true, 120)[sdiDirList], (tBox{10, 90, 266, 173}));
  tBox box{0, 0, 431, 281};
  CentreOnScreen(1024, 768, box);
  EXPECT_EQ(box.Left, 512 - 215);
  EXPECT_EQ(box.Top, 384 - 140);
}

TEST(SelectDirLayout, StartFolder) {
  char drive = 0;
  std::string folder;
  ASSERT_TRUE(SelectDirStartFolder("C:\\pics\\summer", drive, folder));
  EXPECT_EQ(drive, 'C');
  EXPECT_EQ(folder, "C:\\pics\\summer");
  ASSERT_TRUE(SelectDirStartFolder("d:\\", drive, folder));
  EXPECT_EQ(folder, "d:\\");
  ASSERT_TRUE(SelectDirStartFolder("e:\\pics\\", drive, folder));
  EXPECT_EQ(folder, "e:\\pics");
  EXPECT_FALSE(SelectDirStartFolder("", drive, folder));
  EXPECT_FALSE(SelectDirStartFolder("\\\\server\\share", drive, folder));
}
