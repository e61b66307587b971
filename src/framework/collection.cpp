#include "framework/collection.h"

#include <windows.h>

#include <cstring>

Collection::Collection(int capacity, int growBy) : GrowBy(growBy) {
    SetCapacity(capacity);
}

Collection::~Collection() {
    FreeAllItems();
    SetCapacity(0);
}

int Collection::IndexOf(void* item) {
    for (int i = 0; i < Count; ++i)
        if (Items[i] == item) return i;
    return -1;
}

void Collection::Insert(void* item) {
    InsertAt(Count, item);
}

void Collection::FreeItem(void* item) {
    if (item) static_cast<BaseObject*>(item)->Free();
}

// wsprintfA rather than the runtime's formatter, which would add some 45 KiB
// to the executable for this one line.
void Collection::RaiseError(int code, int info) {
    int error = 212 - code;
    char line[80];
    wsprintfA(line, "Runtime error %d: %s (%d)", error,
              code == IndexError ? "collection index out of range" : "collection overflow", info);
    EndProgram(error, line);
}

void Collection::InsertAt(int index, void* item) {
    if (index < 0 || index > Count) {
        RaiseError(IndexError, index);
        return;
    }
    if (Count == Capacity) SetCapacity(Capacity + GrowBy);
    if (Count == Capacity) {
        RaiseError(OverflowError, Count);
        return;
    }
    if (index < Count)
        std::memmove(&Items[index + 1], &Items[index], (Count - index) * sizeof(void*));
    Items[index] = item;
    ++Count;
}

void Collection::FreeAllItems() {
    for (int i = 0; i < Count; ++i) FreeItem(Items[i]);
    Count = 0;
}

void Collection::SetCapacity(int capacity) {
    if (capacity < Count) capacity = Count;
    if (capacity > MaxCapacity) capacity = MaxCapacity;
    if (capacity == Capacity) return;
    void** items = capacity ? new void*[capacity] : nullptr;
    if (Count > 0 && Items) std::memcpy(items, Items, Count * sizeof(void*));
    if (Capacity != 0) delete[] Items;
    Items = items;
    Capacity = capacity;
}

const void* SortedCollection::ItemKey(void* item) {
    return item;
}

bool SortedCollection::FindKey(const void* key, int& index) {
    int low = 0;
    int high = Count - 1;
    bool found = false;
    while (low <= high) {
        int mid = static_cast<int>(static_cast<unsigned>(low + high) >> 1);
        int cmp = CompareKeys(ItemKey(Items[mid]), key);
        if (cmp < 0) {
            low = mid + 1;
        } else {
            high = mid - 1;
            if (cmp == 0) {
                found = true;
                if (!AllowDuplicates) low = mid;
            }
        }
    }
    index = low;
    return found;
}

int SortedCollection::IndexOf(void* item) {
    int i;
    if (!FindKey(ItemKey(item), i)) return -1;
    if (AllowDuplicates)
        while (i < Count && Items[i] != item) ++i;
    return i < Count ? i : -1;
}

void SortedCollection::Insert(void* item) {
    int i;
    if (!FindKey(ItemKey(item), i) || AllowDuplicates) InsertAt(i, item);
}

void StringCollection::FreeItem(void* item) {
    FreeString(static_cast<char*>(item));
}

int StringCollection::CompareKeys(const void* key1, const void* key2) {
    auto a = static_cast<const unsigned char*>(key1);
    auto b = static_cast<const unsigned char*>(key2);
    for (;; ++a, ++b) {
        if (*a != *b) return *a - *b;
        if (*b == 0) return 0;
    }
}
