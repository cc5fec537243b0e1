#pragma once

#include <QProxyStyle>

namespace orbet {

// The toolkit's own style with one change: the toolbar's overflow button
// draws its chevron itself. The style's picture for it is a file whose
// reading makes the toolkit load every image plug-in it has (a dozen
// libraries, several milliseconds) while the main window is being built.
class ProgramStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

} // namespace orbet
