#include "unit/serial_device_map.h"

#include "core/port_name_list.h"

#include <gtest/gtest.h>

SerialDeviceMap::SerialDeviceMap() {
    HKEY key = OpenKey();
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameLength = sizeof name;
        Value value{"", 0, std::vector<BYTE>(256)};
        DWORD size = static_cast<DWORD>(value.Data.size());
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &value.Type, value.Data.data(),
                          &size) != ERROR_SUCCESS)
            break;
        value.Name = name;
        value.Data.resize(size);
        Saved.push_back(value);
    }
    RegCloseKey(key);
    Empty();
}

SerialDeviceMap::~SerialDeviceMap() {
    Empty();
    for (const Value& value : Saved)
        SetValue(value.Name, value.Type, value.Data.data(), static_cast<DWORD>(value.Data.size()));
}

// The map lives in a volatile part of the registry, so the key is made
// volatile when it has to be made again.
HKEY SerialDeviceMap::OpenKey() {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, SerialDeviceMapKey, 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
}

void SerialDeviceMap::Empty() {
    HKEY key = OpenKey();
    char name[256];
    DWORD nameLength = sizeof name;
    while (RegEnumValueA(key, 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS) {
        ASSERT_EQ(RegDeleteValueA(key, name), ERROR_SUCCESS);
        nameLength = sizeof name;
    }
    RegCloseKey(key);
}

void SerialDeviceMap::Add(const std::string& valueName, const std::string& port) {
    AddData(valueName, port.c_str(), static_cast<DWORD>(port.size() + 1));
}

void SerialDeviceMap::AddData(const std::string& valueName, const void* data, DWORD size) {
    SetValue(valueName, REG_SZ, data, size);
}

void SerialDeviceMap::SetValue(const std::string& name, DWORD type, const void* data, DWORD size) {
    HKEY key = OpenKey();
    EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void SerialDeviceMap::RemoveKey() {
    Empty();
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, SerialDeviceMapKey), ERROR_SUCCESS);
}
