#pragma once
// A user-space file system for tests: a view of a real folder whose names
// are matched the way a case-folding file system matches them (Unicode full
// case folding and canonical decomposition), with faults that another
// program or a failing device would cause. Serves from a thread of this
// process; mount it only in a process of its own (mountNamespace).
#include <atomic>
#include <filesystem>
#include <functional>
#include <string>

namespace testing_support {

struct ViewFaults {
    // Before the first write to a file of this name: what another program
    // does to the real folder meanwhile; the write then fails with writeError.
    std::string onWriteTo;
    std::function<void()> meanwhile;
    int writeError = 0;
    // Closing a file of this name reports this error (data lost at the flush).
    std::string failCloseOf;
    int closeError = 0;
    // The status of an opened file of this name cannot be read.
    std::string failStatOf;
    int statError = 0;
};

// Mounts the view of real at view, served until the process ends. Gives an
// empty text, or why it cannot be mounted.
std::string mountFoldingView(const std::filesystem::path& real, const std::filesystem::path& view,
                             ViewFaults* faults = nullptr);

// Runs body in a child process and gives back what it returns; with
// ownMounts, in a user and mount namespace of its own, as root of that
// namespace. A body that cannot run there returns "SKIP: " and the reason;
// so does the child when the namespace cannot be had.
std::string inChildProcess(const std::function<std::string()>& body, bool ownMounts);

}  // namespace testing_support
