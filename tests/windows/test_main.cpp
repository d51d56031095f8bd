// The Windows tests' main. GoogleTest's own printer also hands every
// failure to OutputDebugStringA, which brings the whole program down under
// Wine on the 32-bit emulator, so one failed check would hide every later
// test. This printer passes every event on except failures, which it prints
// to standard output only.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

class PrinterWithoutDebugOutput : public ::testing::EmptyTestEventListener {
public:
    explicit PrinterWithoutDebugOutput(::testing::TestEventListener* printer) : printer_(printer) {}

    void OnTestProgramStart(const ::testing::UnitTest& u) override { printer_->OnTestProgramStart(u); }
    void OnTestIterationStart(const ::testing::UnitTest& u, int i) override { printer_->OnTestIterationStart(u, i); }
    void OnEnvironmentsSetUpStart(const ::testing::UnitTest& u) override { printer_->OnEnvironmentsSetUpStart(u); }
    void OnEnvironmentsSetUpEnd(const ::testing::UnitTest& u) override { printer_->OnEnvironmentsSetUpEnd(u); }
    void OnTestSuiteStart(const ::testing::TestSuite& s) override { printer_->OnTestSuiteStart(s); }
    void OnTestStart(const ::testing::TestInfo& t) override { printer_->OnTestStart(t); }
    void OnTestPartResult(const ::testing::TestPartResult& result) override {
        if (result.type() == ::testing::TestPartResult::kSuccess) return;
        std::printf("%s:%d: %s\n%s\n", result.file_name() ? result.file_name() : "unknown file",
                    result.line_number(), result.skipped() ? "Skipped" : "Failure", result.message());
        std::fflush(stdout);
    }
    void OnTestEnd(const ::testing::TestInfo& t) override { printer_->OnTestEnd(t); }
    void OnTestSuiteEnd(const ::testing::TestSuite& s) override { printer_->OnTestSuiteEnd(s); }
    void OnEnvironmentsTearDownStart(const ::testing::UnitTest& u) override { printer_->OnEnvironmentsTearDownStart(u); }
    void OnEnvironmentsTearDownEnd(const ::testing::UnitTest& u) override { printer_->OnEnvironmentsTearDownEnd(u); }
    void OnTestIterationEnd(const ::testing::UnitTest& u, int i) override { printer_->OnTestIterationEnd(u, i); }
    void OnTestProgramEnd(const ::testing::UnitTest& u) override { printer_->OnTestProgramEnd(u); }

private:
    std::unique_ptr<::testing::TestEventListener> printer_;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::TestEventListeners& listeners = ::testing::UnitTest::GetInstance()->listeners();
    listeners.Append(new PrinterWithoutDebugOutput(listeners.Release(listeners.default_result_printer())));
    return RUN_ALL_TESTS();
}
