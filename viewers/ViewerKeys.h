#pragma once

#include <array>

namespace orbet {

enum class ViewerKind { FullScreen, Minimum };
enum class ViewerAction { None, Next, Previous, Slideshow, DirectoryChanger, Close };

// The Windows key code of a toolkit key (letters and digits as themselves,
// the arrows 37 to 40); -1 for a key that has none below 256.
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

  private:
    bool take(int a, int b = -1);
    std::array<bool, 256> flags_{};
};

} // namespace orbet
