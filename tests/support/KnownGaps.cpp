#include "support/KnownGaps.h"

namespace parvane::test {

std::string CurrentTestName() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info == nullptr ? std::string()
                           : std::string(info->test_suite_name()) + "." + info->name();
}

}  // namespace parvane::test
