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

// KLXV's observation, made another station's.
inline std::string ObservationOf(const std::string& code) {
    std::string text = FixtureObservation("KLXV");
    for (std::size_t at; (at = text.find("KLXV")) != std::string::npos;) text.replace(at, 4, code);
    return text;
}
