#pragma once
// A fresh folder of the test's own under the temporary folder, removed with
// all it holds at the end. A fixed name would be shared with the runs of
// other users and other checkouts on the same machine.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

class TempFolder {
public:
    explicit TempFolder(const std::string& prefix) : path_(testing::TempDir() + prefix + ".XXXXXX") {
        if (!mkdtemp(path_.data())) throw std::runtime_error("cannot make a folder like " + path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};
