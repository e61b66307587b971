#include "devlink/serial_port.h"

#include "devlink/comm_calls.h"

#include <cstddef>
#include <cstring>

bool SerialPort::Open(const char* path) {
    Handle =
        CommCalls::Current().CreateFile(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, 0);
    Fault = 0;
    return IsOpen();
}

void SerialPort::Close() {
    if (!IsOpen()) return;
    CommCalls::Current().CloseHandle(Handle);
    Handle = INVALID_HANDLE_VALUE;
}

bool SerialPort::Configure(DWORD baudRate, DWORD flags, BYTE byteSize, BYTE parity, BYTE stopBits) {
    if (!IsOpen()) return false;
    DCB dcb;
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    if (!CommCalls::Current().GetCommState(Handle, &dcb)) return false;
    dcb.BaudRate = baudRate;
    // The bit fields fBinary .. fDummy2 share the 32-bit word after BaudRate.
    std::memcpy(reinterpret_cast<char*>(&dcb) + offsetof(DCB, BaudRate) + sizeof dcb.BaudRate,
                &flags, sizeof flags);
    dcb.ByteSize = byteSize;
    dcb.Parity = parity;
    dcb.StopBits = stopBits;
    return CommCalls::Current().SetCommState(Handle, &dcb) != FALSE;
}

bool SerialPort::SetTimeouts(const COMMTIMEOUTS& timeouts) {
    if (!IsOpen()) return false;
    COMMTIMEOUTS copy = timeouts;
    return CommCalls::Current().SetCommTimeouts(Handle, &copy) != FALSE;
}

DWORD SerialPort::Read(void* buffer, DWORD count) {
    if (!IsOpen()) return 0;
    DWORD done = 0;
    Note(CommCalls::Current().ReadFile(Handle, buffer, count, &done));
    return done;
}

DWORD SerialPort::Write(const void* buffer, DWORD count) {
    if (!IsOpen()) return 0;
    DWORD done = 0;
    Note(CommCalls::Current().WriteFile(Handle, buffer, count, &done));
    return done;
}

void SerialPort::Purge(DWORD mask) {
    if (IsOpen()) CommCalls::Current().PurgeComm(Handle, mask);
}

// Some drivers report a write time-out as an error of its own; it says
// nothing about the device.
void SerialPort::Note(BOOL done) {
    if (done || Fault) return;
    const DWORD error = GetLastError();
    if (error != ERROR_SEM_TIMEOUT && error != ERROR_TIMEOUT)
        Fault = error ? error : ERROR_GEN_FAILURE;
}
