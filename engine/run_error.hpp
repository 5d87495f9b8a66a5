#pragma once
// A failure that ends the current procedure with a message for the user.
#include <exception>
#include <new>
#include <string>

#include "settings.hpp"

namespace engine {

class RunError : public std::exception {
public:
    explicit RunError(std::u16string message) : message_(std::move(message)) {}
    const std::u16string& message() const noexcept { return message_; }
    const char* what() const noexcept override { return "engine::RunError"; }

private:
    std::u16string message_;
};

// The reason behind a system error number, in the words of our messages.
std::u16string errnoText(int err);

// “name”, for naming a file in a message; a name longer than any path, which
// may have been pasted by mistake, as quotedHead gives it.
std::u16string quoted(std::u16string_view name);
// “text” for a value the user typed, which may be of any length: only its
// first 32 characters, then "…".
std::u16string quotedHead(std::u16string_view text);

// Runs one of the engine's procedures: a RunError, or memory running out,
// ends it with a message. The file slot is free by then: every user of the
// slot frees it when left early.
template <typename Body>
void runProcedure(const MessageBox& show, const char16_t* outOfMemory, Body body)
{
    try {
        body();
    } catch (const RunError& e) {
        show(e.message());
    } catch (const std::bad_alloc&) {
        show(outOfMemory);
    }
}

}  // namespace engine
