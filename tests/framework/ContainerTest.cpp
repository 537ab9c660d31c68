#include "framework/ModelessDialogList.h"
#include "framework/Window.h"
#include "framework/WindowRegistry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Keys = std::vector<std::uintptr_t>;

HWND Handle(std::uintptr_t value)
{
    return reinterpret_cast<HWND>(value);
}

// A handle with the top bit set: the largest as an unsigned number, negative as a signed one.
const std::uintptr_t topBitHandle = 0x8000000000000010;

// Each test works on a registry of its own, so that counts and capacities start from nothing.
class WindowRegistryTest : public testing::Test {
protected:
    void SetUp() override { registry.Initialise(); }
    void TearDown() override
    {
        if (!registry.TornDown())
            registry.Teardown();
    }
    Keys KeysInOrder() const
    {
        Keys keys;
        for (std::uint64_t i = 0; i < registry.Count(); ++i)
            keys.push_back(reinterpret_cast<std::uintptr_t>(registry.At(i).key));
        return keys;
    }

    WindowRegistry registry;
    Window objects[65]; // never bound: only their addresses are stored
};

TEST_F(WindowRegistryTest, KeepsHandlesInUnsignedOrder)
{
    EXPECT_EQ(registry.Find(Handle(0x10)), nullptr) << "an empty registry finds nothing";
    registry.Set(Handle(0x30), &objects[0]);
    registry.Set(Handle(topBitHandle), &objects[1]);
    registry.Set(Handle(0x10), &objects[2]);
    registry.Set(Handle(0x20), nullptr);

    EXPECT_EQ(KeysInOrder(), (Keys{0x10, 0x20, 0x30, topBitHandle}));
    EXPECT_EQ(registry.Find(Handle(topBitHandle)), &objects[1]);
    EXPECT_EQ(registry.Find(Handle(0x30)), &objects[0]);
    EXPECT_EQ(registry.Find(Handle(0x10)), &objects[2]);
    EXPECT_EQ(registry.Find(Handle(0x20)), nullptr) << "an entry holding null reads as absent";
    EXPECT_EQ(registry.Find(Handle(0x8000000000000030)), nullptr);
}

TEST_F(WindowRegistryTest, OverwritingAHandleKeepsTheCount)
{
    registry.Set(Handle(0x10), &objects[0]);
    registry.Set(Handle(0x20), &objects[1]);
    registry.Set(Handle(0x10), &objects[2]);
    EXPECT_EQ(registry.Count(), 2u);
    EXPECT_EQ(registry.Find(Handle(0x10)), &objects[2]);
    EXPECT_EQ(registry.Find(Handle(0x20)), &objects[1]);
}

TEST_F(WindowRegistryTest, GrowsBySixtyFourEntriesKeepingTheEarlierOnes)
{
    // Inserted from the top down, so that every insertion moves all earlier entries.
    for (int i = 63; i >= 0; --i)
        registry.Set(Handle(0x1000 + 0x10 * i), &objects[i]);
    EXPECT_EQ(registry.Count(), 64u);
    EXPECT_EQ(registry.Capacity(), 64u);

    registry.Set(Handle(0x0800), &objects[64]);
    EXPECT_EQ(registry.Count(), 65u);
    EXPECT_EQ(registry.Capacity(), 128u);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(registry.Find(Handle(0x1000 + 0x10 * i)), &objects[i]) << "entry " << i << " lost in the growth";
    EXPECT_EQ(registry.Find(Handle(0x0800)), &objects[64]);
}

TEST_F(WindowRegistryTest, RemovesOnlyWhatIsThere)
{
    registry.Set(Handle(0x10), &objects[0]);
    registry.Remove(Handle(0x20));
    registry.Remove(Handle(topBitHandle));
    EXPECT_EQ(registry.Count(), 1u);
    EXPECT_EQ(registry.Find(Handle(0x10)), &objects[0]);

    registry.Remove(Handle(0x10));
    EXPECT_EQ(registry.Count(), 0u);
    EXPECT_EQ(registry.Capacity(), 64u) << "the array is kept";
    EXPECT_EQ(registry.Find(Handle(0x10)), nullptr);
    registry.Remove(Handle(0x10));
    EXPECT_EQ(registry.Count(), 0u);
}

TEST_F(WindowRegistryTest, WorksFromEmptyAfterTeardown)
{
    registry.Set(Handle(0x10), &objects[0]);
    registry.Set(Handle(0x20), &objects[1]);
    registry.Teardown();
    EXPECT_TRUE(registry.TornDown());
    EXPECT_EQ(registry.Count(), 0u);
    EXPECT_EQ(registry.Capacity(), 0u);
    EXPECT_EQ(registry.Find(Handle(0x10)), nullptr);

    registry.Set(Handle(0x20), &objects[2]);
    registry.Set(Handle(0x10), &objects[3]);
    EXPECT_EQ(registry.Find(Handle(0x20)), &objects[2]);
    EXPECT_EQ(registry.Find(Handle(0x10)), &objects[3]);
    registry.Remove(Handle(0x20));
    EXPECT_EQ(registry.Count(), 1u);
}

class ModelessDialogListTest : public testing::Test {
protected:
    void SetUp() override { list.Initialise(); }
    void TearDown() override
    {
        if (!list.TornDown())
            list.Teardown();
    }
    Keys HandlesInOrder() const
    {
        Keys handles;
        for (std::uint64_t i = 0; i < list.Count(); ++i)
            handles.push_back(reinterpret_cast<std::uintptr_t>(list.At(i)));
        return handles;
    }

    ModelessDialogList list;
};

TEST_F(ModelessDialogListTest, KeepsDuplicatesInUnsignedOrder)
{
    EXPECT_EQ(list.IndexOf(Handle(0x10)), -1) << "an empty list finds nothing";
    list.Add(Handle(0x20));
    list.Add(Handle(topBitHandle));
    list.Add(Handle(0x10));
    list.Add(Handle(0x20));
    EXPECT_EQ(HandlesInOrder(), (Keys{0x10, 0x20, 0x20, topBitHandle}));
    EXPECT_EQ(list.IndexOf(Handle(topBitHandle)), 3);
    EXPECT_EQ(list.IndexOf(Handle(0x30)), -1);

    list.Remove(Handle(0x20));
    EXPECT_EQ(HandlesInOrder(), (Keys{0x10, 0x20, topBitHandle})) << "one Remove deletes one of the twins";
    list.Remove(Handle(0x30));
    EXPECT_EQ(list.Count(), 3u);
    list.Remove(Handle(0x20));
    list.Remove(Handle(0x10));
    list.Remove(Handle(topBitHandle));
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(list.Capacity(), 64u);
}

} // namespace
