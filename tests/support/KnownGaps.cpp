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
        gap = FindKnownGap(std::string(test.test_suite_name()) + "." + test.name());
        if (gap != nullptr) {
            results = std::make_unique<::testing::TestPartResultArray>();
            collector = std::make_unique<::testing::ScopedFakeTestPartResultReporter>(
                ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD,
                results.get());
        }
    }

    // Before the result is printed: listeners end in reverse order.
    void OnTestEnd(const ::testing::TestInfo&) override {
        if (gap == nullptr) {
            return;
        }
        collector.reset();
        int expected = 0;
        for (int i = 0; i < results->size(); ++i) {
            const ::testing::TestPartResult& part = results->GetTestPartResult(i);
            if (!part.failed()) {
                continue;
            }
            if (IsTheGapsFailure(part.message())) {
                ++expected;
            } else {
                ADD_FAILURE_AT(part.file_name() ? part.file_name() : "?", part.line_number())
                    << "not a failure of the known gap (" << gap->reason << "):\n"
                    << part.message();
            }
        }
        if (expected == 0) {
            ADD_FAILURE()
                << "known gap now passes: " << gap->reason
                << "\nRemove it from the backend's tests/support/<backend>/KnownGaps.cpp.";
        } else {
            std::printf("[ KNOWN GAP] %s\n             failed as expected %d times\n", gap->reason,
                        expected);
        }
        results.reset();
    }

  private:
    bool IsTheGapsFailure(const std::string& message) const {
        for (const std::string& text : gap->failures) {
            if (message.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    const KnownGap* gap = nullptr;
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
