#include "app/cli/HistoryCommand.h"

#include <iostream>
#include <vector>

#include "app/cli/PrefixSession.h"
#include "app/cli/TerminalUserInterface.h"
#include "base/StateFolder.h"
#include "journal/History.h"

namespace parvane::cli {

int PrintHistory() {
    std::vector<HistoryLine> lines;
    if (!ReadHistory(TheMachine(), lines)) {
        ShowTerminalError("The history in '" + TerminalText(StateFolder()) + "' cannot be read.");
        return EXIT_NOT_DONE;
    }
    for (const HistoryLine& line : lines) {
        std::cout << TerminalText(line.time + "  " + line.kind + "  " + line.name + "  " +
                                  line.guidText + "  " + line.archive + "  " + line.result)
                  << '\n';
    }
    std::cout.flush();
    return EXIT_DONE;
}

}  // namespace parvane::cli
