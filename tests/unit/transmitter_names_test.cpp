#include "devlink/transmitter_names.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

DWORD Bits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

TEST(TransmitterNames, AnyReceivedByteHasAName) {
    EXPECT_STREQ(ProbeTypeName(ProbePH), "pH");
    EXPECT_STREQ(ProbeTypeName(6), "Chl\xF3r");                     // Chlór: 6 AND 3 = 2
    EXPECT_STREQ(ProbeTypeName(255), "Kysl\xEDk");                  // Kyslík
    EXPECT_STREQ(OutputWiringName(0), "Pasivn\xED 4 a\x9E 20 mA");  // Pasivní 4 až 20 mA
    EXPECT_STREQ(OutputWiringName(4), "Aktivn\xED 0 a\x9E 20 mA");  // 4 mod 3 = 1
    EXPECT_STREQ(OutputWiringName(254), "Aktivn\xED 0 a\x9E 10 V"); // 254 mod 3 = 2
    EXPECT_STREQ(OutputWiringName(255), OutputWiringName(0));
    EXPECT_STREQ(CommunicationErrorText.Text, "Chyba komunikace");

    for (const TextRecord* record : ProbeTypeNames)
        EXPECT_EQ(record->Reserved[0] | record->Reserved[1] | record->Reserved[2], 0u);
    for (const TextRecord* record : OutputWiringNames)
        EXPECT_EQ(record->Reserved[0] | record->Reserved[1] | record->Reserved[2], 0u);
}

TEST(TransmitterNames, AcceptsExactlyTheTwoIdentifications) {
    EXPECT_TRUE(IsAcceptedIdentification("VL4"));
    EXPECT_TRUE(IsAcceptedIdentification("ZD2W50"));
    for (const char* foreign : {"vl4", "VL4 ", "VL", "ZD2W5", "ABCDEFGH", ""})
        EXPECT_FALSE(IsAcceptedIdentification(foreign)) << foreign;
}

TEST(TransmitterNames, ProbeDefaultsAreTheExactSingles) {
    const ProbeParameters& ph = ProbeDefaults[ProbePH];
    EXPECT_EQ(Bits(ph.Sensitivity), 0xC26CA3D7u);
    EXPECT_EQ(Bits(ph.Offset), 0u);
    EXPECT_EQ(ph.UpperRange, 14.0f);
    const ProbeParameters& redox = ProbeDefaults[ProbeRedox];
    EXPECT_EQ(redox.Sensitivity, 1.0f);
    EXPECT_EQ(redox.LowerRange, -1000.0f);
    EXPECT_EQ(redox.UpperRange, 1000.0f);
    EXPECT_EQ(ProbeDefaults[ProbeChlorine].Sensitivity, 200.0f);
    EXPECT_EQ(ProbeDefaults[ProbeChlorine].UpperRange, 2.0f);
    EXPECT_EQ(ProbeDefaults[ProbeOxygen].Sensitivity, 9.0f);
    EXPECT_EQ(ProbeDefaults[ProbeOxygen].UpperRange, 20.0f);
}

} // namespace
