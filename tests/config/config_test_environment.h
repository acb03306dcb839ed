// Each configuration test runs with its own settings object: every folder
// the settings use lies inside a temporary folder, and the download folder
// and user agent that the defaults copy are fixed texts, so default records
// are the same on every machine.
#pragma once

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/settings/app_settings.h"
#include "tests/support/temp_dir.h"

inline constexpr const char* kTestDownloadFolder = "/home/tester/Downloads";
inline constexpr const char* kTestUserAgent = "Tidewell/1.0 (X11; Linux x86_64)";

class ConfigEnvironment : public testing::Test {
protected:
    void SetUp() override
    {
        Override("HOME", mRoot.MakeFolder("home"));
        Override("XDG_CONFIG_HOME", mRoot.File("config"));
        Override("XDG_DATA_HOME", mRoot.File("data"));
        Override("XDG_CACHE_HOME", mRoot.File("cache"));
        Override("XDG_RUNTIME_DIR", std::nullopt);
        Override("TIDEWELL_SYSTEM_CONFIG", mRoot.File("system"));
        mSettings = std::make_unique<CAppSettings>();
        mSettings->mDownloadFolderPath = kTestDownloadFolder;
        mSettings->mUserAgent = kTestUserAgent;
        mSavedSettings = gAppSettings;
        gAppSettings = mSettings.get();
    }

    void TearDown() override
    {
        gAppSettings = mSavedSettings;
        mSettings.reset();
        for (auto it = mSaved.rbegin(); it != mSaved.rend(); ++it) {
            if (it->second) ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else ::unsetenv(it->first.c_str());
        }
    }

    void Override(const char* name, const std::optional<std::string>& value)
    {
        const char* old = std::getenv(name);
        mSaved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value) ::setenv(name, value->c_str(), 1);
        else ::unsetenv(name);
    }

    const std::string& ConfigurationsPath() const { return mSettings->mConfigurationsFolderPath; }

    testsupport::TempDir mRoot;
    std::unique_ptr<CAppSettings> mSettings;
    CAppSettings* mSavedSettings = nullptr;
    std::vector<std::pair<std::string, std::optional<std::string>>> mSaved;
};
