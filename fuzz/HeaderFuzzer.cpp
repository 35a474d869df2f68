// The decoding of course and library file headers, on any bytes.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "catalogue/HeaderDecoding.h"

using namespace parvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    NameAndGuid header;
    if (DecodeNameAndGuid(bytes, header) && header.name.size() > 58) {
        std::abort();
    }
    ReferencedGuids guids;
    if (DecodeReferencedLibraryGuids(bytes, guids) &&
        (guids.count < 0 || guids.count > MAX_REFERENCED_LIBRARIES)) {
        std::abort();
    }
    ReferencedNames names;
    if (DecodeReferencedLibraryNames(bytes, names)) {
        for (const std::string& name : names.names) {
            if (name.size() > MAX_NAME_LENGTH) {
                std::abort();
            }
        }
    }
    return 0;
}
