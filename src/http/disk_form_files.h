#pragma once

#include "multipart_body.h"

namespace nimbrel {

// The files of an upload, read from disk.
class DiskFormFiles : public MultipartFiles {
public:
    std::optional<std::uint64_t> SizeOf(const std::string& path) override;
    std::unique_ptr<Reader> Open(const std::string& path) override;
};

}  // namespace nimbrel
