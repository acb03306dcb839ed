// The report files of a crawl, in the configuration's log folder, each named
// after the start host: the site map, the harvested e-mail addresses, the
// error and offsite lists, and the cookie file read before the crawl and
// written after it; and the summary lines of the log. The text reports end
// their lines with LF, as every Linux tool reading them expects.
#include <utility>

#include "engine/config/configuration.h"
#include "engine/cookies/cookie_file.h"
#include "engine/cookies/cookie_store.h"
#include "engine/crawl/crawl_options.h"
#include "engine/crawl/crawl_reports.h"
#include "engine/crawl/html_escape.h"
#include "engine/crawl/site_index.h"
#include "engine/owner/crawl_listener.h"
#include "engine/url/url_record.h"
#include "foundation/files/whole_file.h"
#include "foundation/settings/log_file.h"
#include "foundation/text/text_encodings.h"

namespace {

// Report text from page text: a title holds entities ("&#8212;") that must
// be written once, not escaped again.
void AppendPageText(std::string& out, std::string_view pageText) { AppendEscapedHTML(out, DecodeEntities(pageText)); }

}  // namespace

CCrawlReports::CCrawlReports(CCrawlListener& listener, const std::string& startHost)
    : mListener(listener), mStartHost(startHost)
{
}

void CCrawlReports::ShowStatus(const std::string& text) { mListener.CrawlStatus(text); }

void CCrawlReports::LogLine(const std::string& text) { mListener.CrawlLog(text, ELogLine::kNotice); }

// Pages write addresses and anchors as HTML ("ann&#64;example.com", "R&amp;D");
// the report holds the text. An address met again keeps its place and takes
// the newest anchor text.
void CCrawlReports::AddEmailAddress(const std::string& address, const std::string& anchorText)
{
    std::string text = DecodeEntities(address);
    // One line per address: the anchor's line breaks and tabs become blanks.
    std::string anchor;
    for (char c : DecodeEntities(anchorText)) {
        const bool blank = IsAsciiSpace(static_cast<unsigned char>(c));
        if (!blank) anchor += c;
        else if (!anchor.empty() && anchor.back() != ' ') anchor += ' ';
    }
    if (!anchor.empty() && anchor.back() == ' ') anchor.pop_back();
    auto [found, added] = mEmailIndex.try_emplace(std::move(text), mEmailAddresses.size());
    if (added) mEmailAddresses.emplace_back(found->first, std::move(anchor));
    else if (!anchor.empty()) mEmailAddresses[found->second].second = std::move(anchor);
}

void CCrawlReports::WriteSummary(const SCrawlOptions& options, const CMiscOptions& misc, const std::string& failure,
                                 const CCrawlCounters& counters, std::int64_t elapsedSeconds)
{
    if (options.detailedLog) {
        if (failure.empty()) mListener.CrawlLog("Done", ELogLine::kTrace);
        else mListener.CrawlLog(failure, ELogLine::kFailure);
        std::string summary;
        summary += "Total files grabbed: " + std::to_string(counters.saved) + "\r";
        summary += "Total errors: " + std::to_string(counters.errors) + "\r";
        summary += "Total bytes grabbed: " + std::to_string(counters.bytes) + "\r";
        summary += "Total time: " + std::to_string(elapsedSeconds) + "\r";
        mListener.CrawlLog(summary, ELogLine::kTrace);
    }
    if (options.linkReports) {
        const std::string logFolder = misc.logFolder.c_str();
        if (misc.errorLinks) WriteErrorReport(logFolder);
        if (misc.offsiteLinks) WriteOffsiteReport(logFolder);
    }
}

// The crawl goes on whatever became of a report, but a report that could
// not be written is told, never passed over.
void CCrawlReports::WriteReport(const std::string& path, std::string_view text)
{
    ReportWriteOutcome(path, path.empty() ? CStatus::FromCode(-ENOENT) : WriteWholeFile(CFileRef(path), text));
}

void CCrawlReports::ReportWriteOutcome(const std::string& path, const CStatus& status)
{
    if (status.Ok()) return;
    const std::string shown = path.empty() ? std::string("(no log folder)") : path;
    LogLine("The report could not be written: " + shown + " (" + status.Text() + ")");
}

std::string CCrawlReports::ReportPath(const std::string& folder, const char* suffix) const
{
    // Without a log folder there is nowhere to write: never the root folder.
    if (folder.empty()) return {};
    std::string path = folder;
    if (path.empty() || path.back() != '/') path += '/';
    for (char c : mStartHost) path += c == ':' ? '-' : c;
    path += suffix;
    return path;
}

void CCrawlReports::GenerateSiteMap(const CSiteIndex& index, const CMiscOptions& misc, bool openAfterwards)
{
    ShowStatus("Generating site map");
    std::string text = "<HTML>\n<HEAD>\n<TITLE>\n";
    AppendEscapedHTML(text, mStartHost);
    text += " Site Map</TITLE>\n</HEAD>\n<BODY BGCOLOR=\"#FFFFFF\">\n<H2>";
    AppendEscapedHTML(text, mStartHost);
    text += "</H2>\n";

    // The tree, depth first: each node lists its visited URLs, then its
    // child folders. An explicit stack, since a URL may have any number of
    // folders.
    struct CStep {
        std::uint32_t node;
        std::size_t nextChild;
    };
    std::vector<CStep> stack;
    auto open = [&](std::uint32_t node) {
        const std::size_t depth = stack.size() + 1;
        text.append(depth, '\t');
        text += "<UL>\n";
        for (const CSiteIndex::Item* record : index.TreeNode(node).records) {
            const std::string& url = record->first;
            const std::string& title = record->second.title;
            // Only URLs whose file is in the mirror (saved, or a redirect
            // to a saved file).
            if (record->second.state != ETargetState::kSaved) continue;
            bool listed = misc.includeAll != 0;
            if (!listed) {
                // The extension as the URL writes it, letter case included.
                const std::string extension = CURL(url).mExtension;
                for (const CFixedString255& suffix : misc.siteMapSuffixes)
                    if (!extension.empty() && extension == suffix.c_str()) listed = true;
            }
            if (!listed) continue;
            text.append(depth, '\t');
            text += "<LI><A HREF=\"";
            AppendEscapedHTML(text, url);
            text += "\">";
            switch (misc.siteMapFormat) {
            case 1:
                if (title.empty()) AppendEscapedHTML(text, url);
                else AppendPageText(text, title);
                break;
            case 2: AppendEscapedHTML(text, url); break;
            case 3:
                if (title.empty()) {
                    AppendEscapedHTML(text, url);
                } else {
                    AppendPageText(text, title);
                    text += " (";
                    AppendEscapedHTML(text, url);
                    text += ")";
                }
                break;
            default: break;
            }
            text += "</A>\n";
        }
        stack.push_back(CStep{node, 0});
    };
    open(CSiteIndex::kRoot);
    while (!stack.empty()) {
        CStep& step = stack.back();
        const CSiteIndex::Node& node = index.TreeNode(step.node);
        const std::size_t depth = stack.size();
        if (step.nextChild < node.children.size()) {
            const std::uint32_t child = node.children[step.nextChild++];
            text.append(depth, '\t');
            text += "<LI><B>";
            AppendEscapedHTML(text, index.TreeNode(child).name);
            text += "</B>\n";
            open(child);
            continue;
        }
        text.append(depth, '\t');
        text += "</UL>\n";
        stack.pop_back();
    }
    text += "</BODY>\n</HTML>\n";

    const std::string path = ReportPath(misc.logFolder.c_str(), ".sitemap.html");
    WriteReport(path, text);
    if (openAfterwards) OpenInDefaultApp(path);
}

void CCrawlReports::SaveEmailAddresses(const std::string& folder)
{
    ShowStatus("Saving email addresses");
    std::string text;
    for (const auto& [address, anchor] : mEmailAddresses) {
        text += anchor;
        text += '\t';
        text += address;
        text += '\n';
    }
    WriteReport(ReportPath(folder, ".email.txt"), text);
}

void CCrawlReports::WriteErrorReport(const std::string& folder)
{
    if (mErrorURLs.empty() && mUnauthorizedURLs.empty()) return;
    ShowStatus("Saving error and unauthorized urls");
    // A URL that asked for a login no configured one answered is listed
    // once, as unauthorized.
    std::string errors;
    for (const auto& [url, referrer] : mErrorURLs)
        if (!mUnauthorizedIndex.contains(url)) errors += "\n" + url + "\nReferred from: " + referrer + "\n\n";
    std::string text;
    if (!errors.empty()) text += "Errors: \n" + errors;
    if (!mUnauthorizedURLs.empty()) {
        text += "\nUnauthorized URLs: \n";
        for (const std::string& url : mUnauthorizedURLs) text += "\n" + url + "\n\n";
    }
    WriteReport(ReportPath(folder, ".errors.txt"), text);
}

void CCrawlReports::WriteOffsiteReport(const std::string& folder)
{
    if (mOffsiteURLs.empty()) return;
    ShowStatus("Saving error and unauthorized urls");
    std::string text = "Offsite URLs: \n";
    for (const std::string& url : mOffsiteURLs) text += "\n" + url + "\n";
    WriteReport(ReportPath(folder, ".offsite.txt"), text);
}

CStatus CCrawlReports::LoadCookies(const std::string& folder, CCookieStore& cookies)
{
    ShowStatus("Loading cookies from last session");
    const std::string path = ReportPath(folder, ".cookies.plist");
    if (path.empty()) return CStatus::FromCode(-ENOENT);
    PlistValue list;
    const CStatus status = ReadPropertyListFile(CFileRef(path), list);
    // A first session has no file; one that is there but unreadable is told,
    // since the end of the crawl writes this session's cookies over it.
    if (status.Failed() && status.Code() != -ENOENT)
        LogLine("The cookies of the last session could not be read: " + path + " (" + status.Text() + ")");
    if (status.Failed()) return status;
    cookies.AddFromArray(list);
    return {};
}

void CCrawlReports::SaveCookies(const std::string& folder, const CCookieStore& cookies)
{
    ShowStatus("Saving this sessions cookies");
    const std::string path = ReportPath(folder, ".cookies.plist");
    ReportWriteOutcome(path, path.empty() ? CStatus::FromCode(-ENOENT)
                                          : WritePropertyListFile(cookies.CopyAsArray(), CFileRef(path)));
}
