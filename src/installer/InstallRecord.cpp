#include "installer/InstallRecord.h"

namespace parvane {

namespace {
InstallRecord installRecord;
}  // namespace

InstallRecord& TheInstallRecord() {
    return installRecord;
}

void ClearInstallRecord() {
    installRecord = InstallRecord{};
}

InstallRecord GetInstallRecord() {
    return installRecord;
}

}  // namespace parvane
