#include "app/windows/configurations/general_panel.h"

#include <filesystem>

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/windows/configurations/configurations_layout.h"
#include "app/windows/configurations/edit_configuration_window.h"
#include "app/windows/configurations/file_choosers.h"
#include "foundation/settings/app_settings.h"

using namespace configwin;

namespace {

constexpr PaneIDT kSave = MakeFourCharCode("SavE");
constexpr PaneIDT kSecondary = MakeFourCharCode("StrA");
constexpr PaneIDT kGrabOffsite = MakeFourCharCode("Goff");
constexpr PaneIDT kRemap = MakeFourCharCode("UUID");
constexpr PaneIDT kRemapPHP = MakeFourCharCode("RPHP");
constexpr PaneIDT kRelink = MakeFourCharCode("RLNK");
constexpr PaneIDT kRedirection = MakeFourCharCode("RDIR");
constexpr PaneIDT kRemapSecondary = MakeFourCharCode("RMsd");
constexpr PaneIDT kCrawlSecondary = MakeFourCharCode("Cscd");
constexpr PaneIDT kMime = MakeFourCharCode("MIME");
constexpr PaneIDT kAlways = MakeFourCharCode("ALWS");
constexpr PaneIDT kIndex = MakeFourCharCode("Indx");
constexpr PaneIDT kExtension = MakeFourCharCode("Exts");
constexpr PaneIDT kFilterAll = MakeFourCharCode("Aflt");  // a help tag without a control

using General = CGeneralOptions;

template <auto Member>
auto& G(CConfiguration& c)
{
    return c.mGeneralOptions.*Member;
}

}  // namespace

CGeneralPanel::CGeneralPanel(CConfigurationPanelHost& window, CPane& view) : CEditConfigurationPanel(window, view)
{
    BindNumber(1, G<&General::directoryDepth>);
    BindNumber(2, G<&General::linkDepth>);
    BindNumber(9, G<&General::pauseSeconds>);
    BindNumber(10, G<&General::yieldQuantum>);
    BindNumber(MakeFourCharCode("TOUT"), G<&General::timeout>);
    BindCheckNumber(kSave, G<&General::saveAction>);
    BindFlag(kSecondary, G<&General::allowSecondaryDomains>);
    BindFlag(MakeFourCharCode("RmJS"), G<&General::removeJavaScript>);
    BindFlag(MakeFourCharCode("Cook"), G<&General::useCookies>);
    BindFlag(MakeFourCharCode("Chkd"), G<&General::checkFileModificationDates>);
    BindFlag(MakeFourCharCode("IgnR"), G<&General::useServerContentType>);
    BindFlag(MakeFourCharCode("IgND"), G<&General::ignoreDynamicURLs>);
    BindFlag(kGrabOffsite, G<&General::grabOffsiteURLs>);
    BindFlag(kRemap, G<&General::remapURLs>);
    BindFlag(kRemapPHP, G<&General::remapAllPHP>);
    BindFlag(kRelink, G<&General::relinkURLs>);
    BindFlag(kRedirection, G<&General::checkForRedirection>);
    BindFlag(kRemapSecondary, G<&General::remapSecondaryDomains>);
    BindFlag(kCrawlSecondary, G<&General::crawlSecondaryDomains>);
    BindFlag(kMime, G<&General::setExtensionFromContentType>);
    BindFlag(kAlways, G<&General::alwaysUseExtension>);
    BindText(kExtension, G<&General::extension>);
    BindText(kIndex, G<&General::indexFilename>);
    BindText(kLocalPath, G<&General::localPath>);
}

void CGeneralPanel::FinishCreateSelf()
{
    Listen({kChooseFolder, kHostsButton, kSecondary, kRemap, kMime, kAlways, kRelink, kGrabOffsite});
    LoadBindings();
    ApplyEnabling();
    if (auto* field = Pane(1)) field->MakeKeyboardTarget();
}

void CGeneralPanel::SaveToConfiguration()
{
    // The robots switch has no control; it is turned off with the user's
    // first change here, never by merely showing the panel.
    if (SaveBindings()) Working().mGeneralOptions.useRobotsTxt = 0;
}

bool CGeneralPanel::GetPaneHelpText(PaneIDT paneID, std::string& outText) const
{
    if (paneID != kFilterAll) return false;
    outText = "If checked Tidewell will filter all URLs (including those in secondary domains and offsite.)";
    return true;
}

void CGeneralPanel::ApplyEnabling()
{
    const bool secondary = Value(kSecondary) != 0;
    Enable(kRemapSecondary, secondary);
    Enable(kCrawlSecondary, secondary);
    Enable(kHostsButton, Value(kGrabOffsite) != 0);
    Enable(kRedirection, Value(kRelink) != 0);
    const bool remap = Value(kRemap) != 0;
    const bool mime = Value(kMime) != 0;
    Enable(kMime, remap);
    Enable(kRemapPHP, remap);
    Enable(kAlways, remap && !mime);
    Enable(kExtension, remap && !mime && Value(kAlways) != 0);
}

void CGeneralPanel::FillEmptyExtension()
{
    if (Text(kExtension).empty()) SetText(kExtension, ".html");
}

void CGeneralPanel::ListenToMessage(MessageT message, void* ioParam)
{
    const bool on = ioParam != nullptr && *static_cast<std::int32_t*>(ioParam) != 0;
    if (message == kSecondary) {
        Enable(kRemapSecondary, on);
        Enable(kCrawlSecondary, on);
        if (!on) {
            SetValue(kRemapSecondary, 0);
            SetValue(kCrawlSecondary, 0);
        }
    } else if (message == kGrabOffsite) {
        Enable(kHostsButton, on);
    } else if (message == kRelink) {
        Enable(kRedirection, on);
        if (!on) SetValue(kRedirection, 0);
    } else if (message == kRemap) {
        for (PaneIDT id : {kMime, kRemapPHP, kExtension, kAlways}) Enable(id, on);
        if (on) {
            SetValue(kAlways, 1);
            FillEmptyExtension();
        } else {
            SetValue(kMime, 0);
            SetValue(kAlways, 0);
        }
    } else if (message == kMime) {
        Enable(kExtension, !on);
        Enable(kAlways, !on);
        if (on) {
            SetValue(kAlways, 0);
        } else {
            SetValue(kAlways, 1);
            FillEmptyExtension();
        }
    } else if (message == kAlways) {
        Enable(kExtension, on);
        if (on) FillEmptyExtension();
    } else if (message == kChooseFolder) {
        ChooseFolder();
    } else if (message == kHostsButton) {
        CHostsWindow::OpenFor(Window());
    } else {
        CEditConfigurationPanel::ListenToMessage(message, ioParam);
    }
}

void CGeneralPanel::ChooseFolder()
{
    std::error_code error;
    const std::string current = Text(kLocalPath);
    SChooserRequest request{.kind = SChooserRequest::kFolder, .caption = "Choose the download folder"};
    if (!current.empty() && std::filesystem::is_directory(current, error)) request.start = current;
    const std::optional<std::string> chosen = ChooseFile(request);
    if (!chosen) return;
    if (chosen->size() > CFixedString1024::kCapacity) {  // the configuration holds no longer path
        QApplication::beep();
        return;
    }
    // The chosen folder also becomes the one new configurations start with.
    if (gAppSettings != nullptr) gAppSettings->mDownloadFolderPath = *chosen;
    SetText(kLocalPath, *chosen);
}

CHostsWindow::CHostsWindow(CEditConfigurationWindow& editor)
    : QDialog(editor.GetWidget()), mEditor(editor), mList(new QListWidget(this)),
      mDelete(new QPushButton(tr("Delete"), this))
{
    setWindowTitle(tr("Hosts"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setWindowFlag(Qt::Sheet);
    auto* add = new QPushButton(tr("Add"), this);
    auto* close = new QPushButton(tr("Close"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(mDelete);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mList);
    layout->addLayout(buttons);
    mList->setSelectionMode(QAbstractItemView::SingleSelection);
    mList->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::SelectedClicked);
    connect(add, &QPushButton::clicked, this, [this] { AddHost(); });
    connect(mDelete, &QPushButton::clicked, this, [this] { DeleteSelectedHost(); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(mList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) { HostEdited(item); });
    connect(mList, &QListWidget::itemSelectionChanged, this,
            [this] { mDelete->setEnabled(!mList->selectedItems().isEmpty()); });
    Fill(-1);
}

CHostsWindow* CHostsWindow::OpenFor(CEditConfigurationWindow& editor)
{
    auto* sheet = new CHostsWindow(editor);
    sheet->open();
    return sheet;
}

void CHostsWindow::Fill(int selectRow)
{
    const QSignalBlocker blocker(mList);
    mList->clear();
    for (const CFixedString255& host : mEditor.WorkingCopy().mGeneralOptions.offsiteHosts) {
        auto* item = new QListWidgetItem(QString::fromUtf8(host.c_str()), mList);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    if (selectRow >= 0 && selectRow < mList->count()) mList->setCurrentRow(selectRow);
    mDelete->setEnabled(!mList->selectedItems().isEmpty());
    mList->scrollToTop();
}

void CHostsWindow::HostEdited(QListWidgetItem* item)
{
    auto& hosts = mEditor.WorkingCopy().mGeneralOptions.offsiteHosts;
    const int row = mList->row(item);
    if (row >= 0 && row < static_cast<int>(hosts.size()))
        hosts[static_cast<std::size_t>(row)] = CFixedString255(std::string_view(item->text().toStdString()));
}

void CHostsWindow::AddHost()
{
    auto& hosts = mEditor.WorkingCopy().mGeneralOptions.offsiteHosts;
    hosts.emplace_back("????");
    Fill(static_cast<int>(hosts.size()) - 1);
}

void CHostsWindow::DeleteSelectedHost()
{
    const int row = mList->currentRow();
    auto& hosts = mEditor.WorkingCopy().mGeneralOptions.offsiteHosts;
    if (row < 0 || row >= static_cast<int>(hosts.size()) || mList->selectedItems().isEmpty()) return;
    hosts.erase(hosts.begin() + row);
    Fill(std::min(row, static_cast<int>(hosts.size()) - 1));
}
