#pragma once

#include <QString>

class QToolBar;

namespace orbet {

class Form1;

// The toolbar's buttons, by the key each click dispatches on.
enum class ToolButton {
    Pic1,
    dxinput,
    dirform,
    opencom,
    direx,
    exp,
    n,
    web,
    copy,
    del,
    allwin,
    kakutyou,
    help
};

// Fills the toolbar with its thirteen buttons (images of our own drawing,
// tool tips, the first with its caption) and wires each to its command.
// Buttons whose command does not exist yet are shown disabled.
void buildToolbar(Form1& form);
QString toolButtonKey(ToolButton button);

} // namespace orbet
