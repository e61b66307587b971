#pragma once

#include <windows.h>

class WindowObject;

// Per-object window procedures. A thunk is nine bytes of code in an executable
// page; the system calls it as the WNDPROC (or DLGPROC) of the object's native
// window and it leads straight to that one object, with no lookup by handle.
//
// Page layout (4096 bytes):
//   0   previous page (0 for the first; kept, never walked)
//   4   0x59            pop ecx      ; ecx := address of the thunk's bytes 5-8
//   5   0xE9 rel32      jmp FwStandardEntry
//   10  454 thunks of 9 bytes: 0xE8 rel32 (call page+4), then 4 bytes holding
//       the owning object while in use, the next free thunk while free.
//
// Pages run PAGE_EXECUTE_READ; they are made writable (and not executable)
// only for the moment a thunk's last four bytes change. Pages are never given
// back: a freed thunk goes on the free list and is the next one handed out.

constexpr int ThunkPageSize = 4096;
constexpr int ThunkSize = 9;
constexpr int ThunksPerPage = 454;
constexpr int FirstThunkOffset = 10;

WNDPROC AllocThunk(WindowObject* object);
void FreeThunk(WNDPROC thunk); // null is ignored

// Counts for leak checks: thunks in use, pages ever taken.
int LiveThunkCount();
int ThunkPageCount();

// The common entry every page stub jumps to: stdcall with four arguments and
// the owner slot's address in ECX. Reached only through a thunk.
extern "C" LRESULT CALLBACK FwStandardEntry(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
