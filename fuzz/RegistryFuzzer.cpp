// Wine's registry text: whatever the parser accepts, the writer's text reads back to a hive
// that is written again to the very same text. (Text that Wine itself wrote comes back byte
// for byte, which the tests check; odd text, such as a key written twice, comes back in the
// form Wine would give it.)

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/wine/registry/RegistryParser.h"
#include "platform/wine/registry/RegistryWriter.h"

using namespace parvane::wine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    HiveTree hive;
    ParseError error;
    if (!ParseHive(std::string(reinterpret_cast<const char*>(data), size), hive, error)) {
        return 0;
    }
    const std::string written = FormatHive(hive);
    HiveTree again;
    if (!ParseHive(written, again, error)) {
        std::fprintf(stderr, "the written text does not read back: line %zu, %s\n", error.line,
                     error.reason.c_str());
        std::abort();
    }
    if (FormatHive(again) != written) {
        std::fprintf(stderr, "the written text reads back to another hive\n");
        std::abort();
    }
    return 0;
}
