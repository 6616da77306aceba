#include "resources/uResStrings.h"

#include <gtest/gtest.h>

TEST(ResStrings, IdentityTextsAreCompiledIn) {
  EXPECT_EQ(LoadResString(sProgramName), "Tavishore 32");
  EXPECT_EQ(LoadResString(sGuideIndexName), "t51g.htm");
  EXPECT_EQ(LoadResString(sNewVersionName), "t32v.htm");
  EXPECT_EQ(LoadResString(sMakerName), "Halvorn Softworks");
  EXPECT_EQ(LoadResString(sWelcome).substr(0, 26), "Welcome to Tavishore 32!\r\r");
  EXPECT_EQ(LoadResString(12345), "");
}
