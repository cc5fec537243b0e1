#pragma once

#include <functional>

namespace orbet {

class MainParts;

// How the program ends: the confirmed close that saves everything, and the
// two commands that leave without asking.
class Shutdown {
  public:
    explicit Shutdown(MainParts& form);

    // Asks "終了しますか?"; on Yes stores the resident flag, writes the
    // settings and releases the plug-ins. Answers whether the close goes on.
    // A second request after a Yes is not asked again.
    bool confirmClose();
    // After a confirmed close: end the program; other windows close without
    // their own handling.
    void unload();
    void Dexit();
    void OutF();

    bool confirmed() const { return confirmed_; }
    // How the program ends; tests that keep one application for many
    // windows replace it, since an ended event loop cannot run again.
    void setQuit(std::function<void()> quit) { quit_ = std::move(quit); }

  private:
    MainParts& f_;
    bool confirmed_ = false;
    std::function<void()> quit_;
};

} // namespace orbet
