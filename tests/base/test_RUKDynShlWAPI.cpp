#include "RUKDynBinding.h"
#include "ResolverCases.h"
#include "RUKDynShlWAPI.h"

#include "SysUtils.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace ruk;

namespace {

constexpr char kNoSuchDll[] = "RUKNoSuchLibrary.dll";

std::vector<ResolverCase> ShlWAPIResolvers() {
    return {
        {"AssocCreate", AsAddress(PAddrAssocCreate)},
        {"AssocGetPerceivedType", AsAddress(PAddrAssocGetPerceivedType)},
        {"AssocIsDangerous", AsAddress(PAddrAssocIsDangerous)},
        {"AssocQueryKeyA", AsAddress(PAddrAssocQueryKeyA)},
        {"AssocQueryKeyW", AsAddress(PAddrAssocQueryKeyW)},
        {"AssocQueryStringA", AsAddress(PAddrAssocQueryStringA)},
        {"AssocQueryStringW", AsAddress(PAddrAssocQueryStringW)},
        {"AssocQueryStringByKeyA", AsAddress(PAddrAssocQueryStringByKeyA)},
        {"AssocQueryStringByKeyW", AsAddress(PAddrAssocQueryStringByKeyW)},
        {"PathIsLFNFileSpecA", AsAddress(PAddrPathIsLFNFileSpecA)},
        {"PathIsLFNFileSpecW", AsAddress(PAddrPathIsLFNFileSpecW)},
        {"PathCreateFromUrlA", AsAddress(PAddrPathCreateFromUrlA)},
        {"PathCreateFromUrlW", AsAddress(PAddrPathCreateFromUrlW)},
        {"StrTrimA", AsAddress(PAddrStrTrimA)},
        {"StrTrimW", AsAddress(PAddrStrTrimW)},
        {"UrlIsA", AsAddress(PAddrUrlIsA)},
        {"UrlIsW", AsAddress(PAddrUrlIsW)},
    };
}

class ShlWAPILibrary : public ::testing::Test {
protected:
    void SetUp() override {
        FModule = LoadLibraryA("ShlWAPI.dll");
        ASSERT_NE(FModule, nullptr);
    }
    void TearDown() override { FreeLibrary(FModule); }
    HMODULE FModule = nullptr;
};

}  // namespace

// ---------------------------------------------------------------- resolvers

TEST(DynShlWAPIResolvers, InvalidModuleGivesNilAndInvalidHandleWithoutLookup) {
    for (const auto& c : ShlWAPIResolvers()) {
        for (HMODULE m : {HMODULE(nullptr), kInvalidModule}) {
            // A lookup in module 0 would search the program itself and leave 127.
            SetLastError(0);
            EXPECT_EQ(c.resolve(m), nullptr) << c.exportName;
            EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE) << c.exportName;
        }
    }
}

TEST_F(ShlWAPILibrary, ResolversFindTheirOwnExport) {
    for (const auto& c : ShlWAPIResolvers()) {
        void* expected = reinterpret_cast<void*>(GetProcAddress(FModule, c.exportName));
        ASSERT_NE(expected, nullptr) << c.exportName;
        EXPECT_EQ(c.resolve(FModule), expected) << c.exportName;
    }
}

TEST(DynShlWAPIResolvers, ModuleWithoutTheExportGivesNilAndTheLookupsError) {
    HMODULE dll = LoadLibraryA(kTestDll);
    ASSERT_NE(dll, nullptr);
    for (const auto& c : ShlWAPIResolvers()) {
        SetLastError(0);
        EXPECT_EQ(c.resolve(dll), nullptr) << c.exportName;
        EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND) << c.exportName;
    }
    FreeLibrary(dll);
}

// ---------------------------------------------------------------- wrappers, found

TEST(DynShlWAPIWrappers, StrTrimARemovesTheCharactersAtBothEndsOnly) {
    char text[] = " ,,a, b,  ";
    EXPECT_NE(StrTrimA(text, " ,"), 0);
    EXPECT_STREQ(text, "a, b");

    char untouched[] = "abc";
    EXPECT_EQ(StrTrimA(untouched, " ,"), 0);
    EXPECT_STREQ(untouched, "abc");

    char onlyTrimmed[] = ", ,";
    EXPECT_NE(StrTrimA(onlyTrimmed, " ,"), 0);
    EXPECT_STREQ(onlyTrimmed, "");

    wchar_t wide[] = L"..x.";
    EXPECT_NE(StrTrimW(wide, L"."), 0);
    EXPECT_STREQ(wide, L"x");
}

TEST(DynShlWAPIWrappers, UrlIsTellsUrlsAndFileUrls) {
    struct Case {
        const char* text;
        BOOL isUrl;
        BOOL isFileUrl;
    } cases[] = {
        {"http://www.example.com/index.html", TRUE, FALSE},
        {"file:///C:/docs/page.htm", TRUE, TRUE},
        {"C:\\docs\\page.htm", FALSE, FALSE},
        {"just words", FALSE, FALSE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UrlIsA(c.text, URLIS_URL), c.isUrl) << c.text;
        EXPECT_EQ(UrlIsA(c.text, URLIS_FILEURL), c.isFileUrl) << c.text;
        const std::wstring wide = AnsiToWide(c.text);
        EXPECT_EQ(UrlIsW(wide.c_str(), URLIS_URL), c.isUrl) << c.text;
        EXPECT_EQ(UrlIsW(wide.c_str(), URLIS_FILEURL), c.isFileUrl) << c.text;
    }
}

TEST(DynShlWAPIWrappers, PathCreateFromUrlAConvertsAFileUrl) {
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    EXPECT_EQ(PathCreateFromUrlA("file:///C:/my%20docs/page.htm", path, size, 0), S_OK);
    EXPECT_STREQ(path, "C:\\my docs\\page.htm");
    EXPECT_EQ(size, std::strlen(path));

    wchar_t wpath[MAX_PATH] = {};
    DWORD wsize = MAX_PATH;
    EXPECT_EQ(PathCreateFromUrlW(L"file:///C:/a/b.txt", wpath, wsize, 0), S_OK);
    EXPECT_STREQ(wpath, L"C:\\a\\b.txt");

    // Not a file URL: the library's own failure comes back unchanged.
    char other[MAX_PATH] = {};
    DWORD otherSize = MAX_PATH;
    EXPECT_EQ(PathCreateFromUrlA("http://www.example.com/", other, otherSize, 0), E_INVALIDARG);
}

TEST(DynShlWAPIWrappers, PathIsLFNFileSpecTellsLongNames) {
    EXPECT_EQ(PathIsLFNFileSpecA("README.TXT"), FALSE);
    EXPECT_NE(PathIsLFNFileSpecA("a long file name.html"), FALSE);
    EXPECT_EQ(PathIsLFNFileSpecW(L"README.TXT"), FALSE);
    EXPECT_NE(PathIsLFNFileSpecW(L"a long file name.html"), FALSE);
}

TEST_F(ShlWAPILibrary, AssocGetPerceivedTypeGivesWhatTheExportGives) {
    // Wine's library answers E_NOTIMPL here, Windows S_OK and PERCEIVED_TYPE_TEXT (2).
    int directType = -99, type = -99;
    DWORD directFlag = 0xFFFF, flag = 0xFFFF;
    const HRESULT direct = PAddrAssocGetPerceivedType(FModule)(L".txt", &directType,
                                                               &directFlag, nullptr);
    EXPECT_EQ(AssocGetPerceivedType(L".txt", type, flag, nullptr), direct);
    EXPECT_NE(direct, HRESULT(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_EQ(type, directType);
    EXPECT_EQ(flag, directFlag);
    if (direct == S_OK) {
        EXPECT_EQ(type, 2);
    }
}

TEST(DynShlWAPIWrappers, AssocIsDangerousIsReachedWithoutTheMissingEntryError) {
    SetLastError(0);
    const BOOL dangerous = AssocIsDangerous(L".exe");
    if (!dangerous) {
        EXPECT_NE(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
    }
}

TEST(DynShlWAPIWrappers, GenericAssocFormsGiveWhatTheAnsiFormsGive) {
    // Query string: result, text and size must match the ANSI form exactly.
    for (ASSOCSTR str : {ASSOCSTR_EXECUTABLE, ASSOCSTR_FRIENDLYDOCNAME, ASSOCSTR_CONTENTTYPE,
                         ASSOCSTR_COMMAND}) {
        char a[MAX_PATH] = {};
        char g[MAX_PATH] = {};
        DWORD na = MAX_PATH, ng = MAX_PATH;
        const HRESULT ra = AssocQueryStringA(0, str, ".txt", "open", a, na);
        const HRESULT rg = AssocQueryString(0, str, ".txt", "open", g, ng);
        EXPECT_EQ(rg, ra) << int(str);
        EXPECT_EQ(ng, na) << int(str);
        EXPECT_STREQ(g, a) << int(str);
    }

    HKEY ka = nullptr, kg = nullptr;
    const HRESULT ra = AssocQueryKeyA(0, ASSOCKEY_CLASS, ".txt", nullptr, ka);
    const HRESULT rg = AssocQueryKey(0, ASSOCKEY_CLASS, ".txt", nullptr, kg);
    EXPECT_EQ(rg, ra);
    EXPECT_EQ(kg != nullptr, ka != nullptr);
    if (ra == S_OK) {
        char a[MAX_PATH] = {};
        char g[MAX_PATH] = {};
        DWORD na = MAX_PATH, ng = MAX_PATH;
        const HRESULT sa = AssocQueryStringByKeyA(0, ASSOCSTR_FRIENDLYDOCNAME, ka, nullptr, a, na);
        const HRESULT sg = AssocQueryStringByKey(0, ASSOCSTR_FRIENDLYDOCNAME, ka, nullptr, g, ng);
        EXPECT_EQ(sg, sa);
        EXPECT_EQ(ng, na);
        EXPECT_STREQ(g, a);
    }
    if (ka) RegCloseKey(ka);
    if (kg) RegCloseKey(kg);
}

TEST(DynShlWAPIWrappers, WrappersKeepNoLibraryReference) {
    HMODULE before = GetModuleHandleA("ShlWAPI.dll");
    char text[] = " x ";
    StrTrimA(text, " ");
    EXPECT_EQ(GetModuleHandleA("ShlWAPI.dll"), before);
}

// ---------------------------------------------------------------- per-call binding

TEST(DynBinding, MissingExportSetsCallNotImplementedAndFreesTheLibrary) {
    ASSERT_EQ(GetModuleHandleA(kTestDll), nullptr);
    char text[] = "  keep  ";
    SetLastError(0);
    EXPECT_EQ(dynbind::CallLoaded<BOOL>(kTestDll, PAddrStrTrimA, FALSE, text, " "), FALSE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_STREQ(text, "  keep  ");
    EXPECT_EQ(GetModuleHandleA(kTestDll), nullptr);

    // The missing result of AssocGetPerceivedType is its own.
    int type = 0;
    DWORD flag = 0;
    EXPECT_EQ(dynbind::CallLoaded<HRESULT>(kTestDll, PAddrAssocGetPerceivedType,
                                           HRESULT(ERROR_CALL_NOT_IMPLEMENTED), L".txt", &type,
                                           &flag, nullptr),
              HRESULT(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
}

TEST(DynBinding, MissingLibraryStillReportsCallNotImplemented) {
    // FreeLibrary(0) afterwards must not replace the code.
    char text[] = " x ";
    SetLastError(0);
    EXPECT_EQ(dynbind::CallLoaded<BOOL>(kNoSuchDll, PAddrStrTrimA, FALSE, text, " "), FALSE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_STREQ(text, " x ");
}

TEST(DynBinding, FoundExportGetsItsArgumentsInOrderAndKeepsItsLastError) {
    using TSubtract = int(WINAPI*)(int, int);
    using TFailWith = BOOL(WINAPI*)(DWORD);
    auto subtract = [](HMODULE m) {
        return dynbind::ProcAs<TSubtract>(dynbind::ResolveExport(m, "RUKTestSubtract"));
    };
    auto failWith = [](HMODULE m) {
        return dynbind::ProcAs<TFailWith>(dynbind::ResolveExport(m, "RUKTestFailWith"));
    };
    EXPECT_EQ(dynbind::CallLoaded<int>(kTestDll, subtract, -1, 10, 3), 7);
    EXPECT_EQ(GetModuleHandleA(kTestDll), nullptr);

    SetLastError(0);
    EXPECT_EQ(dynbind::CallLoaded<BOOL>(kTestDll, failWith, TRUE, DWORD(4321)), FALSE);
    EXPECT_EQ(GetLastError(), 4321u);

    HMODULE dll = LoadLibraryA(kTestDll);
    EXPECT_EQ(dynbind::CallInModule<int>(dll, subtract, -1, 2, 5), -3);
    SetLastError(0);
    EXPECT_EQ(dynbind::CallInModule<int>(nullptr, subtract, -1, 2, 5), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
    FreeLibrary(dll);
}

// ---------------------------------------------------------------- unit start and stop

namespace {
// The unit start leaves COM initialised when it raises (there is no stop then).
void UndoFailedStart() {
    if (TRUKDynShlWAPIUnit::LibraryHandle()) FreeLibrary(TRUKDynShlWAPIUnit::LibraryHandle());
    CoUninitialize();
}
}  // namespace

TEST(DynShlWAPIUnit, BelowVersion580NothingIsLoadedAndAutoCompleteFails) {
    for (int version : {0x0005004F, -1, 0x00040047}) {
        {
            TRUKDynShlWAPIUnit unit(version, kTestDll);
            EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED)) << version;
            EXPECT_EQ(TRUKDynShlWAPIUnit::LibraryHandle(), nullptr);
            EXPECT_EQ(GetModuleHandleA(kTestDll), nullptr);

            SetLastError(0);
            EXPECT_EQ(SHAutoComplete(reinterpret_cast<HWND>(0x123), 0), 1);
            EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FUNCTION));

            SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
            try {
                PAddrSHAutoComplete();
                ADD_FAILURE() << "no EOSError";
            } catch (const EOSError& e) {
                EXPECT_EQ(e.ErrorCode, DWORD(ERROR_CALL_NOT_IMPLEMENTED));
            }
        }
    }
}

TEST(DynShlWAPIUnit, AtVersion580TheLibraryIsKeptUntilTheStop) {
    {
        TRUKDynShlWAPIUnit unit(0x00050050, kTestDll);
        ASSERT_NE(TRUKDynShlWAPIUnit::LibraryHandle(), nullptr);
        EXPECT_EQ(GetModuleHandleA(kTestDll), TRUKDynShlWAPIUnit::LibraryHandle());

        // The stand-in answers hwnd * 16 + flags: both arguments arrive unchanged.
        EXPECT_EQ(SHAutoComplete(reinterpret_cast<HWND>(0x123), 4), 0x1234);
        EXPECT_EQ(PAddrSHAutoComplete(),
                  reinterpret_cast<TSHAutoComplete>(reinterpret_cast<void*>(
                      GetProcAddress(GetModuleHandleA(kTestDll), "SHAutoComplete"))));
    }
    EXPECT_EQ(GetModuleHandleA(kTestDll), nullptr);
}

TEST(DynShlWAPIUnit, LibraryWithoutTheEntryRaisesTheSystemError) {
    try {
        TRUKDynShlWAPIUnit unit(0x00050050, "version.dll");
        ADD_FAILURE() << "no EOSError";
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode, DWORD(ERROR_PROC_NOT_FOUND));
        EXPECT_EQ(e.Message().rfind("System Error.  Code: 127.\r\n", 0), 0u) << e.Message();
    }
    UndoFailedStart();
}

TEST(DynShlWAPIUnit, LibraryThatCannotBeLoadedRaisesTheSystemError) {
    try {
        TRUKDynShlWAPIUnit unit(0x00060000, kNoSuchDll);
        ADD_FAILURE() << "no EOSError";
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode, DWORD(ERROR_MOD_NOT_FOUND));
    }
    EXPECT_EQ(TRUKDynShlWAPIUnit::LibraryHandle(), nullptr);
    UndoFailedStart();
}

TEST(DynShlWAPIUnit, ProductionStartBindsTheRealAutoComplete) {
    const int version = TRUKDynShlWAPIUnit::ComCtlVersion();
    EXPECT_EQ(TRUKDynShlWAPIUnit::ComCtlVersion(), version);  // read once, kept
    ASSERT_GE(version, ComCtlVersionForAutoComplete) << std::hex << version;

    TRUKDynShlWAPIUnit unit;
    EXPECT_EQ(unit.ComCtlVersionUsed(), version);
    ASSERT_NE(TRUKDynShlWAPIUnit::LibraryHandle(), nullptr);
    EXPECT_EQ(TRUKDynShlWAPIUnit::LibraryHandle(), GetModuleHandleA("ShlWAPI.dll"));

    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    // Wine's entry is a stub answering S_FALSE; Windows answers S_OK. Either way the
    // answer is the library's, not the nil entry's 1 with last error 1.
    const TSHAutoComplete direct = dynbind::ProcAs<TSHAutoComplete>(
        GetProcAddress(GetModuleHandleA("ShlWAPI.dll"), "SHAutoComplete"));
    ASSERT_NE(direct, nullptr);
    EXPECT_EQ(PAddrSHAutoComplete(), direct);
    const HRESULT expected = direct(edit, 0);
    SetLastError(0);
    EXPECT_EQ(SHAutoComplete(edit, 0), expected);
    EXPECT_NE(GetLastError(), DWORD(ERROR_INVALID_FUNCTION));
    DestroyWindow(edit);
}
