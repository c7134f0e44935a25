#include "editors/product_record.h"

#include "app/install_app.h"
#include "editors/editor_util.h"
#include "platform/registry.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

namespace {

// The record lives under fixed keys: leave none behind.
struct CRecordGuard {
    CRecordGuard() { clear(); }
    ~CRecordGuard() { clear(); }
    static void clear()
    {
        RemoveRegistryTree(HKEY_CURRENT_USER, kProductKey, editor_util::kEditorView);
        RemoveRegistryTree(HKEY_LOCAL_MACHINE, kProductKey, editor_util::kEditorView);
    }
};

} // namespace

TEST(ProductRecord, WrittenReadBackAndDeletedWithItsEditorKeys)
{
    CRecordGuard guard;
    CInstallApp app;
    app.CreateContainers();
    auto zero = std::make_unique<CDestination>();
    zero->path.set("D:\\PROGS\\OVCA40\\");
    app.destinations[kDestInstallFolder] = std::move(zero);
    app.groupName = "Eines";
    app.userInfo.name = "Joana Puig";
    app.userInfo.company = "Bramo";
    app.editors[kEditorWord2000].present = true;
    app.editors[kEditorAmiPro].present = true;

    CInstallApp first;
    ReadProductRecord(first);
    EXPECT_FALSE(first.previousInstall);

    WriteProductRecord(app);
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        CRegKey record;
        ASSERT_TRUE(record.open(root, kProductKey, editor_util::kEditorView));
        EXPECT_EQ(record.readString("").value_or(""), "Ortavel 40 CA");
        EXPECT_EQ(record.readString("ROOT-PATH").value_or(""), "D:\\PROGS\\OVCA40\\");
        EXPECT_EQ(record.readString("PMGROUP").value_or(""), "Eines");
        CRegKey word;
        ASSERT_TRUE(word.open(root, std::string(kProductKey) + "\\WORD9", editor_util::kEditorView));
        EXPECT_EQ(word.readString("").value_or(""), "Word 2000");
        EXPECT_TRUE(word.readString("Path").has_value());
        EXPECT_TRUE(CRegKey::exists(root, std::string(kProductKey) + "\\AMIPRO", editor_util::kEditorView));
        EXPECT_FALSE(CRegKey::exists(root, std::string(kProductKey) + "\\WORD8", editor_util::kEditorView));
    }

    CInstallApp second;
    ReadProductRecord(second);
    EXPECT_TRUE(second.previousInstall);
    EXPECT_EQ(second.userInfo.name, "Joana Puig");
    EXPECT_EQ(second.userInfo.company, "Bramo");
    EXPECT_FALSE(second.userInfo.date.empty());
    EXPECT_EQ(second.groupName, "Eines");

    // The editor subkeys don't keep the record from going.
    DeleteProductRecord();
    EXPECT_FALSE(CRegKey::exists(HKEY_CURRENT_USER, kProductKey));
    EXPECT_FALSE(CRegKey::exists(HKEY_LOCAL_MACHINE, kProductKey, editor_util::kEditorView));
    EXPECT_TRUE(CRegKey::exists(HKEY_CURRENT_USER, "SOFTWARE\\Bramo"));
}
