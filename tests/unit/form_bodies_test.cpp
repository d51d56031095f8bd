#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fake_multipart_files.h"
#include "http/form_body.h"
#include "http/multipart_body.h"

using namespace nimbrel;

namespace {

std::string FormBody(const FormFieldList& fields) {
    std::vector<char> block(FormBodyLength(fields) + 1, 0);
    WriteFormBody(fields, block.data());
    EXPECT_EQ(block.back(), 0);
    return std::string(block.data(), block.size() - 1);
}

TEST(FormBody, FieldsJoinedWithoutEscaping) {
    EXPECT_EQ(FormBody({}), "");
    EXPECT_EQ(FormBody({{"a", "1"}, {"b", "2"}}), "a=1&b=2");
    EXPECT_EQ(FormBody({{"k", ""}}), "k=");
    EXPECT_EQ(FormBody({{"q", "a b&c%"}}), "q=a b&c%");
}

const std::string kDelimiterLine = "----MULTI-PARTS-FORM-DATA-BOUNDARY\r\n";
const std::string kClosingLine = "----MULTI-PARTS-FORM-DATA-BOUNDARY--\r\n";
constexpr std::size_t kGuard = 4096;

// Lays the body out in a block followed by guard bytes that must stay untouched.
std::string Multipart(const FormFieldList& fields, FakeFiles& files) {
    std::optional<MultipartPlan> plan = PlanMultipartBody(fields, files);
    if (!plan) {
        ADD_FAILURE() << "refused";
        return "";
    }
    std::vector<char> block(plan->blockSize + kGuard, 0);
    std::memset(block.data() + plan->blockSize, 0x5A, kGuard);
    std::size_t length = WriteMultipartBody(fields, *plan, files, block.data());
    EXPECT_LT(length, plan->blockSize);
    for (std::size_t i = plan->blockSize; i < block.size(); ++i)
        if (block[i] != 0x5A) {
            ADD_FAILURE() << "written past the block at " << i - plan->blockSize;
            break;
        }
    return std::string(block.data(), length);
}

TEST(MultipartBody, EmptyFormIsTheClosingLineAlone) {
    FakeFiles files;
    std::string body = Multipart({}, files);
    EXPECT_EQ(body, kClosingLine);
    EXPECT_EQ(body.size(), 38u);
}

TEST(MultipartBody, TextField) {
    FakeFiles files;
    std::string body = Multipart({{"a", "b"}}, files);
    EXPECT_EQ(body, kDelimiterLine + "Content-Disposition: form-data; name=\"a\"\r\n\r\nb\r\n" + kClosingLine);
    EXPECT_EQ(body.size(), 121u);
}

TEST(MultipartBody, FileFieldsExistingEmptyAndMissing) {
    FakeFiles files;
    files.Add("C:\\data\\notes.txt", std::string("line\0two", 8));
    files.Add("empty.bin", "");
    std::string body = Multipart({{"doc", "C:\\data\\notes.txt", true},
                                  {"none", "empty.bin", true},
                                  {"gone", "missing.txt", true},
                                  {"t", "v"}},
                                 files);
    const std::string disposition = "Content-Disposition: form-data; name=\"";
    EXPECT_EQ(body, kDelimiterLine + disposition + "doc\"; filename=\"C:\\data\\notes.txt\"\r\n\r\n" +
                        std::string("line\0two", 8) + "\r\n" +
                        kDelimiterLine + disposition + "none\"; filename=\"empty.bin\"\r\n\r\n\r\n" +
                        kDelimiterLine + disposition + "gone\"; filename=\"missing.txt\"\r\n\r\n" +
                        kDelimiterLine + disposition + "t\"\r\n\r\nv\r\n" + kClosingLine);
}

TEST(MultipartBody, LargeFileIsReadWhole) {
    FakeFiles files;
    std::string bytes;
    for (int i = 0; i < 10000; ++i) bytes += static_cast<char>(i * 7);
    files.Add("big", bytes);
    std::string body = Multipart({{"f", "big", true}}, files);
    EXPECT_NE(body.find(bytes + "\r\n" + kClosingLine), std::string::npos);
}

TEST(MultipartBody, AFailedReadKeepsTheBytesReadSoFar) {
    FakeFiles files;
    files.Add("f", std::string(3000, 'x'));
    files.files["f"].failAfterReads = 2;
    std::string body = Multipart({{"f", "f", true}}, files);
    EXPECT_NE(body.find("\r\n\r\n" + std::string(2048, 'x') + "\r\n" + kClosingLine), std::string::npos);
}

TEST(MultipartBody, FileThatGrewIsCutAtTheContractedBlock) {
    FakeFiles files;
    files.files["f"] = {10, 10, std::string(5000, 'g')};
    std::string body = Multipart({{"f", "f", true}}, files);
    // One block is counted; the next arrives past the size and is dropped.
    EXPECT_NE(body.find("\r\n\r\n" + std::string(1024, 'g') + "\r\n" + kClosingLine), std::string::npos);
}

TEST(MultipartBody, FileThatGrewPastItsReserveNeverOverrunsTheBlock) {
    FakeFiles files;
    files.files["f"] = {0, 1000000, std::string(1000000, 'g')};
    files.files["late"] = {std::nullopt, 1000000, std::string(1000000, 'l')};
    std::string body = Multipart({{"f", "f", true}, {"late", "late", true}, {"t", "v"}}, files);
    EXPECT_EQ(body.substr(body.size() - 38), kClosingLine);
    EXPECT_NE(body.find("name=\"t\"\r\n\r\nv\r\n"), std::string::npos);
}

TEST(MultipartBody, RefusesFieldsBeyondTheirReserve) {
    FakeFiles files;
    EXPECT_TRUE(PlanMultipartBody({{"n", std::string(8110, 'v')}}, files));
    EXPECT_FALSE(PlanMultipartBody({{"n", std::string(8111, 'v')}}, files));
    EXPECT_FALSE(PlanMultipartBody({{"ok", "v"}, {std::string(9000, 'n'), ""}}, files));
    // A file header may take 4094 bytes: 92 of frame, the rest name and path.
    EXPECT_TRUE(PlanMultipartBody({{"n", std::string(4001, 'p'), true}}, files));
    EXPECT_FALSE(PlanMultipartBody({{"n", std::string(4002, 'p'), true}}, files));
}

TEST(MultipartBody, FullTextFieldsStillLeaveRoomForTheClosingLine) {
    FakeFiles files;
    std::string body = Multipart({{"n", std::string(8110, 'v')}, {"m", std::string(8110, 'w')}}, files);
    EXPECT_EQ(body.size(), 2 * 8192 + 38u);
}

}  // namespace
