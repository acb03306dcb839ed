#include "app/windows/configurations/configuration_panel.h"

#include <stdexcept>
#include <unordered_map>

#include <QCheckBox>
#include <QComboBox>

#include "app/framework/registration_site.h"
#include "app/windows/configurations/configuration_panes.h"
#include "app/windows/configurations/drag_and_drop_table.h"
#include "foundation/settings/preference_accessors.h"

namespace {

struct SPanelFactory {
    PanelFactory make;
    std::string site;
};

std::unordered_map<ClassIDT, SPanelFactory>& Factories()
{
    static std::unordered_map<ClassIDT, SPanelFactory> factories;
    return factories;
}

bool ShowsNumber(const CPane& pane)
{
    return dynamic_cast<const CNumberFieldPane*>(&pane) != nullptr ||
           qobject_cast<QCheckBox*>(pane.GetWidget()) != nullptr ||
           qobject_cast<QComboBox*>(pane.GetWidget()) != nullptr;
}

}  // namespace

void RegisterPanelClass(ClassIDT classID, PanelFactory factory, std::source_location where)
{
    std::string site = RegistrationSite(where);
    auto found = Factories().find(classID);
    if (found != Factories().end() && found->second.site != site)
        throw std::logic_error("panel class '" + FourCharCodeText(classID) + "' is registered twice: at " +
                               found->second.site + " and at " + site);
    Factories()[classID] = SPanelFactory{std::move(factory), std::move(site)};
}

std::unique_ptr<CEditConfigurationPanel> MakePanel(ClassIDT classID, CConfigurationPanelHost& window, CPane& view)
{
    auto found = Factories().find(classID);
    if (found == Factories().end()) return nullptr;
    std::unique_ptr<CEditConfigurationPanel> panel = found->second.make(window, view);
    if (panel) panel->FinishCreateSelf();
    return panel;
}

void SplitWords(const std::string& text, TPooledList<CFixedString255>& out)
{
    out.Clear();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t space = text.find(' ', start);
        if (space == std::string::npos) space = text.size();
        if (space > start) out.Append(CFixedString255(std::string_view(text).substr(start, space - start)));
        start = space + 1;
    }
}

std::string JoinWords(const TPooledList<CFixedString255>& list)
{
    CFixedString255 joined;
    joined.Join(' ', list);
    return joined.str();
}

CEditConfigurationPanel::CEditConfigurationPanel(CConfigurationPanelHost& window, CPane& view)
    : CCommander(window.PanelSuperCommander()), mHost(window), mView(view)
{
}

CEditConfigurationPanel::~CEditConfigurationPanel() = default;

CConfiguration& CEditConfigurationPanel::Working() const { return mHost.WorkingCopy(); }

CDragAndDropTable* CEditConfigurationPanel::Table(PaneIDT id) const
{
    auto* pane = dynamic_cast<CTablePane*>(Pane(id));
    return pane ? pane->Table() : nullptr;
}

std::string CEditConfigurationPanel::Text(PaneIDT id) const
{
    const CPane* pane = Pane(id);
    return pane ? pane->GetDescriptor() : std::string();
}

void CEditConfigurationPanel::SetText(PaneIDT id, std::string_view text)
{
    if (CPane* pane = Pane(id)) pane->SetDescriptor(text);
}

std::int32_t CEditConfigurationPanel::Value(PaneIDT id) const
{
    const CPane* pane = Pane(id);
    return pane ? pane->GetValue() : 0;
}

void CEditConfigurationPanel::SetValue(PaneIDT id, std::int32_t value)
{
    if (CPane* pane = Pane(id)) pane->SetValue(value);
}

void CEditConfigurationPanel::Enable(PaneIDT id, bool enabled)
{
    if (CPane* pane = Pane(id)) pane->SetEnabled(enabled);
}

void CEditConfigurationPanel::Listen(std::initializer_list<PaneIDT> ids)
{
    for (PaneIDT id : ids)
        if (CPane* pane = Pane(id)) pane->AddListener(this);
}

void CEditConfigurationPanel::ListenToMessage(MessageT message, void* ioParam)
{
    if (message != kMsgCancel) return;
    SaveToConfiguration();
    mHost.PanelMessage(message, ioParam);
}

std::string CEditConfigurationPanel::ControlText(const CPane& pane)
{
    return ShowsNumber(pane) ? std::to_string(pane.GetValue()) : pane.GetDescriptor();
}

void CEditConfigurationPanel::SetControlText(CPane& pane, const std::string& text)
{
    if (ShowsNumber(pane))
        pane.SetValue(ReadDecimalPrefix(text));
    else
        pane.SetDescriptor(text);
}

void CEditConfigurationPanel::Bind(PaneIDT pane, Loader load, Storer store)
{
    mBindings.push_back(SBinding{pane, std::move(load), std::move(store), {}});
}


void CEditConfigurationPanel::BindFlag(PaneIDT pane, Field<std::uint8_t> field)
{
    Bind(pane, [field](CConfiguration& c) { return std::string(field(c) != 0 ? "1" : "0"); },
         [field](CConfiguration& c, const std::string& text) { field(c) = text == "1" ? 1 : 0; });
}

void CEditConfigurationPanel::BindNumber(PaneIDT pane, Field<std::int32_t> field)
{
    Bind(pane, [field](CConfiguration& c) { return std::to_string(field(c)); },
         [field](CConfiguration& c, const std::string& text) { field(c) = ReadDecimalPrefix(text); });
}

void CEditConfigurationPanel::BindCheckNumber(PaneIDT pane, Field<std::int32_t> field)
{
    Bind(pane, [field](CConfiguration& c) { return std::string(field(c) != 0 ? "1" : "0"); },
         [field](CConfiguration& c, const std::string& text) { field(c) = text == "1" ? 1 : 0; });
}

void CEditConfigurationPanel::BindWordList(PaneIDT pane, Field<TPooledList<CFixedString255>> field)
{
    Bind(pane, [field](CConfiguration& c) { return JoinWords(field(c)); },
         [field](CConfiguration& c, const std::string& text) { SplitWords(text, field(c)); });
}

void CEditConfigurationPanel::BindTable(PaneIDT pane, std::function<Rows(CConfiguration&)> load,
                                        std::function<void(CConfiguration&, const Rows&)> store)
{
    mBindings.push_back(SBinding{pane, {}, {}, {}, std::move(load), std::move(store), {}});
}

void CEditConfigurationPanel::LoadBindings()
{
    for (SBinding& binding : mBindings) {
        if (binding.loadRows) {
            if (CDragAndDropTable* table = Table(binding.pane)) table->FillRows(binding.loadRows(Working()));
        } else if (CPane* pane = Pane(binding.pane)) {
            SetControlText(*pane, binding.load(Working()));
        }
    }
    Snapshot();
}

void CEditConfigurationPanel::Snapshot()
{
    for (SBinding& binding : mBindings) {
        if (binding.loadRows) {
            if (const CDragAndDropTable* table = Table(binding.pane)) binding.shownRows = table->AllRows();
        } else if (const CPane* pane = Pane(binding.pane)) {
            binding.shown = ControlText(*pane);
        }
    }
}

bool CEditConfigurationPanel::SaveBindings()
{
    bool changed = false;
    for (SBinding& binding : mBindings) {
        if (binding.loadRows) {
            const CDragAndDropTable* table = Table(binding.pane);
            if (table == nullptr) continue;
            Rows now = table->AllRows();
            if (now == binding.shownRows) continue;
            binding.storeRows(Working(), now);
            binding.shownRows = std::move(now);
            changed = true;
            continue;
        }
        const CPane* pane = Pane(binding.pane);
        if (pane == nullptr) continue;
        std::string now = ControlText(*pane);
        if (now == binding.shown) continue;
        binding.store(Working(), now);
        binding.shown = std::move(now);
        changed = true;
    }
    return changed;
}
