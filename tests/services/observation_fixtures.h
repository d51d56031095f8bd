#pragma once
// The decoded observation files of tests/fixtures/observations.

#include <fstream>
#include <sstream>
#include <string>

inline std::string FixtureObservation(const std::string& code) {
    std::ifstream file(std::string(NIMBREL_FIXTURES_DIR) + "/observations/" + code + ".TXT", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}
