#pragma once
// Fixtures shared by the engine tests: fixed settings that record their
// reads, a message log, and a scratch folder with byte-level file helpers.
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "settings.hpp"

namespace testing_support {

std::u16string u16(const std::string& utf8);
std::string bytesOf(std::initializer_list<int> bytes);
std::string utf8(const std::u16string& text);

struct Settings {
    bool byCount = false;
    bool bySize = false;
    std::u16string input, folder, base, chars, size;
};

// Reads fixed values and logs every read and every message box in order:
// "mode", "input", "folder", "base", "chars", "size", and "box".
class Recorder : public engine::SettingsReader {
public:
    explicit Recorder(Settings s) : s_(std::move(s)) {}
    engine::ModeState splitMode() override { return log("mode"), engine::ModeState{s_.byCount, s_.bySize}; }
    std::u16string inputPath() override { return log("input"), s_.input; }
    std::u16string outputFolder() override { return log("folder"), s_.folder; }
    std::u16string baseName() override { return log("base"), s_.base; }
    std::u16string charsPerPiece() override { return log("chars"), s_.chars; }
    std::u16string sizePerPiece() override { return log("size"), s_.size; }

    engine::MessageBox box()
    {
        return [this](const std::u16string& text) {
            log("box");
            messages.push_back(text);
        };
    }

    std::vector<std::string> events;
    std::vector<std::u16string> messages;

private:
    void log(const char* what) { events.emplace_back(what); }
    Settings s_;
};

// Runs a split with these settings; gives the messages shown.
std::vector<std::u16string> split(const Settings& s);

// A fresh folder under the system's temp folder, removed at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::u16string u16path() const { return u16(path_.string()); }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

void writeBytes(const std::filesystem::path& p, const std::string& bytes);
std::string readBytes(const std::filesystem::path& p);

// Every file below root with its bytes (only its size for large files, its
// size and time for files this user may not read), and every folder, so that
// a test can tell that nothing changed.
std::map<std::string, std::string> snapshot(const std::filesystem::path& root);

// How many file descriptors this process holds.
int openFdCount();

// All a descriptor gives until its end; closes it.
std::string readAllAndClose(int fd);

using Messages = std::vector<std::u16string>;

// Runs fn in a child process (once enter, when given, has succeeded) and
// gives back the messages it returned; says so when it left a file open.
Messages inChild(const std::function<Messages()>& fn, const std::function<bool()>& enter = {});

}  // namespace testing_support
