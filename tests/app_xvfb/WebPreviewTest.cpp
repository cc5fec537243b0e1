// What a previewed page may do, through the real web pane and the real
// engine: show itself and what lies beside it, and nothing more.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include "ScreenSupport.h"
#include "WebSupport.h"
#include "app/ui/Navigator.h"
#include "display/ui/WebPane.h"
#include "support/TestSupport.h"
#include "viewers/MiniWebBrowser.h"

namespace orbet::test {
namespace {

// A loopback web server of the test's own that counts what reaches it.
class LoopbackServer {
  public:
    LoopbackServer() {
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost));
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                ++connections_;
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { answer(s); });
            }
        });
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }
    int connections() const { return connections_; }
    const QStringList& paths() const { return paths_; }

  private:
    void answer(QTcpSocket* s) {
        const QByteArray head = s->readAll();
        const QByteArray path = head.split(' ').value(1);
        paths_ << QString::fromLatin1(path);
        QByteArray body = "<html><head><title>remote</title></head><body>remote</body></html>";
        QByteArray type = "text/html";
        QByteArray extra;
        if (path.startsWith("/probe?")) {
            // A remote page that tries to learn whether a local file exists.
            body = "<html><body><img src='orbet-page:" + QByteArray::fromPercentEncoding(path.mid(7)) +
                   "' onload=\"document.title='probe loaded'\" onerror=\"document.title='probe blocked'\">"
                   "</body></html>";
        } else if (path == "/download") {
            body = "payload";
            type = "application/octet-stream";
            extra = "Content-Disposition: attachment; filename=\"got.bin\"\r\n";
        }
        s->write("HTTP/1.1 200 OK\r\nContent-Type: " + type + "\r\n" + extra + "Content-Length: " +
                 QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        s->disconnectFromHost();
    }

    QTcpServer server_;
    int connections_ = 0;
    QStringList paths_;
};

// A page whose file field covers its top-left corner.
const QByteArray kFileFieldPage =
    "<html><body style='margin:0'><input type='file' style='position:absolute;left:0;top:0;width:400px;"
    "height:200px'></body></html>";

// Clicks into the page the way the mouse does, and reports whether a modal
// dialog of the toolkit's own came up (closing it again).
bool clickOpensADialog(QWidget* view, QPoint at) {
    bool dialog = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&dialog] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            dialog = true;
            modal->close();
        }
    });
    watch.start(50);
    QWidget* target = view->focusProxy() ? view->focusProxy() : view;
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
    QTest::qWait(1500);
    return dialog;
}

// Tries every way a script has of reading another file, and writes what it
// got into the title: "done" and the outcome of each.
QByteArray readingPage(const QString& absoluteSecret) {
    const QByteArray abs = "file://" + absoluteSecret.toUtf8();
    return "<html><body><p>reader</p><script>\n"
           "var out = [];\n"
           "function sync(u){ try { var x = new XMLHttpRequest(); x.open('GET', u, false); x.send();"
           " return x.responseText || 'empty'; } catch (e) { return 'refused'; } }\n"
           "out.push('xhr-near=' + sync('secret.txt'));\n"
           "out.push('xhr-abs=' + sync('" +
           abs +
           "'));\n"
           "function get(u){ return fetch(u).then(function(r){ return r.text(); }).catch(function(){ return "
           "'refused'; }); }\n"
           "var frame = new Promise(function(res){ var f = document.createElement('iframe'); f.src = "
           "'secret.txt';"
           " f.onload = function(){ try { res(f.contentDocument.body.innerText); } catch (e) { "
           "res('refused'); } };"
           " document.body.appendChild(f); setTimeout(function(){ res('refused'); }, 3000); });\n"
           "Promise.all([get('secret.txt'), get('" +
           abs +
           "'), frame]).then(function(r){"
           " out.push('fetch-near=' + r[0], 'fetch-abs=' + r[1], 'frame=' + r[2]);"
           " document.title = 'done ' + out.join(' '); });\n"
           "</script></body></html>";
}

class WebPreviewTest : public ScreenTest {
  protected:
    QString folder(const QString& name) {
        const QString dir = QDir(data_.path()).filePath(name);
        QDir().mkpath(dir);
        return dir;
    }
    // Shows the folder's page in the web pane as a user does: the folder,
    // then the web page filter.
    void preview(const QString& dir) {
        form_->navigator().OpenFolder(dir);
        QSignalSpy loaded(form_->WB1, &WebPane::loadFinished);
        form_->Combo1->setCurrentIndex(9);
        ASSERT_TRUE(form_->WB1->hasEngine());
        if (loaded.isEmpty()) ASSERT_TRUE(loaded.wait(30000));
    }
    // A secret outside every previewed folder, and one beside the page.
    QString secrets(const QString& dir) {
        EXPECT_TRUE(writeAll(QDir(dir).filePath("secret.txt"), "NEAR-SECRET-17"));
        const QString far = home(QStringLiteral("far-secret.txt"));
        EXPECT_TRUE(writeAll(far, "FAR-SECRET-42"));
        return far;
    }
};

TEST_F(WebPreviewTest, APreviewedPageReadsNoOtherFile) {
    const QString dir = folder("reader");
    const QString far = secrets(dir);
    ASSERT_TRUE(writeAll(QDir(dir).filePath("page.html"), readingPage(far)));
    preview(dir);
    const QString title = waitForTitle(form_->WB1->view(), QStringLiteral("done"));
    ASSERT_TRUE(title.startsWith(QLatin1String("done"))) << title.toStdString();
    EXPECT_FALSE(title.contains(QLatin1String("SECRET"))) << title.toStdString();
    for (const char* way : {"xhr-near", "xhr-abs", "fetch-near", "fetch-abs", "frame"})
        EXPECT_TRUE(title.contains(QLatin1String(way) + QLatin1String("=refused")) ||
                    title.contains(QLatin1String(way) + QLatin1String("=empty")))
            << way << ": " << title.toStdString();
    EXPECT_TRUE(prompter_.records().empty());
}

TEST_F(WebPreviewTest, APreviewedPageShowsItsOwnPictureAndStyleSheet) {
    const QString dir = folder("styled");
    QImage red(80, 80, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    ASSERT_TRUE(red.save(QDir(dir).filePath("pic.png")));
    ASSERT_TRUE(writeAll(QDir(dir).filePath("style.css"),
                         "body { background: rgb(0, 0, 255); margin: 0 }\n"
                         "img { position: absolute; left: 10px; top: 10px; width: 80px; height: 80px }\n"));
    ASSERT_TRUE(writeAll(
        QDir(dir).filePath("page.html"),
        "<html><head><link rel='stylesheet' href='style.css'></head>"
        "<body><img src='pic.png'><script>\n"
        "window.onload = function(){ document.title = 'shown ' + document.images[0].naturalWidth + ' '"
        " + getComputedStyle(document.body).backgroundColor; };\n"
        "</script></body></html>"));
    preview(dir);
    QWidget* view = form_->WB1->view();
    EXPECT_EQ(waitForTitle(view, QStringLiteral("shown")), QStringLiteral("shown 80 rgb(0, 0, 255)"));
    EXPECT_TRUE(waitForScreenColour(view->mapToGlobal(QPoint(50, 50)), QColor(255, 0, 0)))
        << "picture: " << screenColour(view->mapToGlobal(QPoint(50, 50))).name().toStdString();
    EXPECT_TRUE(waitForScreenColour(view->mapToGlobal(QPoint(200, 150)), QColor(0, 0, 255)))
        << "style: " << screenColour(view->mapToGlobal(QPoint(200, 150))).name().toStdString();
}

TEST_F(WebPreviewTest, APreviewedPageGetsNoPermissionNoWindowNoDialog) {
    const QString dir = folder("asker");
    // Beside the page but out of the file list: the list's first page is the one shown.
    QDir(dir).mkdir("more");
    ASSERT_TRUE(writeAll(QDir(dir).filePath("more/other.html"), "<html><body>other</body></html>"));
    ASSERT_TRUE(writeAll(
        QDir(dir).filePath("page.html"),
        "<html><body><script>\n"
        "var out = [];\n"
        "var w = window.open('more/other.html', '_blank'); out.push(w ? 'window' : 'nowindow');\n"
        "alert('hello'); out.push(confirm('sure?') ? 'confirmed' : 'unconfirmed');\n"
        "var left = 2;\n"
        "function fin(t){ out.push(t); if (--left == 0) document.title = 'done ' + out.join(' '); }\n"
        "navigator.geolocation.getCurrentPosition(function(){ fin('geo=yes'); }, function(){ fin('geo=no'); "
        "});\n"
        "Notification.requestPermission().then(function(p){ fin('notify=' + p); });\n"
        "</script></body></html>"));
    const QWidgetList before = QApplication::topLevelWidgets();
    preview(dir);
    const QString title = waitForTitle(form_->WB1->view(), QStringLiteral("done"));
    ASSERT_TRUE(title.startsWith(QLatin1String("done"))) << title.toStdString();
    EXPECT_TRUE(title.contains(QLatin1String("nowindow"))) << title.toStdString();
    EXPECT_TRUE(title.contains(QLatin1String("unconfirmed"))) << title.toStdString();
    EXPECT_TRUE(title.contains(QLatin1String("geo=no"))) << title.toStdString();
    EXPECT_TRUE(title.contains(QLatin1String("notify=denied"))) << title.toStdString();
    EXPECT_EQ(QApplication::topLevelWidgets().size(), before.size());
    EXPECT_TRUE(prompter_.records().empty());
}

TEST_F(WebPreviewTest, APreviewedPageGetsNoFileFromItsFileField) {
    const QString dir = folder("field");
    ASSERT_TRUE(writeAll(QDir(dir).filePath("page.html"), kFileFieldPage));
    preview(dir);
    QTest::qWait(500);
    EXPECT_FALSE(clickOpensADialog(form_->WB1->view(), QPoint(100, 100)));
    EXPECT_TRUE(prompter_.records().empty());
}

TEST_F(WebPreviewTest, APreviewedPageReachesNoNetwork) {
    LoopbackServer server;
    const QString dir = folder("caller");
    const QByteArray base = server.base().toUtf8();
    ASSERT_TRUE(writeAll(QDir(dir).filePath("page.html"),
                         "<html><body><img src='" + base +
                             "/image.png'>"
                             "<form id='f' method='post' action='" +
                             base +
                             "/form'><input name='a' value='b'></form>"
                             "<script>\n"
                             "fetch('" +
                             base +
                             "/fetch').catch(function(){});\n"
                             "try { var x = new XMLHttpRequest(); x.open('GET', '" +
                             base +
                             "/xhr', false); x.send(); }"
                             " catch (e) {}\n"
                             "setTimeout(function(){ document.getElementById('f').submit(); }, 200);\n"
                             "setTimeout(function(){ location.href = '" +
                             base +
                             "/navigation'; }, 400);\n"
                             "setTimeout(function(){ document.title = 'tried'; }, 700);\n"
                             "</script></body></html>"));
    preview(dir);
    EXPECT_EQ(waitForTitle(form_->WB1->view(), QStringLiteral("tried")), QStringLiteral("tried"));
    QTest::qWait(1500); // anything late would have arrived by now
    EXPECT_EQ(server.connections(), 0) << server.paths().join(' ').toStdString();
    EXPECT_NE(engineView(form_->WB1->view())->url().scheme(), QStringLiteral("http"));
}

TEST_F(WebPreviewTest, TheMiniBrowserBrowsesAsksBeforeDownloadingAndKeepsTheFileRule) {
    LoopbackServer server;
    Form1& f = *form_;
    f.action(Command::MiniWebGo)->trigger();
    MinWeb* web = f.miniWeb();
    ASSERT_NE(web, nullptr);

    // The network, as a browser does.
    web->Text1->setText(server.base() + QStringLiteral("/page"));
    QTest::keyClick(web->Text1, Qt::Key_Return);
    EXPECT_EQ(waitForTitle(web->Web, QStringLiteral("remote")), QStringLiteral("remote"));
    EXPECT_TRUE(server.paths().contains(QStringLiteral("/page")));
    EXPECT_EQ(web->Text1->text(), server.base() + QStringLiteral("/page"));
    // A remote page loads nothing local, so it cannot tell which files exist.
    const QString picture = QDir(data_.path()).filePath("local.png");
    QImage(4, 4, QImage::Format_RGB32).save(picture);
    web->Text1->setText(server.base() + QStringLiteral("/probe?") +
                        QString::fromLatin1(QUrl::toPercentEncoding(picture)));
    QTest::keyClick(web->Text1, Qt::Key_Return);
    EXPECT_EQ(waitForTitle(web->Web, QStringLiteral("probe")), QStringLiteral("probe blocked"));

    // A download is asked about; cancelled, nothing is written.
    engineView(web->Web)->setUrl(QUrl(server.base() + QStringLiteral("/download")));
    QElapsedTimer t;
    t.start();
    while (prompter_.records().empty() && t.elapsed() < 15000)
        QTest::qWait(50);
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].kind, ScriptedPrompter::Kind::SaveFile);
    EXPECT_EQ(prompter_.records()[0].dialog.initialName, QStringLiteral("got.bin"));
    QTest::qWait(500);
    EXPECT_FALSE(QFileInfo::exists(QDir(data_.path()).filePath("got.bin")));

    // Answered, the file arrives where the user said.
    const QString target = QDir(data_.path()).filePath("kept.bin");
    prompter_.reply(target);
    engineView(web->Web)->setUrl(QUrl(server.base() + QStringLiteral("/download")));
    t.restart();
    while (QFileInfo(target).size() != 7 && t.elapsed() < 15000)
        QTest::qWait(50);
    EXPECT_EQ(readAll(target), QByteArray("payload"));

    // A local page opened there reads no other file either.
    const QString dir = folder("reader");
    const QString far = secrets(dir);
    const QString page = QDir(dir).filePath("page.html");
    ASSERT_TRUE(writeAll(page, readingPage(far)));
    web->Text1->setText(page);
    QTest::keyClick(web->Text1, Qt::Key_Return);
    const QString title = waitForTitle(web->Web, QStringLiteral("done"));
    ASSERT_TRUE(title.startsWith(QLatin1String("done"))) << title.toStdString();
    EXPECT_FALSE(title.contains(QLatin1String("SECRET"))) << title.toStdString();
    // The box shows the file's own address.
    EXPECT_EQ(web->Text1->text(), QUrl::fromLocalFile(page).toString());

    // A file field asks through the program's dialogs.
    const QString field = QDir(dir).filePath("field.html");
    ASSERT_TRUE(writeAll(field, kFileFieldPage));
    web->Text1->setText(field);
    QTest::keyClick(web->Text1, Qt::Key_Return);
    QTest::qWait(1000);
    prompter_.clear();
    EXPECT_FALSE(clickOpensADialog(web->Web, QPoint(100, 100)));
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].kind, ScriptedPrompter::Kind::OpenFile);
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("送信するファイルの選択"));
}

} // namespace
} // namespace orbet::test
