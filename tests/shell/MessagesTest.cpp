#include <gtest/gtest.h>

#include <string>

#include "base/Messages.h"
#include "support/ScriptedUserInterface.h"

namespace parvane {
namespace {

TEST(MessageBoxes, EachKindCarriesItsCaptionAndIconAndFormatsTheWholeText) {
    const std::string path(5000, 'p');
    ScriptedUserInterface ui;
    ui.ExpectInformation("3 files in 'C:\\x'");
    ui.ExpectWarning("disk full", 0);  // the box cannot be shown
    ui.ExpectError("Couldn't open '" + path + "'");

    EXPECT_EQ(ShowInformation("%d files in '%s'", 3, "C:\\x"), 1);
    EXPECT_EQ(ShowWarning("%s", "disk full"), 0);
    EXPECT_EQ(ShowError("Couldn't open '%s'", path.c_str()), 1);
}

}  // namespace
}  // namespace parvane
