#include "platform/resource_string.h"

#include "resources/resource.h"

#include <windows.h>

#include <gtest/gtest.h>

TEST(ResourceString, EveryIdReadsAsTheWindowSystemReadsIt)
{
    // Ids the table lacks, inside blocks it has and outside them, read empty.
    int found = 0;
    for (unsigned id = 0; id <= 0xFFFF; ++id) {
        char buffer[4100];
        int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
        std::string expected = length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : "";
        ASSERT_EQ(LoadResourceString(id), expected) << "string " << id;
        found += !expected.empty();
    }
    // The program's own table, accented texts among them, was read.
    EXPECT_GT(found, 50);
    EXPECT_NE(LoadResourceString(IDS_TITLE), "");
}
