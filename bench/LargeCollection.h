#pragma once

// A large collection written straight into a test prefix, as the game and the cloaking tool
// leave one, in the layouts players keep: courses one to a folder, libraries 500 to a folder,
// or both (one course to five libraries). Nine in ten entries are installed and one in ten
// cloaked, each with its registry entry and its content file, all under the game's folder.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/Guid.h"
#include "support/ContentFiles.h"
#include "support/wine/TestPrefix.h"

namespace parvane::bench {

// 10,000 courses and 50,000 libraries make a collection of 60,000 entries.
enum class Layout { CoursesOneToAFolder, LibrariesFiveHundredToAFolder, Collection };

inline constexpr int LIBRARIES_PER_FOLDER = 500;
inline constexpr int LIBRARIES_PER_COURSE = 5;
inline constexpr const char* INSTALL_DIR = "C:\\Games\\Greenvale 06";

inline std::string GuidTextOf(std::uint32_t n) {
    return GuidToText(test::TestGuid(n));
}

inline std::string Numbered(const char* format, int n) {
    char name[32];
    std::snprintf(name, sizeof name, format, n);
    return name;
}

// GUID numbers: courses from 1,000,000 on, libraries from 0.
inline std::uint32_t CourseNumber(int course) {
    return 1000000u + static_cast<std::uint32_t>(course);
}

inline std::uint32_t LibraryNumber(int library) {
    return static_cast<std::uint32_t>(library);
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

// A key block as Wine writes it in system.reg, in the 32-bit view of a 64-bit prefix.
inline void AppendKey(std::string& text, const std::string& path,
                      const std::vector<std::pair<std::string, std::string>>& values) {
    text += "[Software\\\\Wow6432Node\\\\" + path + "] 1796543990\n#time=1dd8557c507cb1a\n";
    for (const auto& [name, value] : values) {
        text += "\"" + name + "\"=\"" + value + "\"\n";
    }
    text += "\n";
}

// Backslashes doubled, as inside a quoted registry string.
inline std::string Escaped(const std::string& windowsPath) {
    std::string escaped;
    for (char c : windowsPath) {
        escaped += c;
        if (c == '\\') {
            escaped += '\\';
        }
    }
    return escaped;
}

// One entry in ten is cloaked.
inline std::string StoreKey(int entry, const char* kind) {
    const bool cloaked = entry % 10 == 0;
    return std::string(cloaked ? "Hydrel06\\\\" : "Quorlix\\\\Greenvale 06\\\\") + kind + "\\\\";
}

// Course n in the folder Cnnnnn of its own, using libraries 5n to 5n + 4.
inline void WriteCourse(const std::filesystem::path& courses, int course, std::string& registry) {
    const std::string name = Numbered("C%05d", course);
    const std::filesystem::path hostFolder = courses / name;
    std::filesystem::create_directories(hostFolder);
    const std::string windowsFolder = std::string(INSTALL_DIR) + "\\Courses\\" + name;

    test::CourseFileContent content;
    content.guid = test::TestGuid(CourseNumber(course));
    content.name = name;
    for (int slot = 0; slot < LIBRARIES_PER_COURSE; ++slot) {
        const int library = course * LIBRARIES_PER_COURSE + slot;
        content.libraryGuids.push_back(test::TestGuid(LibraryNumber(library)));
        content.libraryNames.push_back(Numbered("L%06d.tcl", library));
    }
    WriteBytes(hostFolder / (name + ".tcr"), test::CourseFileBytes(content));
    AppendKey(registry, StoreKey(course, "Courses") + GuidTextOf(CourseNumber(course)),
              {{"Name", name},
               {"Filename", Escaped(windowsFolder + "\\" + name + ".tcr")},
               {"Audio", Escaped(windowsFolder + "\\")},
               {"Music", Escaped(windowsFolder + "\\music.mp3")},
               {"Picture", Escaped(windowsFolder + "\\picture.jpg")},
               {"Text", Escaped(windowsFolder + "\\text.txt")},
               {"Flag", Escaped(windowsFolder + "\\flag.dds")},
               {"Logo", Escaped(windowsFolder + "\\logo.dds")}});
}

// Library n in the folder Pnnn with the 499 others of its pack.
inline void WriteLibrary(const std::filesystem::path& libraries, int library,
                         std::string& registry) {
    const std::string folder = Numbered("P%03d", library / LIBRARIES_PER_FOLDER);
    const std::string fileName = Numbered("L%06d.tcl", library);
    const std::filesystem::path hostFolder = libraries / folder;
    if (library % LIBRARIES_PER_FOLDER == 0) {
        std::filesystem::create_directories(hostFolder);
    }
    const GUID guid = test::TestGuid(LibraryNumber(library));
    WriteBytes(hostFolder / fileName, test::LibraryFileBytes({guid, fileName}));
    const std::string windowsFile =
        std::string(INSTALL_DIR) + "\\Libraries\\" + folder + "\\" + fileName;
    AppendKey(registry, StoreKey(library, "Libraries") + GuidTextOf(LibraryNumber(library)),
              {{"Name", fileName}, {"Filename", Escaped(windowsFile)}});
}

// The game and the cloaking tool registered, and `entries` courses and libraries laid out as
// `layout` says.
inline void WriteLargeCollection(const test::TestPrefix& prefix, Layout layout, int entries) {
    std::string registry;
    AppendKey(registry, "Quorlix\\\\Greenvale 06", {{"Install Dir", Escaped(INSTALL_DIR)}});
    AppendKey(registry, "Quorlix\\\\Greenvale 06\\\\Courses", {});
    AppendKey(registry, "Quorlix\\\\Greenvale 06\\\\Libraries", {});
    AppendKey(registry, "Hydrel06\\\\Courses", {});
    AppendKey(registry, "Hydrel06\\\\Libraries", {});
    const std::filesystem::path game = prefix.DriveC() / "Games" / "Greenvale 06";
    const int courses = layout == Layout::CoursesOneToAFolder ? entries
                        : layout == Layout::Collection        ? entries / (1 + LIBRARIES_PER_COURSE)
                                                              : 0;
    for (int course = 0; course < courses; ++course) {
        WriteCourse(game / "Courses", course, registry);
    }
    for (int library = 0; library < entries - courses; ++library) {
        WriteLibrary(game / "Libraries", library, registry);
    }
    std::ofstream(prefix.Folder() / "system.reg", std::ios::app) << registry;
}

}  // namespace parvane::bench
