#include "shell/Html.h"

#include "base/Messages.h"
#include "base/PathText.h"
#include "base/ProgramFolder.h"
#include "platform/Machine.h"
#include "platform/RegistryKey.h"
#include "platform/RegistryText.h"

namespace parvane {

namespace {

// The handler path, the file type name and the command are each read through a buffer of 256
// bytes; the command line is run from one of 256.
constexpr std::uint32_t VALUE_CAPACITY = 256;
constexpr std::size_t MAX_COMMAND_LENGTH = 255;

std::string& CachedHtmlHandler() {
    static std::string handler;
    return handler;
}

std::string ReadDefaultValue(Hive hive, const std::string& subKey) {
    RegistryKey key;
    if (key.Open(hive, subKey) != ERR_SUCCESS) {
        return {};
    }
    std::string text;
    if (ReadTextValue(key.Handle(), "", VALUE_CAPACITY, text) != ERR_SUCCESS) {
        return {};
    }
    return text;
}

bool IsExistingFile(const std::string& path) {
    std::uint32_t attributes = 0;
    return TheMachine().GetAttributes(path, attributes) == ERR_SUCCESS &&
           (attributes & ATTR_DIRECTORY) == 0;
}

}  // namespace

std::string HandlerPathOfCommand(const std::string& command) {
    if (!command.empty() && command.front() == '"') {
        const std::size_t closingQuote = command.find('"', 1);
        if (closingQuote == std::string::npos) {
            return {};
        }
        return command.substr(1, closingQuote - 1);
    }
    return command.substr(0, command.find(' '));
}

std::string FindHtmlHandler() {
    std::string& handler = CachedHtmlHandler();
    if (!handler.empty()) {
        return handler;
    }
    const std::string fileType = ReadDefaultValue(Hive::ClassesRoot, ".htm");
    if (fileType.empty()) {
        return {};
    }
    handler = HandlerPathOfCommand(
        ReadDefaultValue(Hive::ClassesRoot, fileType + "\\Shell\\Open\\Command"));
    return handler;
}

void ForgetHtmlHandler() {
    CachedHtmlHandler().clear();
}

namespace {

enum class Launch { Started, Reported, NoHandler, HandlerFailed };

// What became of starting the browser on `document`: a missing document or a command too long
// to run has been reported here; the rest is left to the caller.
Launch LaunchHtmlFile(const std::string& document) {
    if (!IsExistingFile(document)) {
        ShowError("Couldn't open '%s': there is no such file.", document.c_str());
        return Launch::Reported;
    }
    const std::string handler = FindHtmlHandler();
    if (handler.empty()) {
        return Launch::NoHandler;
    }
    // Both paths are quoted: either may hold blanks ("C:\Program Files\...").
    const std::string command = "\"" + handler + "\" \"" + document + "\"";
    if (command.size() > MAX_COMMAND_LENGTH) {
        ShowError(
            "Couldn't open '%s': the command that starts the web browser would be longer "
            "than %d characters.",
            document.c_str(), static_cast<int>(MAX_COMMAND_LENGTH));
        return Launch::Reported;
    }
    return TheMachine().RunCommand(command) > 31 ? Launch::Started : Launch::HandlerFailed;
}

}  // namespace

bool OpenHtmlFile(const std::string& document) {
    return LaunchHtmlFile(document) == Launch::Started;
}

bool OpenHtmlDocument(const std::string& documentName) {
    const std::string folder = GetProgramFolder();
    return !folder.empty() && OpenHtmlFile(JoinPath(folder, documentName));
}

void ShowHelpContents() {
    const std::string folder = GetProgramFolder();
    if (folder.empty()) {
        return;
    }
    // The player asked for the page: unlike the report after an installation, a page that
    // does not come up is explained.
    const std::string page = JoinPath(folder, HELP_CONTENTS_DOCUMENT);
    switch (LaunchHtmlFile(page)) {
        case Launch::NoHandler:
            ShowError(
                "Couldn't open the help page '%s': no program is registered to open web pages "
                "(.htm files).",
                page.c_str());
            break;
        case Launch::HandlerFailed:
            ShowError("Couldn't open the help page '%s': the web browser '%s' did not start.",
                      page.c_str(), FindHtmlHandler().c_str());
            break;
        case Launch::Started:
        case Launch::Reported:
            break;
    }
}

void ShowMissingLibrariesReport(const std::string& path) {
    OpenHtmlFile(path);
}

}  // namespace parvane
