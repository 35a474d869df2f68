// Writes the hostile archives that the terminal program's end-to-end test installs, and the
// list hostile.txt with a line for each: its file name, a part of the message that must refuse
// it, and the file size limit in KiB (the small drive it is installed on), or nothing. Every
// archive also holds a course that would install, so that only the refusal stops it.
//   parvane-hostile-archives FOLDER

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "support/InstallFixture.h"
#include "support/ZipFiles.h"

namespace {

using namespace parvane::test;

constexpr std::uint64_t BOMB_SIZE = std::uint64_t{1} << 31;

const ZipFileEntry COURSE = {"Hostile/Hostile.tcr", CourseData("Hostile", 77)};

ZipBytes WithEntry(const std::string& name) {
    return ZipArchiveBytes({COURSE, {name, "x"}});
}

// The course and a text file, damaged in its headers.
ZipBytes Damaged(ZipMethod method, const std::function<void(ZipBytes&)>& damage) {
    ZipBytes bytes = ZipArchiveBytes({COURSE, {"Hostile/readme.txt", "0123456789", method}});
    damage(bytes);
    return bytes;
}

// BOMB_SIZE zero bytes as one raw deflate stream: a sync-flushed block of 1 MiB repeated (its
// matches reach back to zeros only), then an empty final block.
std::string ZerosDeflated(std::uint32_t& crc) {
    const std::string block(std::size_t{1} << 20, '\0');
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string chunk(deflateBound(&stream, block.size()) + 16, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.data()));
    stream.avail_in = static_cast<uInt>(block.size());
    stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
    stream.avail_out = static_cast<uInt>(chunk.size());
    deflate(&stream, Z_SYNC_FLUSH);
    chunk.resize(stream.total_out);
    deflateEnd(&stream);
    const uLong blockCrc =
        crc32(0, reinterpret_cast<const Bytef*>(block.data()), static_cast<uInt>(block.size()));
    std::string deflated;
    uLong whole = 0;
    for (std::uint64_t done = 0; done < BOMB_SIZE; done += block.size()) {
        deflated += chunk;
        whole = crc32_combine(whole, blockCrc, static_cast<z_off_t>(block.size()));
    }
    crc = static_cast<std::uint32_t>(whole);
    return deflated + std::string("\x03\x00", 2);
}

// The deflate stream stored as it stands, then declared deflated with its true size and CRC.
ZipBytes Bomb() {
    std::uint32_t crc = 0;
    ZipBytes bytes =
        ZipArchiveBytes({COURSE, {"Hostile/zeros.bin", ZerosDeflated(crc), ZipMethod::Stored}});
    PatchEntryMethod(bytes, 1, 8);
    PatchEntryCrc(bytes, 1, crc);
    PatchEntryUncompressedSize(bytes, 1, static_cast<std::uint32_t>(BOMB_SIZE));
    return bytes;
}

// Level 1 holds level 2 ... down to `levels`, which holds `bottom`.
std::string Nested(int levels, const std::vector<ZipFileEntry>& bottom) {
    std::string nested = ZipText(bottom);
    for (int level = levels; level > 1; --level)
        nested = ZipText({{"level" + std::to_string(level) + ".zip", nested}});
    return nested;
}

struct Case {
    const char* file;
    const char* refusal;
    std::function<ZipBytes()> build;
    const char* limitKiB = "";
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const std::vector<Case> cases = {
        {"backslash.zip", "because the name holds a backslash",
         [] { return WithEntry("Hostile/..\\..\\Hostile.tcr"); }},
        {"dotdot.zip", "because a folder of the name is", [] { return WithEntry("../../x.tcr"); }},
        {"absolute.zip", "because the name starts at the root of a drive",
         [] { return WithEntry("/Windows/x.tcr"); }},
        {"drive.zip", "because the name holds a colon", [] { return WithEntry("C:/x/y.tcr"); }},
        {"device.zip", "because the name is a device name",
         [] { return WithEntry("Hostile/AUX"); }},
        {"device-ext.zip", "because the name is a device name",
         [] { return WithEntry("Hostile/com1.tcr"); }},
        {"stream.zip", "because the name holds a colon",
         [] { return WithEntry("Hostile/Hostile.tcr:evil"); }},
        {"control.zip", "because the name holds a control character",
         [] { return WithEntry("Hostile/bell\a.txt"); }},
        {"encrypted.zip", "is encrypted, which is not supported",
         [] { return Damaged(ZipMethod::Stored, [](ZipBytes& b) { PatchEntryFlags(b, 1, 1); }); }},
        {"method12.zip", "uses compression method 12, which is not supported",
         [] {
             return Damaged(ZipMethod::Stored, [](ZipBytes& b) { PatchEntryMethod(b, 1, 12); });
         }},
        {"crc.zip", "Couldn't close compressed file 'readme.txt', return code=-105",
         [] { return Damaged(ZipMethod::Deflated, [](ZipBytes& b) { PatchEntryCrc(b, 1, 7); }); }},
        {"truncated.zip", "Couldn't get ZIP global info",
         [] { return Damaged(ZipMethod::Deflated, [](ZipBytes& b) { b.resize(b.size() / 2); }); }},
        {"short.zip", "its data ends after 10 of its 20 bytes",
         [] {
             return Damaged(ZipMethod::Stored,
                            [](ZipBytes& b) { PatchEntryUncompressedSize(b, 1, 20); });
         }},
        {"bomb.zip", "Couldn't write target file", Bomb, "16384"},
        {"nested.zip", "nested more than 7 levels deep",
         [] {
             return ZipArchiveBytes({COURSE, {"level1.zip", Nested(9, {{"x.txt", "x"}})}});
         }},
        {"myzip-nested.zip", "lies inside more than 3 MyZip archives",
         [] {
             return ZipArchiveBytes({{"level1.zip", Nested(5, {COURSE})}});
         }},
        {"case.zip", "would both be written to the file",
         [] {
             return ZipArchiveBytes({COURSE, {"Hostile/Notes.txt", "a"}, {"NOTES.TXT", "b"}});
         }},
        {"self.zip", "would overwrite the archive",
         [] {
             return ZipArchiveBytes({COURSE, {"inner.zip", ZipText({{"inner.zip", "x"}})}});
         }},
    };
    std::ofstream list(folder + "/hostile.txt");
    for (const Case& c : cases) {
        const ZipBytes bytes = c.build();
        std::ofstream(folder + "/" + c.file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        list << c.file << '\t' << c.refusal << '\t' << c.limitKiB << '\n';
    }
    return list.flush() ? 0 : 1;
}
