// The properties file: any text reads without fault, and what is written from the entries
// read gives the same entries again.

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "properties/PropertyFileFormat.h"

using namespace parvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<int> refusedLines;
    const std::vector<PropertyEntry> entries = ParsePropertyText(text, refusedLines);
    for (const PropertyEntry& entry : entries) {
        if (entry.key.size() > MAX_PROPERTY_KEY_LENGTH ||
            entry.value.size() > MAX_PROPERTY_VALUE_LENGTH) {
            std::abort();
        }
    }
    std::vector<int> refusedAgain;
    if (ParsePropertyText(FormatPropertyText(entries), refusedAgain) != entries ||
        !refusedAgain.empty()) {
        std::abort();
    }
    return 0;
}
