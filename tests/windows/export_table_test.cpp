// The built DLL as the host's loader sees it.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "common/win32_handles.h"
#include "pe_image.h"
#include "test_paths.h"

using nimbrel::UniqueModule;

namespace {

const std::set<std::string> kExports = {"Configure",    "DisplayToast", "DisplayToastW", "Initialize", "ParseCommand",
                                        "ParseTag",     "PublishInfo",  "ReceiveNotify", "Uninitialize"};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

PeImage ReadPlugin() {
    PeImage image;
    std::string error;
    EXPECT_TRUE(ReadPeImage(PluginPath(), image, error)) << error;
    return image;
}

TEST(ExportTable, NineUndecoratedNamesUnderTheModuleName) {
    PeImage image = ReadPlugin();
    EXPECT_EQ(image.machine, 0x14C);  // i386
    EXPECT_EQ(image.exportModuleName, "Nimbrel's Plugin.dll");
    EXPECT_EQ(image.exportNames.size(), 9u);
    EXPECT_EQ(std::set<std::string>(image.exportNames.begin(), image.exportNames.end()), kExports);
}

TEST(ExportTable, ImportsOnlySystemLibraries) {
    const std::set<std::string> system = {"kernel32.dll", "user32.dll",  "advapi32.dll", "wininet.dll",
                                          "ole32.dll",    "oleaut32.dll", "msvcrt.dll"};
    PeImage image = ReadPlugin();
    EXPECT_FALSE(image.importedLibraries.empty());
    for (const std::string& library : image.importedLibraries)
        EXPECT_TRUE(system.count(Lower(library))) << "imports " << library;
}

TEST(ExportTable, EveryExportResolvesByItsPlainName) {
    UniqueModule plugin(LoadLibraryA(PluginPath().c_str()));
    ASSERT_TRUE(plugin) << "error " << GetLastError();
    for (const std::string& name : kExports)
        EXPECT_NE(reinterpret_cast<void*>(GetProcAddress(plugin.get(), name.c_str())), nullptr) << name;
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(plugin.get(), "ParseCommand@16")), nullptr);
}

}  // namespace
