#include "devlink/comm_calls.h"

namespace {
CommCalls SystemCalls;
CommCalls* Installed = nullptr;
} // namespace

HANDLE CommCalls::CreateFile(const char* path, DWORD access, DWORD share, DWORD disposition,
                             DWORD flags) {
    return ::CreateFileA(path, access, share, nullptr, disposition, flags, nullptr);
}
BOOL CommCalls::CloseHandle(HANDLE handle) {
    return ::CloseHandle(handle);
}
BOOL CommCalls::GetCommState(HANDLE handle, DCB* dcb) {
    return ::GetCommState(handle, dcb);
}
BOOL CommCalls::SetCommState(HANDLE handle, DCB* dcb) {
    return ::SetCommState(handle, dcb);
}
BOOL CommCalls::SetCommTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts) {
    return ::SetCommTimeouts(handle, timeouts);
}
BOOL CommCalls::ReadFile(HANDLE handle, void* buffer, DWORD count, DWORD* done) {
    return ::ReadFile(handle, buffer, count, done, nullptr);
}
BOOL CommCalls::WriteFile(HANDLE handle, const void* buffer, DWORD count, DWORD* done) {
    return ::WriteFile(handle, buffer, count, done, nullptr);
}
BOOL CommCalls::PurgeComm(HANDLE handle, DWORD flags) {
    return ::PurgeComm(handle, flags);
}

CommCalls& CommCalls::Current() {
    return Installed ? *Installed : SystemCalls;
}
void CommCalls::Install(CommCalls* calls) {
    Installed = calls;
}
