// The outcome of a routine that can fail: success, or a failure with its code
// (a negative errno value, one of the program's codes in status_codes.h, or a
// framework code such as 'nilP') and a text for people. Success carries no
// text and costs no allocation, so returning it on the common path is free.
// The type is [[nodiscard]]: ignoring a failure is a compile-time warning.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

class [[nodiscard]] CStatus {
public:
    // Success.
    CStatus() noexcept = default;

    static CStatus Success() noexcept { return {}; }
    // A failure with a text of its own. A code of 0 would read as success,
    // so it becomes -EIO: a failure is never lost on the way.
    static CStatus Failure(std::int32_t code, std::string text);
    // A failure whose text is the standard text of its code. A code of 0 is
    // success, for routines that still answer with a bare code.
    static CStatus FromCode(std::int32_t code);

    [[nodiscard]] bool Ok() const noexcept { return mCode == 0; }
    [[nodiscard]] bool Failed() const noexcept { return mCode != 0; }
    [[nodiscard]] std::int32_t Code() const noexcept { return mCode; }
    // Empty on success.
    const std::string& Text() const noexcept { return mText; }

private:
    CStatus(std::int32_t code, std::string text) noexcept;

    std::int32_t mCode = 0;
    std::string mText;
};

// The standard text of a code: the system's text for an errno value, a text
// of our own for the program's codes, "error N" for any other.
std::string StatusCodeText(std::int32_t code);

// A caught exception as a status: a CFrameworkException keeps its code and
// message, running out of memory is -ENOMEM, any other std::exception is
// -EIO with its what(). For catch (...) blocks, StatusFromCurrentException
// does the same for the exception being handled, and throws on anything that
// is not a std::exception: a thread's stop request unwinds, it is no failure.
CStatus StatusFromException(const std::exception& error);
CStatus StatusFromCurrentException();
