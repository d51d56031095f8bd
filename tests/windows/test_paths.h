#pragma once
// The built files that the tests load: they stand beside the test program.

#include <windows.h>

#include <string>

inline std::string BesideTests(const std::string& file) {
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string program(path, length);
    return program.substr(0, program.find_last_of("\\/") + 1) + file;
}

inline std::string PluginPath() { return BesideTests("Nimbrel's Plugin.dll"); }
