// The driver installed from this build's package as Windows installs it from the INF, and the
// files the UI core finds through the installed driver.
#include <windows.h>
#include <setupapi.h>
#include <winspool.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "host_core.h"

namespace m450host {
namespace {

#ifdef _WIN64
constexpr wchar_t kEnvironment[] = L"Windows x64";
constexpr wchar_t kModelsDecoration[] = L"NTamd64";
#else
constexpr wchar_t kEnvironment[] = L"Windows NT x86";
constexpr wchar_t kModelsDecoration[] = L"NTx86";
#endif

// This build's package and configuration module (the build passes their paths).
std::wstring BuildPath(const char* path) {
    std::wstring windows = WindowsPath(path);
    std::replace(windows.begin(), windows.end(), L'/', L'\\');
    return windows;
}

std::wstring Field(INFCONTEXT& line, DWORD index) {
    wchar_t text[512] = {};
    return SetupGetStringFieldW(&line, index, text, 512, nullptr) ? text : L"";
}

// What the INF installs for this architecture's model.
struct PackageModel {
    std::wstring name;
    std::wstring dataFile;
    std::vector<std::wstring> files;
};

bool ReadModel(const std::wstring& inf, PackageModel* model, std::wstring* error) {
    UINT errorLine = 0;
    const HINF handle = SetupOpenInfFileW(inf.c_str(), L"Printer", INF_STYLE_WIN4, &errorLine);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = ErrorText(L"SetupOpenInfFileW(" + inf + L") at line " + std::to_wstring(errorLine), GetLastError());
        return false;
    }
    INFCONTEXT line;
    std::wstring models;
    if (SetupFindFirstLineW(handle, L"Manufacturer", nullptr, &line)) {
        for (DWORD i = 2; i <= SetupGetFieldCount(&line); ++i) {
            if (_wcsicmp(Field(line, i).c_str(), kModelsDecoration) == 0)
                models = Field(line, 1) + L"." + kModelsDecoration;
        }
    }
    std::wstring install;
    if (!models.empty() && SetupFindFirstLineW(handle, models.c_str(), nullptr, &line)) {
        model->name = Field(line, 0);
        install = Field(line, 1);
    }
    if (!install.empty() && SetupFindFirstLineW(handle, install.c_str(), L"DataFile", &line))
        model->dataFile = Field(line, 1);
    if (!install.empty() && SetupFindFirstLineW(handle, install.c_str(), L"CopyFiles", &line)) {
        for (DWORD i = 1; i <= SetupGetFieldCount(&line); ++i) {
            const std::wstring entry = Field(line, i);
            INFCONTEXT file;
            if (entry.starts_with(L"@")) {
                model->files.push_back(entry.substr(1));
            } else if (SetupFindFirstLineW(handle, entry.c_str(), nullptr, &file)) {
                do
                    model->files.push_back(Field(file, 1));
                while (SetupFindNextLine(&file, &file));
            }
        }
    }
    SetupCloseInfFile(handle);
    if (model->name.empty() || model->dataFile.empty() || model->files.empty()) {
        *error = inf + L" has no model for " + kModelsDecoration + L" with a data file and files to copy";
        return false;
    }
    return true;
}

std::wstring PrinterPort(HANDLE printer, std::wstring* driver) {
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    if (needed == 0)
        return {};
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(printer, 2, buffer.data(), needed, &needed))
        return {};
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    *driver = info->pDriverName != nullptr ? info->pDriverName : L"";
    return info->pPortName != nullptr ? info->pPortName : L"";
}

bool DeletePrinterNamed(const std::wstring& name) {
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<LPWSTR>(name.c_str()), &printer, &access))
        return false;
    const BOOL deleted = DeletePrinter(printer);
    ClosePrinter(printer);
    return deleted != FALSE;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring FileName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The version-3 folder of this architecture's printer-driver directory, with a backslash.
std::wstring DriverDirectory() {
    wchar_t folder[MAX_PATH] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, const_cast<LPWSTR>(kEnvironment), 1, reinterpret_cast<LPBYTE>(folder),
                                    sizeof(folder), &needed))
        return {};
    return std::wstring(folder) + L"\\3\\";
}

bool SameFile(const std::pair<std::wstring, std::wstring>& files) {
    const auto from = ReadFileBytes(files.first);
    const auto to = ReadFileBytes(files.second);
    return from && to && *from == *to;
}

// Whether the driver `name` is installed with `configModule`'s file as its ConfigFile.
bool InstalledAs(const std::wstring& name, const std::wstring& configModule) {
    DWORD needed = 0;
    EnumPrinterDriversW(nullptr, const_cast<LPWSTR>(kEnvironment), 2, nullptr, 0, &needed, &needed);
    std::vector<BYTE> buffer(needed);
    DWORD count = 0;
    if (needed == 0 ||
        !EnumPrinterDriversW(nullptr, const_cast<LPWSTR>(kEnvironment), 2, buffer.data(), needed, &needed, &count))
        return false;
    const auto* drivers = reinterpret_cast<const DRIVER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (drivers[i].pName != nullptr && name == drivers[i].pName && drivers[i].pConfigFile != nullptr &&
            _wcsicmp(FileName(drivers[i].pConfigFile).c_str(), FileName(configModule).c_str()) == 0)
            return true;
    }
    return false;
}

}  // namespace

bool InstallPackageDriver(std::wstring* error, std::wstring packageDir, std::wstring configModule) {
    if (packageDir.empty())
        packageDir = BuildPath(M450_PACKAGE_DIR);
    if (configModule.empty())
        configModule = BuildPath(M450_UICORE_PATH);
    PackageModel model;
    if (!ReadModel(packageDir + L"\\KVL-M450.inf", &model, error))
        return false;

    // Every file but the data file is a dependent file, with its full path in the package.
    std::wstring dependent;
    for (const std::wstring& file : model.files) {
        if (_wcsicmp(file.c_str(), model.dataFile.c_str()) != 0)
            dependent += packageDir + L"\\" + file + L'\0';
    }
    dependent += L'\0';
    std::wstring dataFile = packageDir + L"\\" + model.dataFile;

    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = model.name.data();
    driver.pEnvironment = const_cast<LPWSTR>(kEnvironment);
    // The universal driver's rendering DLL is Windows' own; the stand-in takes its place.
    driver.pDriverPath = configModule.data();
    driver.pDataFile = dataFile.data();
    driver.pConfigFile = configModule.data();
    driver.pDependentFiles = dependent.data();
    driver.pDefaultDataType = const_cast<LPWSTR>(L"RAW");
    // The spooler copies each file into the driver directory; a DLL that a process has loaded
    // from there cannot be replaced, so a driver already installed from these very files is
    // left as it is.
    std::vector<std::pair<std::wstring, std::wstring>> copies;  // from, to
    const std::wstring target = DriverDirectory();
    for (const wchar_t* file = dependent.c_str(); *file != 0; file += wcslen(file) + 1)
        copies.emplace_back(file, target + FileName(file));
    copies.emplace_back(dataFile, target + model.dataFile);
    copies.emplace_back(configModule, target + FileName(configModule));
    if (InstalledAs(model.name, configModule) && std::all_of(copies.begin(), copies.end(), SameFile))
        return true;
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&driver), APD_COPY_FROM_DIRECTORY)) {
        *error = ErrorText(L"AddPrinterDriverExW(" + model.name + L")", GetLastError());
        return false;
    }
    // Wine's spooler reports success whether or not a copy succeeded.
    for (const auto& copy : copies) {
        if (!SameFile(copy)) {
            *error = L"the spooler did not copy " + copy.first + L" to " + copy.second;
            return false;
        }
    }
    return true;
}

bool InstallFilePortPrinter(const std::wstring& name, const std::wstring& portPath, std::wstring* error) {
    if (!InstallPackageDriver(error))
        return false;
    HANDLE existing = nullptr;
    if (OpenPrinterW(const_cast<LPWSTR>(name.c_str()), &existing, nullptr)) {
        std::wstring driver;
        const std::wstring port = PrinterPort(existing, &driver);
        ClosePrinter(existing);
        if (_wcsicmp(port.c_str(), portPath.c_str()) == 0 && driver == kDriverName)
            return true;
        if (!DeletePrinterNamed(name)) {
            *error = ErrorText(L"DeletePrinter of the printer on port " + port, GetLastError());
            return false;
        }
    }

    PRINTER_INFO_2W info{};
    info.pPrinterName = const_cast<LPWSTR>(name.c_str());
    info.pPortName = const_cast<LPWSTR>(portPath.c_str());
    info.pDriverName = const_cast<LPWSTR>(kDriverName);
    info.pPrintProcessor = const_cast<LPWSTR>(L"WinPrint");
    info.pDatatype = const_cast<LPWSTR>(L"RAW");
    HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (added == nullptr) {
        if (GetLastError() == ERROR_PRINTER_ALREADY_EXISTS)
            return true;
        *error = ErrorText(L"AddPrinterW", GetLastError());
        return false;
    }
    ClosePrinter(added);
    return true;
}

bool FindInstalledDriverFiles(HANDLE printer, InstalledDriverFiles* files, std::wstring* error) {
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 3, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !GetPrinterDriverW(printer, nullptr, 3, buffer.data(), needed, &needed)) {
        *error = ErrorText(L"GetPrinterDriverW", GetLastError());
        return false;
    }
    const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
    files->dataFile = info->pDataFile != nullptr ? info->pDataFile : L"";
    files->configFile = info->pConfigFile != nullptr ? info->pConfigFile : L"";
    files->plugin.clear();
    for (const wchar_t* file = info->pDependentFiles; file != nullptr && *file != 0; file += wcslen(file) + 1) {
        const std::wstring path = file;
        if (path.size() < 4 || _wcsicmp(path.c_str() + path.size() - 4, L".ini") != 0)
            continue;
        wchar_t plugin[MAX_PATH] = {};
        GetPrivateProfileStringW(L"OEMFiles", L"OEMConfigFile1", L"", plugin, MAX_PATH, path.c_str());
        // A name, not a path: the plug-in is loaded from the driver directory, beside the .ini.
        if (plugin[0] != 0 && wcspbrk(plugin, L"\\/:") == nullptr) {
            files->plugin = FolderOf(path) + plugin;
            break;
        }
    }
    if (files->plugin.empty() || files->dataFile.empty()) {
        *error = L"the printer's driver names no plug-in .ini ([OEMFiles] OEMConfigFile1) or no data file";
        return false;
    }
    return true;
}

}  // namespace m450host
