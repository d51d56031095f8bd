#pragma once
// The built files that the tests load: they stand beside the test program.

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

inline std::string BesideTests(const std::string& file) {
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string program(path, length);
    return program.substr(0, program.find_last_of("\\/") + 1) + file;
}

inline std::string PluginPath() { return BesideTests("Nimbrel's Plugin.dll"); }

inline std::wstring BesideTests(const wchar_t* file) {
    wchar_t path[MAX_PATH] = L"";
    std::wstring program(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return program.substr(0, program.find_last_of(L"\\/") + 1) + file;
}

// The station page the tests serve as the weather service's; empty when
// the fixture is missing.
inline std::string FixturePage() {
    std::ifstream file(NIMBREL_FIXTURES_DIR "/pages/weather_LFMN.html", std::ios::binary);
    std::stringstream page;
    page << file.rdbuf();
    return page.str();
}
