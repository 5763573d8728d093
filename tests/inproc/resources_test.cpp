// Resources of the two binaries, read from the files as built.
#include "testsupport.h"

#include <set>

using namespace swv;

namespace
{

class BinaryResources : public ::testing::TestWithParam<const char *>
{
};

std::string VersionString(const std::vector<BYTE> &info, const char *name)
{
    char *value = nullptr;
    UINT len = 0;
    std::string key = std::string("\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueA(info.data(), key.c_str(), (void **)&value, &len) || !value)
        return "";
    return value;
}

#pragma pack(push, 1)
struct GroupIconEntry {
    BYTE width, height, colors, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIconDir {
    WORD reserved, type, count;
    GroupIconEntry entries[1];
};
#pragma pack(pop)

BOOL CALLBACK CollectType(HMODULE, LPSTR type, LONG_PTR param)
{
    reinterpret_cast<std::set<ULONG_PTR> *>(param)->insert((ULONG_PTR)type);
    return TRUE;
}

} // namespace

TEST_P(BinaryResources, CarryFileAndProductVersion1_0_3_95)
{
    std::string path = BinPath(GetParam());
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_NE(0u, size);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", (void **)&fixed, &len));
    EXPECT_EQ(MAKELONG(0, 1), (LONG)fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(95, 3), (LONG)fixed->dwFileVersionLS);
    EXPECT_EQ(MAKELONG(0, 1), (LONG)fixed->dwProductVersionMS);
    EXPECT_EQ(MAKELONG(95, 3), (LONG)fixed->dwProductVersionLS);
    EXPECT_EQ("1.0.3.95", VersionString(info, "FileVersion"));
    EXPECT_EQ("1.0.3.95", VersionString(info, "ProductVersion"));
    EXPECT_EQ(GetParam(), VersionString(info, "OriginalFilename"));
}

INSTANTIATE_TEST_SUITE_P(Deliverables, BinaryResources,
                         ::testing::Values("swv32.dll", "swv32load.exe"));

TEST(LoaderResources, IconIsOne32By32ImageInSixteenColours)
{
    HMODULE exe = LoadLibraryExA(BinPath("swv32load.exe").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, exe);
    HRSRC res = FindResourceA(exe, "SWV_ICON", (LPCSTR)RT_GROUP_ICON);
    ASSERT_NE(nullptr, res);
    auto *dir = static_cast<const GroupIconDir *>(LockResource(LoadResource(exe, res)));
    ASSERT_NE(nullptr, dir);
    EXPECT_EQ(1, dir->type);
    ASSERT_EQ(1, dir->count);
    EXPECT_EQ(32, dir->entries[0].width);
    EXPECT_EQ(32, dir->entries[0].height);
    EXPECT_EQ(16, dir->entries[0].colors);
    EXPECT_EQ(4, dir->entries[0].bitCount);
    FreeLibrary(exe);
}

TEST(LoaderResources, HoldOnlyTheIconAndTheVersionBlock)
{
    HMODULE exe = LoadLibraryExA(BinPath("swv32load.exe").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, exe);
    std::set<ULONG_PTR> types;
    EnumResourceTypesA(exe, CollectType, (LONG_PTR)&types);
    FreeLibrary(exe);
    std::set<ULONG_PTR> expected = {(ULONG_PTR)RT_ICON, (ULONG_PTR)RT_GROUP_ICON,
                                    (ULONG_PTR)RT_VERSION};
    EXPECT_EQ(expected, types);
}

TEST(LoaderExports, OnlyTheMarkOfTheProgramThatStartsTheMenu)
{
    HMODULE exe =
        LoadLibraryExA(BinPath("swv32load.exe").c_str(), NULL, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(nullptr, exe);
    auto exports = ModuleExports(exe);
    FreeLibrary(exe);
    ASSERT_EQ(1u, exports.size());
    EXPECT_EQ("SwivletHost", exports[0].second);
}
