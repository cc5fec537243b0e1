#include "app/ui/HeldPrompter.h"

namespace orbet {

Answer HeldPrompter::message(const QString& text, const QString& title, Buttons buttons, Icon icon,
                             std::optional<Answer> defaultAnswer) {
    if (holding_ && buttons == Buttons::Ok) {
        held_.push_back({text, title, icon, defaultAnswer});
        return Answer::Ok;
    }
    return shown_.message(text, title, buttons, icon, defaultAnswer);
}

void HeldPrompter::release() {
    holding_ = false;
    // Taken first: a message shown runs events, and what they do may say
    // something more.
    const std::vector<Held> held = std::move(held_);
    held_.clear();
    for (const Held& m : held)
        shown_.message(m.text, m.title, Buttons::Ok, m.icon, m.defaultAnswer);
}

} // namespace orbet
