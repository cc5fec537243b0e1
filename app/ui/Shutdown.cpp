#include "app/ui/Shutdown.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QTimer>

#include "app/ui/MainParts.h"
#include "app/ui/SettingsBinder.h"
#include "app/ui/Startup.h"
#include "platform/Prompter.h"
#include "platform/Twips.h"
#include "platform/UserStore.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Shutdown)
};
} // namespace

Shutdown::Shutdown(MainParts& form) : f_(form), quit_([] { QCoreApplication::exit(0); }) {
    // The desktop session ending is one more close request.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &f_.window(),
                     [this](QSessionManager& manager) {
                         if (confirmed_) return;
                         if (!manager.allowsInteraction()) return;
                         const bool goOn = confirmClose();
                         manager.release();
                         if (!goOn) {
                             manager.cancel();
                             return;
                         }
                         unload();
                     });
}

bool Shutdown::confirmClose() {
    if (confirmed_) return true;
    const Answer a = f_.prompter().message(Texts::tr("終了しますか?"), f_.state().title, Buttons::YesNo,
                                           Icon::Question, Answer::Yes);
    if (a != Answer::Yes) return false;
    confirmed_ = true;
    writeStoreValue(QStringLiteral("Task"), QStringLiteral("Task"),
                    f_.state().resident ? QStringLiteral("1") : QStringLiteral("0"));
    f_.settings().SaveSettings();
    f_.startup().FreePlugins();
    return true;
}

void Shutdown::unload() {
    f_.Timer1->stop();
    quit_();
}

void Shutdown::Dexit() {
    f_.window().hide();
    confirmed_ = true; // nothing is saved and nothing more is asked
    f_.Timer1->stop();
    // The end comes once the event loop has taken the window off the screen.
    QTimer::singleShot(0, &f_.window(), [this] { quit_(); });
}

void Shutdown::OutF() {
    const TwipsRect r = f_.rectTwips();
    f_.window().move(twips::toPixels(-r.width - 100), f_.window().y());
}

} // namespace orbet
