#pragma once

#include <memory>

#include "options/OptionValues.h"

namespace orbet {

class MainParts;
class OptionForm;

// The options dialog's place in the main window: `OptionS` opens it over the
// live state, and OK's values come back here to be applied in one step.
namespace options {

// The live state as the dialog shows it: check marks, program-wide values
// and the plug-in folder of the per-user store.
OptionValues current(MainParts& form);

// OK's steps 2 to 9 in their order; the main window follows at once (check
// marks, file list filters, the text pane's editability, the background).
// When the plug-in folder cannot be stored, everything goes back to what
// it was, the user is told, and the result is false.
bool apply(MainParts& form, const OptionValues& values);

// Whether the per-user store says to follow pictures' stored orientation
// (the default when it says nothing).
bool storedOrientationFollowed();

// The dialog over the live state, not yet shown; OK applies through apply().
std::unique_ptr<OptionForm> makeForm(MainParts& form);

// `OptionS`: the dialog, modal and centred.
void OptionS(MainParts& form);

// Connects the menu command; the window calls it once.
void wire(MainParts& form);

} // namespace options
} // namespace orbet
