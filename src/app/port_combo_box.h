#pragma once

#include "framework/collection.h"
#include "framework/combo_box.h"

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

// The drop-down list of the serial ports found when it was made, in the
// port list's order; nothing is selected at first.
class PortComboBox : public ComboBox {
public:
    PortComboBox(WindowObject* parent, int x, int y, int width, int height, int id);

    void Setup() override;

    PortNameList* Ports = nullptr;

protected:
    ~PortComboBox() override;
};
