#include <cstdio>
#include <cstdlib>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "XDriver.h"
#include "support/TestSupport.h"

// The program as `cmake --install` lays it out in a prefix of its own: the
// installed executable finds its resources and plug-ins under ../lib/orbet,
// keeps its settings in the user's config folder, and shows a picture handed
// to it on the command line the way a file manager hands it over.
namespace orbet::test {
namespace {

QString run(const QString& program, const QStringList& args, int timeoutMs = 120000) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
    }
    return QString::fromUtf8(p.readAll()).trimmed();
}

// Every file under a folder with its contents, to see that nothing changed.
QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, readAll(path));
    }
    return files;
}

bool near(QRgb shown, QRgb pixel) {
    // A translucent pixel is shown over the pane's white background.
    const int a = qAlpha(pixel);
    const auto blend = [a](int c) { return (c * a + 255 * (255 - a)) / 255; };
    return std::abs(qRed(shown) - blend(qRed(pixel))) <= 8 &&
           std::abs(qGreen(shown) - blend(qGreen(pixel))) <= 8 &&
           std::abs(qBlue(shown) - blend(qBlue(pixel))) <= 8;
}

// Whether the screen holds the picture at its natural size somewhere: an 8 by
// 8 grid of its pixels, corners included, found at one place.
bool showsPicture(const QImage& screenImage, const QImage& pictureImage) {
    const QImage screen = screenImage.convertToFormat(QImage::Format_RGB32);
    const QImage picture = pictureImage.convertToFormat(QImage::Format_ARGB32);
    if (picture.width() < 8 || picture.height() < 8) return false;
    for (int y = 0; y + picture.height() <= screen.height(); ++y) {
        for (int x = 0; x + picture.width() <= screen.width(); ++x) {
            if (!near(screen.pixel(x, y), picture.pixel(0, 0))) continue;
            bool all = true;
            for (int j = 0; j < 8 && all; ++j) {
                for (int i = 0; i < 8 && all; ++i) {
                    const int px = i * (picture.width() - 1) / 7, py = j * (picture.height() - 1) / 7;
                    all = near(screen.pixel(x + px, y + py), picture.pixel(px, py));
                }
            }
            if (all) return true;
        }
    }
    return false;
}

class Installed : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        prefix_ = new QTemporaryDir;
        installLog_ =
            run(QStringLiteral(ORBET_CMAKE_COMMAND), {"--install", buildDir(), "--prefix", prefix_->path()});
    }
    static void TearDownTestSuite() {
        delete prefix_;
        prefix_ = nullptr;
    }

    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X server (scripts/test runs xvfb-run)";
        ASSERT_TRUE(prefix_->isValid() && user_.isValid());
        ASSERT_TRUE(QFile::exists(program())) << qPrintable(installLog_);
        env_ = QProcessEnvironment::systemEnvironment();
        env_.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env_.remove(QStringLiteral("ORBET_HOME"));
        env_.insert(QStringLiteral("HOME"), user_.path());
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), user_.filePath(QStringLiteral("config")));
        env_.insert(QStringLiteral("XDG_DATA_HOME"), user_.filePath(QStringLiteral("data")));
    }

    void TearDown() override {
        if (HasFailure()) std::fprintf(stderr, "program output:\n%s\n", program_.readAll().constData());
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished();
        }
    }

    static QString program() { return prefix_->filePath(QStringLiteral("bin/orbet")); }
    static QString installed(const QString& relative) { return prefix_->filePath(relative); }
    QString userConfig(const QString& name) const {
        return user_.filePath(QStringLiteral("config/Orbet/") + name);
    }

    void start(const QStringList& args) {
        program_.setProcessEnvironment(env_);
        program_.setProcessChannelMode(QProcess::MergedChannels);
        // Started the way a desktop entry starts it: from some other folder.
        program_.setWorkingDirectory(user_.path());
        program_.start(program(), args);
        ASSERT_TRUE(program_.waitForStarted());
    }

    QImage grab(const QString& window) const {
        const QString png = user_.filePath(QStringLiteral("screen.png"));
        QFile::remove(png);
        run(QStringLiteral(ORBET_GRAB), {window, png}, 15000);
        return QImage(png);
    }

    // Answers the close question with Yes and waits for the end.
    void closeConfirmed(const QString& window) {
        xdotool({"mousemove", "--window", window, "20", "10", "click", "1"});
        QThread::msleep(400);
        xdotool({"key", "Escape"});
        QThread::msleep(200);
        xdotool({"key", "ctrl+x"});
        ASSERT_FALSE(waitForWindow(QStringLiteral("^Orbet$"), 20000).isEmpty()) << "no close question";
        xdotool({"key", "Return"});
        ASSERT_TRUE(program_.waitForFinished(20000));
        EXPECT_EQ(program_.exitCode(), 0);
    }

    static QTemporaryDir* prefix_;
    static QString installLog_;
    QTemporaryDir user_;
    QProcessEnvironment env_;
    QProcess program_;
};

QTemporaryDir* Installed::prefix_ = nullptr;
QString Installed::installLog_;

TEST_F(Installed, LayoutHasTheProgramItsFolderAndTheDesktopFiles) {
    for (const char* file :
         {"bin/orbet", "lib/orbet/pd1/ti.tex", "lib/orbet/texthelp.txt", "lib/orbet/texthelp_en.txt",
          "lib/orbet/susie/IFpng.spi", "lib/orbet/susie/IFwebp.spi", "lib/orbet/susie/IFtiff.spi",
          "lib/orbet/susie/IFavif.spi", "lib/orbet/susie/IFheif.spi", "lib/orbet/susie/IFjxl.spi",
          "share/icons/hicolor/scalable/apps/orbet.svg", "share/metainfo/io.github.orbet.Orbet.metainfo.xml"})
        EXPECT_TRUE(QFile::exists(installed(QString::fromLatin1(file)))) << file;
    EXPECT_TRUE(QFileInfo(installed(QStringLiteral("bin/orbet"))).isExecutable());
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage icon(installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/orbet.png").arg(size)));
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
    }
    const QString entry = QString::fromUtf8(
        readAll(installed(QStringLiteral("share/applications/io.github.orbet.Orbet.desktop"))));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=orbet %f\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nIcon=orbet\n")));
    for (const char* type :
         {"image/jpeg", "image/png", "text/plain", "audio/x-wav", "application/rtf", "text/html"})
        EXPECT_TRUE(entry.contains(
            QRegularExpression(QStringLiteral("\nMimeType=(.*;)?%1;").arg(QLatin1String(type)))))
            << type;
}

TEST_F(Installed, ShowsAPictureThroughItsPluginsAndKeepsSettingsOutOfThePrefix) {
    // A folder of its own, so the picture is the folder's first file and stays
    // shown after the start-up's second opening of the folder.
    const QString folder = user_.filePath(QStringLiteral("pictures"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString picture = folder + QStringLiteral("/hopper.png");
    ASSERT_TRUE(QFile::copy(testData(QStringLiteral("pictures/png/hopper.png")), picture));
    // The user's settings from an earlier run (the command line is only taken
    // once a settings file exists), and a stray picsys.ini in the installed
    // program folder whose filter would hide the picture: it must be ignored.
    ASSERT_TRUE(QDir().mkpath(userConfig({})));
    ASSERT_TRUE(writeAll(userConfig(QStringLiteral("picsys.ini")),
                         "LastFilter=0\r\nWidth=15000\r\nHeight=11000\r\n"));
    ASSERT_TRUE(writeAll(installed(QStringLiteral("lib/orbet/picsys.ini")), "LastFilter=5\r\n"));
    const auto before = snapshot(prefix_->path());

    start({picture});
    const QString window =
        waitForWindow(QStringLiteral("^Orbet - ") + QRegularExpression::escape(folder) + u'$');
    ASSERT_FALSE(window.isEmpty()) << "the installed program did not open the picture's folder";
    const QImage expected(picture);
    ASSERT_FALSE(expected.isNull());
    bool shown = false;
    QImage screen;
    QElapsedTimer t;
    t.start();
    while (!shown && t.elapsed() < 20000) {
        screen = grab(window);
        shown = !screen.isNull() && showsPicture(screen, expected);
        if (!shown) QThread::msleep(500);
    }
    if (!shown) screen.save(QDir::temp().filePath(QStringLiteral("orbet-installed-failure.png")));
    EXPECT_TRUE(shown) << "the PNG (decoded by the installed plug-in) is not on the screen; screen saved as "
                       << qPrintable(QDir::temp().filePath(QStringLiteral("orbet-installed-failure.png")));

    closeConfirmed(window);
    // Settings went to the user's config folder, beside the per-user store.
    const QStringList lines = QString::fromUtf8(readAll(userConfig(QStringLiteral("picsys.ini"))))
                                  .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 31);
    EXPECT_EQ(lines[0], QStringLiteral("LastPath=") + folder);
    EXPECT_EQ(lines[7], QStringLiteral("LastFilter=0"));
    EXPECT_TRUE(QFile::exists(userConfig(QStringLiteral("Vae011.vaf"))));
    EXPECT_TRUE(QFile::exists(userConfig(QStringLiteral("Orbet.conf"))));
    // Nothing in the prefix was written, added or removed.
    EXPECT_EQ(snapshot(prefix_->path()), before);
    ASSERT_TRUE(QFile::remove(installed(QStringLiteral("lib/orbet/picsys.ini"))));
}

} // namespace
} // namespace orbet::test
