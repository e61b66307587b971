#pragma once

#include "framework/base_object.h"

#include <windows.h>

// One synchronous handle on a COM device. Every operation but Open does
// nothing (and reads and writes answer 0) while the port is closed.
class SerialPort : public BaseObject {
public:
    ~SerialPort() override { Close(); }

    // Opens the device path for exclusive, non-overlapped reading and writing.
    // The caller closes an open port first.
    bool Open(const char* path);
    void Close();
    bool IsOpen() const { return Handle != INVALID_HANDLE_VALUE; }
    // Replaces baud rate, the whole DCB bit-field word, byte size, parity and
    // stop bits; every other field keeps what the system reported. False when
    // the system cannot report or take the settings (nothing is written when
    // it cannot report them), and on a closed port.
    bool Configure(DWORD baudRate, DWORD flags, BYTE byteSize, BYTE parity, BYTE stopBits);
    // False when the system does not take the time-outs, and on a closed port.
    bool SetTimeouts(const COMMTIMEOUTS& timeouts);
    // Byte counts as the system reported them; a failed call counts as 0.
    DWORD Read(void* buffer, DWORD count);
    DWORD Write(const void* buffer, DWORD count);
    void Purge(DWORD mask);

    HANDLE Handle = INVALID_HANDLE_VALUE;
    // The first error the system gave for a read or a write since the port
    // was opened; 0 while none. A time-out is no error: an adapter that is
    // pulled out, or a port whose device has gone, fails them (under Wine a
    // write to a vanished virtual cable fails with ERROR_NOT_READY).
    DWORD Fault = 0;

private:
    void Note(BOOL done);
};
