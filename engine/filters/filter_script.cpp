#include "engine/filters/filter_script.h"

#include <atomic>
#include <string_view>

#include "engine/filters/filter_tests.h"
#include "engine/filters/script_process.h"
#include "engine/url/url_record.h"
#include "foundation/threads/worker_pool.h"

namespace {

std::atomic<long long> gTimeoutMilliseconds{kDefaultFilterScriptTimeout.count()};

// Environment texts end at their first NUL.
void AddValue(std::vector<std::string>& environment, const char* name, std::string_view value)
{
    value = value.substr(0, value.find('\0'));
    if (value.size() > kMaxScriptValueBytes) return;
    std::string entry(name);
    entry += '=';
    entry += value;
    environment.push_back(std::move(entry));
}

}  // namespace

CFilterScriptInput MakeFilterScriptInput(const CURL& url)
{
    CFilterScriptInput made;
    std::vector<std::string>& env = made.environment;
    AddValue(env, "TIDEWELL_URL", url.mURL);
    AddValue(env, "TIDEWELL_HOST", url.mHost);
    AddValue(env, "TIDEWELL_PATH_ARGS", url.mDollarPart);
    AddValue(env, "TIDEWELL_PATH", FilterPathOf(url));
    AddValue(env, "TIDEWELL_SEARCH_ARGS", url.mQuery);
    AddValue(env, "TIDEWELL_HEADER", url.mRawHeader.View());
    AddValue(env, "TIDEWELL_DATE", url.mDate);
    AddValue(env, "TIDEWELL_LAST_MODIFIED", url.mLastModified);
    AddValue(env, "TIDEWELL_CONTENT_TYPE", url.mContentType);
    AddValue(env, "TIDEWELL_CONTENT_LENGTH", url.mContentLength);
    AddValue(env, "TIDEWELL_LOCATION", url.mLocation);
    AddValue(env, "TIDEWELL_PARENT_URL", url.mParentURL);
    AddValue(env, "TIDEWELL_NAME", url.mFileName.empty() ? std::string_view("Index.html") : url.mFileName);
    AddValue(env, "TIDEWELL_SUFFIX", url.mExtension);
    AddValue(env, "TIDEWELL_RESPONSE", url.mStatusLine.View());
    if (IsTextContentType(url.mContentType) && url.mBody.CopyTo(made.standardInput))
        AddValue(env, "TIDEWELL_DATA", made.standardInput);
    return made;
}

int RunFilterScript(const char* scriptPath, const CURL& url)
{
    if (scriptPath == nullptr || *scriptPath == '\0') return 0;
    // Everything the worker touches is copied here: the record and the node
    // pools belong to the cooperative threads.
    std::string path(scriptPath);
    CFilterScriptInput input = MakeFilterScriptInput(url);
    std::chrono::milliseconds timeout = FilterScriptTimeout();
    int status = 0;
    RunOnWorker([&] { status = RunProgramWithInput(path, input.environment, input.standardInput, timeout); });
    return status;
}

void SetFilterScriptTimeout(std::chrono::milliseconds timeout) { gTimeoutMilliseconds = timeout.count(); }

std::chrono::milliseconds FilterScriptTimeout() { return std::chrono::milliseconds(gTimeoutMilliseconds.load()); }
