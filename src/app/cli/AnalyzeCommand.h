#pragma once

// `parvane analyze`: the installation analysis as its report text.

namespace parvane::cli {

// Prints the report; EXIT_DONE without findings, EXIT_NOT_DONE with findings.
int PrintAnalysis();

}  // namespace parvane::cli
