#include "app/cli/PropertiesCommand.h"

#include <algorithm>
#include <iostream>
#include <string_view>

#include "app/cli/TerminalUserInterface.h"
#include "app/cli/TypedPaths.h"
#include "base/Messages.h"
#include "platform/AsciiCase.h"
#include "platform/wine/text/Codepage.h"
#include "properties/Properties.h"

namespace parvane::cli {

namespace {

// The known properties in the order of the file (by key).
std::vector<KnownProperty> PropertiesByKey() {
    std::vector<KnownProperty> properties = KnownProperties();
    std::sort(properties.begin(), properties.end(),
              [](const KnownProperty& a, const KnownProperty& b) {
                  return std::string_view(a.key) < std::string_view(b.key);
              });
    return properties;
}

const KnownProperty* FindKnownProperty(const std::vector<KnownProperty>& properties,
                                       std::string_view key) {
    const auto found =
        std::find_if(properties.begin(), properties.end(),
                     [key](const KnownProperty& p) { return EqualsNoCase(p.key, key); });
    return found != properties.end() ? &*found : nullptr;
}

std::string KeyColumn(const std::string& key) {
    constexpr std::size_t KEY_WIDTH = 25;  // RememberOpenArchiveFolder
    return key + std::string(KEY_WIDTH - std::min(KEY_WIDTH, key.size()), ' ');
}

// A folder as the player finds it on this system, the prefix's Windows path after it.
std::string ValueShown(const std::string& key, const std::string& value) {
    const std::vector<KnownProperty> properties = KnownProperties();
    const KnownProperty* property = FindKnownProperty(properties, key);
    return property != nullptr && !property->isSwitch && IsFullWindowsPathText(value)
               ? ShownPath(value)
               : TerminalText(value);
}

void PrintProperties() {
    for (const KnownProperty& property : PropertiesByKey()) {
        std::cout << KeyColumn(property.key) << " = "
                  << ValueShown(property.key, GetProperty(property.key)) << '\n';
    }
}

// Sets every assignment or, when one is refused, saves none; prints what changed.
bool SetAndSave(const std::vector<PropertyAssignment>& assignments) {
    std::string changes;
    for (const PropertyAssignment& assignment : assignments) {
        const std::string before = GetProperty(assignment.key);
        if (!SetProperty(assignment.key, assignment.value)) {
            return false;
        }
        changes +=
            KeyColumn(assignment.key) + " = " + ValueShown(assignment.key, assignment.value) +
            (before == assignment.value ? " (unchanged)\n"
                                        : " (was " + ValueShown(assignment.key, before) + ")\n");
    }
    if (!SaveProperties()) {
        ShowError("%s", PROPERTIES_NOT_SAVED_MESSAGE);
        return false;
    }
    std::cout << changes;
    return true;
}

// A folder as the prefix's Windows path: the game finds content through its drives only.
bool ToPrefixFolder(const std::filesystem::path& prefix, PropertyAssignment& assignment) {
    const std::string typed = TerminalText(assignment.value);
    std::string message;
    if (!IsFullPathText(typed)) {
        message = "The folder '" + typed + "' of " + assignment.key +
                  " is not a full path: give one that starts with / or ~/ (a folder of this "
                  "system) or with a drive letter (C:\\...).";
    } else if (ToWindowsPath(prefix, typed, assignment.value, message)) {
        return true;
    }
    ShowTerminalError(message + "\nNothing was saved.");
    return false;
}

}  // namespace

bool ParsePropertyAssignments(const std::vector<std::string>& words,
                              std::vector<PropertyAssignment>& assignments, std::string& message) {
    const std::vector<KnownProperty> properties = KnownProperties();
    assignments.clear();
    for (const std::string& word : words) {
        const std::size_t equals = word.find('=');
        if (equals == std::string::npos) {
            message = "'" + word + "' sets nothing: write KEY=VALUE, for example AskForFlag=1.";
            return false;
        }
        const KnownProperty* property =
            FindKnownProperty(properties, TrimPropertyText(word.substr(0, equals)));
        if (property == nullptr) {
            message = "'" + word.substr(0, equals) +
                      "' is not a property; the properties are listed by 'parvane properties'.";
            return false;
        }
        std::string value;
        if (!wine::Utf8ToCp1252(TrimPropertyText(word.substr(equals + 1)), value)) {
            message = "The value of " + std::string(property->key) +
                      " holds characters that Windows programs cannot use here (code page 1252).";
            return false;
        }
        if (property->isSwitch && value != "0" && value != "1") {
            message = std::string(property->key) + " is a switch: it takes 0 (off) or 1 (on).";
            return false;
        }
        assignments.push_back({property->key, value});
    }
    return true;
}

int ShowOrSetProperties(const PrefixSession& session,
                        const std::vector<PropertyAssignment>& assignments) {
    if (assignments.empty()) {
        PrintProperties();
        return EXIT_DONE;
    }
    std::vector<PropertyAssignment> converted = assignments;
    const std::vector<KnownProperty> properties = KnownProperties();
    for (PropertyAssignment& assignment : converted) {
        const KnownProperty* property = FindKnownProperty(properties, assignment.key);
        if (!property->isSwitch && !assignment.value.empty() &&
            !ToPrefixFolder(session.prefix, assignment)) {
            return EXIT_NOT_DONE;
        }
    }
    if (!SetAndSave(converted)) {
        return EXIT_NOT_DONE;
    }
    std::cout << "Saved in " << session.propertiesFile.string() << std::endl;
    return EXIT_DONE;
}

}  // namespace parvane::cli
