#include "core/port_name_list.h"
#include "unit/serial_device_map.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Names(PortNameList* list) {
    std::string names;
    list->ForEachItem([&](void* name) { names += std::string(static_cast<char*>(name)) + " "; });
    list->Free();
    return names;
}

TEST(PortNameList, ListsEachRegisteredPortOnceShorterNamesFirst) {
    SerialDeviceMap map;
    map.Add("\\Device\\Serial9", "COM10");
    map.Add("\\Device\\Serial2", "COM3");
    map.Add("\\Device\\Serial0", "COM1");
    map.Add("\\Device\\Serial1", "COM2");
    map.Add("\\Device\\VirtualA", "COM3"); // the same port under a second value
    map.Add("\\Device\\Serial11", "COMB");
    map.Add("\\Device\\Serial12", "COMA");
    EXPECT_EQ(Names(new PortNameList), "COM1 COM2 COM3 COMA COMB COM10 ");
}

TEST(PortNameList, LeavesOutWhatDoesNotFitItsBuffers) {
    SerialDeviceMap map;
    map.Add("\\Device\\Serial0", "COM1234"); // seven characters and the zero: fits
    map.Add("\\Device\\Serial1", "COM12345");
    map.Add("\\Device\\Serial2", "A-much-longer-port-name");
    map.Add(std::string(70, 'n'), "COM4");           // its value name does not fit
    map.AddData("\\Device\\Serial3", "COM5", 4);     // no zero of its own
    map.AddData("\\Device\\Serial4", "COM99999", 8); // eight characters, no zero
    EXPECT_EQ(Names(new PortNameList), "COM5 COM1234 ");
}

TEST(PortNameList, IsEmptyOnAMachineWithoutSerialPorts) {
    SerialDeviceMap map;
    EXPECT_EQ(Names(new PortNameList), "");
    map.RemoveKey();
    EXPECT_EQ(Names(new PortNameList), "");
}

} // namespace
