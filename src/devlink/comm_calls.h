#pragma once

#include <windows.h>

// The Windows serial communications calls that SerialPort makes. The running
// program uses the system's; tests install their own to see exactly which
// calls are made and to script what the line delivers.
class CommCalls {
public:
    virtual ~CommCalls() = default;
    virtual HANDLE CreateFile(const char* path, DWORD access, DWORD share, DWORD disposition,
                              DWORD flags);
    virtual BOOL CloseHandle(HANDLE handle);
    virtual BOOL GetCommState(HANDLE handle, DCB* dcb);
    virtual BOOL SetCommState(HANDLE handle, DCB* dcb);
    virtual BOOL SetCommTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts);
    virtual BOOL ReadFile(HANDLE handle, void* buffer, DWORD count, DWORD* done);
    virtual BOOL WriteFile(HANDLE handle, const void* buffer, DWORD count, DWORD* done);
    virtual BOOL PurgeComm(HANDLE handle, DWORD flags);

    // The calls in effect; Install(nullptr) restores the system's.
    static CommCalls& Current();
    static void Install(CommCalls* calls);
};
