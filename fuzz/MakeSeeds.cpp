// Writes the seed inputs of the fuzz targets (fuzz/corpus/<target>/), built with the tests'
// own builders of course files, library files and archives. Run it again after changing the
// builders: `cmake --build build --target parvane-fuzz-seeds && build/fuzz/parvane-fuzz-seeds
// fuzz/corpus`.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/ContentFiles.h"
#include "support/ZipFiles.h"

using namespace parvane;
using namespace parvane::test;

namespace {

std::filesystem::path corpus;

void Write(const std::string& target, const std::string& name, const std::string& bytes) {
    const std::filesystem::path folder = corpus / target;
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

std::string Text(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

const CourseFileContent COURSE{
    TestGuid(1), "Pine Valley", {TestGuid(2), TestGuid(3)}, {"Trees", "Houses"}};
const LibraryFileContent LIBRARY{TestGuid(2), "Trees"};

void WriteHeaderSeeds() {
    Write("HeaderFuzzer", "course.tcr", Text(CourseFileBytes(COURSE)));
    Write("HeaderFuzzer", "library.tcl", Text(LibraryFileBytes(LIBRARY)));
}

void WriteArchiveSeeds() {
    const std::string course = Text(CourseFileBytes(COURSE));
    const std::string library = Text(LibraryFileBytes(LIBRARY));
    const ZipBytes package = ZipArchiveBytes({
        {"Pine/pine.tcr", course},
        {"Pine/trees.tcl", library, ZipMethod::Stored},
        {"Pine/flag.dds", "flag"},
        {"Pine/hole1.mp3", "hole"},
        {"Pine/prv/tree.dds", "preview"},
        {"Pine/sounds/birds.wav", "birds"},
        {"Pine/readme.txt", "Play it."},
    });
    Write("ArchiveFuzzer", "course.zip", Text(package));
    Write("ArchiveFuzzer", "nested.zip",
          Text(ZipArchiveBytes(
              {{"inner.zip", Text(package), ZipMethod::Stored}, {"more.tcl", library}})));
    Write("ArchiveFuzzer", "libraries.zip",
          Text(ZipArchiveBytes(
              {{"a.tcl", library}, {"b.tcl", Text(LibraryFileBytes({TestGuid(4), "Houses"}))}})));
}

void WriteTextSeeds() {
    Write(
        "PropertiesFuzzer", "defaults.properties",
        "AskForFlag = 0\nAskForFlagFolder = c:\\\n# a comment\nTargetFolder = C:\\Games\\Greenvale "
        "06\nWarnOnOverwriteFile = 1\n  # not a comment = 2\nOdd=a=b\n");
    Write(
        "TokenizerFuzzer", "command-line.txt",
        "\"C:\\Program Files\\Parvane\\Parvane.exe\"  C:\\a.zip \"D:\\My Files\\b.tcx\" x\"y z\"");
    Write("RegistryFuzzer", "system.reg",
          "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
          "[Software\\\\Wow6432Node\\\\Quorlix\\\\Greenvale 06] 1796544118\n#time=1dd8558110cd050\n"
          "\"Install Dir\"=\"C:\\\\Games\\\\Greenvale 06\"\n\n"
          "[Software\\\\Wow6432Node\\\\Quorlix\\\\Greenvale 06\\\\Courses\\\\{01}] 1796544118\n"
          "#time=1dd8558110cd050\n#class=\"Parvane\"\n\"Flag\"=hex(1):\n\"Name\"=\"Caf\\xe9\"\n"
          "\"Bin\"=hex:00,11,22,\\\n  33\n\"Dw\"=dword:12345678\n\"Multi\"=str(7):\"a\\0b\\0\"\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: parvane-fuzz-seeds CORPUS-FOLDER\n");
        return 2;
    }
    corpus = argv[1];
    WriteHeaderSeeds();
    WriteArchiveSeeds();
    WriteTextSeeds();
    return 0;
}
