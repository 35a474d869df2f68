#pragma once

// A file replaced in one step, as a registry save and a move across file systems need it: the
// new content goes into a new file beside the target under a name no other file has, is flushed
// to the disk and renamed over the target, and the folder is flushed so that the rename survives
// a crash. A failure at any point removes the new file: the target is then as it was.

#include <filesystem>
#include <functional>

namespace parvane::wine {

enum class ReplaceStep { None, CreatingTemporary, Writing, Renaming };

struct ReplaceResult {
    ReplaceStep failedStep = ReplaceStep::None;
    int error = 0;                     // the errno of the failure; 0 when the target was replaced
    std::filesystem::path failedPath;  // the new file, or the target when the rename failed

    bool Replaced() const { return error == 0; }
};

// `write` fills the new file (created with permissions 0600) through its descriptor and returns 0
// or an errno. A target that is a symbolic link is itself replaced, never what it leads to.
ReplaceResult ReplaceFileAtomically(const std::filesystem::path& target,
                                    const std::function<int(int descriptor)>& write);

}  // namespace parvane::wine
