#pragma once

#include <array>
#include <initializer_list>

namespace orbet {

enum class ViewerKind { FullScreen, Minimum };
enum class ViewerAction {
    None,
    Next,
    Previous,
    First,
    Last,
    Slideshow,
    DirectoryChanger,
    Close,
    ZoomIn,
    ZoomOut,
    ZoomFit,
    ZoomNatural
};

// The Windows key code of a toolkit key (letters and digits as themselves,
// the arrows 37 to 40, + and - as the keys that carry them, 187 and 189);
// -1 for a key that has none below 256.
int windowsKeyCode(int toolkitKey);

// The viewers' key state table: one flag per key code, on while the key is
// down. After every key-down the dispatcher acts on the first group that is
// set and clears it, so a held key steps once per auto-repeated key-down.
class ViewerKeyState {
  public:
    // False (and nothing set) for a code outside 0..255.
    bool press(int code);
    void release(int code);
    bool held(int code) const { return code >= 0 && code < 256 && flags_[code]; }
    ViewerAction dispatch(ViewerKind kind);

    // Codes the dispatcher acts on: the keys a viewer keeps from its
    // controls (a scroll bar would page on Page Down too).
    static bool isViewerKey(int code);

  private:
    bool take(std::initializer_list<int> codes);
    std::array<bool, 256> flags_{};
};

} // namespace orbet
