#include <array>

#include "app/framework/class_registrar.h"
#include "app/framework/layout.h"
#include "app/windows/configurations/configuration_panel.h"
#include "app/windows/configurations/configuration_panes.h"
#include "app/windows/configurations/configurations_layout.h"

namespace configwin {

namespace {

constexpr PaneIDT C(const char (&code)[5]) { return MakeFourCharCode(code); }

constexpr SPaneSpec Label(int row, int column, const char* text, int span = 1)
{
    return SPaneSpec{.classID = kClassCaption, .cell = {row, column, 1, span}, .caption = text};
}

constexpr SPaneSpec Number(PaneIDT id, int row, int column, std::int32_t min, const char* tag)
{
    return SPaneSpec{.id = id, .classID = kClassNumberField, .cell = {row, column}, .helpTag = tag, .value = min,
                     .minValue = min, .widthChars = 8};
}

constexpr SPaneSpec Check(PaneIDT id, int row, int column, const char* caption, const char* tag, int span = 2)
{
    return SPaneSpec{.id = id, .classID = kClassCheckBox, .cell = {row, column, 1, span}, .caption = caption,
                     .helpTag = tag, .maxValue = 1};
}

constexpr SPaneSpec Field(PaneIDT id, int row, int column, const char* tag, int span = 1)
{
    return SPaneSpec{.id = id, .classID = kClassEditField, .cell = {row, column, 1, span}, .helpTag = tag,
                     .widthChars = 24};
}

constexpr SPaneSpec Button(PaneIDT id, int row, int column, const char* caption, const char* tag,
                           MessageT message = 0)
{
    return SPaneSpec{.id = id, .classID = kClassPushButton, .cell = {row, column}, .caption = caption,
                     .valueMessage = message, .helpTag = tag};
}

// Takes the spare room: below the last row, and to the right in the last
// column (where the fields are), so captions keep their natural width.
constexpr SPaneSpec Filler(int row, int columns)
{
    return SPaneSpec{.classID = kClassView, .cell = {row, columns - 1}, .stretch = true};
}

constexpr auto kGeneralPanes = std::to_array<SPaneSpec>({
    Label(0, 0, "Directory depth:"),
    Number(1, 0, 1, 0, "Maximum number of URL pathname components."),
    Label(0, 2, "Link depth:"),
    Number(2, 0, 3, 1, "Stop at this level."),
    Label(1, 0, "Pause (seconds):"),
    Number(9, 1, 1, 0, "Number of seconds to pause between requests."),
    Label(1, 2, "Yield rate:"),
    Number(10, 1, 3, 1,
           "The yield rate is the number of processed URLs before Tidewell yields to other active processes. Higher "
           "numbers correspond to faster processing. If you set this value to 1 Tidewell yields after each URL is "
           "processed."),
    Label(2, 0, "Timeout (seconds):"),
    Number(C("TOUT"), 2, 1, 1,
           "Abort the request if the server does not respond after this number of seconds."),
    Check(C("SavE"), 3, 0, "Save downloaded files", "If checked all downloaded URLs will be saved to disk."),
    Check(C("StrA"), 3, 2, "Grab secondary domains",
          "If checked Tidewell will grab any URL whose first level host domain matches that of the starting URL. "
          "For example, with the starting host www.example.com the host images.example.com is allowed, but "
          "www.example.org is not."),
    Check(C("RmJS"), 4, 0, "Remove JavaScript",
          "If checked all JavaScript will be removed from downloaded files. This can improve navigation of certain "
          "downloaded sites."),
    Check(C("RMsd"), 4, 2, "Remap secondary domains",
          "If checked fix downloaded document URLs not on the starting URL's host so that they reference the "
          "correct resource on disk."),
    Check(C("Cook"), 5, 0, "Use cookies",
          "Send back cookies set by the server. Turning this feature on results in better downloads. Cookies are "
          "saved in a property list in the same location as the log file."),
    Check(C("Cscd"), 5, 2, "Crawl secondary domains", ""),
    Check(C("Chkd"), 6, 0, "Check modification dates",
          "If checked Tidewell will compare the modification date of the URL to that of a corresponding file on disk "
          "to see if it needs to be updated."),
    Check(C("Goff"), 6, 2, "Grab offsite URLs",
          "If checked Tidewell will grab URLs not on the root domain of the starting URL. (Tidewell will not crawl "
          "these URLs.)"),
    Check(C("IgnR"), 7, 0, "Insert server content type",
          "If checked Tidewell will insert the content type returned by the server into the HTML header using a "
          "meta tag."),
    Check(C("RLNK"), 7, 2, "Relink URLs",
          "If checked fix downloaded document URLs which are fully qualified (\"http://...\"), specified relative to "
          "root (\"/...\") or directories  so that they reference the correct resource on disk."),
    Check(C("IgND"), 8, 0, "Ignore dynamic URLs",
          "If checked Tidewell will bypass any URL which contains path ($) or search (?) arguments."),
    Check(C("RDIR"), 8, 2, "Resolve redirection",
          "If checked resolve URLs which may be subject to re-direction because they are directories or correspond "
          "to the server's index role, i.e. ambiguous. This will slow processing."),
    Check(C("UUID"), 9, 0, "Remap dynamic URLs",
          "If checked fix downloaded document URLs that refer to dynamic content, i.e. contain path and/or search "
          "arguments, by renaming the URLs in the downloaded document using UUID's."),
    Check(C("MIME"), 9, 2, "Extension from MIME type",
          "If checked fix downloaded document URLs by setting the suffix of the UUID filename using the MIME type "
          "specified in the server's response header."),
    Check(C("RPHP"), 10, 0, "Remap PHP to HTML",
          "Remaps all URLs with \"php,\" \"php3,\" or \"phtml\" extensions to disk files with \"html\" extensions. "
          "This may improve navigability of the downloaded files."),
    Check(C("ALWS"), 10, 2, "Always use extension:",
          "Always set the suffix of the UUID filename to this value (results in faster processing.)", 1),
    Field(C("Exts"), 10, 3, "Enter the suffix to used when the corresponding checkbox is checked."),
    Label(11, 0, "Index file name:"),
    Field(C("Indx"), 11, 1,
          "Specify the file name of URLs which have no name, i.e. correspond to the server's index role.", 3),
    Label(12, 0, "Download folder:"),
    Field(kLocalPath, 12, 1, "", 2),
    Button(kChooseFolder, 12, 3, "Choose...", "Navigate to choose the sites download location."),
    Button(kHostsButton, 13, 3, "Offsite Hosts...",
           "Edit the list of allowed hosts when grabbing offsite URLs. Leave blank to allow all hosts. An offsite "
           "host is any host whose first level domain is different from that of the starting URL."),
    Filler(14, 4),
});

constexpr auto kRealmsPanes = std::to_array<SPaneSpec>({
    SPaneSpec{.id = 1, .classID = kClassCaption, .cell = {0, 0, 1, 3}, .caption = "Site login",
              .helpTag = "The usename and password entered here will be used for all requests for authorization. "
                         "Realm specific login should be specified below."},
    Label(1, 0, "User name:"),
    Field(kSiteUser, 1, 1, "Enter the username to use when authorization is requested.", 2),
    Label(2, 0, "Password:"),
    Field(kSitePassword, 2, 1, "Enter the password to use when authorization is requested.", 2),
    SPaneSpec{.id = 14, .classID = kClassCaption, .cell = {3, 0, 1, 3}, .caption = "Realm login",
              .helpTag = "You can enter the username and password for each specific realm you are authorized to "
                         "access. Note that this requires you to know the name of the realm."},
    SPaneSpec{.id = kTable, .classID = kClassRealmsTable, .cell = {4, 0, 4, 2},
              .helpTag = "Use the buttons on the right to create, delete and edit entries in this table.",
              .widthChars = 48, .heightLines = 8},
    Button(kNewRow, 4, 2, "New", "Create a new entry in the table.", C("NREA")),
    Button(kDeleteRow, 5, 2, "Delete", "Delete an entry in the table.", C("DREA")),
    Button(kEditRow, 6, 2, "Edit", "Edit an entry in the table.", C("EREA")),
    SPaneSpec{.classID = kClassView, .cell = {8, 1}, .stretch = true},
});

constexpr auto FilterPanes(const std::array<const char*, 8>& labels, const std::array<const char*, 8>& tags)
{
    std::array<SPaneSpec, 20> panes{};
    panes[0] = SPaneSpec{.id = kFilterSetPopup, .classID = kClassPopupMenu, .cell = {0, 1},
                         .caption = "Grab filters\nCrawl filters\nSave filters", .value = 1, .minValue = 1,
                         .maxValue = 3};
    for (int i = 0; i < 8; ++i) {
        // Pane 18 is the caption of the MIME type list (pane 8).
        panes[1 + 2 * i] = Label(i + 1, 0, labels[static_cast<std::size_t>(i)]);
        if (i == 7) panes[1 + 2 * i].id = 18;
        panes[2 + 2 * i] = SPaneSpec{.id = static_cast<PaneIDT>(i + 1), .classID = kClassEditField, .cell = {i + 1, 1},
                                     .helpTag = tags[static_cast<std::size_t>(i)], .widthChars = 40};
    }
    panes[17] = SPaneSpec{.id = 26, .classID = kClassCaption, .cell = {9, 1},
                          .caption = "The MIME type is known once the server has answered."};
    panes[18] = Filler(10, 2);
    panes[19] = SPaneSpec{.classID = kClassView, .cell = {10, 0}};
    return panes;
}

constexpr auto kNegativePanes = FilterPanes(
    {"File name does not contain:", "File name does not begin with:", "File name does not end with:",
     "Suffix is not:", "Path does not contain:", "Path does not begin with:", "Path does not end with:",
     "MIME type does not contain:"},
    {"Do not grab (crawl, save) any URL whose filename contains any of these strings.",
     "Do not grab (crawl, save) any URL whose filename starts with any of these strings.",
     "Do not grab (crawl, save) any URL whose filename ends with any of these strings.",
     "Do not grab (crawl, save) any URL whose suffix (extension) is any of these strings.",
     "Do not grab (crawl, save) any URL whose pathname contains any of these strings.",
     "Do not grab (crawl, save) any URL whose pathname starts with any of these strings.",
     "Do not grab (crawl, save) any URL whose pathname ends with any of these strings.",
     "Do not grab (crawl, save) any URL whose MIME type contains any of these strings."});

constexpr auto kPositivePanes = FilterPanes(
    {"File name contains:", "File name begins with:", "File name ends with:", "Suffix is:", "Path contains:",
     "Path begins with:", "Path ends with:", "MIME type contains:"},
    {"Grab (crawl, save) any URL only if the filename contains any of these strings.",
     "Grab (crawl, save) a URL only if the filename starts with any of these strings.",
     "Grab (crawl, save) a URL only if the filename ends with any of these strings.",
     "Grab (crawl, save) a URL only if the suffix (extension) is any of these strings.",
     "Grab (crawl, save) a URL only if the pathname contains any of these strings.",
     "Grab (crawl, save) a URL only if the pathname starts with any of these strings.",
     "Grab (crawl, save) a URL only if the pathname ends with any of these strings.",
     "Grab (crawl, save) a URL only if the MIME type contains any of these strings."});


constexpr auto kOtherPanes = std::to_array<SPaneSpec>({
    SPaneSpec{.id = kFilterSetPopup, .classID = kClassPopupMenu, .cell = {0, 1},
              .caption = "Crawl filters\nSave filters", .value = 1, .minValue = 1, .maxValue = 2},
    Label(1, 0, "Size less than (KB):"),
    Field(1, 1, 1, "Grab (save) a URL only if its size in bytes is less than this value."),
    Label(2, 0, "Size greater than (KB):"),
    Field(2, 2, 1, "Grab (save) a URL only if its size in bytes is greater than this value."),
    Label(3, 0, "Modified after:"),
    Field(3, 3, 1, "Grab (save) a URL only if its modification date is after this date."),
    Label(4, 0, "Modified before:"),
    Field(4, 4, 1, "Grab (save) a URL only if its modification date is before this date."),
    Label(5, 0, "Content contains:"),
    Field(5, 5, 1, "Grab (save) a URL only if the content contains any of these strings."),
    Label(6, 0, "File types:"),
    Field(18, 6, 1, ""),
    Label(7, 0, "Script:"),
    Field(6, 7, 1,
          "Run this script program after grabbing each URL. (Refer to documentation for details on the "
          "values passed to your script in its environment.)"),
    Button(kChooseScript, 7, 2, "Choose...", ""),
    Filler(8, 3),
});

constexpr auto kMiscPanes = std::to_array<SPaneSpec>({
    Label(0, 0, "Log folder:"),
    Field(kLogFolder, 0, 1, "Enter the pathname of the location of the log file, sitemap, email addresses and cookies.",
          2),
    Button(kChooseFolder, 0, 3, "Choose...",
           "Choose the location of the log file, sitemap, email addresses and cookies."),
    Check(78, 1, 0, "Generate site map", "Create a sitemap of all resources found.", 1),
    // The site map's link text: the page title (its URL when it has none),
    // the URL, or both.
    SPaneSpec{.id = C("SMOp"), .classID = kClassPopupMenu, .cell = {1, 1},
              .caption = "Link text: title\nLink text: URL\nLink text: title (URL)", .value = 1, .minValue = 1,
              .maxValue = 3},
    Label(2, 0, "Site map suffixes:"),
    Field(79, 2, 1,
          "Enter the suffix (extension) of the URLs to include in the sitemap. Separate multiple values with spaces. "
          "To include all check the box below.",
          2),
    Check(521, 2, 3, "Include all", "Include URLs with any suffix (extension) in the sitemap.", 1),
    Check(C("Mail"), 3, 0, "Extract email addresses",
          "Save all email addresses Tidewell finds. Email addresses are saved in a text file in the same location as "
          "the general log file."),
    Check(C("Spel"), 3, 2, "Collect pages", "Concatenate all HTML pages into one and save into the log folder."),
    Check(C("GENL"), 4, 0, "Generate log", "Create a log of all messages displayed by the grabber."),
    Check(C("OFFS"), 4, 2, "Log offsite links",
          "Log all offsite URLs Tidewell finds. Offsite URLs are saved in a text file in the same location as the "
          "general log file."),
    Check(C("ERRS"), 5, 0, "Log error links",
          "Log all URLs which had an associated error, and the parent URL. Error URLs are saved in a text file in "
          "the same location as the general log file."),
    Check(345, 5, 2, "Send notification mail", ""),
    Label(6, 0, "User agent:"),
    Field(kUserAgent, 6, 1, "You can spoof the server by specifying the user-agent string of any web browser you like.",
          2),
    SPaneSpec{.id = kUserAgentMenu, .classID = kClassPopupMenu, .cell = {6, 3},
              .helpTag = "Select a user agent from this popup. Use \"Import User Agents\" to change the list of user "
                         "agents.",
              .widthChars = 16},
    Button(kImportAgents, 7, 2, "Import User Agents...",
           "Import a list of user agents from a plain text file. The file format is a tab delimited list of names "
           "and agents, one per line."),
    Button(kRevertAgents, 7, 3, "Revert to Defaults",
           "Remove the imported user agents and revert to the default set of user agents."),
    Label(8, 0, "Mail to:"),
    Field(20, 8, 1, "", 3),
    Label(9, 0, "Mail server:"),
    Field(21, 9, 1, "", 3),
    Label(10, 0, "Reply to:"),
    Field(22, 10, 1, "", 3),
    Button(kEditStart, 11, 2, "Start Message...", ""),
    Button(kEditFinish, 11, 3, "Finish Message...", ""),
    Filler(12, 4),
});

constexpr auto kInputItemsPanes = std::to_array<SPaneSpec>({
    Label(0, 0, "Form URL:"),
    Field(kFormURL, 0, 1,
          "Enter the URL of the form here. Click the \"Load and Parse\" button to have Tidewell extract the forms "
          "action and input items for you."),
    Button(kLoadForm, 0, 2, "Load and Parse",
           "Click to load and parse the form. This will add its input items to the table below and extract the "
           "forms action URL."),
    Button(kBrowserPage, 0, 3, "From Browser",
           "Click to use the URL you copied from the address bar of your web browser. The form will also be "
           "loaded and parsed."),
    Label(1, 0, "Action URL:"),
    Field(kFormAction, 1, 1,
          "Enter the URL of the forms action here. Tidewell will start its crawl using this URL by submitting the "
          "values in the table below."),
    SPaneSpec{.id = kMethod, .classID = kClassPopupMenu, .cell = {1, 2}, .caption = "POST\nGET",
              .helpTag = "Select an HTTP method. (Only POST is currently supported.)", .value = 1, .minValue = 1,
              .maxValue = 2},
    SPaneSpec{.id = kWarning, .classID = kClassCaption, .cell = {8, 0, 1, 4},
              .caption = "The page holds more than one form: the last form with input items was taken.",
              .visible = false},
    SPaneSpec{.id = kTable, .classID = kClassInputItemsTable, .cell = {2, 0, 6, 3},
              .helpTag = "Use the buttons on the right to create, delete and edit input items in this table.",
              .widthChars = 48, .heightLines = 8},
    Button(kNewRow, 2, 3, "New", "Create a new input item in the table.", C("NINP")),
    Button(kDeleteRow, 3, 3, "Delete", "Delete an input item in the table.", C("DINP")),
    Button(kEditRow, 4, 3, "Edit", "Edit an input item in the table.", C("EINP")),
    Button(kTestSubmit, 5, 3, "Test...",
           "Click to submit the form input item data to the action URL and save the response to a disk file."),
    Button(kClear, 6, 3, "Clear", "Erase all entries on this panel."),
    SPaneSpec{.classID = kClassView, .cell = {9, 1}, .stretch = true},
});

constexpr auto kDelimitersPanes = std::to_array<SPaneSpec>({
    SPaneSpec{.id = kTable, .classID = kClassDelimitersTable, .cell = {0, 0, 4, 1}, .widthChars = 40,
              .heightLines = 8, .stretch = true},
    Button(kNewRow, 0, 1, "New", "", C("NDEL")),
    Button(kDeleteRow, 1, 1, "Delete", "", C("DDEL")),
    Button(kEditRow, 2, 1, "Edit", "", C("EDEL")),
});

constexpr PaneIDT kOK = C("OKbt");
constexpr PaneIDT kCancel = C("Cnbt");

template <std::size_t N>
constexpr auto FieldsDialog(const std::array<std::pair<PaneIDT, const char*>, N>& fields)
{
    std::array<SPaneSpec, 2 * N + 2> panes{};
    for (std::size_t i = 0; i < N; ++i) {
        panes[2 * i] = Label(static_cast<int>(i), 0, fields[i].second);
        panes[2 * i + 1] = Field(fields[i].first, static_cast<int>(i), 1, "", 2);
    }
    panes[2 * N] = SPaneSpec{.id = kCancel, .classID = kClassPushButton, .cell = {static_cast<int>(N), 1},
                             .caption = "Cancel", .valueMessage = kMsgCancel};
    panes[2 * N + 1] = SPaneSpec{.id = kOK, .classID = kClassPushButton, .cell = {static_cast<int>(N), 2},
                                 .caption = "OK", .valueMessage = kMsgOK};
    return panes;
}

constexpr auto kRealmFields = FieldsDialog(std::to_array<std::pair<PaneIDT, const char*>>(
    {{kDialogName, "Realm:"}, {kDialogUser, "User name:"}, {kDialogPassword, "Password:"}}));
constexpr auto kItemFields =
    FieldsDialog(std::to_array<std::pair<PaneIDT, const char*>>({{kDialogName, "Name:"}, {kDialogValue, "Value:"}}));
constexpr auto kPairFields =
    FieldsDialog(std::to_array<std::pair<PaneIDT, const char*>>({{kDialogStart, "Start:"}, {kDialogEnd, "End:"}}));

template <std::size_t N>
constexpr auto Confirm(const char (&question)[N])
{
    return std::to_array<SPaneSpec>({
        SPaneSpec{.classID = kClassCaption, .cell = {0, 0, 1, 3}, .caption = question, .stretch = true},
        SPaneSpec{.id = kCancel, .classID = kClassPushButton, .cell = {1, 1}, .caption = "Cancel",
                  .valueMessage = kMsgCancel},
        SPaneSpec{.id = kOK, .classID = kClassPushButton, .cell = {1, 2}, .caption = "Delete", .valueMessage = kMsgOK},
    });
}

constexpr auto kDeleteItemPanes = Confirm("Delete the selected input item?");
constexpr auto kDeleteRealmPanes = Confirm("Delete the selected realm?");

constexpr SLayout Panel(int number, ClassIDT panelClass, std::span<const SPaneSpec> panes)
{
    return SLayout{.number = number, .windowClass = panelClass, .kind = EWindowKind::kPanel, .panes = panes};
}

constexpr SLayout Dialog(int number, const char* title, std::span<const SPaneSpec> panes)
{
    return SLayout{.number = number, .windowClass = kClassDialog, .kind = EWindowKind::kDialog, .title = title,
                   .panes = panes};
}

const SLayout kLayouts[] = {
    Panel(2101, CEditConfigurationPanel::kGeneral, kGeneralPanes),
    Panel(2102, CEditConfigurationPanel::kRealms, kRealmsPanes),
    Panel(2103, CEditConfigurationPanel::kNegative, kNegativePanes),
    Panel(2104, CEditConfigurationPanel::kPositive, kPositivePanes),
    Panel(2105, CEditConfigurationPanel::kOther, kOtherPanes),
    Panel(2106, CEditConfigurationPanel::kMisc, kMiscPanes),
    Panel(2107, CEditConfigurationPanel::kInputItems, kInputItemsPanes),
    Panel(kDelimitersPanelLayout, CEditConfigurationPanel::kDelimiters, kDelimitersPanes),
    Dialog(kDeleteInputItemDialog, "Delete Input Item", kDeleteItemPanes),
    Dialog(kNewInputItemDialog, "New Input Item", kItemFields),
    Dialog(kEditInputItemDialog, "Edit Input Item", kItemFields),
    Dialog(kNewDelimiterDialog, "New Delimiter", kPairFields),
    Dialog(kEditDelimiterDialog, "Edit Delimiter", kPairFields),
    Dialog(kDeleteRealmDialog, "Delete Realm", kDeleteRealmPanes),
    Dialog(kNewRealmDialog, "New Realm", kRealmFields),
    Dialog(kEditRealmDialog, "Edit Realm", kRealmFields),
};

}  // namespace

void RegisterPanelLayouts()
{
    for (const SLayout& layout : kLayouts) CLayoutTable::Register(layout);
}

}  // namespace configwin
