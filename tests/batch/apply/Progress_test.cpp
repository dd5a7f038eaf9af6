// The progress percentage divides, multiplies, then rounds up.
#include "Progress.h"

#include <gtest/gtest.h>

TEST(Progress, ThreeNumberedFilesShow34_67_100)
{
    EXPECT_EQ(ProgressPercent(1, 3), 34);
    EXPECT_EQ(ProgressPercent(2, 3), 67);
    EXPECT_EQ(ProgressPercent(3, 3), 100);
}

TEST(Progress, TenFilesInOneFolderEndAt84)
{
    // One for the collection step, one for the folder visit, ten for the files.
    EXPECT_EQ(ProgressPercent(10, 12), 84);
    EXPECT_EQ(ProgressPercent(1, 12), 9);
}
