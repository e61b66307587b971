#include "core/port_name_list.h"

#include <cstring>

const char SerialDeviceMapKey[] = "hardware\\devicemap\\serialcomm";

PortNameList::PortNameList() : StringCollection(10, 5) {
    Fill();
}

int PortNameList::CompareKeys(const void* key1, const void* key2) {
    const size_t length1 = std::strlen(static_cast<const char*>(key1));
    const size_t length2 = std::strlen(static_cast<const char*>(key2));
    if (length1 != length2) return length1 < length2 ? -1 : 1;
    return StringCollection::CompareKeys(key1, key2);
}

void PortNameList::Fill() {
    HKEY key;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, SerialDeviceMapKey, &key) != ERROR_SUCCESS) return;
    DWORD count;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                         nullptr, nullptr, nullptr) == ERROR_SUCCESS)
        for (DWORD index = 0; index < count; ++index) AddPort(key, index);
    RegCloseKey(key);
}

// A value that cannot be read whole (its data longer than a port name, its
// name longer than the buffer) is left out, and so is data of eight
// characters without a zero of its own.
void PortNameList::AddPort(HKEY key, DWORD index) {
    char name[64];
    DWORD nameLength = sizeof name;
    char data[MaxNameLength + 1];
    DWORD dataLength = sizeof data;
    if (RegEnumValueA(key, index, name, &nameLength, nullptr, nullptr,
                      reinterpret_cast<BYTE*>(data), &dataLength) != ERROR_SUCCESS)
        return;
    if (dataLength < sizeof data)
        data[dataLength] = '\0'; // the data need not end with a zero of its own
    else if (!std::memchr(data, '\0', sizeof data))
        return;
    int at;
    if (!FindKey(data, at)) InsertAt(at, DuplicateString(data));
}
