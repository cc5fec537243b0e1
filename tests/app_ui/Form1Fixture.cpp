#include "Form1Fixture.h"

#include <QSettings>
#include <QTimer>

#include "app/ui/Shutdown.h"
#include "platform/UserStore.h"
#include "plugins/host/PluginRegistry.h"
#include "support/TestSupport.h"

namespace orbet::test {

void Form1Test::SetUp() {
    ASSERT_TRUE(home_.isValid());
    qputenv("ORBET_HOME", home_.path().toUtf8());
    // The plug-in hosts of the build; the plug-in cache in the test's home.
    HostSetup hosts;
    hosts.hostFolder = QStringLiteral(ORBET_BUILD_DIR);
    hosts.winePrefix = sharedWinePrefix();
    hosts.cacheFile = home(QStringLiteral("cache/plugins.cache"));
    HostSetup::setStandardForTesting(&hosts);
    writeStoreValue(QStringLiteral("Task"), QStringLiteral("Task"), QStringLiteral("0"));
}

void Form1Test::TearDown() {
    form_.reset();
    EXPECT_EQ(prompter_.pending(), 0) << "the script answers a prompt that never came";
    qunsetenv("ORBET_HOME");
    HostSetup::setStandardForTesting(nullptr);
}

void Form1Test::writeIni(const QByteArray& bytes) {
    ASSERT_TRUE(writeAll(home(QStringLiteral("picsys.ini")), bytes));
}

Form1& Form1Test::start(const QString& commandLine) {
    form_ = std::make_unique<Form1>(prompter_, readStartRequest(commandLine));
    // One application serves every test, so the end of a run must not end its event loop.
    form_->shutdown().setQuit([this] { ++quits_; });
    form_->load();
    // The one-shot timer would reopen the folder a second into any test that
    // waits; the test of the timer itself drives it by hand.
    form_->Timer1->stop();
    return *form_;
}

QByteArray Form1Test::savedIni() const {
    return readAll(home_.filePath(QStringLiteral("picsys.ini")));
}

} // namespace orbet::test
