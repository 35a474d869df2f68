#pragma once

// The records of the catalogue: one registered course, one registered library, one detected
// product.

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/Guid.h"

namespace parvane {

// A course file names at most this many libraries; a course that names more is refused.
inline constexpr int MAX_REFERENCED_LIBRARIES = 40;

struct CourseRecord {
    // The course folder may be deleted on uninstall (IsRemovableLocation on `filename`).
    bool removable = false;
    // The load found the file `filename`; false also when it did not look.
    bool fileFound = false;
    // The registry key name, spelled exactly as the registry spells it.
    std::string guidText;
    // Registry values, in the alphabetical order of their names.
    std::string audio;     // "Audio": folder of hole1.mp3 to hole18.mp3
    std::string filename;  // "Filename": full path of the .tcr file
    std::string flag;      // "Flag"
    std::string logo;      // "Logo"
    std::string music;     // "Music"
    std::string name;      // "Name": display name
    std::string picture;   // "Picture"
    std::string text;      // "Text"
    // Files found in an installation package; empty in loaded records.
    std::string iniFile;
    std::string soundIniFile;    // "snd.ini"
    std::string stationeryFile;  // .stn
    std::string caddyBookFile;   // .tcn
    // The libraries the course file references, slot by slot: the names it gives (the slots
    // past them have none, see LibraryNameInSlot), and the GUIDs it gives (the slots past them
    // are zero, see LibraryGuidInSlot). Only the slots given are held: tens of thousands of
    // courses are loaded at once.
    std::vector<std::string> libraryNames;
    std::vector<GUID> libraryGuids;
    int libraryCount = 0;  // the slots of libraryGuids
};

// The library name the course file gives in `slot`; empty past the last name it gives.
inline std::string_view LibraryNameInSlot(const CourseRecord& course, int slot) {
    return slot >= 0 && static_cast<std::size_t>(slot) < course.libraryNames.size()
               ? std::string_view(course.libraryNames[static_cast<std::size_t>(slot)])
               : std::string_view();
}

// The library GUID the course file gives in `slot`; zero past the last GUID it gives.
inline GUID LibraryGuidInSlot(const CourseRecord& course, int slot) {
    return slot >= 0 && static_cast<std::size_t>(slot) < course.libraryGuids.size()
               ? course.libraryGuids[static_cast<std::size_t>(slot)]
               : GUID{};
}

struct LibraryRecord {
    // Set only in the package records of an installation, for a library not to be copied.
    bool skip = false;
    bool removable = false;
    // The load found the file `filename`; false also when it did not look.
    bool fileFound = false;
    // The name and GUID stored in the .tcl file's header; courses reference libraries by these.
    std::string headerName;
    GUID guid;
    // The registry key name, in upper case.
    std::string guidText;
    std::string filename;  // "Filename": full path of the .tcl file
    std::string name;      // "Name": display name
};

inline constexpr int GAME_KIND_GAME = 1;
inline constexpr int GAME_KIND_CLOAK_TOOL = 2;

// One product found on the machine by game detection.
struct GameEntry {
    int kind = 0;  // GAME_KIND_GAME or GAME_KIND_CLOAK_TOOL
};

}  // namespace parvane
