// Dialogs of the configuration windows that ask for a few texts (a name; a
// realm, user and password; a name and value).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/framework/framework_codes.h"

class CDialog;

// Runs the dialog with its edit fields `fields` holding `values` (the first
// field has the focus; a field 'PASS' shows bullets); on OK `values` takes
// what they hold. True on OK. A missing field is 'nilP' with `operation`.
bool RunFieldsDialog(int layoutNumber, const char* operation, const std::vector<PaneIDT>& fields,
                     std::vector<std::string>& values);

// Tests type into these dialogs through a filler that runs once each dialog
// is filled in (its answer comes from the scripted answers). Null: none.
void SetDialogTyping(std::function<void(CDialog&)> typing);
