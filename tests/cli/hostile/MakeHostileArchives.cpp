// Writes the hostile archives that the terminal program's end-to-end test installs into FOLDER,
// and hostile.txt with a line for each: its file name, a part of the message that must refuse
// it, and the file size limit in KiB it is installed under (a small drive), if any. Each also
// holds a course that would install, so that only the refusal stops it.

#include <zlib.h>

#include <fstream>
#include <functional>
#include <vector>

#include "support/InstallFixture.h"

namespace {

using namespace parvane::test;

const ZipFileEntry COURSE = {"Hostile/Hostile.tcr", CourseData("Hostile", 77)};

// The course and a text file, damaged in its headers.
ZipBytes Damaged(ZipMethod method, const std::function<void(ZipBytes&)>& damage) {
    ZipBytes bytes = ZipArchiveBytes({COURSE, {"Hostile/readme.txt", "0123456789", method}});
    damage(bytes);
    return bytes;
}

// 2 GiB of zeros, deflated: a sync-flushed block of 1 MiB repeated (its matches reach back to
// zeros only) and an empty last block, stored as it stands and then declared deflated.
ZipBytes Bomb() {
    std::string zeros(1 << 20, '\0'), block(1 << 12, '\0'), deflated;
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    stream.next_in = reinterpret_cast<Bytef*>(zeros.data());
    stream.avail_in = 1 << 20;
    stream.next_out = reinterpret_cast<Bytef*>(block.data());
    stream.avail_out = 1 << 12;
    deflate(&stream, Z_SYNC_FLUSH);
    block.resize(stream.total_out);
    deflateEnd(&stream);
    const uLong blockCrc = crc32(0, reinterpret_cast<Bytef*>(zeros.data()), 1 << 20);
    uLong crc = 0;
    for (int i = 0; i < 2048; ++i) {
        deflated += block;
        crc = crc32_combine(crc, blockCrc, 1 << 20);
    }
    ZipBytes bytes = ZipArchiveBytes(
        {COURSE, {"Hostile/zeros.bin", deflated + std::string("\3\0", 2), ZipMethod::Stored}});
    PatchEntryMethod(bytes, 1, 8);
    PatchEntryCrc(bytes, 1, static_cast<std::uint32_t>(crc));
    PatchEntryUncompressedSize(bytes, 1, 1u << 31);
    return bytes;
}

// level1.zip holding level2.zip ... down to `levels`, which holds `bottom`.
ZipFileEntry Nested(int levels, const std::vector<ZipFileEntry>& bottom) {
    std::string nested = ZipText(bottom);
    for (int level = levels; level > 1; --level)
        nested = ZipText({{"level" + std::to_string(level) + ".zip", nested}});
    return {"level1.zip", nested};
}

struct Case {
    std::string file;
    std::string refusal;
    std::function<ZipBytes()> build;
    std::string limitKiB = {};
};

// An archive holding the course and one entry of this name.
Case Named(const char* file, const char* because, const std::string& name) {
    return {file, std::string("because ") + because, [=] {
                return ZipArchiveBytes({COURSE, {name, "x"}});
            }};
}

}  // namespace

int main(int argc, char** argv) {
    using Bytes = ZipBytes&;
    const std::vector<Case> cases = {
        Named("backslash.zip", "the name holds a backslash", "Hostile/..\\..\\Hostile.tcr"),
        Named("dotdot.zip", "a folder of the name is", "../../x.tcr"),
        Named("absolute.zip", "the name starts at the root", "/Windows/x.tcr"),
        Named("drive.zip", "the name holds a colon", "C:/x/y.tcr"),
        Named("device.zip", "the name is a device name", "Hostile/AUX"),
        Named("device-ext.zip", "the name is a device name", "Hostile/com1.tcr"),
        Named("stream.zip", "the name holds a colon", "Hostile/Hostile.tcr:evil"),
        Named("control.zip", "the name holds a control character", "Hostile/bell\a.txt"),
        {"encrypted.zip", "is encrypted",
         [] { return Damaged(ZipMethod::Stored, [](Bytes b) { PatchEntryFlags(b, 1, 1); }); }},
        {"method12.zip", "uses compression method 12",
         [] { return Damaged(ZipMethod::Stored, [](Bytes b) { PatchEntryMethod(b, 1, 12); }); }},
        {"crc.zip", "Couldn't close compressed file 'readme.txt', return code=-105",
         [] { return Damaged(ZipMethod::Deflated, [](Bytes b) { PatchEntryCrc(b, 1, 7); }); }},
        {"truncated.zip", "Couldn't get ZIP global info",
         [] { return Damaged(ZipMethod::Deflated, [](Bytes b) { b.resize(b.size() / 2); }); }},
        {"short.zip", "its data ends after 10 of its 20 bytes",
         [] {
             return Damaged(ZipMethod::Stored,
                            [](Bytes b) { PatchEntryUncompressedSize(b, 1, 20); });
         }},
        {"bomb.zip", "Couldn't write target file", Bomb, "16384"},
        {"nested.zip", "nested more than 7 levels deep",
         [] {
             return ZipArchiveBytes({COURSE, Nested(9, {{"x.txt", "x"}})});
         }},
        {"myzip-nested.zip", "lies inside more than 3 MyZip archives",
         [] { return ZipArchiveBytes({Nested(5, {COURSE})}); }},
        {"case.zip", "would both be written to the file",
         [] {
             return ZipArchiveBytes({COURSE, {"Other/HOSTILE.TCR", CourseData("Other", 78)}});
         }},
        {"self.zip", "would overwrite the archive",
         [] {
             return ZipArchiveBytes({COURSE, {"inner.zip", ZipText({{"inner.zip", "x"}})}});
         }},
    };
    std::ofstream list(std::string(argc > 1 ? argv[1] : ".") + "/hostile.txt");
    for (const Case& c : cases) {
        const ZipBytes bytes = c.build();
        std::ofstream(std::string(argc > 1 ? argv[1] : ".") + "/" + c.file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        list << c.file << '\t' << c.refusal << '\t' << c.limitKiB << '\n';
    }
    return list.flush() ? 0 : 1;
}
