#pragma once
// The multipart/form-data body of a form upload: one part per field, text
// fields with their value, file fields with the bytes of the file, then the
// closing delimiter. The body is laid out in one block sized beforehand
// from a fixed reserve per field.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "http_types.h"

namespace nimbrel {

inline constexpr char kMultipartBoundary[] = "--MULTI-PARTS-FORM-DATA-BOUNDARY";
inline constexpr char kMultipartContentTypeHeader[] =
    "Content-Type: multipart/form-data; boundary=--MULTI-PARTS-FORM-DATA-BOUNDARY\r\n";

inline constexpr std::size_t kTextFieldReserve = 8192;
inline constexpr std::size_t kFileFieldSlack = 6144;        // beyond the file's size
inline constexpr std::size_t kMissingFileReserve = 6143;
inline constexpr std::size_t kFileReadBlock = 1024;

// The files of a form as the body sees them.
class MultipartFiles {
public:
    class Reader {
    public:
        virtual ~Reader() = default;
        virtual std::uint64_t Size() = 0;
        // Reads up to count bytes; false when the read failed.
        virtual bool Read(char* into, std::uint32_t count, std::uint32_t& got) = 0;
    };

    virtual ~MultipartFiles() = default;
    // The size of the file, opened for that alone; none when it cannot be opened.
    virtual std::optional<std::uint64_t> SizeOf(const std::string& path) = 0;
    // The file opened for reading; null when it cannot be opened.
    virtual std::unique_ptr<Reader> Open(const std::string& path) = 0;
};

struct MultipartPlan {
    std::vector<std::size_t> reserves;   // one per field, in order
    std::size_t blockSize = 0;           // every reserve, the closing line and a zero byte
};

// Sizes the block. None when a field cannot fit its reserve: a text field
// whose name and value exceed 8111 bytes together, or a file field whose
// header leaves no room for two read blocks past the file's size.
std::optional<MultipartPlan> PlanMultipartBody(const FormFieldList& fields, MultipartFiles& files);

// Writes the body into a zero-filled block of plan.blockSize bytes and
// returns its length. A file is read in 1024-byte blocks straight into the
// body and never past its part's reserve, even if it grew since planned.
std::size_t WriteMultipartBody(const FormFieldList& fields, const MultipartPlan& plan,
                               MultipartFiles& files, char* block);

}  // namespace nimbrel
