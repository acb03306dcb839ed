// CEditConfigurationPanel: the base of the configuration editor's panels.
// A panel is the C++ object behind the panes of one panel layout built in
// the editor's panel host: it loads its controls from the editor's working
// copy when it is made and writes them back when asked to save.
//
// Loading and saving go through bindings (a pane and the field it shows).
// A binding is written back only when its control no longer shows what was
// loaded into it, so visiting a panel never changes the configuration by
// itself, whatever the stored values are (a save action of 2, lists longer
// than a field shows, sizes that are not whole thousands).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <source_location>
#include <string>
#include <vector>

#include "app/framework/commander.h"
#include "app/framework/pane.h"
#include "app/windows/configurations/configuration_panel_host.h"
#include "engine/config/configuration.h"

class CEditConfigurationWindow;
class CDragAndDropTable;

class CEditConfigurationPanel : public CListener, public CCommander {
public:
    // Class IDs of the panels, as their layouts name them.
    static constexpr ClassIDT kGeneral = MakeFourCharCode("GENP");
    static constexpr ClassIDT kRealms = MakeFourCharCode("REAP");
    static constexpr ClassIDT kNegative = MakeFourCharCode("NEGP");
    static constexpr ClassIDT kPositive = MakeFourCharCode("POSP");
    static constexpr ClassIDT kOther = MakeFourCharCode("OTHP");
    static constexpr ClassIDT kMisc = MakeFourCharCode("MISP");
    static constexpr ClassIDT kInputItems = MakeFourCharCode("LOGN");
    static constexpr ClassIDT kDelimiters = MakeFourCharCode("DELP");

    CEditConfigurationPanel(CConfigurationPanelHost& window, CPane& view);
    ~CEditConfigurationPanel() override;

    // Listens to its panes and loads them (after construction, so derived
    // panels' bindings exist).
    virtual void FinishCreateSelf() {}
    // Writes what the user changed into the working copy.
    virtual void SaveToConfiguration() { SaveBindings(); }
    // 901: save, then pass 901 to the editor window.
    void ListenToMessage(MessageT message, void* ioParam) override;
    // Help tags of the panel that no pane of its layout carries.
    virtual bool GetPaneHelpText(PaneIDT /*paneID*/, std::string& /*outText*/) const { return false; }

    CEditConfigurationWindow& Window() const { return mHost.EditorWindow(); }
    CPane& View() const { return mView; }
    CConfiguration& Working() const;
    CPane* Pane(PaneIDT id) const { return mView.FindPaneByID(id); }
    CDragAndDropTable* Table(PaneIDT id) const;
    std::string Text(PaneIDT id) const;
    void SetText(PaneIDT id, std::string_view text);
    std::int32_t Value(PaneIDT id) const;
    void SetValue(PaneIDT id, std::int32_t value);
    void Enable(PaneIDT id, bool enabled);
    void Listen(std::initializer_list<PaneIDT> ids);

    // The text a control shows: check boxes, popups and number fields as
    // their decimal value, others their text.
    static std::string ControlText(const CPane& pane);
    static void SetControlText(CPane& pane, const std::string& text);

protected:
    using Loader = std::function<std::string(CConfiguration&)>;
    using Storer = std::function<void(CConfiguration&, const std::string&)>;
    template <class T>
    using Field = std::function<T&(CConfiguration&)>;

    void Bind(PaneIDT pane, Loader load, Storer store);
    void BindText(PaneIDT pane, Field<CFixedString255> field) { BindFixedText(pane, std::move(field)); }
    void BindText(PaneIDT pane, Field<CFixedString1024> field) { BindFixedText(pane, std::move(field)); }
    void BindFlag(PaneIDT pane, Field<std::uint8_t> field);
    void BindNumber(PaneIDT pane, Field<std::int32_t> field);
    // 1 when checked, 0 when not; a stored value other than 0 shows checked.
    void BindCheckNumber(PaneIDT pane, Field<std::int32_t> field);
    // A list shown as its items joined by spaces (cut at 255 bytes), saved
    // split at spaces.
    void BindWordList(PaneIDT pane, Field<TPooledList<CFixedString255>> field);

    using Rows = std::vector<std::vector<std::string>>;
    // A table pane and the list it shows, one row per item; written back
    // only when its rows differ from what was loaded.
    void BindTable(PaneIDT pane, std::function<Rows(CConfiguration&)> load,
                   std::function<void(CConfiguration&, const Rows&)> store);

    // Sets every bound control, then remembers what each shows.
    void LoadBindings();
    // True when a control had changed.
    bool SaveBindings();
    // Remembers what every bound control shows now.
    void Snapshot();

private:
    template <std::size_t N>
    void BindFixedText(PaneIDT pane, Field<CFixedString<N>> field)
    {
        Bind(pane, [field](CConfiguration& c) { return field(c).str(); },
             [field](CConfiguration& c, const std::string& text) { field(c).AssignView(text); });
    }

    struct SBinding {
        PaneIDT pane = 0;
        Loader load{};
        Storer store{};
        std::string shown{};
        std::function<Rows(CConfiguration&)> loadRows{};
        std::function<void(CConfiguration&, const Rows&)> storeRows{};
        Rows shownRows{};
    };
    CConfigurationPanelHost& mHost;
    CPane& mView;
    std::vector<SBinding> mBindings;
};

// Words of a space-separated text (runs of spaces give no empty words), each
// cut at 255 bytes; and the reverse, cut at 255 bytes.
void SplitWords(const std::string& text, TPooledList<CFixedString255>& out);
std::string JoinWords(const TPooledList<CFixedString255>& list);

// Panels are made by the class ID their layout names. As with the class
// registrar, a class ID claimed again from another place throws
// std::logic_error naming both places.
using PanelFactory = std::function<std::unique_ptr<CEditConfigurationPanel>(CConfigurationPanelHost&, CPane&)>;
void RegisterPanelClass(ClassIDT classID, PanelFactory factory,
                        std::source_location where = std::source_location::current());
std::unique_ptr<CEditConfigurationPanel> MakePanel(ClassIDT classID, CConfigurationPanelHost& window, CPane& view);
template <class T>
void RegisterPanelClassOf(ClassIDT classID, std::source_location where = std::source_location::current())
{
    RegisterPanelClass(
        classID,
        [](CConfigurationPanelHost& window, CPane& view) {
            return std::unique_ptr<CEditConfigurationPanel>(new T(window, view));
        },
        where);
}
