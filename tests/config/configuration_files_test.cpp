#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/config/configuration_files.h"
#include "foundation/files/folder_entries.h"
#include "tests/config/config_test_environment.h"
#include "tests/support/file_bytes.h"

namespace {

class ConfigurationFilesTest : public ConfigEnvironment {
protected:
    std::string PathOf(const std::string& name) const { return ConfigurationsPath() + "/" + name; }

    void Put(const std::string& name, const std::string& bytes)
    {
        ::mkdir(mSettings->mSupportFolderPath.c_str(), 0700);
        ::mkdir(ConfigurationsPath().c_str(), 0700);
        testsupport::WriteFileBytes(PathOf(name), bytes);
    }
    std::string Get(const std::string& name) const { return testsupport::ReadFileBytes(PathOf(name)); }

    // The folder's names, sorted; temporary files would show here too.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(ConfigurationsPath(), ignored))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static unsigned ModeOf(const std::string& path)
    {
        struct stat info {};
        EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
        return info.st_mode & 07777;
    }

    static std::string TextOf(const CConfiguration& c)
    {
        CTextBuffer out;
        c.WriteText(out);
        return out.str();
    }

    static CConfiguration Changed(const char* name)
    {
        CConfiguration c;
        c.mGeneralOptions.name = name;
        c.mGeneralOptions.password = "secret";
        c.mSiteLogin.realmList.Append({"Members", "ann", "p,w"});
        return c;
    }
};

TEST_F(ConfigurationFilesTest, SaveAndLoadByName)
{
    CConfiguration saved = Changed("work");
    ASSERT_EQ(saved.Save("Work site").Code(), 0);
    EXPECT_EQ(Names(), std::vector<std::string>({"Work site"}));
    EXPECT_EQ(Get("Work site"), TextOf(saved));
    // Configurations hold passwords.
    EXPECT_EQ(ModeOf(PathOf("Work site")), 0600u);
    EXPECT_EQ(ModeOf(ConfigurationsPath()), 0700u);

    CConfiguration loaded;
    loaded.mGeneralOptions.linkDepth = 5;
    EXPECT_EQ(LoadConfiguration("Work site", loaded).Code(), 0);
    EXPECT_TRUE(loaded.IsEqual(saved));
    EXPECT_TRUE(ConfigurationExists("Work site"));
}

TEST_F(ConfigurationFilesTest, SavingReplacesTheWholeFileAndTightensItsMode)
{
    Put("site", std::string(10000, 'x'));
    ::chmod(PathOf("site").c_str(), 0644);
    CConfiguration c = Changed("site");
    ASSERT_EQ(c.Save("site").Code(), 0);
    EXPECT_EQ(Get("site"), TextOf(c));
    EXPECT_EQ(ModeOf(PathOf("site")), 0600u);
    EXPECT_EQ(Names(), std::vector<std::string>({"site"}));
}

TEST_F(ConfigurationFilesTest, SaveFailuresAreReported)
{
    // A folder where the file would go: the old folder stays, nothing is left behind.
    ::mkdir(mSettings->mSupportFolderPath.c_str(), 0700);
    ::mkdir(ConfigurationsPath().c_str(), 0700);
    ::mkdir(PathOf("taken").c_str(), 0700);
    EXPECT_EQ(CConfiguration().Save("taken").Code(), -EISDIR);
    EXPECT_EQ(Names(), std::vector<std::string>({"taken"}));

    // A file where the configurations folder would go.
    std::filesystem::remove_all(ConfigurationsPath());
    testsupport::WriteFileBytes(ConfigurationsPath(), "not a folder");
    EXPECT_EQ(CConfiguration().Save("site").Code(), -ENOTDIR);
    EXPECT_EQ(CreateConfigurationFile("site", CConfiguration()).Code(), -ENOTDIR);
}

TEST_F(ConfigurationFilesTest, TheDefaultHasNoFile)
{
    EXPECT_EQ(CConfiguration().Save("Default").Code(), -EPERM);
    EXPECT_FALSE(std::filesystem::exists(ConfigurationsPath()));

    CConfiguration byHand = Changed("by hand");
    Put("Default", TextOf(byHand));
    CConfiguration loaded = byHand;
    EXPECT_EQ(LoadConfiguration("Default", loaded).Code(), 0);
    EXPECT_TRUE(loaded.IsEqual(CConfiguration()));
    loaded = byHand;
    EXPECT_EQ(LoadConfiguration("", loaded).Code(), 0);
    EXPECT_TRUE(loaded.IsEqual(CConfiguration()));

    CFileRef file;
    EXPECT_EQ(FindConfigurationFile("Default", file).Code(), -ENOENT);
    EXPECT_FALSE(ConfigurationExists("Default"));
    EXPECT_EQ(DeleteConfigurationFile("Default").Code(), -ENOENT);
    EXPECT_EQ(DuplicateConfigurationFile("Default", "copy").Code(), -ENOENT);
    EXPECT_EQ(Names(), std::vector<std::string>({"Default"}));
    // "default" is an ordinary name.
    EXPECT_EQ(CConfiguration().Save("default").Code(), 0);
}

TEST_F(ConfigurationFilesTest, LookingUpAMissingNameCreatesNothing)
{
    Put("other", "x");
    CFileRef file;
    EXPECT_EQ(FindConfigurationFile("missing", file).Code(), -ENOENT);
    EXPECT_FALSE(file.IsValid());
    CConfiguration loaded = Changed("stale");
    EXPECT_EQ(LoadConfiguration("missing", loaded).Code(), -ENOENT);
    EXPECT_TRUE(loaded.IsEqual(CConfiguration()));
    EXPECT_EQ(DeleteConfigurationFile("missing").Code(), -ENOENT);
    EXPECT_EQ(RenameConfigurationFile("missing", "new").Code(), -ENOENT);
    EXPECT_EQ(Names(), std::vector<std::string>({"other"}));
}

TEST_F(ConfigurationFilesTest, ExistenceIsExactAndOnlyForFiles)
{
    Put("work", "w");
    ::mkdir(PathOf("folder").c_str(), 0700);
    EXPECT_TRUE(ConfigurationExists("work"));
    EXPECT_FALSE(ConfigurationExists("Work"));
    EXPECT_FALSE(ConfigurationExists("work "));
    EXPECT_FALSE(ConfigurationExists("folder"));
    CFileRef file;
    EXPECT_EQ(FindConfigurationFile("folder", file).Code(), -EISDIR);
    CConfiguration loaded;
    EXPECT_EQ(LoadConfiguration("folder", loaded).Code(), -EISDIR);
}

TEST_F(ConfigurationFilesTest, Rename)
{
    Put("work", "work bytes");
    Put("home", "home bytes");
    EXPECT_EQ(RenameConfigurationFile("work", "Default").Code(), -EPERM);
    EXPECT_EQ(RenameConfigurationFile("work", "home").Code(), -EEXIST);
    EXPECT_EQ(Get("work"), "work bytes");
    EXPECT_EQ(Get("home"), "home bytes");

    EXPECT_EQ(RenameConfigurationFile("work", "Work").Code(), 0);
    EXPECT_EQ(Names(), std::vector<std::string>({"Work", "home"}));
    EXPECT_EQ(Get("Work"), "work bytes");
}

TEST_F(ConfigurationFilesTest, CreateAndDelete)
{
    CConfiguration c = Changed("new");
    EXPECT_EQ(CreateConfigurationFile("new", c).Code(), 0);
    EXPECT_EQ(Get("new"), TextOf(c));
    EXPECT_EQ(ModeOf(PathOf("new")), 0600u);
    EXPECT_EQ(CreateConfigurationFile("new", CConfiguration()).Code(), -EEXIST);
    EXPECT_EQ(Get("new"), TextOf(c));
    EXPECT_EQ(CreateConfigurationFile("Default", c).Code(), -EPERM);

    EXPECT_EQ(DeleteConfigurationFile("new").Code(), 0);
    EXPECT_TRUE(Names().empty());
}

TEST_F(ConfigurationFilesTest, DuplicateCopiesTheBytes)
{
    // Not even parsed: an odd file is copied as it is.
    std::string bytes = "name Caf\x8E\xA5\rjunk\0\x01 without end";
    bytes += std::string("\0tail", 5);
    Put("source", bytes);
    Put("existing", "keep");
    EXPECT_EQ(DuplicateConfigurationFile("source", "copy").Code(), 0);
    EXPECT_EQ(Get("copy"), bytes);
    EXPECT_EQ(ModeOf(PathOf("copy")), 0600u);

    EXPECT_EQ(DuplicateConfigurationFile("source", "existing").Code(), -EEXIST);
    EXPECT_EQ(Get("existing"), "keep");
    EXPECT_EQ(DuplicateConfigurationFile("source", "Default").Code(), -EPERM);
    EXPECT_EQ(DuplicateConfigurationFile("absent", "other").Code(), -ENOENT);
    ::mkdir(PathOf("folder").c_str(), 0700);
    EXPECT_EQ(DuplicateConfigurationFile("folder", "other").Code(), -EISDIR);
    EXPECT_EQ(Names(), std::vector<std::string>({"copy", "existing", "folder", "source"}));
}

TEST_F(ConfigurationFilesTest, NamesAreSinglePathComponents)
{
    Put("good", "g");
    std::string nul("a\0b", 3);
    struct Case {
        std::string name;
        int status;
    } cases[] = {
        {"", -EINVAL},          {".hidden", -EINVAL}, {"..", -EINVAL},
        {"a/b", -EINVAL},       {"../escape", -EINVAL}, {nul, -EINVAL},
        {std::string(256, 'n'), -ENAMETOOLONG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CheckConfigurationName(c.name).Code(), c.status);
        EXPECT_EQ(CConfiguration().Save(c.name).Code(), c.status);
        EXPECT_EQ(CreateConfigurationFile(c.name, CConfiguration()).Code(), c.status);
        EXPECT_EQ(RenameConfigurationFile("good", c.name).Code(), c.status);
        EXPECT_EQ(DuplicateConfigurationFile("good", c.name).Code(), c.status);
        CFileRef file;
        if (!c.name.empty()) {
            EXPECT_EQ(FindConfigurationFile(c.name, file).Code(), c.status);
        }
        EXPECT_FALSE(ConfigurationExists(c.name));
    }
    EXPECT_EQ(CheckConfigurationName(std::string(255, 'n')).Code(), 0);
    EXPECT_EQ(CheckConfigurationName("Work site (2) é").Code(), 0);
    EXPECT_EQ(Names(), std::vector<std::string>({"good"}));
    std::vector<std::string> supportNames;
    for (const auto& entry : std::filesystem::directory_iterator(mSettings->mSupportFolderPath))
        if (entry.path().filename() != "Tidewell.log") supportNames.push_back(entry.path().filename().string());
    // Nothing was made beside the configurations folder.
    EXPECT_EQ(supportNames, std::vector<std::string>({"Configurations"}));
}

TEST_F(ConfigurationFilesTest, AFileOfTheOriginalProgramLoads)
{
    Put("old", "name Caf\x8E\xA5\rlinkDepth 3\xA5\rrealmList Members\tann\tpw\xA5\rmethod GET\xA5\r");
    CConfiguration loaded;
    ASSERT_EQ(LoadConfiguration("old", loaded).Code(), 0);
    EXPECT_EQ(loaded.mGeneralOptions.name.str(), "Caf\xC3\xA9");
    EXPECT_EQ(loaded.mGeneralOptions.linkDepth, 3);
    EXPECT_EQ(loaded.mGeneralOptions.directoryDepth, 99);
    EXPECT_EQ(loaded.mSiteLogin.realmList.Head()->element.password.str(), "pw");
    EXPECT_EQ(loaded.mFormOptions.method, CFormOptions::kMethodGet);
}

}  // namespace
