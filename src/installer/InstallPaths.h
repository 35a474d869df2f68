#pragma once

// Turning the roles of the classified package into the final paths of its files, once the
// target folder is settled, and the checks that every such path can be used as it stands.

#include <string>

namespace parvane {

// True for a target folder that is a full path; otherwise an Error naming it.
bool CheckTargetFolder(const std::string& folder);

// True for a destination of at most 255 characters; otherwise an Error naming it whole.
bool CheckDestinationLength(const std::string& path);

// Completes the install record with the target folder T: the hole audio folder becomes T and
// a backslash, every file of the course and every package library goes to T, the caddy book
// to the user's "Greenvale 06\Course Notes" folder. Then checks every path the installation
// will write, the prv and sounds files and the hole audio included, before anything is
// copied. False after an Error when the target folder is not a full path, the documents folder
// for a caddy book is unknown, or a path would be longer than 255 characters.
bool CompleteInstallPaths();

}  // namespace parvane
