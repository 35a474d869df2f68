// The command-line tokenizer: it ends on any text, and a token is never empty and never holds
// a double quote.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/CommandLine.h"

using namespace parvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ArgumentScan scan{std::string(reinterpret_cast<const char*>(data), size)};
    std::size_t tokens = 0;
    while (const auto token = NextArgumentToken(scan)) {
        if (token->empty() || token->find('"') != std::string::npos || ++tokens > size) {
            std::abort();
        }
    }
    CommandLineArguments(scan.text);
    return 0;
}
