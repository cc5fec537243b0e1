#include "display/ui/Engines.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLibrary>
#include <QOpenGLContext>

#include "platform/ProgramFolders.h"

// QtGui's own (exported, not in its public headers): the context every
// later one shares with when Qt::AA_ShareOpenGLContexts is on.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
Q_GUI_EXPORT QOpenGLContext* qt_gl_global_share_context();

namespace orbet {

namespace {

bool loaded = false;

// The web engine composes its pages through a graphics context shared with
// the toolkit's. Made at start-up (the usual way) it would cost every start
// more than a bare window costs in all; made here, before the engine first
// loads, only the first page pays, and every context made after it shares.
void shareGraphicsContexts() {
    if (qt_gl_global_share_context()) return;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    auto* context = new QOpenGLContext(QCoreApplication::instance());
    if (context->create())
        qt_gl_set_global_share_context(context);
    else
        delete context;
}

// Late on purpose: the toolkit's warnings that the engine and the shared
// contexts come late are not news.
QtMessageHandler previousHandler = nullptr;
void dropLateWarnings(QtMsgType type, const QMessageLogContext& where, const QString& text) {
    if (text.contains(QLatin1String("must be set before QCoreApplication")) ||
        text.contains(QLatin1String("initialized from a plugin")))
        return;
    previousHandler(type, where, text);
}

class LateWarningsDropped {
  public:
    LateWarningsDropped() { previousHandler = qInstallMessageHandler(dropLateWarnings); }
    ~LateWarningsDropped() { qInstallMessageHandler(previousHandler); }
};

Engines* load() {
    const LateWarningsDropped quiet;
    QStringList folders;
    const QString override = qEnvironmentVariable("ORBET_ENGINE_DIR");
    if (!override.isEmpty()) folders << override;
    // Beside the program in the build folder, in engines/ once installed.
    folders << folders::programFolder() << folders::join(folders::programFolder(), QStringLiteral("engines"));
    for (const QString& folder : folders) {
        // Never unloaded: widgets and players built from it live to the end.
        static QLibrary library;
        library.setFileName(folders::join(folder, QStringLiteral("orbet_engines")));
        library.setLoadHints(QLibrary::PreventUnloadHint);
        if (!library.load()) continue;
        using Entry = Engines* (*)();
        if (auto entry = reinterpret_cast<Entry>(library.resolve("orbet_engines"))) {
            loaded = true;
            return entry();
        }
        library.unload();
    }
    return nullptr;
}

} // namespace

Engines* engines() {
    static Engines* const e = [] {
        PendingBusyPointer busy;
        return load();
    }();
    return e;
}

bool enginesLoaded() {
    return loaded;
}

WebView* createWebView(QWidget* parent, WebRole role) {
    Engines* e = engines();
    if (!e) return nullptr;
    {
        const LateWarningsDropped quiet;
        shareGraphicsContexts();
    }
    return e->createWebView(parent, role);
}

PendingBusyPointer::PendingBusyPointer() {
    if (!QGuiApplication::instance()) return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    on_ = true;
}

PendingBusyPointer::~PendingBusyPointer() {
    done();
}

void PendingBusyPointer::done() {
    if (!on_) return;
    on_ = false;
    QGuiApplication::restoreOverrideCursor();
}

} // namespace orbet
