#include "system/shared_dll_count.h"

#include "tests/support/registry_scratch.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const char* kDll = "C:\\WINDOWS\\SYSTEM\\OVCAT32.DLL";

CRawValue countValue(const CRegistryPlace& place, const std::string& file = kDll)
{
    return ReadRawValue(place.root, place.sharedDllsKey(), file);
}

DWORD storedCount(const CRegistryPlace& place)
{
    CRawValue raw = countValue(place);
    DWORD count = 0;
    if (raw.present && raw.type == REG_DWORD && raw.bytes.size() == sizeof count)
        std::memcpy(&count, raw.bytes.data(), sizeof count);
    return count;
}

void installOnce(const CRegistryPlace& place)
{
    CSharedDllCount(kDll, place).increment();
}

bool uninstallOnce(const CRegistryPlace& place)
{
    CSharedDllCount count(kDll, place);
    count.decrement();
    return count.inUse();
}

} // namespace

TEST(SharedDllCount, TwoInstallationsNeedTwoUninstallations)
{
    CScratchRegistryPlace scratch;
    const CRegistryPlace& place = scratch.place();
    // Reading alone creates nothing.
    {
        CSharedDllCount count(kDll, place);
        EXPECT_EQ(count.count(), 0u);
        EXPECT_FALSE(count.inUse());
    }
    EXPECT_FALSE(KeyExists(place.root, place.sharedDllsKey()));

    installOnce(place);
    EXPECT_EQ(countValue(place).type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(storedCount(place), 1u);
    installOnce(place);
    EXPECT_EQ(storedCount(place), 2u);
    // Another program's file in the same key is left alone throughout.
    CSharedDllCount("C:\\WINDOWS\\SYSTEM\\OTHER.DLL", place).increment();

    EXPECT_TRUE(uninstallOnce(place));
    EXPECT_EQ(storedCount(place), 1u);
    EXPECT_FALSE(uninstallOnce(place));
    EXPECT_FALSE(countValue(place).present);
    EXPECT_EQ(ReadRawValue(place.root, place.sharedDllsKey(), "C:\\WINDOWS\\SYSTEM\\OTHER.DLL")
                  .bytes.size(),
              sizeof(DWORD));
    // The key is everybody's: it stays even when our last count goes.
    EXPECT_TRUE(KeyExists(place.root, place.sharedDllsKey()));
}

TEST(SharedDllCount, DecrementStopsAtZeroAndRemovesNothingElse)
{
    CScratchRegistryPlace scratch;
    const CRegistryPlace& place = scratch.place();
    CSharedDllCount("C:\\WINDOWS\\SYSTEM\\OTHER.DLL", place).increment();
    {
        CSharedDllCount count(kDll, place);
        count.decrement();
        count.decrement();
        EXPECT_EQ(count.count(), 0u);
        EXPECT_FALSE(count.inUse());
    }
    EXPECT_FALSE(countValue(place).present);
    EXPECT_TRUE(
        ReadRawValue(place.root, place.sharedDllsKey(), "C:\\WINDOWS\\SYSTEM\\OTHER.DLL").present);
}

TEST(SharedDllCount, ValueOfAnotherTypeCountsAsZeroAndLimitHolds)
{
    CScratchRegistryPlace scratch;
    const CRegistryPlace& place = scratch.place();
    {
        CRegKey key;
        ASSERT_TRUE(key.create(place.root, place.sharedDllsKey()));
        key.writeString(kDll, "7");
        key.writeDword("C:\\WINDOWS\\SYSTEM\\FULL.DLL", 0xFFFFFFFFu);
    }
    {
        CSharedDllCount count(kDll, place);
        EXPECT_EQ(count.count(), 0u);
        count.increment();
    }
    EXPECT_EQ(countValue(place).type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(storedCount(place), 1u);

    // A count at its limit must not wrap to 0, which would remove it.
    CSharedDllCount("C:\\WINDOWS\\SYSTEM\\FULL.DLL", place).increment();
    CRawValue full = ReadRawValue(place.root, place.sharedDllsKey(), "C:\\WINDOWS\\SYSTEM\\FULL.DLL");
    ASSERT_TRUE(full.present);
    DWORD value = 0;
    std::memcpy(&value, full.bytes.data(), sizeof value);
    EXPECT_EQ(value, 0xFFFFFFFFu);
}
