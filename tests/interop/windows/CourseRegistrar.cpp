// Registers one course through the Win32 backend, as the program does after installing it, for
// the interoperability tests that compare it with a registration by the Wine backend:
//   parvane-course-registrar <GUID text> <Name> <Filename> <Flag> <Logo> <Audio> <Music>
//                            <Picture> <Text>

#include <cstdio>
#include <memory>
#include <string>

#include "catalogue/Registration.h"
#include "platform/UserInterface.h"
#include "platform/win32/Win32Machine.h"

namespace {

// Messages go to the error stream; there is nobody to answer questions.
class ErrorStreamInterface final : public parvane::UserInterface {
  public:
    int ShowMessageBox(const std::string& text, const std::string&, std::uint32_t) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        return parvane::ANSWER_OK;
    }
    bool OpenFile(const parvane::OpenFileRequest&, std::string&, std::uint32_t&) override {
        return false;
    }
    bool BrowseForFolder(const std::string&, std::string&) override { return false; }
    std::intptr_t RunDialog(int, parvane::DialogProcedure&) override { return -1; }
};

}  // namespace

int main(int argc, char** argv) {
    using namespace parvane;
    if (argc != 10) {
        std::fprintf(stderr,
                     "usage: parvane-course-registrar <GUID text> <Name> <Filename> <Flag> "
                     "<Logo> <Audio> <Music> <Picture> <Text>\n");
        return 2;
    }
    const std::unique_ptr<Machine> machine = win32::MakeWin32Machine();
    ErrorStreamInterface userInterface;
    SetMachine(machine.get());
    SetUserInterface(&userInterface);
    CourseRecord course;
    course.guidText = argv[1];
    course.name = argv[2];
    course.filename = argv[3];
    course.flag = argv[4];
    course.logo = argv[5];
    course.audio = argv[6];
    course.music = argv[7];
    course.picture = argv[8];
    course.text = argv[9];
    const bool registered = RegisterCourse(course);
    SetMachine(nullptr);
    return registered ? 0 : 1;
}
