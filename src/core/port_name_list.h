#pragma once

#include "framework/collection.h"

#include <windows.h>

// Where the system keeps its serial device map, under HKEY_LOCAL_MACHINE: one
// value per port, the data being the port's name.
extern const char SerialDeviceMapKey[]; // "hardware\devicemap\serialcomm"

// The serial port names registered on the machine when the list is made,
// shorter names first, so COM2 comes before COM10; each name once.
class PortNameList : public StringCollection {
public:
    // Ports longer than this do not fit the data buffer and are left out.
    static constexpr int MaxNameLength = 7;

    PortNameList();

    int CompareKeys(const void* key1, const void* key2) override;
    // Adds the ports of the serial device map. A missing key adds nothing.
    void Fill();

private:
    void AddPort(HKEY key, DWORD index);
};
