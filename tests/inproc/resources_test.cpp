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

// Names by number; one by text counts as 0.
BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    reinterpret_cast<std::set<ULONG_PTR> *>(param)->insert(IS_INTRESOURCE(name) ? (ULONG_PTR)name
                                                                                : 0);
    return TRUE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param)
{
    reinterpret_cast<std::set<ULONG_PTR> *>(param)->insert(language);
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
                         ::testing::Values(SWV_LIBRARY, "swv32load.exe"));

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

TEST(LoaderResources, HoldOnlyTheIconTheVersionBlockAndTheManifest)
{
    HMODULE exe = LoadLibraryExA(BinPath("swv32load.exe").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, exe);
    std::set<ULONG_PTR> types;
    EnumResourceTypesA(exe, CollectType, (LONG_PTR)&types);
    std::set<ULONG_PTR> manifests, languages;
    EnumResourceNamesA(exe, (LPCSTR)RT_MANIFEST, CollectName, (LONG_PTR)&manifests);
    EnumResourceLanguagesA(exe, (LPCSTR)RT_MANIFEST, (LPCSTR)1, CollectLanguage,
                           (LONG_PTR)&languages);
    FreeLibrary(exe);
    std::set<ULONG_PTR> expected = {(ULONG_PTR)RT_ICON, (ULONG_PTR)RT_GROUP_ICON,
                                    (ULONG_PTR)RT_VERSION, (ULONG_PTR)RT_MANIFEST};
    EXPECT_EQ(expected, types);
    // One manifest, the one the system reads when it starts a program: a
    // toolchain's default one beside it would be a second.
    EXPECT_EQ(std::set<ULONG_PTR>{1}, manifests);
    EXPECT_EQ(1u, languages.size());
}

// Read by the system's own parser: a manifest it rejects would keep the
// program from starting at all.
TEST(LoaderResources, ManifestAsksForNoElevationPerMonitorDpiAndCommonControls6)
{
    std::string exe = BinPath("swv32load.exe");
    ACTCTXA ctx = {};
    ctx.cbSize = sizeof ctx;
    ctx.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    ctx.lpSource = exe.c_str();
    ctx.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE act = CreateActCtxA(&ctx);
    ASSERT_NE(INVALID_HANDLE_VALUE, act) << "error " << GetLastError();

    WCHAR value[64];
    SIZE_T len = 0;
    EXPECT_TRUE(QueryActCtxSettingsW(0, act,
                                     L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                                     L"dpiAwareness", value, 64, &len));
    EXPECT_STREQ(L"PerMonitorV2, System", value);
    EXPECT_TRUE(QueryActCtxSettingsW(0, act, NULL, L"dpiAware", value, 64, &len));
    EXPECT_STREQ(L"true", value);

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level = {};
    EXPECT_TRUE(QueryActCtxW(0, act, NULL, RunlevelInformationInActivationContext, &level,
                             sizeof level, NULL));
    EXPECT_EQ(ACTCTX_RUN_LEVEL_AS_INVOKER, level.RunLevel);
    EXPECT_EQ(0u, level.UiAccess);
    ReleaseActCtx(act);

    HMODULE module = LoadLibraryExA(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(1), (LPCSTR)RT_MANIFEST);
    ASSERT_NE(nullptr, res);
    std::string text(static_cast<const char *>(LockResource(LoadResource(module, res))),
                     SizeofResource(module, res));
    FreeLibrary(module);
    for (const char *os : {"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
                           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
                           "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
                           "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"}) // 7
        EXPECT_NE(std::string::npos, text.find("<supportedOS Id=\"" + std::string(os) + "\"/>"))
            << os;
    EXPECT_NE(std::string::npos, text.find("name=\"Microsoft.Windows.Common-Controls\" "
                                           "version=\"6.0.0.0\""));
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

namespace
{

struct DialogItem {
    WORD id;
    WORD classAtom;
    std::string text;
    DWORD style;
    short x, y, cx, cy;
};

// Reads a string or ordinal field of a dialog template; ordinals as "#n".
const WORD *ReadField(const WORD *p, std::string &out)
{
    out.clear();
    if (*p == 0xFFFF) {
        out = "#" + std::to_string(p[1]);
        return p + 2;
    }
    while (*p)
        out += (char)*p++;
    return p + 1;
}

} // namespace

// No manifest either: in another program the library lives by that
// program's choices of DPI awareness and controls.
TEST(LibraryResources, HoldOnlyTheDialogAndTheVersionBlock)
{
    HMODULE dll = LoadLibraryExA(BinPath(SWV_LIBRARY).c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, dll);
    std::set<ULONG_PTR> types;
    EnumResourceTypesA(dll, CollectType, (LONG_PTR)&types);
    FreeLibrary(dll);
    EXPECT_EQ((std::set<ULONG_PTR>{(ULONG_PTR)RT_DIALOG, (ULONG_PTR)RT_VERSION}), types);
}

TEST(LibraryResources, OpenDialogTemplateIsTheClassicFourteenControlDialog)
{
    HMODULE dll = LoadLibraryExA(BinPath(SWV_LIBRARY).c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, dll);
    HRSRC res = FindResourceExA(dll, (LPCSTR)RT_DIALOG, "OPEN_DIALOG",
                                MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    ASSERT_NE(nullptr, res) << "no language-neutral OPEN_DIALOG";
    auto *tpl = static_cast<const BYTE *>(LockResource(LoadResource(dll, res)));
    ASSERT_NE(nullptr, tpl);
    ASSERT_NE(0xFFFF, reinterpret_cast<const WORD *>(tpl)[1]) << "an extended template";

    auto *head = reinterpret_cast<const DLGTEMPLATE *>(tpl);
    EXPECT_EQ((DWORD)(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT),
              head->style);
    EXPECT_EQ(0u, head->dwExtendedStyle);
    EXPECT_EQ(15, head->x);
    EXPECT_EQ(60, head->y);
    EXPECT_EQ(256, head->cx);
    EXPECT_EQ(135, head->cy);
    ASSERT_EQ(14, head->cdit);
    const WORD *p = reinterpret_cast<const WORD *>(head + 1);
    std::string menu, cls, title, face;
    p = ReadField(p, menu);
    p = ReadField(p, cls);
    p = ReadField(p, title);
    EXPECT_EQ("", menu);
    EXPECT_EQ("", cls);
    EXPECT_EQ("Open / Run", title);
    WORD points = *p++;
    p = ReadField(p, face);
    EXPECT_EQ(8, points);
    EXPECT_EQ("Helv", face);

    const DWORD base = WS_CHILD | WS_VISIBLE;
    const DWORD list = WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_SORT |
                       LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_DISABLENOSCROLL;
    const DialogItem expected[14] = {
        {1090, 0x82, "File / Program:", base | WS_GROUP, 4, 6, 87, 10},
        {1152, 0x81, "", base | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_OEMCONVERT, 4, 16, 87,
         12},
        {1120, 0x83, "", base | list | LBS_EXTENDEDSEL, 4, 32, 87, 68},
        {0xFFFF, 0x82, "&Directories:", base | WS_GROUP, 102, 6, 92, 9},
        {1088, 0x82, "", base | WS_GROUP | SS_NOPREFIX, 102, 16, 92, 9},
        {1121, 0x83, "", base | list, 102, 16, 92, 68},
        {1089, 0x82, "List Files of &Type:", base | WS_GROUP, 4, 105, 87, 9},
        {1136, 0x85, "",
         base | WS_BORDER | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_AUTOHSCROLL, 4, 119,
         189, 50},
        {1091, 0x82, "Dri&ves:", base | WS_GROUP, 102, 87, 92, 9},
        {1137, 0x85, "",
         base | WS_BORDER | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
             CBS_AUTOHSCROLL | CBS_SORT | CBS_HASSTRINGS,
         102, 97, 92, 68},
        {1, 0x80, "OK", base | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 200, 6, 50, 14},
        {2, 0x80, "Cancel", base | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON, 200, 24, 50, 14},
        {1038, 0x80, "&Help", base | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON, 200, 46, 50, 14},
        {1040, 0x80, "&Read Only", base | WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX, 200, 68, 50, 12},
    };
    for (int i = 0; i < 14; i++) {
        SCOPED_TRACE(i + 1);
        p = reinterpret_cast<const WORD *>(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3);
        auto *item = reinterpret_cast<const DLGITEMTEMPLATE *>(p);
        EXPECT_EQ(expected[i].style, item->style);
        EXPECT_EQ(0u, item->dwExtendedStyle);
        EXPECT_EQ(expected[i].x, item->x);
        EXPECT_EQ(expected[i].y, item->y);
        EXPECT_EQ(expected[i].cx, item->cx);
        EXPECT_EQ(expected[i].cy, item->cy);
        EXPECT_EQ(expected[i].id, item->id);
        p = reinterpret_cast<const WORD *>(item + 1);
        p = ReadField(p, cls);
        p = ReadField(p, title);
        EXPECT_EQ("#" + std::to_string(expected[i].classAtom), cls);
        EXPECT_EQ(expected[i].text, title);
        WORD extra = *p++;
        p = reinterpret_cast<const WORD *>(reinterpret_cast<const BYTE *>(p) + extra);
    }
    FreeLibrary(dll);
}
