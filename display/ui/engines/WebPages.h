#pragma once

#include "display/ui/Engines.h"

class QWidget;

namespace orbet {

// The scheme local pages are served under; before the engine's first use.
void registerPageScheme();
// A web view over Qt WebEngine with the rules of its role (Engines.h).
WebView* makeWebView(QWidget* parent, WebRole role);

} // namespace orbet
