#include "gobjects/InlineVector.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Small = InlineVector<int, 2>;

Small Filled(int count)
{
    Small v;
    for (int i = 0; i < count; ++i)
        v.push_back(i);
    return v;
}

std::vector<int> Items(const Small& v)
{
    return std::vector<int>(v.begin(), v.end());
}

std::vector<int> Expected(int count)
{
    std::vector<int> items;
    for (int i = 0; i < count; ++i)
        items.push_back(i);
    return items;
}

// Inline (0..2 elements) and on the heap (3 and more): every way of passing the contents on keeps them, and the
// source of a move is left empty and usable.
TEST(InlineVector, CopiesMovesAndSwapsInlineAndHeapContents)
{
    for (int count : {0, 1, 2, 3, 9}) {
        SCOPED_TRACE(count);
        const Small source = Filled(count);
        EXPECT_EQ(Items(source), Expected(count));

        Small copied(source);
        Small assigned = Filled(5);
        assigned = source;
        EXPECT_EQ(Items(copied), Expected(count));
        EXPECT_EQ(Items(assigned), Expected(count));

        Small moved(std::move(copied));
        EXPECT_EQ(Items(moved), Expected(count));
        EXPECT_TRUE(copied.empty());
        copied.push_back(7);
        EXPECT_EQ(Items(copied), std::vector<int>{7});

        Small other = Filled(4);
        other.swap(moved);
        EXPECT_EQ(Items(other), Expected(count));
        EXPECT_EQ(Items(moved), Expected(4));
        for (Small* target : {&other, &moved}) {
            *target = std::move(assigned);
            EXPECT_EQ(Items(*target), Expected(count));
            assigned = source;
        }
    }
}

TEST(InlineVector, GrowsResizesAndAssignsLikeAVector)
{
    Small v = Filled(2);
    // An element of its own storage pushed while the storage grows.
    v.push_back(v[0]);
    v.push_back(v.back());
    EXPECT_EQ(Items(v), (std::vector<int>{0, 1, 0, 0}));
    v.resize(6, 8);
    EXPECT_EQ(Items(v), (std::vector<int>{0, 1, 0, 0, 8, 8}));
    v.resize(1);
    EXPECT_EQ(Items(v), std::vector<int>{0});
    v.assign(3, 5);
    EXPECT_EQ(Items(v), (std::vector<int>{5, 5, 5}));
    const int items[] = {4, 3, 2, 1, 0};
    v.assign(items, items + 5);
    EXPECT_EQ(Items(v), (std::vector<int>{4, 3, 2, 1, 0}));
    v.clear();
    EXPECT_TRUE(v.empty());
    v.reserve(20);
    EXPECT_GE(v.capacity(), 20u);
}

}  // namespace
