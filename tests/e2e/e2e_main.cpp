// Entry of e2e_tests: GoogleTest takes its flags, the driver the rest
// (--setup-exe=, --examples=, --artifacts=).
#include <gtest/gtest.h>

#include "driver.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    driver::ParseArguments(argc, argv);
    return RUN_ALL_TESTS();
}
