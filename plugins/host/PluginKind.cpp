#include "plugins/host/PluginKind.h"

#include <cstdint>
#include <cstring>

#include <elf.h>

#include <QFile>

#include "platform/NativePath.h"

namespace orbet {

namespace {

template <class T> bool field(const QByteArray& bytes, qsizetype offset, T& value) {
    if (offset < 0 || offset + qsizetype(sizeof value) > bytes.size()) return false;
    std::memcpy(&value, bytes.constData() + offset, sizeof value);
    return true;
}

// The ELF machine and class this program itself was built for: only those
// can be loaded by the native host.
constexpr std::uint16_t ownMachine() {
#if defined(__x86_64__)
    return EM_X86_64;
#elif defined(__aarch64__)
    return EM_AARCH64;
#elif defined(__i386__)
    return EM_386;
#elif defined(__arm__)
    return EM_ARM;
#else
    return EM_NONE;
#endif
}

} // namespace

PluginKind pluginKindOf(const QByteArray& begin) {
    if (begin.startsWith(ELFMAG)) {
        std::uint16_t type = 0, machine = 0;
        const char wantedClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
        if (begin.size() < EI_NIDENT || begin[EI_CLASS] != wantedClass || begin[EI_DATA] != ELFDATA2LSB)
            return PluginKind::Unknown;
        if (!field(begin, 16, type) || !field(begin, 18, machine)) return PluginKind::Unknown;
        return type == ET_DYN && machine == ownMachine() ? PluginKind::Native : PluginKind::Unknown;
    }
    if (begin.startsWith("MZ")) {
        std::uint32_t peOffset = 0;
        std::uint16_t machine = 0;
        if (!field(begin, 0x3C, peOffset) || peOffset > std::uint32_t(begin.size()))
            return PluginKind::Unknown;
        if (begin.mid(qsizetype(peOffset), 4) != QByteArray("PE\0\0", 4)) return PluginKind::Unknown;
        if (!field(begin, qsizetype(peOffset) + 4, machine)) return PluginKind::Unknown;
        if (machine == 0x014C) return PluginKind::Win32;
        if (machine == 0x8664) return PluginKind::Win64;
    }
    return PluginKind::Unknown;
}

PluginKind pluginKindOfFile(const QString& path) {
    QFile file;
    if (!openNative(file, path)) return PluginKind::Unknown;
    return pluginKindOf(file.read(4096));
}

} // namespace orbet
