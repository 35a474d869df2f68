// Writes into FOLDER the course package as each common packer packs it (NAME.zip), what must
// land in the course's folder (expected/NAME/..., named as a Wine prefix names files: UTF-8),
// and packers.txt with a line for each: the archive's file name and its course folder's name.

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/wine/text/Codepage.h"
#include "support/PackerArchives.h"

namespace {

using namespace parvane::test;

bool Write(const std::filesystem::path& path, const std::string& data) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file.write(data.data(), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(file.flush());
}

std::filesystem::path HostPath(const std::string& windowsPath) {
    std::string host = parvane::wine::Cp1252ToUtf8(windowsPath);
    std::replace(host.begin(), host.end(), '\\', '/');
    return host;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::ofstream list(folder / "packers.txt");
    bool written = true;
    for (const PackerArchive& archive : PackerArchives()) {
        written &= Write(folder / (archive.name + ".zip"),
                         std::string(archive.bytes.begin(), archive.bytes.end()));
        for (const PlacedFile& file : PackedCourseFiles(archive.courseName)) {
            written &= Write(folder / "expected" / archive.name / HostPath(file.path), file.data);
        }
        list << archive.name << ".zip\t" << parvane::wine::Cp1252ToUtf8(archive.courseName) << "\n";
    }
    return written && list.flush() ? 0 : 1;
}
