#include "framework/thunk.h"

#include "framework/base_object.h"
#include "framework/window_object.h"

#include <cstdint>
#include <cstring>

// The page stub leaves ECX pointing at the owner slot and the stack as the
// system left it (return address, hwnd, msg, wParam, lParam). Push the four
// arguments again below the owner and call the C++ entry; ret 16 then drops
// the system's arguments as a stdcall window procedure must.
asm(R"(
    .text
    .globl _FwStandardEntry@16
    .def _FwStandardEntry@16; .scl 2; .type 32; .endef
_FwStandardEntry@16:
    pushl 16(%esp)
    pushl 16(%esp)
    pushl 16(%esp)
    pushl 16(%esp)
    pushl (%ecx)
    call _FwObjectEntry
    addl $20, %esp
    ret $16
)");

// Called from the system with a stack that may be aligned to 4 bytes only.
extern "C" __attribute__((used, force_align_arg_pointer)) LRESULT
FwObjectEntry(WindowObject* object, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    MessageRecord record{hwnd, msg, wParam, lParam, 1};
    object->ReceiveMessage(record);
    return record.Result;
}

namespace {

unsigned char* FreeHead = nullptr;
unsigned char* LastPage = nullptr;
int LiveThunks = 0;
int Pages = 0;

constexpr int StubOffset = 4;
constexpr int SlotOffset = 5; // owner or free link within a thunk

void Put32(unsigned char* at, uintptr_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    std::memcpy(at, &v, 4);
}

unsigned char* Get32(const unsigned char* at) {
    uint32_t v;
    std::memcpy(&v, at, 4);
    return reinterpret_cast<unsigned char*>(static_cast<uintptr_t>(v));
}

// rel32 operand of a call or jmp whose next instruction starts at next.
uintptr_t Rel32(const void* target, const unsigned char* next) {
    return reinterpret_cast<uintptr_t>(target) - reinterpret_cast<uintptr_t>(next);
}

unsigned char* PageOf(unsigned char* thunk) {
    return reinterpret_cast<unsigned char*>(reinterpret_cast<uintptr_t>(thunk) &
                                            ~static_cast<uintptr_t>(ThunkPageSize - 1));
}

void Protect(unsigned char* page, DWORD protection) {
    DWORD previous;
    if (!VirtualProtect(page, ThunkPageSize, protection, &previous))
        FatalError("cannot change the protection of a window procedure page");
}

void SetSlot(unsigned char* thunk, const void* value) {
    unsigned char* page = PageOf(thunk);
    Protect(page, PAGE_READWRITE);
    Put32(thunk + SlotOffset, reinterpret_cast<uintptr_t>(value));
    Protect(page, PAGE_EXECUTE_READ);
}

void AddPage() {
    auto* page = static_cast<unsigned char*>(
        VirtualAlloc(nullptr, ThunkPageSize, MEM_COMMIT, PAGE_READWRITE));
    if (!page) FatalError("no memory for window procedures");
    Put32(page, reinterpret_cast<uintptr_t>(LastPage));
    page[StubOffset] = 0x59;     // pop ecx
    page[StubOffset + 1] = 0xE9; // jmp rel32
    Put32(page + StubOffset + 2,
          Rel32(reinterpret_cast<const void*>(&FwStandardEntry), page + FirstThunkOffset));
    for (int k = 0; k < ThunksPerPage; ++k) {
        unsigned char* thunk = page + FirstThunkOffset + ThunkSize * k;
        thunk[0] = 0xE8; // call rel32
        Put32(thunk + 1, Rel32(page + StubOffset, thunk + SlotOffset));
        Put32(thunk + SlotOffset, reinterpret_cast<uintptr_t>(FreeHead));
        FreeHead = thunk;
    }
    Protect(page, PAGE_EXECUTE_READ);
    FlushInstructionCache(GetCurrentProcess(), page, ThunkPageSize);
    LastPage = page;
    ++Pages;
}

} // namespace

WNDPROC AllocThunk(WindowObject* object) {
    if (!FreeHead) AddPage();
    unsigned char* thunk = FreeHead;
    FreeHead = Get32(thunk + SlotOffset);
    SetSlot(thunk, object);
    ++LiveThunks;
    return reinterpret_cast<WNDPROC>(reinterpret_cast<void*>(thunk));
}

void FreeThunk(WNDPROC thunk) {
    if (!thunk) return;
    auto* bytes = reinterpret_cast<unsigned char*>(reinterpret_cast<void*>(thunk));
    SetSlot(bytes, FreeHead);
    FreeHead = bytes;
    --LiveThunks;
}

int LiveThunkCount() {
    return LiveThunks;
}
int ThunkPageCount() {
    return Pages;
}
