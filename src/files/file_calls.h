#pragma once

#include <windows.h>

#include <string>

// The system calls through which the programs' files are read and written.
// The running program makes the system's; tests install their own to play a
// full disk, a write that comes short or a file another program holds.
// Paths are UTF-8. A failed call leaves its reason in GetLastError.
class FileCalls {
public:
    virtual ~FileCalls() = default;
    virtual HANDLE Create(const std::string& path, DWORD access, DWORD share, DWORD disposition);
    virtual BOOL Read(HANDLE file, void* buffer, DWORD count, DWORD* done);
    virtual BOOL Write(HANDLE file, const void* buffer, DWORD count, DWORD* done);
    virtual BOOL Size(HANDLE file, LONGLONG* size);
    // Moves the file pointer to `offset` from the start.
    virtual BOOL Seek(HANDLE file, LONGLONG offset);
    // Ends the file at the file pointer.
    virtual BOOL SetEnd(HANDLE file);
    virtual BOOL Flush(HANDLE file);
    virtual BOOL Close(HANDLE file);
    virtual BOOL Move(const std::string& from, const std::string& to);
    virtual BOOL Delete(const std::string& path);
    virtual DWORD Attributes(const std::string& path);
    // A pause while another program holds a file.
    virtual void Pause(DWORD ms);

    // The calls in effect; Install(nullptr) restores the system's.
    static FileCalls& Current();
    static void Install(FileCalls* calls);
};
