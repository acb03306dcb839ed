// The application's connection to the desktop's URL opener and to the
// file-name mappings. On Linux there is no preference service behind it:
// URLs go to xdg-open and the mapping walk reads the table compiled into the
// program (file_name_mappings.h), so it is always available.
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/system/file_name_mappings.h"
#include "foundation/errors/status_codes.h"

// The application's own creator code, which the program passes to every
// CInternetConfig it makes.
constexpr TypeCode kTidewellCreator = MakeTypeCode("Wdtq");

class CInternetConfig {
public:
    explicit CInternetConfig(TypeCode creator);
    virtual ~CInternetConfig();
    CInternetConfig(const CInternetConfig&) = delete;
    CInternetConfig& operator=(const CInternetConfig&) = delete;

    [[nodiscard]] SystemStatus Start();
    [[nodiscard]] SystemStatus Stop();

    // Opens the URL in the application the desktop assigns to its scheme.
    // kSysNotStarted before Start; kSysBadParameter for an empty URL or one
    // the opener would misread; kSysLaunchFailed when xdg-open cannot run.
    [[nodiscard]] SystemStatus LaunchURL(std::string_view url);

    // One walk over every mapping, in the table's order:
    // BeginMapping, NextMapEntry until false, EndMapping.
    [[nodiscard]] SystemStatus BeginMapping();
    [[nodiscard]] bool NextMapEntry(FileNameMapping& entry);
    // kSysNotStarted when not started or no walk is open.
    [[nodiscard]] SystemStatus EndMapping();

    [[nodiscard]] bool IsAvailable() const { return mAvailable; }
    [[nodiscard]] bool IsStarted() const { return mStarted; }

private:
    bool mAvailable = true;
    bool mStarted = false;
    bool mMappingOpen = false;
    std::int32_t mEntryCount = 0;
    std::int32_t mNextIndex = 0;  // 1-based
    TypeCode mCreator;
};
