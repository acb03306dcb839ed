#include "engine/url/url_record.h"

#include "engine/owner/crawl_listener.h"
#include "engine/http/response_header.h"
#include "foundation/text/text_encodings.h"

CURL::CURL() = default;

CURL::CURL(std::string_view url) { SetURL(url); }

CURL::CURL(const CURL& other) : CBroadcaster(other) { CopyFrom(other); }

CURL& CURL::operator=(const CURL& other)
{
    if (this != &other) CopyFrom(other);
    return *this;
}

CURL::~CURL() = default;

void CURL::CopyFrom(const CURL& other)
{
    mFetchedOK = other.mFetchedOK;
    mURL = other.mURL;
    mPostBody = other.mPostBody;
    mScheme = other.mScheme;
    mHost = other.mHost;
    mDirectory = other.mDirectory;
    mDirectoryComponents = other.mDirectoryComponents;
    mFileWithQuery = other.mFileWithQuery;
    mFileName = other.mFileName;
    mExtension = other.mExtension;
    mQuery = other.mQuery;
    mDollarPart = other.mDollarPart;
    mFragment = other.mFragment;
    mFileType = other.mFileType;
    mFileCreator = other.mFileCreator;
    mStatusLine = other.mStatusLine;
    mStatusCode = other.mStatusCode;
    mHasData = other.mHasData;
    mBody = other.mBody;
    mRawHeader = other.mRawHeader;
    mReceivedHeader.reset();  // a parse of another response
    mGrabOwner = other.mGrabOwner;
    mRequestOwner = other.mRequestOwner;
    mListener = other.mListener;
    mDate = other.mDate;
    mLastModified = other.mLastModified;
    mContentType = other.mContentType;
    mContentLength = other.mContentLength;
    mTitle = other.mTitle;
    mParentURL = other.mParentURL;
    mFailureText = other.mFailureText;
}

void CURL::SetURL(std::string_view url)
{
    if (!url.empty()) ReparseAs(url);
    mGrabOwner = nullptr;
    mRequestOwner = nullptr;
}

void CURL::ReparseAs(std::string_view url)
{
    std::size_t hash = url.rfind('#');
    mURL.assign(url.substr(0, hash));
    Parse();
}

void CURL::ResetToURL(std::string_view url)
{
    CURL fresh(url);
    CopyFrom(fresh);
    mFetchFinished = fresh.mFetchFinished;
    mLocation = fresh.mLocation;
    mRealm = fresh.mRealm;
    mModificationSeconds = fresh.mModificationSeconds;
    mIfModifiedSince = 0;
}

CCrawlOwner* CURL::Owner() const
{
    if (mRequestOwner) return mRequestOwner;
    return mGrabOwner;
}

bool CURL::BodyContains(const char* text) const
{
    if (!text || !*text) return false;
    std::string body;
    if (!mBody.CopyTo(body)) return false;
    return FindTextNoCase(body, text) != std::string::npos;
}

std::optional<std::uint64_t> CURL::ContentLengthBytes() const { return ParseContentLength(mContentLength); }
