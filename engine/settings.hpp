#pragma once
// What a split run reads, and how it reports. The engine knows no windows:
// the user interface supplies both over its fields and its message box.
#include <functional>
#include <string>

namespace engine {

// The two option buttons of the split mode, read together.
struct ModeState {
    bool byCount = false;  // Option1
    bool bySize = false;   // Option2
};

// One read per split setting. A run calls each only when it needs the value,
// so an implementation must read the source at the moment of the call.
class SettingsReader {
public:
    virtual ~SettingsReader() = default;
    virtual ModeState splitMode() = 0;
    virtual std::u16string inputPath() = 0;
    virtual std::u16string outputFolder() = 0;
    virtual std::u16string baseName() = 0;
    virtual std::u16string charsPerPiece() = 0;  // characters per piece as typed
    virtual std::u16string sizePerPiece() = 0;   // KB per piece as typed
};

// Shows one text and returns once the user has closed it.
using MessageBox = std::function<void(const std::u16string&)>;

}  // namespace engine
