// The pages of the web pane and the mini browser, and what each may do.
//
// The engine, left to itself, lets a page opened from a file read every
// other file the user can read (fetch, XMLHttpRequest, frames) and asks the
// embedding program about permissions it never answers. Turning its file
// access off is not enough: it then loads none of the page's own pictures
// and styles either. So local pages are served here under a scheme of our
// own whose every document has an opaque origin of its own, as a browser
// treats files: a page loads what it names, and reads nothing by script.
// The pane previews pages the user did not write, so a preview gets a
// profile of its own that reaches nothing but local addresses, and every
// page, previewed or browsed, is denied the user's devices, windows and
// screen. A local page, previewed or browsed, loads only what lies in its
// own folder or below: what it may not load it cannot draw and read back,
// nor learn whether it exists, and nothing it does leaves the machine.
#include "display/ui/engines/WebPages.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPointer>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

#include "display/ui/engines/PageRules.h"

namespace orbet {
namespace {

const QString kPageScheme = QString::fromLatin1(kPageSchemeName);

// A local file's address in the page scheme, and back: the same path bytes.
QUrl toPageUrl(QUrl url) {
    if (url.isLocalFile()) url.setScheme(kPageScheme);
    return url;
}
QUrl fromPageUrl(QUrl url) {
    if (url.scheme() == kPageScheme) url.setScheme(QStringLiteral("file"));
    return url;
}

// Addresses that never leave the machine: local pages and what a page
// makes of its own (data:, blob:, about:).
bool staysLocal(const QUrl& url) {
    static const QStringList local = {kPageScheme, QStringLiteral("data"), QStringLiteral("blob"),
                                      QStringLiteral("about")};
    return local.contains(url.scheme(), Qt::CaseInsensitive);
}

// A script's own request for a local page. (An opaque origin's request
// fails anyway for want of cross-origin rights; refusing it outright keeps
// that from hanging on the engine's defaults. Workers and beacons of an
// opaque origin the engine never starts.)
bool isScriptRead(QWebEngineUrlRequestInfo::ResourceType type) {
    return type == QWebEngineUrlRequestInfo::ResourceTypeXhr;
}

// Every request of a previewed page passes here, whoever makes it: an
// image, a style sheet, a script's request, a form, a frame, a navigation.
// A browsed page goes where it likes, but reads no local page by script,
// and only a local page loads what lies beside it (a remote one would learn
// which files exist).
class RequestRules final : public QWebEngineUrlRequestInterceptor {
  public:
    RequestRules(bool preview, QObject* parent)
        : QWebEngineUrlRequestInterceptor(parent), preview_(preview) {}
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl& url = info.requestUrl();
        const bool page = url.scheme() == kPageScheme;
        const bool fromPage = info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame ||
                              info.firstPartyUrl().scheme() == kPageScheme;
        if ((preview_ && !staysLocal(url)) || (page && (isScriptRead(info.resourceType()) || !fromPage)))
            info.block(true);
    }

  private:
    bool preview_;
};

// Serves local pages and what they name, by the path's own bytes (a name
// need not be UTF-8), only regular files, streamed.
class LocalPages final : public QWebEngineUrlSchemeHandler {
  public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override {
        // Not blocking: a FIFO or a device named by a page fails at once.
        const QByteArray path = pagePathBytes(job->requestUrl());
        const int fd = path.isEmpty() ? -1 : ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        struct stat facts {};
        if (fd < 0 || ::fstat(fd, &facts) != 0 || !S_ISREG(facts.st_mode)) {
            if (fd >= 0) ::close(fd);
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        auto* file = new QFile(job);
        if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            job->fail(QWebEngineUrlRequestJob::RequestFailed);
            return;
        }
        const QString name = QFileInfo(QString::fromLocal8Bit(path)).fileName();
        job->reply(QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension).name().toLatin1(),
                   file);
    }
};

// A local page's own requests, whoever in it makes them (an image, a
// script, a frame, the page's own navigation): a local address only in the
// page's folder or below, resolved as the file system resolves it, and, once
// a local page is shown, nothing that leaves the machine. What is refused
// fails as a missing file does.
class FolderRules final : public QWebEngineUrlRequestInterceptor {
  public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    // The resolved folder of the local page shown; empty for none.
    const QByteArray& folder() const { return folder_; }
    void setFolder(const QByteArray& folder) { folder_ = folder; }
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl& url = info.requestUrl();
        if (url.scheme() == kPageScheme ? !insideFolder(folder_, pagePathBytes(url))
                                        : !folder_.isEmpty() && !staysLocal(url))
            info.block(true);
    }

  private:
    QByteArray folder_;
};

class GuardedPage;

// What a page's download asks of its view (null: refused).
WebView* ownerOf(QWebEnginePage* page);

void refuseDownloads(QWebEngineProfile* profile) {
    QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile,
                     [](QWebEngineDownloadRequest* download) { download->cancel(); });
}

void serveLocalPages(QWebEngineProfile* profile, bool preview) {
    profile->setUrlRequestInterceptor(new RequestRules(preview, profile));
    profile->installUrlSchemeHandler(kPageScheme.toLatin1(), new LocalPages(profile));
}

// Off the record: a previewed page leaves no cookies, storage or cache.
QWebEngineProfile* previewProfile() {
    static QWebEngineProfile* const profile = [] {
        auto* p = new QWebEngineProfile(QCoreApplication::instance());
        serveLocalPages(p, true);
        refuseDownloads(p);
        return p;
    }();
    return profile;
}

QWebEngineProfile* browserProfile() {
    static QWebEngineProfile* const profile = [] {
        QWebEngineProfile* p = QWebEngineProfile::defaultProfile();
        serveLocalPages(p, false);
        QObject::connect(p, &QWebEngineProfile::downloadRequested, p,
                         [](QWebEngineDownloadRequest* download) {
                             WebView* view = ownerOf(download->page());
                             const QString target = view && view->downloadAsked
                                                        ? view->downloadAsked(download->suggestedFileName())
                                                        : QString();
                             if (target.isEmpty()) {
                                 download->cancel();
                                 return;
                             }
                             const QFileInfo file(target);
                             download->setDownloadDirectory(file.absolutePath());
                             download->setDownloadFileName(file.fileName());
                             download->accept();
                         });
        return p;
    }();
    return profile;
}

class GuardedPage final : public QWebEnginePage {
  public:
    GuardedPage(WebRole role, WebView* owner, QObject* parent)
        : QWebEnginePage(role == WebRole::Preview ? previewProfile() : browserProfile(), parent), role_(role),
          owner_(owner) {
        using S = QWebEngineSettings;
        QWebEngineSettings* s = settings();
        // No page reaches file: addresses at all; local pages come through
        // the page scheme.
        s->setAttribute(S::LocalContentCanAccessFileUrls, false);
        s->setAttribute(S::LocalContentCanAccessRemoteUrls, false);
        s->setAttribute(S::JavascriptCanOpenWindows, false);
        s->setAttribute(S::JavascriptCanAccessClipboard, false);
        s->setAttribute(S::JavascriptCanPaste, false);
        s->setAttribute(S::AllowWindowActivationFromJavaScript, false);
        s->setAttribute(S::FullScreenSupportEnabled, false);
        s->setAttribute(S::ScreenCaptureEnabled, false);
        s->setAttribute(S::AllowGeolocationOnInsecureOrigins, false);
        s->setAttribute(S::AllowRunningInsecureContent, false);
        s->setAttribute(S::WebRTCPublicInterfacesOnly, true);
        s->setAttribute(S::DnsPrefetchEnabled, false);
        s->setAttribute(S::PluginsEnabled, false);
        // Refused without asking: camera, microphone, location,
        // notifications, screen capture, the pointer lock.
        connect(this, &QWebEnginePage::featurePermissionRequested, this,
                [this](const QUrl& origin, Feature feature) {
                    setFeaturePermission(origin, feature, PermissionDeniedByUser);
                });
        connect(this, &QWebEnginePage::fullScreenRequested, this,
                [](QWebEngineFullScreenRequest request) { request.reject(); });
        connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
                [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
        connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
                [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
        setUrlRequestInterceptor(rules_);
        if (role_ == WebRole::Preview) scripts().insert(noPeerConnections());
    }

    WebView* owner() const { return owner_; }

    // The program (not the page) goes to an address: a local page's folder
    // is what it and its frames may load from; a remote address has none.
    void goTo(const QUrl& url) {
        rules_->setFolder(url.scheme() == kPageScheme ? pageFolder(pagePathBytes(url)) : QByteArray());
        if (role_ == WebRole::Browser) {
            // A browsed local page is under the preview's rules.
            const QList<QWebEngineScript> present = scripts().find(noPeerConnections().name());
            if (rules_->folder().isEmpty())
                for (const QWebEngineScript& s : present)
                    scripts().remove(s);
            else if (present.isEmpty())
                scripts().insert(noPeerConnections());
        }
        setUrl(url);
    }

  protected:
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }

    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (url.isLocalFile()) {
            // A link to a file: the same file, under the same rules.
            if (isMainFrame)
                QTimer::singleShot(0, this, [self = QPointer<GuardedPage>(this), target = toPageUrl(url)] {
                    if (self) self->setUrl(target);
                });
            return false;
        }
        // A local page takes nobody anywhere: its navigations would carry
        // what it read in their addresses.
        if ((role_ == WebRole::Preview || !rules_->folder().isEmpty()) && !staysLocal(url)) return false;
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }

    // A preview neither talks to the user nor asks for their files: its
    // dialogs would come from a page the user only meant to look at.
    void javaScriptAlert(const QUrl& origin, const QString& text) override {
        if (role_ == WebRole::Browser) QWebEnginePage::javaScriptAlert(origin, text);
    }
    bool javaScriptConfirm(const QUrl& origin, const QString& text) override {
        return role_ == WebRole::Browser && QWebEnginePage::javaScriptConfirm(origin, text);
    }
    bool javaScriptPrompt(const QUrl& origin, const QString& text, const QString& value,
                          QString* result) override {
        return role_ == WebRole::Browser && QWebEnginePage::javaScriptPrompt(origin, text, value, result);
    }
    // A browsed page's file field asks through the program's own dialogs.
    QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override {
        if (role_ == WebRole::Preview || !owner_->fileAsked) return {};
        const QString chosen = owner_->fileAsked();
        return chosen.isEmpty() ? QStringList() : QStringList{chosen};
    }

  private:
    WebRole role_;
    WebView* owner_;
    FolderRules* rules_ = new FolderRules(this);
};

WebView* ownerOf(QWebEnginePage* page) {
    auto* guarded = dynamic_cast<GuardedPage*>(page);
    return guarded ? guarded->owner() : nullptr;
}

class WebEngineView final : public QWebEngineView, public WebView {
  public:
    WebEngineView(QWidget* parent, WebRole role) : QWebEngineView(parent) {
        setPage(new GuardedPage(role, this, this));
        connect(this, &QWebEngineView::loadFinished, this, [this](bool ok) {
            if (WebView::loadFinished) WebView::loadFinished(ok);
        });
        connect(this, &QWebEngineView::urlChanged, this, [this](const QUrl& url) {
            if (WebView::urlChanged) WebView::urlChanged(fromPageUrl(url));
        });
    }
    QWidget* widget() override { return this; }
    void setUrl(const QUrl& url) override { static_cast<GuardedPage*>(page())->goTo(toPageUrl(url)); }
    QUrl url() const override { return fromPageUrl(QWebEngineView::url()); }
    QString title() const override { return QWebEngineView::title(); }
};

} // namespace

void registerPageScheme() {
    QWebEngineUrlScheme scheme(kPageScheme.toLatin1());
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    // Each document an opaque origin of its own. (Marked local, the engine
    // would let no such document load the pictures beside it; that remote
    // pages load nothing of it is the request rules' work.)
    scheme.setFlags(QWebEngineUrlScheme::NoAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

WebView* makeWebView(QWidget* parent, WebRole role) {
    auto* view = new WebEngineView(parent, role);
    engineStarted();
    return view;
}

} // namespace orbet
