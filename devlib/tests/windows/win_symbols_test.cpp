// SPDX-License-Identifier: LGPL-2.1-or-later
// TAVO_32.DLL's export table holds the 20 calls under their plain names
// and nothing else, and a caller that binds them by name gets the library's
// own, fresh state.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "frame_export_table.h"

namespace {

class LoadedDll {
  public:
    LoadedDll() : module_(LoadLibraryA("TAVO_32.DLL")) {}
    ~LoadedDll() {
        if (module_) FreeLibrary(module_);
    }
    HMODULE get() const { return module_; }

  private:
    HMODULE module_;
};

// The names in the loaded image's export directory.
std::set<std::string> exportedNames(HMODULE module, DWORD* functionCount) {
    const auto* base = reinterpret_cast<const uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* dir = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + dir->AddressOfNames);
    std::set<std::string> result;
    for (DWORD i = 0; i < dir->NumberOfNames; ++i) {
        result.insert(reinterpret_cast<const char*>(base + names[i]));
    }
    *functionCount = dir->NumberOfFunctions;
    return result;
}

TEST(WinSymbols, DllExportsTheTwentyCallsAndTheExtensionsByPlainName) {
    LoadedDll dll;
    ASSERT_NE(dll.get(), nullptr) << GetLastError();
    std::set<std::string> expected;
    for (const auto& row : tavo::frametest::exportRows()) {
        expected.insert(row.name);
        EXPECT_NE(GetProcAddress(dll.get(), row.name), nullptr) << row.name;
    }
    ASSERT_EQ(expected.size(), 20u);
    for (const std::string& name : tavo::frametest::extensionNames()) {
        expected.insert(name);
        EXPECT_NE(GetProcAddress(dll.get(), name.c_str()), nullptr) << name;
    }
    DWORD functions = 0;
    EXPECT_EQ(exportedNames(dll.get(), &functions), expected);
    EXPECT_EQ(functions, expected.size());  // no exports by ordinal only
}

TEST(WinSymbols, CallsBoundByNameRunOnTheChosenBackend) {
    const char* saved = std::getenv("TAVO32_BACKEND");
    const std::string restore = saved ? saved : "";
    _putenv_s("TAVO32_BACKEND", "driver:\\\\.\\TVODevNotInstalled");
    {
        LoadedDll dll;
        ASSERT_NE(dll.get(), nullptr) << GetLastError();
        using ReadCount = int32_t(__stdcall*)(int32_t, int32_t);
        auto readCount = reinterpret_cast<ReadCount>(
            reinterpret_cast<void*>(GetProcAddress(dll.get(), "Leer_Cuenta32")));
        ASSERT_NE(readCount, nullptr);
        EXPECT_EQ(readCount(0x378, 0), -2);
        _putenv_s("TAVO32_BACKEND", "none");
        EXPECT_EQ(readCount(0x378, 0), -2);  // still the driver path chosen first
    }
    _putenv_s("TAVO32_BACKEND", restore.c_str());
}

}  // namespace
