#pragma once

#include <vector>

#include <QString>

namespace orbet {

// One item of the menu tree, in display order. depth 0 entries are the
// top-level menus (and the two pop-ups); a separator has the caption "-".
struct MenuEntry {
    int depth;
    const char* name;
    QString caption;
    const char* shortcut; // QKeySequence text, or nullptr
    bool checked;         // initial check mark; only toggling items carry one
    bool checkable;
};

const std::vector<MenuEntry>& menuTable();

// The caption as shown, in the language in force; `caption` keeps the
// Japanese source text whatever the language.
QString menuCaption(const MenuEntry& entry);

} // namespace orbet
