#include "framework/thunk.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using Bytes = unsigned char*;

Bytes PageOf(Bytes thunk) {
    return reinterpret_cast<Bytes>(reinterpret_cast<uintptr_t>(thunk) & ~uintptr_t(4095));
}

uintptr_t Word(Bytes at) {
    uint32_t value;
    std::memcpy(&value, at, 4);
    return value;
}

// Where a call or jmp whose rel32 operand sits at operand leads.
uintptr_t Target(Bytes operand) {
    return reinterpret_cast<uintptr_t>(operand) + 4 + Word(operand);
}

DWORD Protection(Bytes page) {
    MEMORY_BASIC_INFORMATION info{};
    VirtualQuery(page, &info, sizeof info);
    return info.Protect;
}

Bytes Take(WindowObject* owner) {
    return reinterpret_cast<Bytes>(AllocThunk(owner));
}

TEST(Thunks, PagesHoldTheDescribedCodeAndAreNeverWritableAndExecutable) {
    auto* owner = reinterpret_cast<WindowObject*>(0x12345678);
    int live = LiveThunkCount();
    int pages = ThunkPageCount();
    std::vector<Bytes> taken;
    // Use up the free list; the next thunk is then the first of a fresh page.
    while (ThunkPageCount() == pages) taken.push_back(Take(owner));
    Bytes page = PageOf(taken.back());
    size_t first = taken.size() - 1;
    for (int k = 1; k < ThunksPerPage; ++k) taken.push_back(Take(owner));
    for (int k = 0; k < ThunksPerPage; ++k)
        ASSERT_EQ(taken[first + k], page + 4087 - 9 * k) << "handed out from the last thunk down";
    EXPECT_EQ(ThunkPageCount(), pages + 1);

    Bytes next = Take(owner); // the 455th thunk of this page's run
    Bytes page2 = PageOf(next);
    EXPECT_NE(page2, page);
    EXPECT_EQ(ThunkPageCount(), pages + 2);
    EXPECT_EQ(Word(page2), reinterpret_cast<uintptr_t>(page)) << "pages are chained";

    EXPECT_EQ(page[4], 0x59);
    EXPECT_EQ(page[5], 0xE9);
    EXPECT_EQ(Target(page + 6), reinterpret_cast<uintptr_t>(&FwStandardEntry));
    Bytes thunk = taken[first];
    EXPECT_EQ(thunk[0], 0xE8);
    EXPECT_EQ(Target(thunk + 1), reinterpret_cast<uintptr_t>(page + 4));
    EXPECT_EQ(Word(thunk + 5), reinterpret_cast<uintptr_t>(owner));

    // A freed thunk links to the old head and is the next one handed out.
    Bytes freed = taken[first + 100];
    FreeThunk(reinterpret_cast<WNDPROC>(reinterpret_cast<void*>(freed)));
    EXPECT_EQ(Word(freed + 5), reinterpret_cast<uintptr_t>(next - 9));
    EXPECT_EQ(Take(owner), freed);
    EXPECT_EQ(Word(freed + 5), reinterpret_cast<uintptr_t>(owner));

    EXPECT_EQ(Protection(page), DWORD(PAGE_EXECUTE_READ));
    EXPECT_EQ(Protection(page2), DWORD(PAGE_EXECUTE_READ));

    taken.push_back(next);
    for (Bytes t : taken) FreeThunk(reinterpret_cast<WNDPROC>(reinterpret_cast<void*>(t)));
    FreeThunk(nullptr);
    EXPECT_EQ(LiveThunkCount(), live);
    EXPECT_EQ(ThunkPageCount(), pages + 2) << "pages are never given back";
}

} // namespace
