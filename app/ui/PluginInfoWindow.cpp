#include "app/ui/PluginInfoWindow.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>

#include "plugins/host/PluginRegistry.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(PluginInfoWindow)
};
} // namespace

PluginInfoWindow::PluginInfoWindow(const PluginRegistry& plugins, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PluginInfo"));
    setWindowTitle(Texts::tr("SusiePlugin情報"));
    Label3 = new QLabel(Texts::tr("読み込みに成功したプラグイン"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    Label1 = new QLabel(Texts::tr("SusiePluginによって有効になった拡張子"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    List2 = new QListWidget(this);
    List2->setObjectName(QStringLiteral("List2"));
    Label4 = new QLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setWordWrap(true);
    if (!plugins.needingWine().isEmpty())
        Label4->setText(Texts::tr("Wineがインストールされていないため読み込めなかったプラグイン: ") +
                        plugins.needingWine().join(QStringLiteral(", ")));
    Label4->setVisible(!plugins.needingWine().isEmpty());
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label3, 0, 0);
    grid->addWidget(List1, 1, 0);
    grid->addWidget(Label1, 0, 1);
    grid->addWidget(List2, 1, 1);
    grid->addWidget(Label4, 2, 0, 1, 2);
    List1->addItems(plugins.descriptions());
    List2->addItems(plugins.suffixMasks());
    resize(560, 300);
}

} // namespace orbet
