// The pieces of the C++ runtime the executable brings itself, lighter than
// the library's.
//
// operator new and delete go straight to the process heap. The library's
// versions throw bad_alloc, which would link the whole exception machinery
// into a program that never catches anything; an exhausted heap ends the
// program instead.
#include "framework/base_object.h"

#include <windows.h>

#include <cstddef>
#include <new>

namespace {

void* Allocate(std::size_t size) {
    void* block = HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
    if (!block) FatalError("out of memory");
    return block;
}

void Release(void* block) {
    if (block) HeapFree(GetProcessHeap(), 0, block);
}

} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* block) noexcept {
    Release(block);
}
void operator delete[](void* block) noexcept {
    Release(block);
}
void operator delete(void* block, std::size_t) noexcept {
    Release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    Release(block);
}

// An abstract operation called through a half-built or half-destroyed
// object: the library's handler is only weakly referenced and would be left
// out, making the call jump to address 0.
extern "C" void __cxa_pure_virtual() {
    FatalError("abstract operation called");
}
