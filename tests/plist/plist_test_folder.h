// A temporary folder of the test's own, removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

class PlistTestFolder : public testing::Test {
protected:
    void SetUp() override
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/plist_test.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        mFolder = pattern;
    }
    void TearDown() override
    {
        if (!mFolder.empty()) std::filesystem::remove_all(mFolder);
    }

    std::string PathOf(const char* name) const { return (mFolder / name).string(); }
    void Put(const char* name, std::string_view bytes) const
    {
        std::ofstream(mFolder / name, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string Get(const char* name) const
    {
        std::ifstream in(mFolder / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::size_t EntryCount() const
    {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(mFolder),
                                                      std::filesystem::directory_iterator()));
    }

    std::filesystem::path mFolder;
};
