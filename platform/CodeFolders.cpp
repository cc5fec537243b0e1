#include "platform/CodeFolders.h"

#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/NativePath.h"

namespace orbet {

namespace {

bool ownedSafely(const struct stat& st, bool above) {
    if (st.st_uid != 0 && st.st_uid != ::geteuid()) return false;
    if (!(st.st_mode & (S_IWGRP | S_IWOTH))) return true;
    return above && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX);
}

} // namespace

bool isSafeCodePath(const QString& path) {
    const QByteArray given = toNative(path);
    if (!given.startsWith('/')) return false;
    char* real = ::realpath(given.constData(), nullptr);
    if (!real) return false;
    QByteArray walked(real);
    std::free(real);
    for (bool above = false;; above = true) {
        struct stat st {};
        if (::stat(walked.isEmpty() ? "/" : walked.constData(), &st) != 0 || !ownedSafely(st, above))
            return false;
        if (walked.isEmpty() || walked == "/") return true;
        walked.truncate(walked.lastIndexOf('/'));
    }
}

QString pluginFolderFromStore(const QString& stored, const QString& fallback) {
    return stored.startsWith(u'/') ? stored : fallback;
}

} // namespace orbet
