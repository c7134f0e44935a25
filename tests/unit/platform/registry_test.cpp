#include "platform/registry.h"

#include "tests/support/scratch.h"

#include <gtest/gtest.h>

namespace {
const char* kScratchKey = "Software\\InstallTests\\Registry";
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override { RemoveRegistryTree(HKEY_CURRENT_USER, kScratchKey); }
    void TearDown() override { RemoveRegistryTree(HKEY_CURRENT_USER, "Software\\InstallTests"); }
};

TEST_F(Registry, KeyObjectReadsOnlyValuesOfItsType)
{
    CRegKey key;
    EXPECT_FALSE(key.open(HKEY_CURRENT_USER, kScratchKey));
    EXPECT_FALSE(CRegKey::exists(HKEY_CURRENT_USER, kScratchKey));
    ASSERT_TRUE(key.create(HKEY_CURRENT_USER, kScratchKey));
    EXPECT_TRUE(key.writeString("Path", "C:\\OVCA40\\"));
    EXPECT_TRUE(key.writeDword("Count", 7));
    EXPECT_EQ(key.readString("Path").value_or("?"), "C:\\OVCA40\\");
    EXPECT_EQ(key.readDword("Count").value_or(0), 7u);
    // A value of another type reads as absent.
    EXPECT_FALSE(key.readString("Count").has_value());
    EXPECT_FALSE(key.readDword("Path").has_value());
    EXPECT_FALSE(key.readString("Missing").has_value());
    EXPECT_TRUE(key.writeString("Empty", ""));
    EXPECT_EQ(key.readString("Empty").value_or("?"), "");

    EXPECT_TRUE(key.deleteValue("Path"));
    EXPECT_FALSE(key.readString("Path").has_value());
    EXPECT_FALSE(key.deleteValue("Path"));
    key.close();
    EXPECT_TRUE(CRegKey::exists(HKEY_CURRENT_USER, kScratchKey));
    EXPECT_TRUE(CRegKey::deleteKey(HKEY_CURRENT_USER, kScratchKey));
    EXPECT_FALSE(CRegKey::exists(HKEY_CURRENT_USER, kScratchKey));
}

TEST_F(Registry, BoundStringWritesBackOnlyWhenChanged)
{
    {
        CRegString value(HKEY_CURRENT_USER, kScratchKey, "USER");
        EXPECT_FALSE(value.present());
        EXPECT_EQ(value.value(), "");
    }
    // Reading alone doesn't create the key.
    EXPECT_FALSE(CRegKey::exists(HKEY_CURRENT_USER, kScratchKey));
    {
        CRegString value(HKEY_CURRENT_USER, kScratchKey, "USER");
        value = "Maria";
    }
    CRegKey key;
    ASSERT_TRUE(key.open(HKEY_CURRENT_USER, kScratchKey));
    EXPECT_EQ(key.readString("USER").value_or(""), "Maria");
    {
        CRegString value(HKEY_CURRENT_USER, kScratchKey, "USER");
        EXPECT_TRUE(value.present());
        EXPECT_EQ(value.value(), "Maria");
        // Changed behind its back, then not changed through it: left alone.
        key.writeString("USER", "Other");
    }
    EXPECT_EQ(key.readString("USER").value_or(""), "Other");
}
