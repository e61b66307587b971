#include "devlink/transmitter_link.h"

#include "unit/fake_comm.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class Transmitter : public ::testing::Test {
protected:
    void SetUp() override {
        Line.Guard(Link.FrameBuffer, sizeof Link.FrameBuffer);
        ASSERT_TRUE(Link.Open("COM5"));
        Line.Forget();
    }
    FakeComm Line;
    TransmitterLink Link;
};

TEST_F(Transmitter, EveryValueTravelsUnderItsCommandWithItsSize) {
    float number;
    BYTE byte;
    CalibrationDate date;
    struct Accessor {
        const char* Name;
        BYTE Command;
        bool Writes;
        void* Value;
        size_t Size;
        std::function<bool()> Call;
        bool KeepsValue;
    };
    auto F = [&](const char* name, BYTE command, bool writes,
                 bool (TransmitterLink::*call)(float&)) {
        return Accessor{
            name, command, writes, &number, 4, [&, call] { return (Link.*call)(number); }, false};
    };
    auto B = [&](const char* name, BYTE command, bool writes,
                 bool (TransmitterLink::*call)(BYTE&)) {
        return Accessor{name, command, writes, &byte, 1, [&, call] { return (Link.*call)(byte); },
                        false};
    };
    using L = TransmitterLink;
    const Accessor accessors[] = {
        F("GetProbeVoltage", 36, false, &L::GetProbeVoltage),
        F("GetMeasuredValue", 37, false, &L::GetMeasuredValue),
        F("GetRatio", 38, false, &L::GetRatio),
        B("GetOutputWiring", 42, false, &L::GetOutputWiring),
        B("GetProbeType", 43, false, &L::GetProbeType),
        B("SetProbeType", 43, true, &L::SetProbeType),
        B("GetDamping", 44, false, &L::GetDamping),
        {"SetDamping", 44, true, &byte, 1, [&] { return Link.SetDamping(byte); }, true},
        {"GetCalibrationDate", 45, false, &date, 4, [&] { return Link.GetCalibrationDate(date); },
         false},
        {"SetCalibrationDate", 45, true, &date, 4, [&] { return Link.SetCalibrationDate(date); },
         false},
        F("GetLowerRange", 46, false, &L::GetLowerRange),
        F("SetLowerRange", 46, true, &L::SetLowerRange),
        F("GetUpperRange", 47, false, &L::GetUpperRange),
        F("SetUpperRange", 47, true, &L::SetUpperRange),
        F("GetOffset", 48, false, &L::GetOffset),
        F("SetOffset", 48, true, &L::SetOffset),
        F("GetSensitivity", 49, false, &L::GetSensitivity),
        F("SetSensitivity", 49, true, &L::SetSensitivity),
        F("GetDepth", 50, false, &L::GetDepth),
        F("SetDepth", 50, true, &L::SetDepth),
    };
    const Bytes sent{0xA1, 0xB2, 0xC3, 0x44};
    const Bytes answer{0x15, 0x03, 0x24, 0x20};
    for (const Accessor& a : accessors) {
        SCOPED_TRACE(a.Name);
        Bytes value(sent.begin(), sent.begin() + a.Size);
        Bytes reply(answer.begin(), answer.begin() + a.Size);
        Bytes request = Request(a.Command, a.Writes ? value : Bytes{});

        // A reply of the other size is refused and changes nothing.
        std::memcpy(a.Value, value.data(), a.Size);
        Line.Replies.push_back({Reply(Bytes(5 - a.Size))});
        EXPECT_FALSE(a.Call());
        EXPECT_EQ(BytesOf(a.Value, a.Size), value);

        Line.Forget();
        Line.Replies.push_back({Reply(reply)});
        EXPECT_TRUE(a.Call());
        EXPECT_EQ(Line.Written, std::vector<Bytes>{request});
        EXPECT_EQ(BytesOf(a.Value, a.Size), a.KeepsValue ? value : reply);
    }
}

TEST_F(Transmitter, WritesShowWhatTheTransmitterKept) {
    float offset = 1.5f;
    Line.Replies.push_back({Reply({0x00, 0x00, 0xA0, 0x3F})}); // 1.25
    EXPECT_TRUE(Link.SetOffset(offset));
    EXPECT_EQ(offset, 1.25f);
    offset = 1.5f;
    EXPECT_FALSE(Link.SetOffset(offset));
    EXPECT_EQ(offset, 1.5f) << "a failed write leaves the value that was to be written";

    CalibrationDate date{};
    Line.Replies.push_back({Reply({0x15, 0x03, 0x24, 0x20})});
    ASSERT_TRUE(Link.SetCalibrationDate(date));
    EXPECT_EQ(date.Day, 0x15);
    EXPECT_EQ(date.Month, 0x03);
    EXPECT_EQ(date.Year, 0x2024);
}

} // namespace
