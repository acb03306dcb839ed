// Layout numbers, pane IDs and messages of the configuration windows; the
// tables themselves stand in configurations_layout.cpp (the two windows and
// their dialogs) and panels_layout.cpp (the editor's panels and theirs).
#pragma once

#include "app/framework/framework_codes.h"

namespace configwin {

// The configurations window and its name dialogs.
inline constexpr int kConfigurationsLayout = 129;
inline constexpr int kNewNameDialog = 135;
inline constexpr int kDuplicateNameDialog = 136;
inline constexpr int kRenameNameDialog = 137;
inline constexpr ClassIDT kConfigurationsClass = MakeFourCharCode("slGR");
inline constexpr ClassIDT kConfigurationTableClass = MakeFourCharCode("FIGT");
inline constexpr PaneIDT kName = MakeFourCharCode("Name");
inline constexpr PaneIDT kHelp = MakeFourCharCode("HELP");
inline constexpr MessageT kMsgNew = MakeFourCharCode("New ");
inline constexpr MessageT kMsgDuplicate = MakeFourCharCode("Dup ");
inline constexpr MessageT kMsgRename = MakeFourCharCode("Ren ");
inline constexpr MessageT kMsgDelete = MakeFourCharCode("Del ");
inline constexpr MessageT kMsgEdit = MakeFourCharCode("Edi ");
inline constexpr MessageT kMsgHelp = MakeFourCharCode("HELP");
// Sent to the grabber, quicker grabber and preferences windows: refill the
// configurations popup.
inline constexpr MessageT kMsgConfigurationsChanged = MakeFourCharCode("UPDT");

// The editor.
inline constexpr int kEditorLayout = 2100;
inline constexpr int kFirstPanelLayout = 2101;  // tab n shows layout 2100 + n
inline constexpr int kTabCount = 7;
inline constexpr int kDelimitersPanelLayout = 2108;
inline constexpr int kSaveChangesDialog = 2121;
inline constexpr ClassIDT kEditorClass = MakeFourCharCode("PCGR");
inline constexpr PaneIDT kTabs = MakeFourCharCode("TABS");
inline constexpr MessageT kMsgDontSave = MakeFourCharCode("DONT");

// General panel.
inline constexpr PaneIDT kHostsButton = MakeFourCharCode("HosT");
inline constexpr PaneIDT kChooseFolder = MakeFourCharCode("CFol");
inline constexpr PaneIDT kLocalPath = 71;

// Filter panels.
inline constexpr PaneIDT kFilterSetPopup = MakeFourCharCode("fTYP");
inline constexpr PaneIDT kChooseScript = MakeFourCharCode("Cspt");

// Realms and input items and delimiters: tables and their dialogs.
inline constexpr int kDeleteInputItemDialog = 2112;
inline constexpr int kNewInputItemDialog = 2113;
inline constexpr int kEditInputItemDialog = 2114;
inline constexpr int kNewDelimiterDialog = 2116;
inline constexpr int kEditDelimiterDialog = 2117;
inline constexpr int kDeleteRealmDialog = 2118;
inline constexpr int kNewRealmDialog = 2119;
inline constexpr int kEditRealmDialog = 2120;
inline constexpr int kRevertUserAgentsDialog = 2127;
inline constexpr int kMessageWindow = 202;
inline constexpr ClassIDT kMessageWindowClass = MakeFourCharCode("MSGW");
inline constexpr PaneIDT kTable = 2;
inline constexpr PaneIDT kNewRow = 3;
inline constexpr PaneIDT kDeleteRow = 4;
inline constexpr PaneIDT kEditRow = 5;
inline constexpr PaneIDT kDialogName = MakeFourCharCode("NAME");
inline constexpr PaneIDT kDialogUser = MakeFourCharCode("USER");
inline constexpr PaneIDT kDialogPassword = MakeFourCharCode("PASS");
inline constexpr PaneIDT kDialogValue = MakeFourCharCode("VALU");
inline constexpr PaneIDT kDialogStart = MakeFourCharCode("STAR");
inline constexpr PaneIDT kDialogEnd = MakeFourCharCode("END ");
inline constexpr PaneIDT kSiteUser = MakeFourCharCode("NamE");
inline constexpr PaneIDT kSitePassword = MakeFourCharCode("PaSS");

// Input items panel.
inline constexpr PaneIDT kFormURL = MakeFourCharCode("fURL");
inline constexpr PaneIDT kFormAction = MakeFourCharCode("fACT");
inline constexpr PaneIDT kMethod = MakeFourCharCode("METH");
inline constexpr PaneIDT kLoadForm = MakeFourCharCode("LOAD");
inline constexpr PaneIDT kBrowserPage = MakeFourCharCode("CWEB");
inline constexpr PaneIDT kTestSubmit = MakeFourCharCode("TEST");
inline constexpr PaneIDT kClear = MakeFourCharCode("CLR ");
inline constexpr PaneIDT kWarning = MakeFourCharCode("WARN");

// Logging panel.
inline constexpr PaneIDT kLogFolder = 45;
inline constexpr PaneIDT kUserAgent = 9;
inline constexpr PaneIDT kUserAgentMenu = MakeFourCharCode("UAMN");
inline constexpr PaneIDT kImportAgents = MakeFourCharCode("IMUA");
inline constexpr PaneIDT kRevertAgents = MakeFourCharCode("UDFT");
inline constexpr PaneIDT kEditStart = MakeFourCharCode("ESTA");
inline constexpr PaneIDT kEditFinish = MakeFourCharCode("EFIN");
inline constexpr PaneIDT kMessageText = MakeFourCharCode("Text");
inline constexpr PaneIDT kMessageOK = MakeFourCharCode("OKAY");
inline constexpr PaneIDT kMessageCancel = MakeFourCharCode("CANC");

void RegisterConfigurationLayouts();
void RegisterPanelLayouts();

}  // namespace configwin
