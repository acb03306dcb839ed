// The program's general exception: an error code (a platform status or a
// four-character code such as 'nilP') and a message naming what failed.
// Thread stop requests are deliberately not of this kind (see CThread).
#pragma once

#include <cstdint>
#include <exception>
#include <string>

class CFrameworkException : public std::exception {
public:
    CFrameworkException(std::int32_t errorCode, std::string message);

    [[nodiscard]] std::int32_t GetErrorCode() const noexcept { return mErrorCode; }
    const std::string& GetErrorString() const noexcept { return mMessage; }
    const char* what() const noexcept override { return mMessage.c_str(); }

private:
    std::int32_t mErrorCode;
    std::string mMessage;
};
