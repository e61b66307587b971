#include "framework/collection.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Counted : BaseObject {
    explicit Counted(int& freed) : Freed(freed) {}
    ~Counted() override { ++Freed; }
    int& Freed;
};

std::string Joined(StringCollection& c) {
    std::string s;
    c.ForEachItem([&](void* item) {
        if (!s.empty()) s += ',';
        s += static_cast<char*>(item);
    });
    return s;
}

TEST(Collection, GrowsByItsStepAndFreesItsItems) {
    int freed = 0;
    {
        Collection c(10, 5);
        void** initial = c.Items;
        for (int i = 0; i < 10; ++i) c.Insert(new Counted(freed));
        EXPECT_EQ(c.Capacity, 10);
        EXPECT_EQ(c.Items, initial) << "ten items fit without reallocating";
        c.Insert(new Counted(freed));
        EXPECT_EQ(c.Capacity, 15);
        EXPECT_EQ(c.Count, 11);
        c.SetCapacity(3);
        EXPECT_EQ(c.Capacity, 11) << "never shrinks below Count";
    }
    EXPECT_EQ(freed, 11);
}

TEST(Collection, CapacityLimitAndEmptyArray) {
    Collection c(0, 0);
    EXPECT_EQ(c.Items, nullptr);
    c.SetCapacity(20000);
    EXPECT_EQ(c.Capacity, 16380);
    c.SetCapacity(0);
    EXPECT_EQ(c.Items, nullptr);
    EXPECT_EQ(c.Capacity, 0);
}

TEST(Collection, InsertAtKeepsOrder) {
    Collection c(2, 2);
    int a, b, d;
    c.InsertAt(0, &a);
    c.InsertAt(1, &d); // append at Count
    c.InsertAt(1, &b);
    ASSERT_EQ(c.Count, 3);
    EXPECT_EQ(c.At(0), &a);
    EXPECT_EQ(c.At(1), &b);
    EXPECT_EQ(c.At(2), &d);
    EXPECT_EQ(c.IndexOf(&b), 1);
    EXPECT_EQ(c.IndexOf(nullptr), -1);
    c.Count = 0; // the ints are not objects; do not free them
}

TEST(CollectionDeathTest, IndexOutOfRangeIsRuntimeError213) {
    EXPECT_EXIT(
        {
            Collection c(4, 4);
            c.InsertAt(1, nullptr);
        },
        ::testing::ExitedWithCode(213), "Runtime error 213");
}

TEST(CollectionDeathTest, FullCollectionWithoutGrowthIsRuntimeError214) {
    EXPECT_EXIT(
        {
            Collection c(1, 0);
            c.Insert(nullptr);
            c.Insert(nullptr);
        },
        ::testing::ExitedWithCode(214), "Runtime error 214");
}

TEST(StringCollection, OrdersByteWiseAndDropsDuplicates) {
    StringCollection c(4, 4);
    for (const char* s : {"COM2", "com1", "COM10", "COM2", "COM1"}) {
        char* copy = DuplicateString(s);
        int before = c.Count;
        c.Insert(copy);
        if (c.Count == before) FreeString(copy); // refused: still ours
    }
    EXPECT_EQ(Joined(c), "COM1,COM10,COM2,com1");
    int index = -1;
    EXPECT_TRUE(c.FindKey("COM10", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(c.FindKey("COM3", index));
    EXPECT_EQ(index, 3);
    EXPECT_EQ(c.IndexOf(const_cast<char*>("COM2")), 2) << "found by key, not by pointer";
}

TEST(StringCollection, ComparesUnsignedBytes) {
    StringCollection c(1, 1);
    EXPECT_GT(c.CompareKeys("\xE8", "z"), 0);
    EXPECT_LT(c.CompareKeys("AB", "ABC"), 0);
    EXPECT_EQ(c.CompareKeys("", ""), 0);
    int index = 7;
    EXPECT_FALSE(c.FindKey("x", index));
    EXPECT_EQ(index, 0);
}

struct IntCollection : SortedCollection {
    using SortedCollection::SortedCollection;
    ~IntCollection() override { FreeAllItems(); }
    int CompareKeys(const void* a, const void* b) override {
        return *static_cast<const int*>(a) - *static_cast<const int*>(b);
    }
    void FreeItem(void*) override {}
};

TEST(SortedCollection, DuplicatesFindTheFirstEqualItem) {
    IntCollection c(8, 8);
    c.AllowDuplicates = true;
    int v[] = {5, 3, 5, 5, 1};
    for (int& x : v) c.Insert(&x);
    ASSERT_EQ(c.Count, 5);
    int index = -1;
    int five = 5;
    EXPECT_TRUE(c.FindKey(&five, index));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(c.IndexOf(&v[3]), c.IndexOf(&v[3]));
    EXPECT_EQ(c.At(c.IndexOf(&v[3])), &v[3]) << "the very pointer among equal keys";
    int other = 5;
    EXPECT_EQ(c.IndexOf(&other), -1);
}

} // namespace
