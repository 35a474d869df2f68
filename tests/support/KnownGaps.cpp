#include "support/KnownGaps.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace parvane::test {

namespace {

// Collects the failures of a listed test and turns them into its result.
class KnownGapListener : public ::testing::EmptyTestEventListener {
  public:
    void OnTestStart(const ::testing::TestInfo& test) override {
        reason = KnownGapReason(std::string(test.test_suite_name()) + "." + test.name());
        if (reason != nullptr) {
            results = std::make_unique<::testing::TestPartResultArray>();
            collector = std::make_unique<::testing::ScopedFakeTestPartResultReporter>(
                ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD,
                results.get());
        }
    }

    // Before the result is printed: listeners end in reverse order.
    void OnTestEnd(const ::testing::TestInfo&) override {
        if (reason == nullptr) {
            return;
        }
        collector.reset();
        const ::testing::TestPartResult* failure = nullptr;
        for (int i = results->size() - 1; i >= 0; --i) {
            if (results->GetTestPartResult(i).failed()) {
                failure = &results->GetTestPartResult(i);
            }
        }
        if (failure == nullptr) {
            ADD_FAILURE()
                << "known gap now passes: " << reason
                << "\nRemove it from the backend's tests/support/<backend>/KnownGaps.cpp.";
        } else {
            std::printf("[ KNOWN GAP] %s\n             failed as expected, first at %s:%d\n",
                        reason, failure->file_name() ? failure->file_name() : "?",
                        failure->line_number());
        }
        results.reset();
    }

  private:
    const char* reason = nullptr;
    std::unique_ptr<::testing::TestPartResultArray> results;
    std::unique_ptr<::testing::ScopedFakeTestPartResultReporter> collector;
};

}  // namespace

}  // namespace parvane::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new parvane::test::KnownGapListener);
    return RUN_ALL_TESTS();
}
