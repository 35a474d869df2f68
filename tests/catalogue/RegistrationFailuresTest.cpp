#include <gtest/gtest.h>

#include <string>

#include "StoreFixture.h"
#include "catalogue/CatalogueLoading.h"
#include "catalogue/Registration.h"
#include "support/FaultInjectingMachine.h"

namespace parvane::test {
namespace {

const std::string kGuid = OrderedGuidText(1);

std::string SaveFailed(const char* store, Win32Error code) {
    return "Couldn't save the registry entry '" + EntryPath(store, kGuid) +
           "', return code=" + std::to_string(code);
}

// Every close of the entry key fails, as a registry file that cannot be written makes it.
Fault EntryCloseFails() {
    return {.call = MachineCall::CloseKey, .count = EVERY_CALL, .pathPart = kGuid};
}

using RegistrationFailures = StoreTest;

TEST_F(RegistrationFailures, ChangesToAnExistingEntryThatCannotBeSavedAreReportedAsFailed) {
    AddNamed(GAME_COURSES_KEY, kGuid, "Old");
    ASSERT_TRUE(LoadCatalogue());
    FaultInjectingMachine faults;
    faults.Inject(EntryCloseFails());
    ui.ExpectError(SaveFailed(GAME_COURSES_KEY, ERR_GEN_FAILURE));
    CourseRecord course;
    course.guidText = kGuid;
    EXPECT_FALSE(RegisterCourse(course));
    EXPECT_TRUE(EntryExists(GAME_COURSES_KEY, kGuid));
    ASSERT_EQ(GetInstalledCourses().size(), 1u);

    faults.Inject({.call = MachineCall::DeleteKey, .error = ERR_CANTWRITE});
    ui.ExpectError(SaveFailed(GAME_COURSES_KEY, ERR_CANTWRITE));
    EXPECT_FALSE(UnregisterCourse(GetInstalledCourses()[0]));
}

}  // namespace
}  // namespace parvane::test
