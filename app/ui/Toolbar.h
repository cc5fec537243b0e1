#pragma once

#include <functional>

#include <QString>

class QToolBar;

namespace orbet {

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
// tool tips, the first with its caption); a click goes to click. Buttons
// for which works says no are shown disabled.
void buildToolbar(QToolBar& bar, const std::function<void(ToolButton)>& click,
                  const std::function<bool(ToolButton)>& works);
QString toolButtonKey(ToolButton button);

} // namespace orbet
