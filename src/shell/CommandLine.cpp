#include "shell/CommandLine.h"

#include "base/PathText.h"
#include "platform/AsciiCase.h"
#include "platform/Machine.h"
#include "shell/FileNameList.h"

namespace parvane {

namespace {

std::uint32_t AttributesOf(const std::string& path) {
    std::uint32_t attributes = ATTR_INVALID;
    TheMachine().GetAttributes(path, attributes);
    return attributes;
}

// Both sides in their long, absolute forms: the program may have been started, or named, by a
// relative or a short (8.3) path.
bool IsTheProgramItself(const std::string& path) {
    std::string modulePath;
    std::string fullModulePath;
    std::string fullPath;
    return TheMachine().ModulePath(modulePath) == ERR_SUCCESS &&
           TheMachine().FullPathName(modulePath, fullModulePath) == ERR_SUCCESS &&
           TheMachine().FullPathName(path, fullPath) == ERR_SUCCESS &&
           EqualsNoCase(fullPath, fullModulePath);
}

// The open dialog's selection of several files: the folder, then each name, NUL-separated. A
// drive's root folder comes with its backslash (C:\), which is not doubled.
bool QueueSelectedFiles(const std::string& selection, std::size_t folderEnd) {
    std::string folder = selection.substr(0, folderEnd);
    if (folder.ends_with('\\')) {
        folder.pop_back();
    }
    std::size_t start = folderEnd + 1;
    while (start < selection.size()) {
        const std::size_t end = std::min(selection.find('\0', start), selection.size());
        if (end == start) {
            break;
        }
        if (!AddFileName(JoinPath(folder, selection.substr(start, end - start)))) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

bool QueueArguments(std::string_view arguments) {
    ArgumentScan scan{std::string(arguments)};
    while (const std::optional<std::string> token = NextArgumentToken(scan)) {
        std::string longPath;
        const bool expanded = TheMachine().LongPathName(*token, longPath) == ERR_SUCCESS;
        // A path that does not exist is queued as given: its installation reports it.
        if (!AddFileName(expanded ? longPath : *token)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<std::string> NextArgumentToken(ArgumentScan& scan) {
    std::string token;
    bool quoted = false;
    const std::string& text = scan.text;
    while (scan.position < text.size()) {
        const char c = text[scan.position++];
        const bool endsToken = (c == ' ' && !quoted) || (c == '"' && quoted);
        if (endsToken) {
            if (!token.empty()) {
                return token;
            }
            quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else {
            token += c;
        }
    }
    if (token.empty()) {
        return std::nullopt;
    }
    return token;
}

std::string_view CommandLineArguments(std::string_view commandLine) {
    std::size_t position = 0;
    if (!commandLine.empty() && commandLine.front() == '"') {
        const std::size_t closing = commandLine.find('"', 1);
        position = closing == std::string_view::npos ? commandLine.size() : closing + 1;
    } else {
        position = std::min(commandLine.find(' '), commandLine.size());
    }
    while (position < commandLine.size() && commandLine[position] == ' ') {
        ++position;
    }
    return commandLine.substr(position);
}

bool QueueArchivesFromText(const std::string& text) {
    ClearFileNameList();
    const std::size_t firstNul = text.find('\0');
    const std::string asPath = text.substr(0, firstNul);
    const std::uint32_t attributes = AttributesOf(asPath);
    if (attributes != ATTR_INVALID && (attributes & ATTR_DIRECTORY) != 0) {
        return firstNul == std::string::npos || QueueSelectedFiles(text, firstNul);
    }
    if (attributes != ATTR_INVALID) {
        return IsTheProgramItself(asPath) || AddFileName(asPath);
    }
    return QueueArguments(CommandLineArguments(text));
}

}  // namespace parvane
