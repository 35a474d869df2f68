#include "archive/EntryFile.h"

#include <libdeflate.h>

#include <utility>

#include "base/DigestText.h"
#include "base/Messages.h"
#include "journal/FileDigests.h"
#include "platform/ErrorText.h"

namespace parvane {

EntryFile::EntryFile(std::unique_ptr<FileStream> openStream, const ZipEntryInfo& info,
                     std::string entryFileName, std::string entryOutputPath)
    : stream(std::move(openStream)),
      fileName(std::move(entryFileName)),
      outputPath(std::move(entryOutputPath)),
      declaredSize(info.uncompressedSize),
      declaredCrc(info.crc) {}

EntryFile::~EntryFile() {
    if (stream) {
        stream->Close();
    }
}

void EntryFile::Write(const char* bytes, std::size_t size) {
    if (writeFailed) {
        return;
    }
    crc = libdeflate_crc32(crc, bytes, size);
    if (stream->Write(bytes, size) != size) {
        writeFailed = true;
        writeError = stream->Error();
    }
}

void EntryFile::ShowWriteError() const {
    ShowError("Couldn't write target file '%s': %s", outputPath.c_str(),
              RuntimeErrorText(writeError).c_str());
}

void EntryFile::ShowReadError(int readResult) const {
    ShowError("Couldn't read compressed file '%s', return code=%d", fileName.c_str(), readResult);
}

bool EntryFile::Finish(const Sha1Digest& digest) {
    if (writeFailed) {
        ShowWriteError();
        return false;
    }
    if (readError != ZIPCODE_OK) {
        ShowReadError(readError);
        return false;
    }
    if (readEnd != ZIPCODE_OK) {
        ShowError("Couldn't close compressed file '%s', return code=%d", fileName.c_str(), readEnd);
        return false;
    }
    if (deliveredBytes != declaredSize) {
        ShowError(
            "Couldn't read compressed file '%s': its data ends after %llu of its %llu "
            "bytes.",
            fileName.c_str(), static_cast<unsigned long long>(deliveredBytes),
            static_cast<unsigned long long>(declaredSize));
        return false;
    }
    if (crc != declaredCrc) {
        ShowError("Couldn't close compressed file '%s', return code=%d", fileName.c_str(),
                  ZIPCODE_CRC_ERROR);
        return false;
    }
    const Win32Error closeError = stream->Close();
    stream.reset();
    if (closeError != ERR_SUCCESS) {
        ShowError("Couldn't close file '%s': %s", outputPath.c_str(),
                  RuntimeErrorText(closeError).c_str());
        return false;
    }
    RememberFileDigest(outputPath, deliveredBytes, Sha1DigestText(digest));
    return true;
}

}  // namespace parvane
