// CURL: one address of the crawl, split into its parts, together with what a
// fetch learned about the resource (status, response header fields, body)
// and the crawl that fetches it.
//
// URL texts are never cut: every part is a std::string. The record is a
// broadcaster: its grab thread listens to it, and the crawl broadcasts
// kMsgSkip through it to abort the transfer in progress.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/http/response_header.h"
#include "foundation/errors/status.h"
#include "foundation/files/dynamic_buffer.h"
#include "foundation/files/file_ref.h"
#include "foundation/messaging/broadcaster.h"
#include "foundation/text/text_buffer.h"

class CCrawlListener;
class CCrawlOwner;
class CGrabThread;

enum EURLScheme : std::int32_t {
    kSchemeHTTP = 1,
    kSchemeFTP = 2,
    kSchemeHTTPS = 3,
};

class CURL : public CBroadcaster {
public:
    CURL();
    explicit CURL(std::string_view url);
    // Copies every field but mLocation, mRealm, mModificationSeconds and
    // mFetchFinished; listeners are not copied.
    CURL(const CURL& other);
    CURL& operator=(const CURL& other);
    ~CURL() override;

    // Parsing and comparing ----------------------------------------------------
    // Cuts a non-empty text at its last '#', stores and parses it; an empty
    // text leaves the URL fields. Both owners become null in either case.
    void SetURL(std::string_view url);
    // Replaces the whole record by one freshly built from `url`.
    void ResetToURL(std::string_view url);
    // Equal once query, fragment and '$' parts are cut off (case matters).
    [[nodiscard]] bool IsSameURL(const CURL& other) const;
    [[nodiscard]] static bool IsIPAddressHost(std::string_view host);
    std::string GetCookieDomain() const;
    [[nodiscard]] bool IsDynamic() const;
    // A ".php", ".php3" or ".phtml" file.
    [[nodiscard]] bool HasPHPExtension() const;
    [[nodiscard]] bool GetDollarPart(std::string& out) const;
    [[nodiscard]] bool GetQuery(std::string& out) const;
    // Case-blind search of the body taken as text.
    [[nodiscard]] bool BodyContains(const char* text) const;

    // Saving ---------------------------------------------------------------------
    // Every save replaces the file whole (no old tail), then sets its date to
    // mModificationSeconds, its comment to mURL and its origin label to mURL
    // without credentials; the first failure is returned (-ENOTSUP on a file
    // system without user attributes, after the body was written).
    //
    // Writes the body into an existing file (-ENOENT when it is missing).
    CStatus SaveBodyToFile(const CFileRef& file) const;
    // HEAD, then mURL + the extension that the Content-Type maps to, when the
    // file name has none.
    [[nodiscard]] bool GetURLWithTypeExtension(const char* userAgent, const char* user, const char* password,
                                 std::int32_t timeoutSeconds, std::string& out);

    // Fetching (each returns mFetchedOK) -------------------------------------------
    std::uint8_t FetchHead(const char* userAgent, const char* user, const char* password, std::int32_t timeoutSeconds);
    std::uint8_t FetchContentType(const char* userAgent, std::int32_t timeoutSeconds);
    std::uint8_t Fetch(const char* userAgent, const char* user, const char* password, std::int32_t timeoutSeconds);
    std::uint8_t FetchSimple(std::int32_t timeoutSeconds);
    std::uint8_t FetchWithAgent(const char* userAgent, std::int32_t timeoutSeconds);
    // A request whose progress is posted to `listener` from its OS thread.
    std::uint8_t FetchWithProgress(CCrawlOwner* owner, CCrawlListener* listener, const char* userAgent,
                                   const char* user, const char* password, std::int32_t timeoutSeconds);
    std::uint8_t FetchAuthorized(CCrawlOwner* owner, CCrawlListener* listener, const char* userAgent,
                                 std::int32_t timeoutSeconds);
    std::uint8_t Post(const char* userAgent, const char* user, const char* password, const CTextBuffer& body);
    // A saved copy stands in for a response: status 200 (set first, so it
    // stays even when the file cannot be read and 0 is returned), the file's
    // date as Last-Modified and Date, the MIME type of its extension, its
    // bytes as the body; mHasData becomes 1.
    std::uint8_t LoadFromFile(const CFileRef& file);
    // A grab thread that tells `listener` of the transfer on the crawl's side.
    std::uint8_t Grab(CCrawlOwner* owner, CCrawlListener* listener, const char* userAgent, const char* user,
                      const char* password);
    std::uint8_t GrabWithLogin(CCrawlOwner* owner, CCrawlListener* listener, const char* userAgent);
    void WaitForGrab(CGrabThread* grabThread);
    // Copies the fields of a raw response header (status line first; CRLF or
    // bare LF; interim 1xx blocks skipped) into the record, and its cookies
    // into the owner's running crawl: a cookie without Domain belongs to this
    // URL's host (port dropped), one without Path to "/" + mDirectory. Fields
    // the response lacks are emptied.
    void ReadResponseHeaders(std::string_view rawHeader);
    // The same for mRawHeader, leaving the status line and code alone (the
    // download thread reports those). The header its download parsed, when
    // it kept one, stands for the text: it is read once per response.
    void ParseRawHeaders();
    void KeepReceivedHeader(CResponseHeader&& header);

    // The file name of this URL's copy in the mirror (percent-decoded, before
    // the mirror's safe-name rules): `indexName` for a dynamic URL when
    // `indexForDynamic`, and for a .php, .php3 or .phtml URL when
    // `remapAllPHP` too, else mFileWithQuery (`indexName` when empty). The
    // crawl saves under it and links to the saved file are made from it.
    std::string MirrorFileName(const std::string& indexName, bool indexForDynamic, bool remapAllPHP) const;

    // The grab whose crawl fetches this URL (the request's owner wins when
    // both are set), or null.
    CCrawlOwner* Owner() const;
    // mContentLength as a 64-bit byte count; nothing when it is not a number.
    [[nodiscard]] std::optional<std::uint64_t> ContentLengthBytes() const;
    // The mirror levels of the record: the host, its port when one is given,
    // then (with `withDirectory`) every directory component.
    std::vector<std::string> MirrorFolderSegments(bool withDirectory) const;

    // Fields ---------------------------------------------------------------------------
    std::uint8_t mFetchedOK = 0;
    std::uint8_t mFetchFinished = 0;
    std::string mURL;
    CTextBuffer mPostBody;
    std::int32_t mScheme = kSchemeHTTP;
    std::string mHost;  // with ":port" when one was given
    std::string mDirectory;  // no leading or trailing '/'
    std::vector<std::string> mDirectoryComponents;
    std::string mFileWithQuery;
    std::string mFileName;
    std::string mExtension;  // with its '.'
    std::string mQuery;
    std::string mDollarPart;
    std::string mFragment;
    std::uint32_t mFileType = 0;
    std::uint32_t mFileCreator = 0;
    CTextBuffer mStatusLine;
    std::int32_t mStatusCode = 0;
    std::uint8_t mHasData = 0;
    CLDynamicBuffer mBody;
    CTextBuffer mRawHeader;
    // The owner of the URL's grab-thread transfer and of its posted-progress
    // request; a HEAD forgets the first only. The listener hears both.
    CCrawlOwner* mGrabOwner = nullptr;
    CCrawlOwner* mRequestOwner = nullptr;
    CCrawlListener* mListener = nullptr;
    std::string mDate;
    std::string mLastModified;
    // Last-Modified as Unix seconds, or the time of the fetch when absent.
    std::int64_t mModificationSeconds = 0;
    // When positive, an HTTP GET of this record asks for the body only when
    // the server's copy is newer than these Unix seconds (If-Modified-Since):
    // a 304 answer means the saved copy is current.
    std::int64_t mIfModifiedSince = 0;
    // The conditional GET was answered "304 Not Modified".
    [[nodiscard]] bool IsUnchangedAnswer() const { return mIfModifiedSince > 0 && mStatusCode == 304; }
    std::string mContentType;
    std::string mContentLength;
    std::string mLocation;
    std::string mRealm;
    std::string mTitle;
    std::string mParentURL;
    // Why the last fetch got no response ("connection refused", "unknown
    // host", ...); empty after one that got an answer, whatever its status.
    std::string mFailureText;

private:
    void Parse();
    void CopyFrom(const CURL& other);
    // Re-parses the URL fields from `url`, keeping everything else.
    void ReparseAs(std::string_view url);
    // Writes the body into the file whole, then its date, comment and origin.
    CStatus WriteBodyAndLabels(const CFileRef& file) const;
    CStatus WriteSavedFileLabels(const CFileRef& file) const;
    void ApplyHeaderBlock(const CHeaderBlock& block);
    // The download's parse of mRawHeader, until ParseRawHeaders takes it.
    std::optional<CResponseHeader> mReceivedHeader;
    void StoreResponseCookies(const std::vector<std::string>& setCookieValues);
};
