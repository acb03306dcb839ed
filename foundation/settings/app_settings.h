// The one application-wide settings object, built at start-up from the
// preferences and kept in gAppSettings: the file-type table, the entity and
// escape tables, folders, the network time-out and mail-retry settings, the
// mail account, the user-agent list and the application log.
//
// Built headless: the windows add what only they can make (icons, fonts, the
// recent-items menu object) through the hooks below. Cooperative threads
// read it without locks; only the mail fields and the user agents change
// after construction, through the reload operations.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/containers/pooled_map.h"
#include "foundation/settings/log_file.h"
#include "foundation/system/file_name_mappings.h"
#include "foundation/errors/status_codes.h"
#include "foundation/text/fixed_string.h"

class CEntityTable;
class CRecentItems;

// The menu that LoadUserAgents fills; item numbers count from 1. The windows
// implement it on their popup menus.
class CUserAgentMenu {
public:
    virtual ~CUserAgentMenu() = default;
    virtual void RemoveAllItems() = 0;
    virtual void AppendItem(const std::string& text) = 0;
    virtual void DisableItem(int itemNumber) = 0;
};

// The keychain look-up of the mail password (FindKeychainPassword by
// default); tests put their own in with SetMailPasswordLookup.
using MailPasswordLookup = SystemStatus (*)(const char* mailServer, const char* userName,
                                            CFixedString255& password);
void SetMailPasswordLookup(MailPasswordLookup lookup);  // null restores the keychain

// File-name extension (with its dot) to its mapping; Lookup of a missing
// extension gives the empty default entry.
using CFileTypeTable = TPooledMap<CFixedString255, FileNameMapping>;

class CAppSettings {
public:
    static constexpr const char* kApplicationName = "Tidewell";
    static constexpr const char* kRecentItemsKey = "Recent Items";
    static constexpr std::int32_t kRecentItemsCapacity = 10;
    static constexpr std::int32_t kDefaultMailServerPort = 25;
    static constexpr std::int32_t kDefaultMailPeriod = 20;
    static constexpr const char* kDefaultUserAgentsResource = "DefaultUserAgents.plist";

    // Reads everything from the preferences and resources and opens the
    // application log; nothing here fails: what is missing takes its default.
    CAppSettings();
    // Closes the application log.
    ~CAppSettings();
    CAppSettings(const CAppSettings&) = delete;
    CAppSettings& operator=(const CAppSettings&) = delete;

    // Fills the file-type table from the compiled-in file-name mappings; an
    // extension already present keeps its first entry.
    void LoadFileMappings();

    // "Mail Server" into mMailServer: true when stored and not empty. A
    // missing or empty value clears the field, so that clearing it in the
    // preferences stops the mails.
    bool LoadMailServer();
    // "Mail Server Port": 25 when missing or outside 1 to 65535.
    [[nodiscard]] std::int32_t GetMailServerPort() const;
    // "Username" into mMailUserName, then the keychain password of the
    // account "<server>:<user>" into mMailPassword (cleared first, so a
    // changed account never keeps the old account's password).
    void LoadMailAccount();
    // "Mail Recipient" into mMailRecipient: true when stored and not empty;
    // cleared otherwise.
    bool LoadMailRecipient();
    // "Mail Period" in minutes: 20 when missing or outside 1 to 32767.
    [[nodiscard]] std::int32_t GetMailPeriod() const;
    // All five above, in that order; called again before each use of the
    // mail settings so that changes in the preferences take effect.
    void LoadMailSettings();

    // The application log "Tidewell.log" in the support folder, rotated at
    // kApplicationLogRotateBytes. A log that cannot be opened leaves
    // logging off.
    void OpenLog();
    void CloseLog();

    // Fills the menu (when given) with "Tidewell", "-", then the names of the
    // "User Agents" preference dictionary, or of the resource
    // "DefaultUserAgents.plist" when that preference is missing or not a
    // dictionary; item 2 is disabled in every case. The names and the
    // user-agent texts go to mUserAgentNames and mUserAgentStrings.
    void LoadUserAgents(CUserAgentMenu* menu);

    // The queue folder: "FTP Queue" in a folder private to the user
    // ($XDG_RUNTIME_DIR/tidewell, else $XDG_CACHE_HOME/tidewell), never a
    // fixed name in a shared temporary folder. Made when missing; false when
    // it cannot be.
    [[nodiscard]] bool MakeQueueFolder();

    // Four-char codes filled by the start-up from "DefaultCreatorCode" and
    // "DefaultTypeCode".
    CFixedString31 mDefaultCreatorCode;
    CFixedString31 mDefaultTypeCode;
    // Null when the resource "ISO8559" is missing.
    std::unique_ptr<CEntityTable> mEntityTable;
    // On unless "Display Help Tags" is stored as "false".
    bool mHelpTags = true;
    // The recent starting URLs; made by the windows layer, which owns that
    // class, right after the settings (key kRecentItemsKey, capacity
    // kRecentItemsCapacity). Released with the settings.
    std::shared_ptr<CRecentItems> mRecentItems;
    // On unless "Create Aliases" is stored as "false".
    bool mCreateAliases = true;
    // "$XDG_DATA_HOME/Farrowby Software/Tidewell": the log's folder.
    std::string mSupportFolderPath;
    // The short version text and the user agent, filled by the start-up.
    CFixedString255 mVersion;
    CFixedString255 mUserAgent;
    // "Configurations" in the support folder (not created here).
    std::string mConfigurationsFolderPath;
    // The folder that holds the program, and the program's own path.
    CFixedString255 mApplicationFolderPath;
    std::string mApplicationPath;
    // The user's download folder (XDG "DOWNLOAD" directory, else ~/Downloads).
    std::string mDownloadFolderPath;
    // Set by MakeQueueFolder.
    std::string mQueueFolderPath;
    CFileTypeTable mFileTypeTable;
    std::int32_t mNetworkTimeout = 60;
    std::int32_t mMessageRetries = 0;
    std::int32_t mMessageRetriesInterval = 10;
    bool mAutoRedirect = false;
    // Form encoding: char to escape text, and escape text back to char.
    TPooledMap<char, CFixedString31> mCharToEscape;
    TPooledMap<CFixedString31, char> mEscapeToChar;
    // Parallel lists filled by LoadUserAgents: menu item n (from 3 on) is
    // entry n - 3.
    std::vector<std::string> mUserAgentNames;
    std::vector<std::string> mUserAgentStrings;
    CFixedString255 mMailServer;
    std::int32_t mMailServerPort = kDefaultMailServerPort;
    CFixedString255 mMailUserName;
    CFixedString255 mMailPassword;  // from the keychain only
    CFixedString255 mMailRecipient;
    std::int32_t mMailPeriod = kDefaultMailPeriod;
    // The application log; null when it was not opened.
    std::unique_ptr<CLogHolder> mLog;
};

// The one settings object: null until the start-up makes it.
extern CAppSettings* gAppSettings;
