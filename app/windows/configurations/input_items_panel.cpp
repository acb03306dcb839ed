#include "app/windows/configurations/input_items_panel.h"

#include <QApplication>

#include "app/windows/configurations/configurations_layout.h"
#include "app/windows/configurations/drag_and_drop_table.h"
#include "app/windows/configurations/form_capture.h"
#include "app/windows/configurations/table_panels.h"
#include "engine/crawl/form_submission.h"
#include "engine/crawl/start_redirection.h"
#include "engine/url/url_record.h"
#include "foundation/system/front_browser_page.h"

using namespace configwin;

CInputItemsPanel::CInputItemsPanel(CConfigurationPanelHost& window, CPane& view)
    : CEditConfigurationPanel(window, view)
{
    BindTable(kTable, [](CConfiguration& c) { return InputItemRows(c.mFormOptions.inputItemList); },
              [](CConfiguration& c, const Rows& rows) { InputItemsFromRows(rows, c.mFormOptions.inputItemList); });
    for (auto [pane, member] : {std::pair{kFormURL, &CFormOptions::formURL},
                                std::pair{kFormAction, &CFormOptions::formActionURL}}) {
        Bind(pane, [member = member](CConfiguration& c) { return (c.mFormOptions.*member).str(); },
             [member = member](CConfiguration& c, const std::string& text) {
                 c.mFormOptions.*member = CFixedString255(std::string_view(WithScheme(text)));
             });
    }
    Bind(kMethod,
         [](CConfiguration& c) { return std::string(c.mFormOptions.method == CFormOptions::kMethodGet ? "2" : "1"); },
         [](CConfiguration& c, const std::string& text) {
             c.mFormOptions.method = text == "2" ? CFormOptions::kMethodGet : CFormOptions::kMethodPost;
         });
}

void CInputItemsPanel::FinishCreateSelf()
{
    Listen({kNewRow, kDeleteRow, kEditRow, kLoadForm, kBrowserPage, kTestSubmit, kClear});
    if (CPane* warning = Pane(kWarning)) warning->Hide();
    if (CDragAndDropTable* table = Table(kTable)) table->AddListener(this);
    LoadBindings();
}

void CInputItemsPanel::ReloadFromWorkingCopy() { LoadBindings(); }

bool CInputItemsPanel::LoadForm()
{
    if (CPane* warning = Pane(kWarning)) warning->Hide();
    if (Text(kFormURL).empty()) {
        QApplication::beep();
        return false;
    }
    SaveToConfiguration();
    CFormOptions& form = Working().mFormOptions;
    std::string action = form.formActionURL.str();
    const int forms = LoadAndParseForm(form.formURL.str(), Working().mMiscOptions.userAgent.str(),
                                       form.inputItemList, action);
    if (forms < 1) {
        QApplication::beep();
        return false;
    }
    FollowRedirection(Working(), action);
    form.formActionURL = CFixedString255(std::string_view(action));
    ReloadFromWorkingCopy();
    if (forms > 1)
        if (CPane* warning = Pane(kWarning)) warning->Show();
    return true;
}

bool CInputItemsPanel::TestSubmission()
{
    SaveToConfiguration();
    std::string target = Text(kFormAction);
    FollowRedirection(Working(), target);
    CTextBuffer query;
    BuildFormQuery(Working().mFormOptions.inputItemList, query);
    CURL url(target);
    CTextBuffer answer;
    if (!SubmitForm(url, query, Working().mMiscOptions.userAgent.c_str(), Working().mFormOptions.method, answer)) {
        QApplication::beep();
        return false;
    }
    return SaveTestSubmission(answer.View(), true) == 0;
}

void CInputItemsPanel::Clear()
{
    SaveToConfiguration();
    CFormOptions& form = Working().mFormOptions;
    form.inputItemList.Clear();
    form.formURL = "";
    form.formActionURL = "";
    if (CPane* warning = Pane(kWarning)) warning->Hide();
    ReloadFromWorkingCopy();
}

void CInputItemsPanel::ListenToMessage(MessageT message, void* ioParam)
{
    static const SRowButtons kItemButtons{kMsgNewItem, kMsgDeleteItem, kMsgEditItem, kNewInputItemDialog,
                                          kEditInputItemDialog, kDeleteInputItemDialog,
                                          {kDialogName, kDialogValue}, true};
    CDragAndDropTable* table = Table(kTable);
    if (table != nullptr && HandleRowButton(*table, message, kItemButtons)) return;
    if (message == kLoadForm) {
        LoadForm();
    } else if (message == kBrowserPage) {
        CFixedString255 url;
        CFixedString255 title;
        GetFrontBrowserPage(url, title);
        if (url.IsEmpty()) return;
        SetText(kFormURL, url.View());
        LoadForm();
    } else if (message == kTestSubmit) {
        TestSubmission();
    } else if (message == kClear) {
        Clear();
    } else {
        CEditConfigurationPanel::ListenToMessage(message, ioParam);
    }
}
