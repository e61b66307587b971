#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Gives a test the registry's serial device map to itself: empties it for the
// test's values and puts back what was there when it goes. Tests that use it
// hold the serialcomm lock.
class SerialDeviceMap {
public:
    SerialDeviceMap();
    ~SerialDeviceMap();

    // A port as the system registers one: data is the name with its zero.
    void Add(const std::string& valueName, const std::string& port);
    void AddData(const std::string& valueName, const void* data, DWORD size);
    // As on a machine without serial ports.
    void RemoveKey();

private:
    struct Value {
        std::string Name;
        DWORD Type;
        std::vector<BYTE> Data;
    };
    HKEY OpenKey();
    void Empty();
    void SetValue(const std::string& name, DWORD type, const void* data, DWORD size);
    std::vector<Value> Saved;
};
