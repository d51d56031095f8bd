// Form bodies: the url-encoded body fills exactly its announced length; a
// multipart body is planned without overflow, written only inside its
// block, each part inside its reserve, and its announced length is every
// byte it wrote: the fields in order, each file a prefix of its bytes
// (the whole file when it did not change), then the closing line. Files
// may shrink, grow, vanish, appear or fail between planning and writing.
//
// Input: read as fields and files through FuzzedDataProvider.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "fake_multipart_files.h"
#include "fuzz_check.h"
#include "http/form_body.h"
#include "http/multipart_body.h"

using namespace nimbrel;

namespace {

// Blocks past this are planned but not written.
constexpr std::size_t kLargestBlock = 8 << 20;

const std::string kDelimiter = std::string("--") + kMultipartBoundary + "\r\n";
const std::string kClosingLine = std::string("--") + kMultipartBoundary + "--\r\n";

// A text of up to a few hundred bytes, repeated to up to 40 times that,
// so that fields pass their reserves now and then.
std::string SomeText(FuzzedDataProvider& input) {
    const std::string piece = input.ConsumeRandomLengthString(256);
    const int times = input.ConsumeIntegralInRange(1, 40);
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

std::uint64_t SomeSize(FuzzedDataProvider& input, std::uint64_t actual) {
    switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0: return actual;
        case 1: return input.ConsumeIntegralInRange<std::uint64_t>(0, 20000);
        case 2: return input.ConsumeIntegral<std::uint64_t>();
        default: return actual / 2;
    }
}

void AddFile(FuzzedDataProvider& input, const std::string& path, FakeFiles& files) {
    FakeFiles::File file;
    // No CR in a file, so that its part ends at the first CR LF after it.
    file.bytes = SomeText(input);
    for (char& c : file.bytes)
        if (c == '\r') c = '\n';
    if (input.ConsumeBool()) file.plannedSize = SomeSize(input, file.bytes.size());
    file.openedSize = SomeSize(input, file.bytes.size());
    file.failAfterReads = input.ConsumeIntegralInRange(-1, 12);
    file.opens = input.ConsumeBool();
    files.files[path] = file;
}

bool Unchanged(const FakeFiles::File& file) {
    return file.plannedSize == file.bytes.size() && file.openedSize == file.bytes.size() &&
           file.failAfterReads < 0 && file.opens;
}

void CheckFormBody(const FormFieldList& fields) {
    const std::size_t length = FormBodyLength(fields);
    // Exactly the size the session allocates, so that a write past it is an ASan report.
    auto block = std::make_unique<char[]>(length + 1);
    std::memset(block.get(), 0, length + 1);
    WriteFormBody(fields, block.get());
    std::string expected;
    for (std::size_t i = 0; i < fields.size(); ++i)
        expected += (i ? "&" : "") + fields[i].name + "=" + fields[i].value;
    FUZZ_CHECK(std::string(block.get(), length) == expected);
    FUZZ_CHECK(block[length] == '\0');
}

std::string WrittenBody(const FormFieldList& fields, const MultipartPlan& plan, FakeFiles& files, char fill) {
    auto block = std::make_unique<char[]>(plan.blockSize);
    std::memset(block.get(), fill, plan.blockSize);
    const std::size_t length = WriteMultipartBody(fields, plan, files, block.get());
    FUZZ_CHECK(length < plan.blockSize);
    return std::string(block.get(), length);
}

void CheckMultipartLayout(const FormFieldList& fields, const MultipartPlan& plan, const FakeFiles& files,
                          const std::string& body) {
    std::size_t at = 0;
    auto expect = [&](const std::string& text) {
        FUZZ_CHECK(body.compare(at, text.size(), text) == 0);
        at += text.size();
    };
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FormField& field = fields[i];
        const std::size_t partStart = at;
        expect(kDelimiter + "Content-Disposition: form-data; name=\"" + field.name + "\"");
        if (!field.isFile) {
            expect("\r\n\r\n" + field.value + "\r\n");
        } else {
            expect("; filename=\"" + field.value + "\"\r\n\r\n");
            const auto file = files.files.find(field.value);
            if (file != files.files.end() && file->second.opens) {
                const std::size_t end = body.find("\r\n", at);
                FUZZ_CHECK(end != std::string::npos);
                const std::string read = body.substr(at, end - at);
                FUZZ_CHECK(file->second.bytes.compare(0, read.size(), read) == 0);
                if (Unchanged(file->second)) FUZZ_CHECK(read == file->second.bytes);
                at = end + 2;
            }
        }
        FUZZ_CHECK(at - partStart <= plan.reserves[i]);
    }
    expect(kClosingLine);
    FUZZ_CHECK(at == body.size());
}

void CheckMultipartBody(const FormFieldList& fields, FakeFiles& files) {
    const std::optional<MultipartPlan> plan = PlanMultipartBody(fields, files);
    if (!plan) {
        // Only a field too long for its reserve, or files too large to address.
        bool longField = false;
        unsigned __int128 plannedBytes = 0;
        for (const FormField& field : fields) {
            longField = longField || field.name.size() + field.value.size() > 4000;
            const auto file = files.files.find(field.value);
            if (field.isFile && file != files.files.end() && file->second.plannedSize)
                plannedBytes += *file->second.plannedSize;
        }
        FUZZ_CHECK(longField || plannedBytes > (std::uint64_t{1} << 62));
        return;
    }
    FUZZ_CHECK(plan->reserves.size() == fields.size());
    unsigned __int128 total = kClosingLine.size() + 1;
    for (const std::size_t reserve : plan->reserves) total += reserve;
    FUZZ_CHECK(total == plan->blockSize);
    if (plan->blockSize > kLargestBlock) return;

    // Written twice, over zeros and over other bytes: every byte of the
    // announced length is the body's own.
    const std::string body = WrittenBody(fields, *plan, files, '\0');
    FUZZ_CHECK(WrittenBody(fields, *plan, files, '\xA5') == body);
    CheckMultipartLayout(fields, *plan, files, body);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    FormFieldList fields(input.ConsumeIntegralInRange(0, 6));
    FakeFiles files;
    for (FormField& field : fields) {
        field.name = SomeText(input);
        field.value = SomeText(input);
        field.isFile = input.ConsumeBool();
        if (field.isFile && input.ConsumeBool()) AddFile(input, field.value, files);
    }
    CheckFormBody(fields);
    CheckMultipartBody(fields, files);
    return 0;
}
