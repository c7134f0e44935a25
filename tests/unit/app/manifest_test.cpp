// The manifest of the built install.exe, read as Windows reads it.
// The test alone looks at what Vista and later know of manifests.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#include <windows.h>

#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

// The answer's layout since Windows 10 1903, which Wine follows; mingw's
// header still has the older one without the tested version.
struct CompatibilityElement {
    GUID id;
    DWORD type;
    ULONGLONG maxVersionTested;
};
struct CompatibilityInformation {
    DWORD count;
    CompatibilityElement elements[16];
};

BOOL CALLBACK collectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR list)
{
    reinterpret_cast<std::vector<ULONG_PTR>*>(list)->push_back(reinterpret_cast<ULONG_PTR>(name));
    return TRUE;
}

std::string guidText(const GUID& g)
{
    char text[40];
    std::snprintf(text, sizeof text, "%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                  static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

} // namespace

TEST(Manifest, OneManifestAskingForElevationNamingVistaTo11AndSystemDpi)
{
    std::string program = WindowsPathOf(INSTALL_EXE);

    // Exactly one, id 1: a toolchain's default manifest beside ours would
    // leave Windows reading one of the two.
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    std::vector<ULONG_PTR> names;
    EnumResourceNamesA(module, RT_MANIFEST, collectName, reinterpret_cast<LONG_PTR>(&names));
    EXPECT_EQ(names, std::vector<ULONG_PTR>{1});
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST), nullptr);
    FreeLibrary(module);

    // Its settings as the activation context parses them: a misspelt
    // namespace would leave a setting silently unread.
    ACTCTXA request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = program.c_str();
    request.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE context = CreateActCtxA(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << GetLastError();

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level = {};
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level,
                             sizeof level, nullptr));
    EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_REQUIRE_ADMIN);
    EXPECT_EQ(level.UiAccess, 0u);

    CompatibilityInformation compat = {};
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext,
                             &compat, sizeof compat, nullptr));
    std::set<std::string> systems;
    for (DWORD i = 0; i < compat.count && i < 16; ++i)
        if (compat.elements[i].type == ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS)
            systems.insert(guidText(compat.elements[i].id));
    EXPECT_EQ(systems, (std::set<std::string>{
                           "e2011457-1546-43c5-a5fe-008deee3d3f0",   // Vista
                           "35138b9a-5d96-4fbd-8e2d-a2440225f93a",   // 7
                           "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",   // 8
                           "1f676c76-80e1-4239-95bb-83d0f6d0da78",   // 8.1
                           "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})); // 10 and 11

    WCHAR dpiAware[16] = {};
    SIZE_T written = 0;
    EXPECT_TRUE(QueryActCtxSettingsW(0, context, nullptr, L"dpiAware", dpiAware,
                                     sizeof dpiAware / sizeof *dpiAware, &written));
    EXPECT_STREQ(dpiAware, L"true");
    ReleaseActCtx(context);
}
