// An owned file descriptor, closed when the owner goes away.
#pragma once

#include <unistd.h>

#include <utility>

class CUniqueFd {
public:
    CUniqueFd() = default;
    explicit CUniqueFd(int fd) : mFd(fd) {}
    CUniqueFd(const CUniqueFd&) = delete;
    CUniqueFd& operator=(const CUniqueFd&) = delete;
    CUniqueFd(CUniqueFd&& other) noexcept : mFd(std::exchange(other.mFd, -1)) {}
    CUniqueFd& operator=(CUniqueFd&& other) noexcept
    {
        if (this != &other) Reset(std::exchange(other.mFd, -1));
        return *this;
    }
    ~CUniqueFd() { Reset(); }

    int Get() const { return mFd; }
    bool IsOpen() const { return mFd >= 0; }
    int Release() { return std::exchange(mFd, -1); }
    void Reset(int fd = -1)
    {
        if (mFd >= 0) ::close(mFd);
        mFd = fd;
    }

private:
    int mFd = -1;
};
