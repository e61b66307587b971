#include "readout.h"

#include <gtest/gtest.h>

namespace {

TEST(Readout, AcceptsExactlyTheTwoIdentifications) {
    EXPECT_TRUE(IsAcceptedIdentification("VL4"));
    EXPECT_TRUE(IsAcceptedIdentification("ZD2W50"));
    for (const char* foreign : {"vl4", "VL4 ", "VL", "ZD2W5", "ABCDEFGH", ""})
        EXPECT_FALSE(IsAcceptedIdentification(foreign)) << foreign;
}

} // namespace
