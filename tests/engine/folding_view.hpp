#pragma once
// A user-space file system for tests: a view of a real folder whose names
// are matched the way a case-folding file system matches them (Unicode full
// case folding and canonical decomposition), with faults that a failing
// device would cause. Mount it only in a mount namespace of its own
// (inChildProcess with ownMounts).
#include <filesystem>
#include <functional>
#include <string>

namespace testing_support {

// Shared with the process that serves the view: set them before a split.
struct ViewFaults {
    // Closing a file of this name reports this error (data lost at the flush).
    char failCloseOf[64] = {};
    int closeError = 0;
    // The status of a file of this name, asked for while it is open, cannot be read.
    char failStatOf[64] = {};
    int statError = 0;
};

// Mounts the view of real at view, served by a process of its own until
// this one ends, so that a fault of the server cannot hang the caller. Gives
// an empty text, or why it cannot be mounted. *faults is then shared with
// the server.
std::string mountFoldingView(const std::filesystem::path& real, const std::filesystem::path& view,
                             ViewFaults** faults = nullptr);

// Runs body in a child process and gives back what it returns; with
// ownMounts, in a user and mount namespace of its own, as root of that
// namespace. A body that cannot run there returns "SKIP: " and the reason;
// so does the child when the namespace cannot be had.
std::string inChildProcess(const std::function<std::string()>& body, bool ownMounts);

}  // namespace testing_support
