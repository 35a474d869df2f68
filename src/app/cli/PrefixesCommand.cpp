#include "app/cli/PrefixesCommand.h"

#include <iostream>

#include "app/cli/GamePrefixes.h"
#include "app/cli/JsonDocuments.h"
#include "app/cli/PrefixSession.h"

namespace parvane::cli {

int ListGamePrefixes(bool asJson) {
    const std::vector<GamePrefix> found = FindGamePrefixes();
    if (asJson) {
        PrintDocument(PrefixesDocument(found));
    } else {
        for (const GamePrefix& prefix : found) {
            std::cout << PrefixLine(prefix) << '\n';
        }
    }
    if (found.empty()) {
        std::cerr << "No Wine prefix on this system holds Greenvale 06." << std::endl;
        return EXIT_NOT_DONE;
    }
    return EXIT_DONE;
}

}  // namespace parvane::cli
