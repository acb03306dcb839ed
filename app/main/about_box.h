// The about box: the program's icon, name, version and notice. An ordinary
// window (not modal); OK, Return and Escape close it.
#pragma once

#include "app/framework/window.h"

class CAboutBox : public CWindow, public CListener {
public:
    CAboutBox(const SLayout& layout, CCommander* superCommander);
    void ListenToMessage(MessageT message, void* ioParam) override;

protected:
    void FinishCreateSelf() override;
};

// The notice text that replaces the layout's placeholder.
const char* AboutBoxNotice();
