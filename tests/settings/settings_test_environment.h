// Runs each test with every folder the settings use (home, XDG folders, the
// any-user preferences folder, the temporary folder) inside a temporary folder
// of its own, so no test reads or writes the real user's files.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

class SettingsEnvironment : public testing::Test {
protected:
    void SetUp() override
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/settings_test.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        mRoot = pattern;
        for (const char* folder : {"home", "tmp"}) std::filesystem::create_directory(mRoot / folder);
        Override("HOME", Path("home"));
        Override("XDG_CONFIG_HOME", Path("config"));
        Override("XDG_DATA_HOME", Path("data"));
        Override("XDG_CACHE_HOME", Path("cache"));
        Override("XDG_RUNTIME_DIR", std::nullopt);
        Override("TIDEWELL_SYSTEM_CONFIG", Path("system"));
        Override("TMPDIR", Path("tmp"));
    }

    void TearDown() override
    {
        for (auto it = mSaved.rbegin(); it != mSaved.rend(); ++it) {
            if (it->second) ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else ::unsetenv(it->first.c_str());
        }
        if (!mRoot.empty()) {
            std::error_code ignored;
            std::filesystem::permissions(mRoot, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
            std::filesystem::remove_all(mRoot, ignored);
        }
    }

    // Sets (or, with nothing, removes) a variable until the test ends.
    void Override(const char* name, const std::optional<std::string>& value)
    {
        const char* old = std::getenv(name);
        mSaved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value) ::setenv(name, value->c_str(), 1);
        else ::unsetenv(name);
    }

    std::string Path(std::string_view relative) const { return (mRoot / relative).string(); }
    std::string UserPrefsPath() const { return Path("config/tidewell/preferences.plist"); }
    std::string SystemPrefsPath() const { return Path("system/preferences.plist"); }

    void Put(std::string_view relative, std::string_view bytes) const
    {
        std::filesystem::create_directories((mRoot / relative).parent_path());
        std::ofstream(mRoot / relative, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string Get(std::string_view relative) const
    {
        std::ifstream in(mRoot / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool Exists(std::string_view relative) const { return std::filesystem::exists(mRoot / relative); }
    unsigned ModeOf(std::string_view relative) const
    {
        struct stat info {};
        EXPECT_EQ(::stat(Path(relative).c_str(), &info), 0) << relative;
        return info.st_mode & 07777;
    }
    std::vector<std::string> Names(std::string_view relative) const
    {
        std::vector<std::string> names;
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(mRoot / relative, ignored))
            names.push_back(entry.path().filename().string());
        return names;
    }

    std::filesystem::path mRoot;
    std::vector<std::pair<std::string, std::optional<std::string>>> mSaved;
};
