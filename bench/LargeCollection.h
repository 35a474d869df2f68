#pragma once

// A large collection written straight into a test prefix, as the game and the cloaking tool
// leave one: COURSES courses, each in a folder of its own with the five libraries it uses, nine
// in ten installed and one in ten cloaked, each with its registry entry and its content files.

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

inline constexpr int LIBRARIES_PER_COURSE = 5;
inline constexpr const char* INSTALL_DIR = "C:\\Games\\Greenvale 06";

inline std::string GuidTextOf(std::uint32_t n) {
    return GuidToText(test::TestGuid(n));
}

inline std::string CourseFolderName(int course) {
    char name[16];
    std::snprintf(name, sizeof name, "C%05d", course);
    return name;
}

inline std::string LibraryFileName(int course, int slot) {
    return CourseFolderName(course) + "_L" + std::to_string(slot) + ".tcl";
}

// Library n of the whole collection belongs to course n / 5.
inline std::uint32_t LibraryNumber(int course, int slot) {
    return static_cast<std::uint32_t>(course * LIBRARIES_PER_COURSE + slot);
}

// GUID numbers: courses from 1,000,000 on, libraries from 0.
inline std::uint32_t CourseNumber(int course) {
    return 1000000u + static_cast<std::uint32_t>(course);
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

// Course `course` in a folder of its own below `courses` with its five libraries; its entries
// go into `registry`.
inline void WriteCourse(const std::filesystem::path& courses, int course, std::string& registry) {
    const bool cloaked = course % 10 == 0;
    const std::string courseStore =
        cloaked ? "Hydrel06\\\\Courses\\\\" : "Quorlix\\\\Greenvale 06\\\\Courses\\\\";
    const std::string libraryStore =
        cloaked ? "Hydrel06\\\\Libraries\\\\" : "Quorlix\\\\Greenvale 06\\\\Libraries\\\\";
    const std::string name = CourseFolderName(course);
    const std::filesystem::path hostFolder = courses / name;
    std::filesystem::create_directories(hostFolder);
    const std::string windowsFolder = std::string(INSTALL_DIR) + "\\Courses\\" + name;

    test::CourseFileContent content;
    content.guid = test::TestGuid(CourseNumber(course));
    content.name = name;
    for (int slot = 0; slot < LIBRARIES_PER_COURSE; ++slot) {
        const std::uint32_t number = LibraryNumber(course, slot);
        const std::string fileName = LibraryFileName(course, slot);
        content.libraryGuids.push_back(test::TestGuid(number));
        content.libraryNames.push_back(fileName);
        WriteBytes(hostFolder / fileName,
                   test::LibraryFileBytes({test::TestGuid(number), fileName}));
        AppendKey(registry, libraryStore + GuidTextOf(number),
                  {{"Name", fileName}, {"Filename", Escaped(windowsFolder + "\\" + fileName)}});
    }
    WriteBytes(hostFolder / (name + ".tcr"), test::CourseFileBytes(content));
    const std::string windowsCourse = Escaped(windowsFolder + "\\" + name + ".tcr");
    AppendKey(registry, courseStore + GuidTextOf(CourseNumber(course)),
              {{"Name", name},
               {"Filename", windowsCourse},
               {"Audio", Escaped(windowsFolder + "\\")},
               {"Music", Escaped(windowsFolder + "\\music.mp3")},
               {"Picture", Escaped(windowsFolder + "\\picture.jpg")},
               {"Text", Escaped(windowsFolder + "\\text.txt")},
               {"Flag", Escaped(windowsFolder + "\\flag.dds")},
               {"Logo", Escaped(windowsFolder + "\\logo.dds")}});
}

// The game and the cloaking tool registered, and `courses` courses with their libraries.
inline void WriteLargeCollection(const test::TestPrefix& prefix, int courses) {
    std::string registry;
    AppendKey(registry, "Quorlix\\\\Greenvale 06", {{"Install Dir", Escaped(INSTALL_DIR)}});
    AppendKey(registry, "Quorlix\\\\Greenvale 06\\\\Courses", {});
    AppendKey(registry, "Quorlix\\\\Greenvale 06\\\\Libraries", {});
    AppendKey(registry, "Hydrel06\\\\Courses", {});
    AppendKey(registry, "Hydrel06\\\\Libraries", {});
    const std::filesystem::path folder = prefix.DriveC() / "Games" / "Greenvale 06" / "Courses";
    for (int course = 0; course < courses; ++course) {
        WriteCourse(folder, course, registry);
    }
    std::ofstream(prefix.Folder() / "system.reg", std::ios::app) << registry;
}

}  // namespace parvane::bench
