#include "app/windows/configurations/form_capture.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <vector>

#include "app/windows/configurations/file_choosers.h"
#include "engine/config/private_file_write.h"
#include "engine/url/url_resolution.h"
#include "engine/transfer/http_request.h"
#include "foundation/text/ascii.h"
#include "platform/launch/program_launcher.h"

namespace {

constexpr std::uint32_t kFetchTimeoutSeconds = 60;

// Every span from `open` through the next `close`, in order.
std::vector<std::string_view> Spans(std::string_view text, std::string_view open, std::string_view close)
{
    std::vector<std::string_view> spans;
    std::size_t at = 0;
    while ((at = FindTextNoCase(text, open, at)) != std::string_view::npos) {
        const std::size_t end = FindTextNoCase(text, close, at + open.size());
        if (end == std::string_view::npos) break;
        spans.push_back(text.substr(at, end + close.size() - at));
        at = end + close.size();
    }
    return spans;
}

// The value after `key` ("name="): quoted up to its closing quote, else up to
// the next blank, else up to ">". A key that is the tail of a longer
// attribute name ("username=") does not count.
std::optional<std::string> Attribute(std::string_view tag, std::string_view key)
{
    std::size_t at = 0;
    while ((at = FindTextNoCase(tag, key, at)) != std::string_view::npos) {
        const unsigned char before = at > 0 ? static_cast<unsigned char>(tag[at - 1]) : ' ';
        if (std::isalnum(before) || before == '-' || before == '_') {
            at += key.size();
            continue;
        }
        std::string_view rest = tag.substr(at + key.size());
        if (!rest.empty() && (rest[0] == '"' || rest[0] == '\'')) {
            const std::size_t close = rest.find(rest[0], 1);
            if (close != std::string_view::npos) return std::string(rest.substr(1, close - 1));
        }
        std::size_t end = rest.find_first_of(" \t\r\n>");
        if (end == std::string_view::npos) end = rest.size();
        return std::string(rest.substr(0, end));
    }
    return std::nullopt;
}

TPooledList<CInputItem> FormItems(std::string_view form)
{
    TPooledList<CInputItem> items;
    for (const char* open : {"<input", "<select", "<textarea"}) {
        for (std::string_view tag : Spans(form, open, ">")) {
            const std::optional<std::string> name = Attribute(tag, "name=");
            if (!name) continue;
            const std::optional<std::string> value = Attribute(tag, "value=");
            items.Append(CInputItem{CFixedString255(std::string_view(*name)),
                                    CFixedString255(std::string_view(value.value_or("")))});
        }
    }
    return items;
}

}  // namespace

int ParseForms(std::string_view page, TPooledList<CInputItem>& outItems, std::string& outAction)
{
    const std::vector<std::string_view> forms = Spans(page, "<form", "</form>");
    if (forms.empty()) return 0;
    std::string_view chosen = forms.back();
    TPooledList<CInputItem> items = FormItems(chosen);
    for (auto form = forms.rbegin(); form != forms.rend() && items.IsEmpty(); ++form) {
        TPooledList<CInputItem> found = FormItems(*form);
        if (found.IsEmpty()) continue;
        chosen = *form;
        items = std::move(found);
    }
    // Only the form's own opening tag can hold its action.
    const std::size_t tagEnd = chosen.find('>');
    outAction = Attribute(chosen.substr(0, tagEnd == std::string_view::npos ? chosen.size() : tagEnd + 1), "action=")
                    .value_or("");
    outItems = std::move(items);
    return static_cast<int>(forms.size());
}

std::string WithScheme(const std::string& url)
{
    if (url.empty()) return url;
    for (std::string_view scheme : {"http://", "https://", "ftp://"})
        if (BeginsWithNoCase(url, scheme)) return url;
    return "http://" + url;
}

int LoadAndParseForm(const std::string& formURL, const std::string& userAgent, TPooledList<CInputItem>& outItems,
                     std::string& outAction)
{
    const std::string url = WithScheme(formURL);
    HTTPRequest request(kFetchTimeoutSeconds, false);
    if (request.StartGet(url, userAgent, "", "").Failed()) return 0;
    request.WaitUntilDone();
    std::unique_ptr<std::string> body = request.NewBodyPtr();
    if (!body) return 0;
    TPooledList<CInputItem> items;
    std::string action;
    const int forms = ParseForms(*body, items, action);
    if (forms == 0) return 0;
    outItems = std::move(items);
    std::string resolved;
    outAction = ResolveRelativeURL(url, action, resolved) ? resolved : (action.empty() ? url : action);
    return forms;
}

int SaveTestSubmission(std::string_view response, bool open)
{
    const std::optional<std::string> chosen = ChooseFile(
        SChooserRequest{.kind = SChooserRequest::kSaveFile, .caption = "Save the answer", .start = "Test Submission.html"});
    if (!chosen) return 1;
    const std::filesystem::path path(*chosen);
    const std::string folder = path.has_parent_path() ? path.parent_path().string() : std::string(".");
    const CStatus status = WritePrivateFile(folder, path.filename().string(), response, true);
    if (status.Failed()) return status.Code();
    if (open) OpenWithDesktop(path.string());
    return 0;
}
