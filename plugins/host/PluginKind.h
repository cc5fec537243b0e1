#pragma once

#include <QByteArray>
#include <QString>

namespace orbet {

// Which host a plug-in file runs in, told from its content alone.
enum class PluginKind {
    Unknown, // neither a shared object of this machine nor a Windows DLL
    Native,  // an ELF shared object of this machine's architecture
    Win32,   // a PE file for 32-bit x86 (the classic .spi)
    Win64,   // a PE file for x86-64 (.sph)
};

// The kind of a file whose first bytes are begin (a few hundred suffice; the
// PE header is looked for within them).
PluginKind pluginKindOf(const QByteArray& begin);
// The same for a file, reading at most 4 KiB of it.
PluginKind pluginKindOfFile(const QString& path);

inline bool isWindowsKind(PluginKind kind) {
    return kind == PluginKind::Win32 || kind == PluginKind::Win64;
}

} // namespace orbet
