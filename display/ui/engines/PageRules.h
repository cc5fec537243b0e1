#pragma once

#include <QByteArray>

class QUrl;
class QWebEngineScript;

namespace orbet {

// The scheme local pages are served under.
extern const char kPageSchemeName[];

// A page-scheme address's path as the file system's bytes (percent-decoded
// as the scheme handler reads it); empty when it holds a NUL, which would
// cut the path short of what was checked.
QByteArray pagePathBytes(const QUrl& url);

// The folder a local page may load from: the page's own, resolved by the
// file system (links followed). Empty when it does not resolve.
QByteArray pageFolder(const QByteArray& pagePath);

// Whether the path, resolved by the file system (links and `..` followed
// first), lies in the folder or below it. A path that does not resolve is
// not inside: refused and missing look the same.
bool insideFolder(const QByteArray& folder, const QByteArray& path);

// The engine's switches that keep every page's real-time connections off
// the network; they take effect only before the engine's first start.
void keepRealTimeTrafficHome();
// The engine has started (its first profile is made): the environment is as
// it was before.
void engineStarted();

// A script for every frame of a local page: the page gets no peer-to-peer
// connection to make.
QWebEngineScript noPeerConnections();

} // namespace orbet
