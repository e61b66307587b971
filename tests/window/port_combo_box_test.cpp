#include "app/port_combo_box.h"
#include "unit/serial_device_map.h"
#include "window/control_fixture.h"

using namespace fwtest;

namespace {

using PortSelectorTest = ControlTest;

TEST_F(PortSelectorTest, ListsThePortsInTheirOrderWithNothingSelected) {
    PortComboBox* ports;
    {
        SerialDeviceMap map;
        map.Add("\\Device\\Serial9", "COM10");
        map.Add("\\Device\\Serial2", "COM3");
        map.Add("\\Device\\Serial0", "COM1");
        ports = Add<PortComboBox>(10, 10, 120, 150, 101);
    }
    EXPECT_EQ(NativeStyle(ports) & ~WS_VSCROLL, 0x50230103u & ~WS_VSCROLL);
    char items[3][8] = {};
    ASSERT_EQ(SendMessageA(ports->Handle, CB_GETCOUNT, 0, 0), 3);
    for (int i = 0; i < 3; ++i) ports->ItemText(items[i], i);
    // A sorting combo box would put COM10 before COM3.
    EXPECT_STREQ(items[0], "COM1");
    EXPECT_STREQ(items[1], "COM3");
    EXPECT_STREQ(items[2], "COM10");
    EXPECT_EQ(ports->SelectedIndex(), -1);
    EXPECT_EQ(TextOf(ports), "");
}

TEST_F(PortSelectorTest, IsEmptyWithoutSerialPorts) {
    SerialDeviceMap map;
    map.RemoveKey();
    auto* ports = Add<PortComboBox>(10, 10, 120, 150, 101);
    EXPECT_EQ(ports->Ports->Count, 0);
    EXPECT_EQ(SendMessageA(ports->Handle, CB_GETCOUNT, 0, 0), 0);
}

} // namespace
