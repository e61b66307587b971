#pragma once

#include "framework/base_object.h"

// A growable array of item pointers. A collection owns its items and frees
// them when it is destroyed. A class that overrides FreeItem empties itself in
// its own destructor: the base destructor no longer reaches the override.
class Collection : public BaseObject {
public:
    static constexpr int MaxCapacity = 16380;
    static constexpr int IndexError = -1;    // run-time error 213
    static constexpr int OverflowError = -2; // run-time error 214

    Collection(int capacity, int growBy);
    ~Collection() override;

    virtual int IndexOf(void* item);
    virtual void Insert(void* item);
    virtual void FreeItem(void* item);
    // Ends the program with run-time error 212 - code.
    virtual void RaiseError(int code, int info);

    void InsertAt(int index, void* item);
    void FreeAllItems();
    void SetCapacity(int capacity);
    void* At(int index) const { return Items[index]; }

    // Calls action(item) for the items present when the walk starts.
    template <typename Action> void ForEachItem(Action action) {
        int count = Count;
        for (int i = 0; i < count; ++i) action(Items[i]);
    }

    void** Items = nullptr;
    int Count = 0;
    int Capacity = 0;
    int GrowBy = 0;
};

// Keeps its items ordered by key and finds them by binary search.
class SortedCollection : public Collection {
public:
    using Collection::Collection;

    int IndexOf(void* item) override;
    // An item whose key is already present is refused (and stays with the
    // caller) unless AllowDuplicates is set.
    void Insert(void* item) override;
    virtual const void* ItemKey(void* item);
    virtual int CompareKeys(const void* key1, const void* key2) = 0;

    // Answers whether the key is present; index is where it is or belongs (the
    // first equal item when duplicates are allowed).
    bool FindKey(const void* key, int& index);

    bool AllowDuplicates = false;
};

// Owned zero-terminated strings (made with DuplicateString), ordered byte-wise.
class StringCollection : public SortedCollection {
public:
    using SortedCollection::SortedCollection;
    ~StringCollection() override { FreeAllItems(); }

    void FreeItem(void* item) override;
    int CompareKeys(const void* key1, const void* key2) override;
};
