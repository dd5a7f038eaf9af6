// The main of the end-to-end tests: takes the path of Nomaro.exe from the command line.
#include "DesktopDriver.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    SetNomaroExePathFromArguments(argc, argv);
    return RUN_ALL_TESTS();
}
