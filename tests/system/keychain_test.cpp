// The mail password lives in the Secret Service and nowhere else. The live
// test runs this program again inside a private D-Bus session with its own
// gnome-keyring, so it never touches the user's keyring.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "foundation/system/keychain_password.h"
#include "platform/keychain/secret_store.h"
#include "tests/support/file_bytes.h"
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace {

// Set in the child run: the test's folder, holding the password file and
// receiving the result file.
constexpr const char* kChildMarker = "TIDEWELL_KEYRING_CHILD_FOLDER";
constexpr const char* kDbusRunSession = "/usr/bin/dbus-run-session";
constexpr const char* kKeyringDaemon = "/usr/bin/gnome-keyring-daemon";

// Sets environment variables for one scope and puts the old values back.
class CEnvironment {
public:
    ~CEnvironment()
    {
        for (auto it = mSaved.rbegin(); it != mSaved.rend(); ++it) {
            if (it->second) setenv(it->first.c_str(), it->second->c_str(), 1);
            else unsetenv(it->first.c_str());
        }
    }
    void Set(const std::string& name, const std::optional<std::string>& value)
    {
        const char* old = std::getenv(name.c_str());
        mSaved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value) setenv(name.c_str(), value->c_str(), 1);
        else unsetenv(name.c_str());
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> mSaved;
};

bool IsExecutable(const char* path)
{
    return ::access(path, X_OK) == 0;
}

// Points the process at a session bus that does not exist.
void WithoutSecretService(CEnvironment& environment, const testsupport::TempDir& home)
{
    environment.Set("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + home.File("no-bus"));
    environment.Set("DISPLAY", std::nullopt);
    environment.Set("HOME", home.Path());
    environment.Set("XDG_DATA_HOME", home.File("data"));
    environment.Set("XDG_CONFIG_HOME", home.File("config"));
}

TEST(Keychain, EmptyTextsStoreAndFindNothing)
{
    testsupport::TempDir home;
    CEnvironment environment;
    WithoutSecretService(environment, home);
    struct Row {
        const char* server;
        const char* user;
        const char* password;
    } rows[] = {{"", "me", "pw"}, {"mail.example.org", "", "pw"}, {"mail.example.org", "me", ""},
                {nullptr, "me", "pw"}, {"mail.example.org", nullptr, nullptr}};
    for (const Row& row : rows) {
        EXPECT_EQ(StoreKeychainPassword(row.server, row.user, row.password), kSysNoError);
        if (row.server == nullptr || row.user == nullptr || !*row.server || !*row.user) {
            CFixedString255 found("unchanged");
            EXPECT_EQ(FindKeychainPassword(row.server, row.user, found), kSysNoError);
            EXPECT_STREQ(found.c_str(), "unchanged");
        }
    }
}

TEST(Keychain, NoSecretServiceFailsWithoutAFallback)
{
    testsupport::TempDir home;
    CEnvironment environment;
    WithoutSecretService(environment, home);

    EXPECT_EQ(StoreKeychainPassword("mail.example.org", "me", "hunter2"), kSysKeychainUnavailable);
    CFixedString255 found("unchanged");
    EXPECT_EQ(FindKeychainPassword("mail.example.org", "me", found), kSysKeychainUnavailable);
    EXPECT_STREQ(found.c_str(), "unchanged");
    EXPECT_EQ(StoreKeychainPassword("mail.example.org", "me", std::string(256, 'p').c_str()),
              kSysKeychainTooLong);

    // Nothing was written anywhere in the home folder.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(home.Path()))
        ADD_FAILURE() << "unexpected file " << entry.path();
}

// A session bus without service activation: nothing but our own daemon can
// take the Secret Service name, and no prompter can be started.
constexpr const char* kPrivateBusConfig = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

// gnome-keyring makes no login keyring for an empty unlock password (every
// store would then wait for a prompt), so the test keyring gets this one.
constexpr const char* kTestKeyringPassword = "tidewell-test";

// Runs inside dbus-run-session: starts a keyring daemon of its own, unlocked
// with the test password, and checks the real store.
void RunAgainstLiveKeyring(const std::string& folder)
{
    const std::string resultFile = folder + "/result";
    const std::string passwordFile = folder + "/password";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, passwordFile.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(kKeyringDaemon), const_cast<char*>("--foreground"),
                    const_cast<char*>("--unlock"), const_cast<char*>("--components=secrets"), nullptr};
    pid_t daemon = -1;
    int error = posix_spawn(&daemon, kKeyringDaemon, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ASSERT_EQ(error, 0) << "cannot start " << kKeyringDaemon;
    struct DaemonStopper {
        pid_t pid;
        ~DaemonStopper()
        {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    } stopper{daemon};

    // Ready once the service answers at all.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    SecretStatus probe = SecretStatus::kUnavailable;
    std::string ignored;
    while (std::chrono::steady_clock::now() < deadline) {
        probe = LookupSecret("Tidewell-probe", "probe", ignored);
        if (probe != SecretStatus::kUnavailable) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (probe == SecretStatus::kUnavailable || probe == SecretStatus::kLocked) {
        testsupport::WriteFileBytes(resultFile, std::string("skip: gnome-keyring did not come up unlocked (") +
                                                    SecretStatusName(probe) + ")");
        return;
    }

    CFixedString255 found("unchanged");
    EXPECT_EQ(FindKeychainPassword("mail.example.org", "me", found), kSysKeychainItemNotFound);
    EXPECT_STREQ(found.c_str(), "unchanged");

    EXPECT_EQ(StoreKeychainPassword("mail.example.org", "me", "first"), kSysNoError);
    EXPECT_EQ(StoreKeychainPassword("mail.example.org", "me", "s\xC3\xA9" "cond pass"), kSysNoError);
    EXPECT_EQ(StoreKeychainPassword("mail.example.org", "other", "theirs"), kSysNoError);
    EXPECT_EQ(FindKeychainPassword("mail.example.org", "me", found), kSysNoError);
    EXPECT_STREQ(found.c_str(), "s\xC3\xA9" "cond pass");
    EXPECT_EQ(FindKeychainPassword("mail.example.org", "other", found), kSysNoError);
    EXPECT_STREQ(found.c_str(), "theirs");

    // One item per pair: after one delete nothing is left.
    EXPECT_EQ(DeleteSecret("Tidewell", "mail.example.org:me"), SecretStatus::kOK);
    EXPECT_EQ(DeleteSecret("Tidewell", "mail.example.org:me"), SecretStatus::kNotFound);

    // A stored password the settings could hold only cut is not handed out cut.
    ASSERT_EQ(StoreSecret("Tidewell", "mail.example.org:long", std::string(300, 'x')), SecretStatus::kOK);
    found = "unchanged";
    EXPECT_EQ(FindKeychainPassword("mail.example.org", "long", found), kSysKeychainTooLong);
    EXPECT_STREQ(found.c_str(), "unchanged");
    std::string password(255, 'y');
    EXPECT_EQ(StoreKeychainPassword("mail.example.org", "long", password.c_str()), kSysNoError);
    EXPECT_EQ(FindKeychainPassword("mail.example.org", "long", found), kSysNoError);
    EXPECT_EQ(std::string(found.c_str()), password);

    testsupport::WriteFileBytes(resultFile, "ran");
}

TEST(Keychain, LiveSecretService)
{
    if (const char* folder = std::getenv(kChildMarker)) {
        RunAgainstLiveKeyring(folder);
        return;
    }
    if (!IsExecutable(kDbusRunSession) || !IsExecutable(kKeyringDaemon))
        GTEST_SKIP() << "needs " << kDbusRunSession << " and " << kKeyringDaemon;

    testsupport::TempDir home;
    std::string runtime = home.MakeFolder("runtime");
    ASSERT_EQ(::chmod(runtime.c_str(), 0700), 0);
    CEnvironment environment;
    environment.Set("HOME", home.Path());
    environment.Set("XDG_DATA_HOME", home.MakeFolder("data"));
    environment.Set("XDG_CONFIG_HOME", home.MakeFolder("config"));
    environment.Set("XDG_RUNTIME_DIR", runtime);
    environment.Set("DISPLAY", std::nullopt);
    environment.Set("DBUS_SESSION_BUS_ADDRESS", std::nullopt);
    environment.Set(kChildMarker, home.Path());
    std::string busConfig = home.Write("session-bus.conf", kPrivateBusConfig);
    home.Write("password", kTestKeyringPassword);

    char self[4096];
    ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(length, 0);
    self[length] = '\0';
    std::string log = home.File("child.log");
    int status = testsupport::RunProgram(
        {kDbusRunSession, "--config-file=" + busConfig, "--", self, "--gtest_filter=Keychain.LiveSecretService"}, log,
        std::chrono::seconds(90));
    std::string result = testsupport::ReadFileBytes(home.File("result"));
    std::string output = testsupport::ReadFileBytes(log);
    if (result.rfind("skip: ", 0) == 0) GTEST_SKIP() << result.substr(6) << "\n" << output;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << testsupport::DescribeWaitStatus(status) << "\n" << output;
    EXPECT_EQ(result, "ran") << output;
}

}  // namespace
