#include "multipart_body.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace nimbrel {

namespace {

const std::string kDelimiter = std::string("--") + kMultipartBoundary + "\r\n";
const std::string kClosingLine = std::string("--") + kMultipartBoundary + "--\r\n";

std::string TextPart(const FormField& field) {
    return kDelimiter + "Content-Disposition: form-data; name=\"" + field.name + "\"\r\n\r\n" +
           field.value + "\r\n";
}

std::string FileHeader(const FormField& field) {
    return kDelimiter + "Content-Disposition: form-data; name=\"" + field.name + "\"; filename=\"" +
           field.value + "\"\r\n\r\n";
}

// A file part's header must leave room for its closing CR LF and for
// reading up to two blocks past the size taken before the read.
constexpr std::size_t kFileHeaderLimit = kFileFieldSlack - 2 - 2 * kFileReadBlock;

char* Put(char* out, const std::string& text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

}  // namespace

std::optional<MultipartPlan> PlanMultipartBody(const FormFieldList& fields, MultipartFiles& files) {
    constexpr std::uint64_t kMostBytes = std::numeric_limits<std::size_t>::max() / 2;
    MultipartPlan plan;
    std::uint64_t total = 0;
    for (const FormField& field : fields) {
        std::uint64_t reserve;
        if (!field.isFile) {
            if (TextPart(field).size() > kTextFieldReserve) return std::nullopt;
            reserve = kTextFieldReserve;
        } else {
            if (FileHeader(field).size() > kFileHeaderLimit) return std::nullopt;
            std::optional<std::uint64_t> size = files.SizeOf(field.value);
            reserve = size ? *size + kFileFieldSlack : kMissingFileReserve;
        }
        total += reserve;
        if (reserve > kMostBytes || total > kMostBytes) return std::nullopt;
        plan.reserves.push_back(static_cast<std::size_t>(reserve));
    }
    plan.blockSize = static_cast<std::size_t>(total) + kClosingLine.size() + 1;
    return plan;
}

std::size_t WriteMultipartBody(const FormFieldList& fields, const MultipartPlan& plan,
                               MultipartFiles& files, char* block) {
    std::size_t offset = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FormField& field = fields[i];
        char* part = block + offset;
        if (!field.isFile) {
            offset += Put(part, TextPart(field)) - part;
            continue;
        }
        char* data = Put(part, FileHeader(field));
        std::unique_ptr<MultipartFiles::Reader> reader = files.Open(field.value);
        if (!reader) {
            offset += data - part;   // header alone: no bytes, no line break
            continue;
        }
        const std::uint64_t size = reader->Size();
        const std::size_t room = plan.reserves[i] - (data - part) - 2;   // keeps the CR LF inside the reserve
        std::size_t count = 0;
        while (count < room) {
            std::uint32_t want = static_cast<std::uint32_t>(std::min(kFileReadBlock, room - count));
            std::uint32_t got = 0;
            if (!reader->Read(data + count, want, got) || got == 0) break;
            if (count > size) break;   // the file grew; this block is not counted
            count += got;
        }
        // Bytes of an uncounted block may lie past the count; the line break
        // and the next part overwrite them.
        char* end = Put(data + count, "\r\n");
        offset += end - part;
    }
    offset += Put(block + offset, kClosingLine) - (block + offset);
    return offset;
}

}  // namespace nimbrel
