// The broadcast messages between a download thread, its grab thread, the URL
// record and the grabber window's Skip button, and their payloads.
//
// Payloads travel as the message's void* parameter:
//   kMsgStatusText, kMsgElapsedTime   const std::string*
//   kMsgNetworkError                  const std::int32_t* (an EDownloadError)
//   kMsgResponseHeader                const CResponseHeader*
//   kMsgResourceInfo                  const std::string* (the resource name)
//   kMsgDataAvailable, kMsgProgress   const SDownloadProgress*
//   kMsgDownloadError                 const SDownloadErrorReport*
//   every other code                  null
#pragma once

#include <cstdint>
#include <string>

#include "foundation/messaging/broadcaster.h"

// From a download thread to its listeners.
inline constexpr MessageT kMsgDownloadStarted = MakeFourCharCode("Init");
inline constexpr MessageT kMsgStatusText = MakeFourCharCode("Mesg");
inline constexpr MessageT kMsgNetworkError = MakeFourCharCode("NErr");
inline constexpr MessageT kMsgResponseHeader = MakeFourCharCode("PHdr");
inline constexpr MessageT kMsgResourceInfo = MakeFourCharCode("Chng");
inline constexpr MessageT kMsgDataAvailable = MakeFourCharCode("Avai");
inline constexpr MessageT kMsgProgress = MakeFourCharCode("Prog");
inline constexpr MessageT kMsgElapsedTime = MakeFourCharCode("Time");
inline constexpr MessageT kMsgAbortStarted = MakeFourCharCode("Abrt");
inline constexpr MessageT kMsgResumed = MakeFourCharCode("Rsme");
inline constexpr MessageT kMsgDownloadComplete = MakeFourCharCode("Cmpl");
inline constexpr MessageT kMsgDownloadAborted = MakeFourCharCode("DAbt");
// Why a transfer failed, before its kMsgNetworkError.
inline constexpr MessageT kMsgDownloadError = MakeFourCharCode("DErr");

// Commands to a download thread. kMsgPause is also its answer when a
// transfer becomes paused.
inline constexpr MessageT kMsgCancel = MakeFourCharCode("Cncl");
inline constexpr MessageT kMsgPause = MakeFourCharCode("Paus");

// From the Skip button, or from the crawl through the URL record: give up
// the URL in progress.
inline constexpr MessageT kMsgSkip = MakeFourCharCode("SKIP");

// Payload of kMsgDataAvailable and kMsgProgress. `size` is 0 when unknown.
struct SDownloadProgress {
    std::uint64_t bytes = 0;
    std::uint64_t size = 0;
    std::string name;
};

// Payload of kMsgDownloadError.
struct SDownloadErrorReport {
    std::int32_t code = 0;
    std::string text;
};

// The codes that kMsgNetworkError carries: why a transfer could not finish.
enum EDownloadError : std::int32_t {
    kDownloadErrorFailed = -1,     // refused request, network or protocol error
    kDownloadErrorTruncated = -2,  // the connection closed before the announced length
};
