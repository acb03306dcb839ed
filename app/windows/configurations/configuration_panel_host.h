// What a panel of the configuration editor asks of the window that holds
// it. The editor implements it; the panels know the editor only through it,
// so the editor may build them.
#pragma once

#include "foundation/messaging/broadcaster.h"

class CCommander;
class CConfiguration;
class CEditConfigurationWindow;

class CConfigurationPanelHost {
public:
    // The panel's super commander.
    virtual CCommander* PanelSuperCommander() = 0;
    // The copy the panels edit.
    virtual CConfiguration& WorkingCopy() = 0;
    // A message the panel passes on (901 after the panel saved).
    virtual void PanelMessage(MessageT message, void* ioParam) = 0;
    // The editor itself, for panels that open windows of their own.
    virtual CEditConfigurationWindow& EditorWindow() = 0;

protected:
    ~CConfigurationPanelHost() = default;
};
