// Where a local page's requests may go, and what keeps its real-time
// connections home. Kept apart from the views: the rules are about paths and
// the engine's start, not about pages.
#include "display/ui/engines/PageRules.h"

#include <climits>
#include <cstdlib>
#include <optional>

#include <QUrl>
#include <QWebEngineScript>

namespace orbet {

const char kPageSchemeName[] = "orbet-page";

QByteArray pagePathBytes(const QUrl& url) {
    const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return path.contains('\0') ? QByteArray() : path;
}

namespace {

QByteArray resolved(const QByteArray& path) {
    if (path.isEmpty() || path.contains('\0')) return {};
    char buffer[PATH_MAX];
    return ::realpath(path.constData(), buffer) ? QByteArray(buffer) : QByteArray();
}

} // namespace

QByteArray pageFolder(const QByteArray& pagePath) {
    const qsizetype slash = pagePath.lastIndexOf('/');
    if (slash < 0) return {};
    return resolved(slash == 0 ? QByteArray("/") : pagePath.left(slash));
}

bool insideFolder(const QByteArray& folder, const QByteArray& path) {
    if (folder.isEmpty()) return false;
    const QByteArray real = resolved(path);
    if (real.isEmpty()) return false;
    return real == folder || real.startsWith(folder.endsWith('/') ? folder : folder + '/');
}

namespace {
// The switches reach the engine through the environment, which the programs
// started from here would inherit: it is put back once the engine has read it.
bool switched = false;
std::optional<QByteArray> flagsBefore;
const char kFlags[] = "QTWEBENGINE_CHROMIUM_FLAGS";
} // namespace

void keepRealTimeTrafficHome() {
    // With UDP off for every peer connection, nothing is gathered over UDP:
    // no STUN or TURN datagram, no host candidate and so no mDNS name, and
    // no STUN server's name is looked up. (The engine offers no switch for
    // TURN over TCP; local pages lose the constructors instead, below.)
    static const QByteArray kSwitch = "--force-webrtc-ip-handling-policy=disable_non_proxied_udp";
    if (switched) return;
    switched = true;
    if (qEnvironmentVariableIsSet(kFlags)) flagsBefore = qgetenv(kFlags);
    const QByteArray flags = flagsBefore.value_or(QByteArray());
    qputenv(kFlags, flags.isEmpty() ? kSwitch : flags + ' ' + kSwitch);
}

void engineStarted() {
    if (!switched) return;
    switched = false;
    if (flagsBefore)
        qputenv(kFlags, *flagsBefore);
    else
        qunsetenv(kFlags);
}

QWebEngineScript noPeerConnections() {
    QWebEngineScript script;
    script.setName(QStringLiteral("orbet-no-peer-connections"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    script.setSourceCode(
        QStringLiteral("(function(w){['RTCPeerConnection','webkitRTCPeerConnection','RTCIceTransport',"
                       "'RTCSessionDescription','RTCIceCandidate','RTCDataChannel'].forEach(function(n){"
                       "try{Object.defineProperty(w,n,{value:undefined,writable:false,configurable:false});}"
                       "catch(e){}});})(window);"));
    return script;
}

} // namespace orbet
