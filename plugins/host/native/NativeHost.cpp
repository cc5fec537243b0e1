// The host process for native import plug-ins: loads them with dlopen and
// answers the program's requests over standard input and output (see
// HostWire.h). No Qt: it starts in a few milliseconds, and whatever a plug-in
// does to this process never reaches the program.

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "plugins/host/HostWire.h"
#include "plugins/host/SusiePlugin.h"

static_assert(int(WIRE_RESULT_NOT_IMPLEMENTED) == int(SPI_NOT_IMPLEMENTED) &&
                  int(WIRE_RESULT_SUCCESS) == int(SPI_SUCCESS) &&
                  int(WIRE_RESULT_CANCELLED) == int(SPI_CANCELLED) &&
                  int(WIRE_RESULT_NO_MEMORY) == int(SPI_NO_MEMORY) &&
                  int(WIRE_RESULT_MEMORY_ERROR) == int(SPI_MEMORY_ERROR) &&
                  int(WIRE_RESULT_READ_ERROR) == int(SPI_READ_ERROR) && WIRE_INPUT_MEMORY == SPI_INPUT_MEMORY,
              "the wire's codes are the plug-in interface's");

namespace {

int wireOut = -1;

struct Plugin {
    void* handle = nullptr;
    GetPluginInfoFunction getPluginInfo = nullptr;
    IsSupportedFunction isSupported = nullptr;
    GetPictureFunction getPicture = nullptr;
};
std::vector<Plugin> plugins; // id n is plugins[n - 1]; a freed one keeps its place

bool readAll(int fd, void* buffer, size_t size) {
    auto* bytes = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t got = read(fd, bytes, size);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        bytes += got;
        size -= size_t(got);
    }
    return true;
}

bool writeAll(int fd, const void* buffer, size_t size) {
    const auto* bytes = static_cast<const char*>(buffer);
    while (size > 0) {
        const ssize_t put = write(fd, bytes, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        bytes += put;
        size -= size_t(put);
    }
    return true;
}

bool reply(uint32_t type, int32_t value, const void* payload = nullptr, uint32_t length = 0) {
    const WireHeader header = {ORBET_WIRE_MAGIC, type, length, value};
    return writeAll(wireOut, &header, sizeof header) && writeAll(wireOut, payload, length);
}

Plugin* pluginById(int32_t id) {
    if (id < 1 || size_t(id) > plugins.size()) return nullptr;
    Plugin* plugin = &plugins[size_t(id) - 1];
    return plugin->handle ? plugin : nullptr;
}

std::string infoText(const Plugin& plugin, int32_t number) {
    // One spare byte stays NUL for a plug-in that forgets the terminator.
    char buffer[101] = {};
    plugin.getPluginInfo(number, buffer, 100);
    buffer[100] = '\0';
    return std::string(buffer);
}

bool load(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = dlerror();
        const std::string reason = error ? error : "dlopen failed";
        return reply(WIRE_LOAD, 0, reason.data(), uint32_t(reason.size()));
    }
    Plugin plugin;
    plugin.handle = handle;
    plugin.getPluginInfo = reinterpret_cast<GetPluginInfoFunction>(dlsym(handle, "GetPluginInfo"));
    plugin.isSupported = reinterpret_cast<IsSupportedFunction>(dlsym(handle, "IsSupported"));
    plugin.getPicture = reinterpret_cast<GetPictureFunction>(dlsym(handle, "GetPicture"));
    const bool complete =
        plugin.getPluginInfo && plugin.isSupported && plugin.getPicture && dlsym(handle, "GetPictureInfo");
    if (!complete || infoText(plugin, 0) != ORBET_WIRE_IMPORT_TAG) {
        dlclose(handle);
        const std::string reason = complete ? "not an import filter" : "missing import-filter functions";
        return reply(WIRE_LOAD, 0, reason.data(), uint32_t(reason.size()));
    }
    plugins.push_back(plugin);
    return reply(WIRE_LOAD, int32_t(plugins.size()));
}

const char* cancelPath = nullptr;
long long lastCancelLook = 0;

long long nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

int progress(int, int, intptr_t) {
    const long long now = nowMs();
    if (now - lastCancelLook < ORBET_WIRE_CANCEL_POLL_MS) return 0;
    lastCancelLook = now;
    struct stat facts {};
    return stat(cancelPath, &facts) == 0 ? 1 : 0;
}

bool picture(const Plugin& plugin, const char* payload, uint32_t length) {
    WirePictureReply out = {0, 0};
    auto fail = [&](int32_t code) { return reply(WIRE_PICTURE, code, &out, sizeof out); };
    if (length < sizeof(WirePictureRequest) + 3 || payload[length - 1] != '\0')
        return fail(WIRE_RESULT_MEMORY_ERROR);
    WirePictureRequest request;
    std::memcpy(&request, payload, sizeof request);
    const char* inputPath = payload + sizeof request;
    const char* outputPath = inputPath + std::strlen(inputPath) + 1;
    if (outputPath >= payload + length) return fail(WIRE_RESULT_MEMORY_ERROR);
    cancelPath = outputPath + std::strlen(outputPath) + 1;
    if (cancelPath >= payload + length || request.inputBytes == 0) return fail(WIRE_RESULT_MEMORY_ERROR);

    // The input may be the user's picture file by its own name, which may
    // have been swapped for a pipe or a device since the program looked:
    // opening must not wait. Pipes and devices have no size and folders
    // cannot be mapped, so only a regular file as large as promised is.
    const int input = open(inputPath, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (input < 0) return fail(WIRE_RESULT_READ_ERROR);
    struct stat facts {};
    if (fstat(input, &facts) != 0 || uint64_t(facts.st_size) < request.inputBytes) {
        close(input);
        return fail(WIRE_RESULT_READ_ERROR);
    }
    void* contents = mmap(nullptr, request.inputBytes, PROT_READ, MAP_PRIVATE | MAP_POPULATE, input, 0);
    close(input);
    if (contents == MAP_FAILED) return fail(WIRE_RESULT_READ_ERROR);

    void* header = nullptr;
    void* pixels = nullptr;
    lastCancelLook = 0;
    int32_t result = plugin.getPicture(static_cast<const char*>(contents), intptr_t(request.inputBytes),
                                       WIRE_INPUT_MEMORY, &header, &pixels, progress, 0);
    // Only blocks the plug-in allocated itself are ours to free: one that
    // points into the contents we lent it, or one block handed back twice,
    // is refused.
    const char* lentBegin = static_cast<const char*>(contents);
    auto lent = [&](const void* p) {
        const char* c = static_cast<const char*>(p);
        return p && c >= lentBegin && c < lentBegin + request.inputBytes;
    };
    if (lent(header) || lent(pixels) || (header && header == pixels)) {
        if (!lent(header)) std::free(header);
        header = pixels = nullptr;
        result = WIRE_RESULT_MEMORY_ERROR;
    }

    bool written = true;
    if (header && pixels) {
        out.headerBytes = malloc_usable_size(header);
        out.pixelBytes = malloc_usable_size(pixels);
        // Written over the last picture's file: its memory is reused, and
        // the length is cut to this picture's.
        const int output = open(outputPath, O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        written = output >= 0 && writeAll(output, header, out.headerBytes) &&
                  writeAll(output, pixels, out.pixelBytes) &&
                  ftruncate(output, off_t(out.headerBytes + out.pixelBytes)) == 0;
        if (output >= 0) close(output);
    }
    if (!written) {
        out = {0, 0};
        result = WIRE_RESULT_NO_MEMORY;
    }
    // As in the Windows host, the blocks go back after the reply.
    const bool replied = reply(WIRE_PICTURE, result, &out, sizeof out);
    std::free(header);
    std::free(pixels);
    munmap(contents, request.inputBytes);
    return replied;
}

bool serve(const WireHeader& header, std::vector<char>& payload) {
    const uint32_t length = header.length;
    switch (header.type) {
    case WIRE_LOAD:
        return load(std::string(payload.data(), length));
    case WIRE_INFO: {
        const Plugin* plugin = pluginById(header.value);
        int32_t number = 0;
        if (!plugin || length != sizeof number) return reply(WIRE_INFO, 0);
        std::memcpy(&number, payload.data(), sizeof number);
        const std::string text = infoText(*plugin, number);
        return reply(WIRE_INFO, int32_t(text.size()), text.data(), uint32_t(text.size()));
    }
    case WIRE_SUPPORTED: {
        const Plugin* plugin = pluginById(header.value);
        if (!plugin || length < ORBET_WIRE_HEAD_SIZE) return reply(WIRE_SUPPORTED, 0);
        const std::string path(payload.data() + ORBET_WIRE_HEAD_SIZE, length - ORBET_WIRE_HEAD_SIZE);
        return reply(WIRE_SUPPORTED, plugin->isSupported(path.c_str(), payload.data()) != 0 ? 1 : 0);
    }
    case WIRE_PICTURE: {
        const Plugin* plugin = pluginById(header.value);
        if (!plugin) {
            const WirePictureReply none = {0, 0};
            return reply(WIRE_PICTURE, WIRE_RESULT_NOT_IMPLEMENTED, &none, sizeof none);
        }
        payload.push_back('\0');
        return picture(*plugin, payload.data(), length);
    }
    case WIRE_FREE:
        if (Plugin* plugin = pluginById(header.value)) {
            dlclose(plugin->handle);
            *plugin = Plugin();
        }
        return reply(WIRE_FREE, 0);
    default:
        return false;
    }
}

} // namespace

int main() {
    // The wire gets a descriptor of its own and standard output goes where
    // standard error goes: a plug-in that prints cannot corrupt the replies.
    wireOut = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (wireOut < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) return 2;
    if (!reply(WIRE_HELLO, int32_t(sizeof(void*)))) return 2;
    std::vector<char> payload;
    for (;;) {
        WireHeader header;
        if (!readAll(STDIN_FILENO, &header, sizeof header)) return 0;
        if (header.magic != ORBET_WIRE_MAGIC || header.length > ORBET_WIRE_MAX_PAYLOAD) return 2;
        payload.resize(header.length);
        if (!readAll(STDIN_FILENO, payload.data(), header.length)) return 0;
        if (!serve(header, payload)) return 2;
    }
}
