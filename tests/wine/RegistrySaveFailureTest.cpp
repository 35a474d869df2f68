// Changes to the catalogue when the prefix's registry file cannot be written. A read-only folder
// does not stop root, who runs the tests, so the process runs out of file descriptors instead.

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "catalogue/CatalogueLoading.h"
#include "catalogue/Registration.h"
#include "catalogue/StoreFixture.h"
#include "support/wine/TestPrefix.h"
#include "support/wine/WineTestMachine.h"

namespace parvane::test {
namespace {

// While it lives, no file can be opened.
class NoFreeFileDescriptors {
  public:
    NoFreeFileDescriptors() {
        getrlimit(RLIMIT_NOFILE, &saved);
        const int lowestFree = ::open("/dev/null", O_RDONLY);
        ::close(lowestFree);
        rlimit limited = saved;
        limited.rlim_cur = static_cast<rlim_t>(lowestFree);
        setrlimit(RLIMIT_NOFILE, &limited);
    }
    ~NoFreeFileDescriptors() { setrlimit(RLIMIT_NOFILE, &saved); }

  private:
    rlimit saved{};
};

using RegistrySaveFailure = StoreTest;

TEST_F(RegistrySaveFailure, RegistrationFailsAndLeavesTheRegistryFileAsItWas) {
    const std::filesystem::path systemReg = PrefixFolder(machine) / "system.reg";
    const std::string before = ReadHostFile(systemReg);
    CourseRecord course;
    course.guidText = OrderedGuidText(1);
    ui.ExpectError("Couldn't save the registry entry '" +
                   EntryPath(GAME_COURSES_KEY, course.guidText) +
                   "', return code=1013\nThe new entry was removed again.");
    {
        NoFreeFileDescriptors exhausted;
        EXPECT_FALSE(RegisterCourse(course));
    }
    EXPECT_EQ(ReadHostFile(systemReg), before);
    EXPECT_TRUE(GetInstalledCourses().empty());
    EXPECT_FALSE(EntryExists(GAME_COURSES_KEY, course.guidText));
}

// The stale cloaked entries are gone from the registry as the machine shows it, though not
// from the file: each is reported, and the entry after them is still loaded.
TEST_F(RegistrySaveFailure, StaleEntriesWhoseDeletionCannotBeSavedAreEachReported) {
    for (std::uint32_t n = 1; n <= 3; ++n) {
        AddCourse(CLOAK_COURSES_KEY, OrderedGuidText(n), "Cloaked");
        AddCourse(GAME_COURSES_KEY, OrderedGuidText(n < 3 ? n : 9), "Installed");
    }
    for (std::uint32_t n = 1; n <= 2; ++n)
        ui.ExpectError(Containing("course with ID=" + OrderedGuidText(n)));
    NoFreeFileDescriptors exhausted;
    ASSERT_TRUE(LoadCatalogue());
    ASSERT_EQ(GetCloakedCourses().size(), 1u);
    EXPECT_EQ(GetCloakedCourses()[0].guidText, OrderedGuidText(3));
}

}  // namespace
}  // namespace parvane::test
