#include "foundation/uIdentity.h"

#include <gtest/gtest.h>

TEST(Identity, NameAndVersionJoinedByOneBlank) {
  EXPECT_EQ(ProgramNameAndVersion(), "Tavishore 32 32-bit version 5.10a");
}
