#include "tools/ui/ExtensionTool.h"

#include <algorithm>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "navigation/FolderProbe.h"
#include "navigation/ui/ListControls.h"
#include "platform/Named.h"
#include "platform/NativePath.h"
#include "platform/ProgramState.h"
#include "platform/Prompter.h"
#include "tools/ExtensionConversion.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ExtensionTool)
};
} // namespace

Form5::Form5(Prompter& prompter, ProgramState& state, const QString& folder,
             std::function<void()> refreshMainList, QWidget* parent)
    : QWidget(parent, Qt::Window), prompter_(prompter), state_(state),
      refreshMainList_(std::move(refreshMainList)) {
    setObjectName(QStringLiteral("Form5"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Texts::tr("拡張子変換ツール"));
    setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"))); // untranslated: a font family
    Drive1 = named(new DriveListBox(this), "Drive1");
    Drive1->refill();
    Dir1 = named(new QListWidget(this), "Dir1");
    Label1 = named(new QLabel(Texts::tr("変換の対象となる拡張子（左）："), this), "Label1");
    Text1 = named(new QLineEdit(this), "Text1");
    File1 = named(new FileListBox(this), "File1");
    Label2 = named(new QLabel(Texts::tr("変換後の拡張子（右）："), this), "Label2");
    Text2 = named(new QLineEdit(this), "Text2");
    File2 = named(new FileListBox(this), "File2");
    Label3 = named(new QLabel(Texts::tr("変換する拡張子の入力方式は\"．\"の後の文字のみでOKです"), this),
                   "Label3");
    Frame1 = named(new QGroupBox(QStringLiteral("Option"), this), "Frame1");
    Check1 = named(new QCheckBox(Texts::tr("読み込み専用ファイル"), Frame1), "Check1");
    Check2 = named(new QCheckBox(Texts::tr("システムファイル"), Frame1), "Check2");
    Check3 = named(new QCheckBox(Texts::tr("隠しファイル"), Frame1), "Check3");
    Command1 = named(new QPushButton(Texts::tr("変換"), this), "Command1");
    for (QCheckBox* c : {Check1, Check2, Check3})
        c->setChecked(true);
    auto* options = new QVBoxLayout(Frame1);
    for (QCheckBox* c : {Check1, Check2, Check3})
        options->addWidget(c);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Drive1, 0, 0);
    grid->addWidget(Dir1, 1, 0, 5, 1);
    grid->addWidget(Label1, 0, 1);
    grid->addWidget(Text1, 1, 1);
    grid->addWidget(File1, 2, 1);
    grid->addWidget(Label2, 0, 2);
    grid->addWidget(Text2, 1, 2);
    grid->addWidget(File2, 2, 2);
    grid->addWidget(Label3, 3, 1, 1, 2);
    grid->addWidget(Frame1, 4, 1);
    grid->addWidget(Command1, 4, 2, Qt::AlignBottom);

    File1->setPattern(QStringLiteral("*."));
    File2->setPattern(QStringLiteral("*."));
    File1->setAttributes({true, true, true, true});
    File2->setAttributes({true, false, false, true});

    connect(Drive1, &QComboBox::activated, this,
            [this](int i) { setFolder(Drive1->itemData(i).toString()); });
    connect(Dir1, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { setFolder(item->data(Qt::UserRole).toString()); });
    connect(Text1, &QLineEdit::textChanged, this,
            [this](const QString& t) { File1->setPattern(QStringLiteral("*.") + t); });
    connect(Text2, &QLineEdit::textChanged, this,
            [this](const QString& t) { File2->setPattern(QStringLiteral("*.") + t); });
    for (QCheckBox* c : {Check1, Check2, Check3})
        connect(c, &QCheckBox::clicked, this, &Form5::attributesChanged);
    connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
    setFolder(folder);
    keepOnScreen(parent);
}

void Form5::keepOnScreen(QWidget* over) {
    const QScreen* screen = over ? over->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // The frame the window manager adds is not known before the window is
    // shown; leave room for a title bar and borders.
    const QSize frame(16, 48);
    const QSize size = QSize(760, 420).boundedTo(area.size() - frame).expandedTo(minimumSizeHint());
    QPoint at =
        over ? over->geometry().center() - QPoint(size.width() / 2, size.height() / 2) : area.topLeft();
    at.setX(
        std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - size.width() - frame.width())));
    at.setY(std::clamp(at.y(), area.top() + frame.height() - 8,
                       std::max(area.top(), area.bottom() - size.height() - 8)));
    setGeometry(QRect(at, size));
}

void Form5::setFolder(const QString& folder) {
    if (!pathFacts(folder).isDir) return;
    folder_ = absoluteCleanPath(folder);
    // As a folder list shows it: the way down from the root, the open folder
    // marked, then its subfolders one step further in. Entries show readable
    // names and keep the paths that reach the folders.
    Dir1->clear();
    QStringList way{QStringLiteral("/")};
    for (const QString& part : folder_.split(u'/', Qt::SkipEmptyParts))
        way.append((way.size() == 1 ? QString() : way.last()) + u'/' + part);
    auto add = [this](const QString& path, const QString& text, int depth) {
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + displayName(text), Dir1);
        item->setData(Qt::UserRole, path);
        return item;
    };
    for (int i = 0; i < way.size(); ++i) {
        QListWidgetItem* item = add(way[i], i == 0 ? way[i] : nativeFileName(way[i]), i);
        if (i + 1 == way.size()) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
            Dir1->setCurrentItem(item);
        }
    }
    for (const QString& sub : subfolderPaths(folder_))
        add(sub, nativeFileName(sub), int(way.size()));
    // The drive list shows the volume that holds the folder.
    int volume = -1;
    qsizetype longest = -1;
    for (int i = 0; i < Drive1->count(); ++i) {
        const QString root = Drive1->itemData(i).toString();
        const bool holds =
            root == QLatin1String("/") || folder_ == root || folder_.startsWith(root + QLatin1Char('/'));
        if (holds && root.size() > longest) {
            longest = root.size();
            volume = i;
        }
    }
    if (volume >= 0) {
        const QSignalBlocker block(Drive1);
        Drive1->setCurrentIndex(volume);
    }
    File1->setPath(folder_);
    File2->setPath(folder_);
}

void Form5::attributesChanged() {
    AttributeFilter a = File1->attributes();
    a.readOnly = Check1->isChecked();
    a.system = Check2->isChecked();
    a.hidden = Check3->isChecked();
    File1->setAttributes(a);
    File2->setAttributes(a);
}

void Form5::Command1_Click() {
    QStringList names;
    File1->finishListing(); // every file the list holds is renamed, not the part listed so far
    for (int i = 0; i < File1->listCount(); ++i)
        names.append(File1->entry(i));
    const QStringList refused = applyRenames(extensionRenames(folder_, names, Text1->text(), Text2->text()));
    File1->refresh();
    File2->refresh();
    if (refreshMainList_) refreshMainList_();
    // A file whose new name was taken, or that would have left its folder,
    // keeps its name; no file is replaced.
    QStringList shown;
    for (const QString& path : refused)
        shown.append(displayName(path));
    if (!refused.isEmpty())
        prompter_.message(shown.join(QStringLiteral("\r\n")) + Texts::tr("\r\nは変換できませんでした"),
                          state_.title, Buttons::Ok);
}

void Form5::comeBack() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

} // namespace orbet
