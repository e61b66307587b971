#pragma once

#include <cstring>

// A control's field in a parent's transfer buffer starts wherever the fields
// of the controls before it end, at any byte, so it is read and written
// byte-wise rather than through a pointer of its type.
template <typename T> T LoadField(const void* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

template <typename T> void StoreField(void* at, const T& value) {
    std::memcpy(at, &value, sizeof value);
}
