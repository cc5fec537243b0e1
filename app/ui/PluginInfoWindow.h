#pragma once

#include <QDialog>

class QLabel;
class QListWidget;

namespace orbet {

class PluginRegistry;

// "SusiePlugin情報": the loaded plug-ins' descriptions and the masks they
// added to the picture filter, filled on each opening.
class PluginInfoWindow : public QDialog {
    Q_OBJECT
  public:
    PluginInfoWindow(const PluginRegistry& plugins, QWidget* parent);

    QListWidget* List1 = nullptr;
    QListWidget* List2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    // Names the Windows plug-ins left out for want of Wine; hidden when none.
    QLabel* Label4 = nullptr;
};

} // namespace orbet
