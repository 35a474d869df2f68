#pragma once

// A mistyped command or option answered with the nearest known one ("did you mean 'install'?").

#include <string>
#include <vector>

namespace parvane::cli {

struct KnownWords {
    std::vector<std::string> commands;
    std::vector<std::string> options;       // "--guid", taking no value
    std::vector<std::string> valueOptions;  // "--prefix", taking the next argument as its value
};

// The nearest of `candidates` to `word` when it is near enough to be a slip (at most one
// changed, missing, extra or swapped letter in four), else empty.
std::string NearestWord(const std::string& word, const std::vector<std::string>& candidates);

// For the arguments after the program's name: the first unknown option, or the first word where
// a command belongs that is not one, with the nearest known one when there is one; empty when
// every word is known.
std::string FindSlip(const std::vector<std::string>& arguments, const KnownWords& known);

}  // namespace parvane::cli
