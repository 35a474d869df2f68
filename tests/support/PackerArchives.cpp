#include "support/PackerArchives.h"

#include <functional>

#include "support/InstallFixture.h"

namespace parvane::test {

namespace {

// The package's files below its course folder, '/'-separated, with their bytes; â stands for
// itself (code page 1252 0xE2) in `courseName`.
std::vector<PlacedFile> PackageFiles(const std::string& courseName) {
    return {{courseName + ".tcr", CourseData(courseName, PACKED_COURSE_GUID)},
            {"flag.dds", "flag"},
            {courseName + ".ini", "ini"},
            {"hole2.mp3", "hole 2"},
            {"prv/theme.mp3", "theme"},
            {"prv/info.txt", "info"},
            {"prv/splash.dds", "splash"},
            {"prv/bird.wav", "bird"},
            {"sounds/bird.wav", "bird"},
            {"sounds/hole1.mp3", "hole 1"},
            {"sounds/snd.ini", "snd"}};
}

using NameSpelling = std::function<std::string(const std::string&)>;

// The 1252 name in UTF-8, with â composed or decomposed (a + combining circumflex).
std::string Utf8(const std::string& name, bool decomposed) {
    std::string text;
    for (char c : name) {
        if (c == '\xE2') {
            text += decomposed ? "a\xCC\x82" : "\xC3\xA2";
        } else {
            text += c;
        }
    }
    return text;
}

// Code page 437 has â at 0x83.
std::string Oem(const std::string& name) {
    std::string text = name;
    for (char& c : text) {
        if (c == '\xE2') {
            c = '\x83';
        }
    }
    return text;
}

std::vector<ZipFileEntry> Entries(const std::string& courseName, const NameSpelling& spell,
                                  const ZipFileEntry& traits) {
    std::vector<ZipFileEntry> entries;
    for (const PlacedFile& file : PackageFiles(courseName)) {
        ZipFileEntry entry = traits;
        entry.name = spell(courseName + "/" + file.path);
        entry.data = file.data;
        entries.push_back(entry);
    }
    return entries;
}

std::string NtfsTimes() {
    std::string times(4, '\0');                   // reserved
    times += std::string("\x01\x00\x18\x00", 4);  // tag 1: three times of 8 bytes
    times += std::string(24, '\x01');
    return std::string("\x0A\x00\x20\x00", 4) + times;
}

// Info-ZIP's extended timestamp and Unix owner fields.
std::string UnixExtras() {
    return std::string("UT\x05\x00\x01\x00\x00\x16\x6B", 9) +
           std::string("ux\x0B\x00\x01\x04\xE8\x03\x00\x00\x04\xE8\x03\x00\x00", 15);
}

ZipBytes Explorer(const std::string& course) {
    std::vector<ZipFileEntry> entries = {
        {Oem(course) + "/", ""}, {Oem(course) + "/prv/", ""}, {Oem(course) + "/sounds/", ""}};
    for (ZipFileEntry& entry : Entries(course, Oem, {})) {
        entries.push_back(entry);
    }
    entries.push_back({Oem(course) + "/Thumbs.db", "thumbnails"});
    entries.push_back({Oem(course) + "/prv/Thumbs.db", "other thumbnails"});
    return ZipArchiveBytes(entries);
}

ZipBytes Utf8Marking(const std::string& course) {
    const auto spell = [](const std::string& name) { return Utf8(name, false); };
    return ZipArchiveBytes(Entries(course, spell, {.flags = ZIP_UTF8_NAME, .extra = NtfsTimes()}));
}

ZipBytes MacOs(const std::string& course) {
    const auto spell = [](const std::string& name) { return Utf8(name, true); };
    const ZipFileEntry traits = {.flags = ZIP_UTF8_NAME | ZIP_DATA_DESCRIPTOR,
                                 .extra = UnixExtras(),
                                 .madeBy = ZIP_MADE_ON_UNIX};
    std::vector<ZipFileEntry> entries = Entries(course, spell, traits);
    for (const char* leftover : {"/.DS_Store", "/prv/.DS_Store", "/sounds/.DS_Store"}) {
        entries.push_back({spell(course + leftover), leftover, ZipMethod::Deflated, traits.flags});
    }
    for (const char* fork : {"/._", "/prv/._"}) {
        entries.push_back({spell("__MACOSX/" + course + fork + course + ".tcr"), "fork",
                           ZipMethod::Deflated, traits.flags});
    }
    entries.push_back({spell("__MACOSX/" + course + "/._flag.dds"), "fork"});
    return ZipArchiveBytes(entries);
}

// Info-ZIP stores names as the system spells them (UTF-8) without the UTF-8 flag, and names
// the same bytes in its Unicode Path extra field.
ZipBytes InfoZip(const std::string& course) {
    const ZipFileEntry traits = {.method = ZipMethod::Stored,
                                 .extra = UnixExtras(),
                                 .madeBy = ZIP_MADE_ON_UNIX,
                                 .externalAttributes = 0x81A40000};
    std::vector<ZipFileEntry> entries = Entries(
        course, [](const std::string& n) { return Utf8(n, false); }, traits);
    entries[1].method = ZipMethod::Deflated;
    ZipFileEntry link = traits;
    link.name = Utf8(course, false) + "/README";
    link.data = "prv/info.txt";
    link.externalAttributes = ZIP_UNIX_LINK;
    entries.push_back(link);
    for (ZipFileEntry& entry : entries) {
        entry.extra += UnicodePathExtra(entry.name, entry.name);
    }
    return ZipArchiveBytes(entries, {.comment = "Packed with Info-ZIP"});
}

ZipBytes Zip64(const std::string& course) {
    const auto spell = [](const std::string& name) { return Utf8(name, false); };
    return ZipArchiveBytes(Entries(course, spell, {.flags = ZIP_UTF8_NAME}), {.zip64 = true});
}

}  // namespace

std::vector<PackerArchive> PackerArchives() {
    const std::string chateau = "Ch\xE2teau";
    return {{"explorer", chateau, Explorer(chateau)},
            {"utf8", chateau, Utf8Marking(chateau)},
            {"macos", chateau, MacOs(chateau)},
            {"infozip", chateau, InfoZip(chateau)},
            {"zip64", chateau, Zip64(chateau)}};
}

std::vector<PlacedFile> PackedCourseFiles(const std::string& courseName) {
    std::vector<PlacedFile> placed;
    for (PlacedFile file : PackageFiles(courseName)) {
        const std::size_t slash = file.path.find('/');
        if (slash != std::string::npos) {
            file.path[slash] = '\\';
        }
        placed.push_back(file);
    }
    // Used twice: the prv music and text, the sounds' hole audio and settings file.
    placed.push_back({"theme.mp3", "theme"});
    placed.push_back({"info.txt", "info"});
    placed.push_back({"hole1.mp3", "hole 1"});
    placed.push_back({"snd.ini", "snd"});
    return placed;
}

}  // namespace parvane::test
