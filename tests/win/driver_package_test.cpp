// The driver package of this build as the system's setup functions read its INF (Wine's
// setupapi): the printer class, every model's install section, every file the INF names present
// in the package and nothing there that it does not name, and the plug-in the .ini names, built
// for this architecture. Wine's setupapi ignores CoreDriverSections and Include/Needs: the
// universal driver's part of the install is for Windows to check.
#include <windows.h>

#include <setupapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

#define M450_WIDEN2(text) L##text
#define M450_WIDEN(text) M450_WIDEN2(text)

std::wstring PackagePath(const std::wstring& name) {
    std::wstring path = M450_WIDEN(M450_PACKAGE_DIR) L"/" + name;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

bool InPackage(const std::wstring& name) {
    const DWORD attributes = GetFileAttributesW(PackagePath(name).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring Field(INFCONTEXT& line, DWORD index) {
    wchar_t text[512] = {};
    return SetupGetStringFieldW(&line, index, text, 512, nullptr) ? text : L"";
}

std::wstring Value(HINF inf, const wchar_t* section, const wchar_t* key) {
    INFCONTEXT line;
    return SetupFindFirstLineW(inf, section, key, &line) ? Field(line, 1) : L"<missing>";
}

class DriverPackage : public ::testing::Test {
  protected:
    void SetUp() override {
        UINT errorLine = 0;
        // With the class named, setupapi also refuses an INF of another class.
        inf_ = SetupOpenInfFileW(PackagePath(L"KVL-M450.inf").c_str(), L"Printer", INF_STYLE_WIN4, &errorLine);
        ASSERT_NE(inf_, INVALID_HANDLE_VALUE) << "error " << GetLastError() << " at line " << errorLine;
    }
    void TearDown() override {
        if (inf_ != INVALID_HANDLE_VALUE)
            SetupCloseInfFile(inf_);
    }
    HINF inf_ = INVALID_HANDLE_VALUE;
};

TEST_F(DriverPackage, VersionSectionDescribesAPrinterDriverPackage) {
    EXPECT_EQ(Value(inf_, L"Version", L"ClassGuid"), L"{4D36E979-E325-11CE-BFC1-08002BE10318}");
    EXPECT_EQ(Value(inf_, L"Version", L"Provider"), L"Quorven");
    EXPECT_EQ(Value(inf_, L"Version", L"CatalogFile"), L"KVL-M450.cat");
    EXPECT_EQ(Value(inf_, L"Version", L"PnpLockdown"), L"1");
    EXPECT_EQ(Value(inf_, L"Version", L"DriverVer"), L"12/09/2026");
    const wchar_t* packageSection =
        sizeof(void*) == 8 ? L"PrinterPackageInstallation.amd64" : L"PrinterPackageInstallation.x86";
    EXPECT_EQ(Value(inf_, packageSection, L"PackageAware"), L"TRUE");
    EXPECT_EQ(Value(inf_, L"DestinationDirs", L"DefaultDestDir"), L"66000");
}

TEST_F(DriverPackage, EveryModelInstallsFromFilesOfThePackage) {
    INFCONTEXT line;
    std::vector<std::wstring> modelSections;
    ASSERT_TRUE(SetupFindFirstLineW(inf_, L"Manufacturer", nullptr, &line));
    do {
        for (DWORD i = 2; i <= SetupGetFieldCount(&line); ++i)
            modelSections.push_back(Field(line, 1) + L"." + Field(line, i));
    } while (SetupFindNextLine(&line, &line));
    EXPECT_EQ(modelSections, (std::vector<std::wstring>{L"Quorven.NTamd64", L"Quorven.NTx86"}));

    std::set<std::wstring> copied;
    for (const std::wstring& models : modelSections) {
        ASSERT_TRUE(SetupFindFirstLineW(inf_, models.c_str(), nullptr, &line)) << models;
        EXPECT_EQ(Field(line, 0), L"KVL-M450");  // the GPD's *ModelName
        const std::wstring install = Field(line, 1);
        EXPECT_EQ(Value(inf_, install.c_str(), L"DataFile"), L"KVL-M450.gpd");
        EXPECT_EQ(Value(inf_, install.c_str(), L"CoreDriverSections"),
                  L"{D20EA372-DD35-4950-9ED8-A6335AFE79F0},UNIDRV.OEM,UNIDRV_DATA,TTFSUB.OEM");
        INFCONTEXT copy;
        ASSERT_TRUE(SetupFindFirstLineW(inf_, install.c_str(), L"CopyFiles", &copy)) << install;
        for (DWORD i = 1; i <= SetupGetFieldCount(&copy); ++i) {
            const std::wstring entry = Field(copy, i);
            if (entry.starts_with(L"@")) {
                copied.insert(entry.substr(1));
                continue;
            }
            INFCONTEXT file;
            ASSERT_TRUE(SetupFindFirstLineW(inf_, entry.c_str(), nullptr, &file)) << entry;
            do
                copied.insert(Field(file, 1));
            while (SetupFindNextLine(&file, &file));
            EXPECT_EQ(Value(inf_, L"DestinationDirs", entry.c_str()), L"66000");
        }
    }
    EXPECT_EQ(copied, (std::set<std::wstring>{L"KVL-M450.gpd", L"M450UI.ini", L"M450UI.dll", L"LANGUAGE_M450.dat",
                                              L"ENG_M450.res", L"CHN_M450.res", L"CHF_M450.res"}));
    for (const std::wstring& name : copied) {
        EXPECT_TRUE(InPackage(name)) << name;
        EXPECT_TRUE(SetupFindFirstLineW(inf_, L"SourceDisksFiles", name.c_str(), &line)) << name;
    }

    // Nothing in the package that the INF does not name.
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(PackagePath(L"*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        const std::wstring name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"KVL-M450.inf") {
            EXPECT_TRUE(copied.contains(name)) << name;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

TEST_F(DriverPackage, IniNamesThePluginBuiltForThisArchitecture) {
    wchar_t config[64] = {};
    GetPrivateProfileStringW(L"OEMFiles", L"OEMConfigFile1", L"", config, 64, PackagePath(L"M450UI.ini").c_str());
    EXPECT_STREQ(config, L"M450UI.dll");

    // The machine field of the DLL's PE header: AMD64 in the x64 package, i386 in the x86 one.
    char header[0x400] = {};
    const HANDLE dll = CreateFileW(PackagePath(L"M450UI.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(dll, INVALID_HANDLE_VALUE);
    DWORD read = 0;
    ReadFile(dll, header, sizeof header, &read, nullptr);
    CloseHandle(dll);
    const uint32_t peOffset = static_cast<uint8_t>(header[0x3C]) | (static_cast<uint8_t>(header[0x3D]) << 8);
    ASSERT_LT(peOffset + 6, sizeof header);
    const uint16_t machine =
        static_cast<uint8_t>(header[peOffset + 4]) | (static_cast<uint8_t>(header[peOffset + 5]) << 8);
    EXPECT_EQ(machine, sizeof(void*) == 8 ? 0x8664 : 0x014C);
}

}  // namespace
