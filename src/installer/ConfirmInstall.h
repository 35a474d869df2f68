#pragma once

namespace parvane {

// Shows what is about to be installed where (the install record's type and target folder)
// and asks whether to go on; true for Yes.
bool ConfirmInstall();

}  // namespace parvane
