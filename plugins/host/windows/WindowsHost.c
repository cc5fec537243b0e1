/*
 * The host process for the user's Windows Susie plug-ins (IF*.spi, 32-bit,
 * and IF*.sph, 64-bit), built once per architecture with MinGW-w64 and run
 * under Wine. It speaks the same wire as the native host (HostWire.h) over
 * its standard handles and follows the Windows form of the plug-in
 * interface: __stdcall exports, ANSI texts in code page 932, the picture in
 * memory, the two result blocks as local memory handles.
 */

#include <windows.h>

#include <stdint.h>
#include <string.h>

#include "plugins/host/HostWire.h"

typedef int(__stdcall* GetPluginInfoProc)(int, LPSTR, int);
typedef int(__stdcall* IsSupportedProc)(LPCSTR, void*);
typedef int(__stdcall* ProgressProc)(int, int, LONG_PTR);
typedef int(__stdcall* GetPictureProc)(LPCSTR, LONG_PTR, unsigned int, HLOCAL*, HLOCAL*, ProgressProc,
                                       LONG_PTR);
typedef WCHAR*(CDECL* DosFileNameProc)(const char*);

#define MAX_PLUGINS 512
#define CODE_PAGE 932

typedef struct Plugin {
    HMODULE module;
    GetPluginInfoProc getPluginInfo;
    IsSupportedProc isSupported;
    GetPictureProc getPicture;
} Plugin;

static Plugin plugins[MAX_PLUGINS];
static int pluginCount;
static HANDLE wireIn;
static HANDLE wireOut;
static DosFileNameProc dosFileName;

static BOOL readAll(void* buffer, DWORD size) {
    char* bytes = (char*)buffer;
    while (size > 0) {
        DWORD got = 0;
        if (!ReadFile(wireIn, bytes, size, &got, NULL) || got == 0) return FALSE;
        bytes += got;
        size -= got;
    }
    return TRUE;
}

static BOOL writeAll(HANDLE to, const void* buffer, uint64_t size) {
    const char* bytes = (const char*)buffer;
    while (size > 0) {
        DWORD chunk = size > (1u << 30) ? (1u << 30) : (DWORD)size;
        DWORD put = 0;
        if (!WriteFile(to, bytes, chunk, &put, NULL) || put == 0) return FALSE;
        bytes += put;
        size -= put;
    }
    return TRUE;
}

static BOOL reply(uint32_t type, int32_t value, const void* payload, uint32_t length) {
    WireHeader header;
    header.magic = ORBET_WIRE_MAGIC;
    header.type = type;
    header.length = length;
    header.value = value;
    return writeAll(wireOut, &header, sizeof header) && writeAll(wireOut, payload, length);
}

/* A Unix path (UTF-8) as Wine names it; NULL when it cannot. Freed with
 * HeapFree on the process heap. */
static WCHAR* windowsPath(const char* unixPath) {
    if (dosFileName) return dosFileName(unixPath);
    int units = MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, NULL, 0);
    if (units <= 0) return NULL;
    WCHAR* path = (WCHAR*)HeapAlloc(GetProcessHeap(), 0, (units + 2) * sizeof(WCHAR));
    if (!path) return NULL;
    path[0] = L'Z';
    path[1] = L':';
    MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, path + 2, units);
    for (WCHAR* c = path; *c; ++c)
        if (*c == L'/') *c = L'\\';
    return path;
}

/* text in code page 932, or NULL when a character has no form there. */
static char* ansiText(const WCHAR* text) {
    BOOL lost = FALSE;
    int bytes = WideCharToMultiByte(CODE_PAGE, WC_NO_BEST_FIT_CHARS, text, -1, NULL, 0, NULL, &lost);
    if (bytes <= 0 || lost) return NULL;
    char* ansi = (char*)HeapAlloc(GetProcessHeap(), 0, bytes);
    if (!ansi) return NULL;
    WideCharToMultiByte(CODE_PAGE, WC_NO_BEST_FIT_CHARS, text, -1, ansi, bytes, NULL, &lost);
    return ansi;
}

/* The name a plug-in sees for the picture: its Windows path in code page 932,
 * else its short path when that keeps the extension, else a bare name with
 * the extension (the picture itself is passed in memory anyway). */
static char* nameForPlugin(const char* unixPath) {
    char* ansi = NULL;
    WCHAR* path = windowsPath(unixPath);
    if (!path) return NULL;
    ansi = ansiText(path);
    if (!ansi) {
        const WCHAR* dot = wcsrchr(path, L'.');
        const WCHAR* slash = wcsrchr(path, L'\\');
        const WCHAR* extension = (dot && (!slash || dot > slash)) ? dot : L"";
        WCHAR shortPath[MAX_PATH];
        DWORD length = GetShortPathNameW(path, shortPath, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            const WCHAR* shortDot = wcsrchr(shortPath, L'.');
            if (lstrcmpiW(shortDot ? shortDot : L"", extension) == 0) ansi = ansiText(shortPath);
        }
        if (!ansi) {
            WCHAR bare[64] = L"picture";
            if (lstrlenW(extension) < 50) lstrcatW(bare, extension);
            ansi = ansiText(bare);
            if (!ansi) ansi = ansiText(L"picture");
        }
    }
    HeapFree(GetProcessHeap(), 0, path);
    return ansi;
}

static Plugin* pluginById(int32_t id) {
    if (id < 1 || id > pluginCount || !plugins[id - 1].module) return NULL;
    return &plugins[id - 1];
}

/* Info text, code page 932 in, UTF-8 out; a double-byte character cut by
 * the buffer's end is dropped. Returns the UTF-8 length. */
static int infoText(const Plugin* plugin, int number, char* utf8, int room) {
    char buffer[101];
    WCHAR wide[101];
    memset(buffer, 0, sizeof buffer);
    plugin->getPluginInfo(number, buffer, 100);
    buffer[100] = '\0';
    int length = 0, i = 0;
    while (buffer[i]) {
        if (IsDBCSLeadByteEx(CODE_PAGE, (BYTE)buffer[i])) {
            if (!buffer[i + 1]) break;
            i += 2;
        } else {
            i += 1;
        }
        length = i;
    }
    if (length == 0) return 0;
    int units = MultiByteToWideChar(CODE_PAGE, 0, buffer, length, wide, 100);
    if (units <= 0) return 0;
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, units, utf8, room, NULL, NULL);
    return bytes > 0 ? bytes : 0;
}

static BOOL load(const char* unixPath) {
    static const char cannot[] = "cannot be loaded";
    static const char notImport[] = "not an import filter";
    WCHAR* path = windowsPath(unixPath);
    /* The libraries a plug-in imports are looked for beside it and in the
     * system's folders, never in the working folder or along PATH. */
    HMODULE module =
        (path && pluginCount < MAX_PLUGINS)
            ? LoadLibraryExW(path, NULL, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)
            : NULL;
    if (path) HeapFree(GetProcessHeap(), 0, path);
    if (!module) return reply(WIRE_LOAD, 0, cannot, sizeof cannot - 1);
    Plugin plugin;
    plugin.module = module;
    plugin.getPluginInfo = (GetPluginInfoProc)(void*)GetProcAddress(module, "GetPluginInfo");
    plugin.isSupported = (IsSupportedProc)(void*)GetProcAddress(module, "IsSupported");
    plugin.getPicture = (GetPictureProc)(void*)GetProcAddress(module, "GetPicture");
    char tag[8] = {0};
    if (plugin.getPluginInfo) plugin.getPluginInfo(0, tag, sizeof tag);
    tag[sizeof tag - 1] = '\0';
    if (!plugin.getPluginInfo || !plugin.isSupported || !plugin.getPicture ||
        strcmp(tag, ORBET_WIRE_IMPORT_TAG) != 0) {
        FreeLibrary(module);
        return reply(WIRE_LOAD, 0, notImport, sizeof notImport - 1);
    }
    plugins[pluginCount++] = plugin;
    return reply(WIRE_LOAD, pluginCount, NULL, 0);
}

static const WCHAR* cancelPath;
static DWORD lastCancelLook;

static int __stdcall progress(int num, int denom, LONG_PTR data) {
    (void)num;
    (void)denom;
    (void)data;
    DWORD now = GetTickCount();
    if (now - lastCancelLook < ORBET_WIRE_CANCEL_POLL_MS) return 0;
    lastCancelLook = now;
    return GetFileAttributesW(cancelPath) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
}

static HANDLE openHostFile(const char* unixPath, BOOL create) {
    WCHAR* path = windowsPath(unixPath);
    if (!path) return INVALID_HANDLE_VALUE;
    /* The output is written over the last picture's file, whose memory is
     * reused; the writer cuts it to length. */
    HANDLE file = create ? CreateFileW(path, GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL)
                         : CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    HeapFree(GetProcessHeap(), 0, path);
    return file;
}

static BOOL picture(const Plugin* plugin, const char* payload, uint32_t length) {
    WirePictureReply out = {0, 0};
    WirePictureRequest request;
    if (length < sizeof request + 3 || payload[length - 1] != '\0')
        return reply(WIRE_PICTURE, WIRE_RESULT_MEMORY_ERROR, &out, sizeof out);
    memcpy(&request, payload, sizeof request);
    const char* inputPath = payload + sizeof request;
    const char* outputPath = inputPath + strlen(inputPath) + 1;
    const char* cancelUnix = outputPath < payload + length ? outputPath + strlen(outputPath) + 1 : NULL;
    if (!cancelUnix || cancelUnix >= payload + length || request.inputBytes == 0 ||
        request.inputBytes > (uint64_t)(SIZE_MAX / 2))
        return reply(WIRE_PICTURE, WIRE_RESULT_MEMORY_ERROR, &out, sizeof out);

    HANDLE input = openHostFile(inputPath, FALSE);
    if (input == INVALID_HANDLE_VALUE) return reply(WIRE_PICTURE, WIRE_RESULT_READ_ERROR, &out, sizeof out);
    HANDLE mapping = CreateFileMappingW(input, NULL, PAGE_READONLY, 0, 0, NULL);
    const char* contents =
        mapping ? (const char*)MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, (SIZE_T)request.inputBytes) : NULL;
    CloseHandle(input);
    if (!contents) {
        if (mapping) CloseHandle(mapping);
        return reply(WIRE_PICTURE, WIRE_RESULT_READ_ERROR, &out, sizeof out);
    }

    WCHAR* cancel = windowsPath(cancelUnix);
    cancelPath = cancel ? cancel : L"";
    lastCancelLook = GetTickCount() - ORBET_WIRE_CANCEL_POLL_MS;
    HLOCAL header = NULL, pixels = NULL;
    int32_t result = plugin->getPicture(contents, (LONG_PTR)request.inputBytes, WIRE_INPUT_MEMORY, &header,
                                        &pixels, progress, 0);
    if (cancel) HeapFree(GetProcessHeap(), 0, cancel);

    /* One handle handed back as both blocks is refused and freed once. */
    if (header && header == pixels) {
        LocalFree(header);
        header = pixels = NULL;
        result = WIRE_RESULT_MEMORY_ERROR;
    }
    BOOL written = TRUE;
    if (header && pixels) {
        const void* headerBytes = LocalLock(header);
        const void* pixelBytes = LocalLock(pixels);
        out.headerBytes = headerBytes ? LocalSize(header) : 0;
        out.pixelBytes = pixelBytes ? LocalSize(pixels) : 0;
        HANDLE output = openHostFile(outputPath, TRUE);
        written = output != INVALID_HANDLE_VALUE && writeAll(output, headerBytes, out.headerBytes) &&
                  writeAll(output, pixelBytes, out.pixelBytes) && SetEndOfFile(output);
        if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
        LocalUnlock(header);
        LocalUnlock(pixels);
    }
    if (!written) {
        out.headerBytes = out.pixelBytes = 0;
        result = WIRE_RESULT_NO_MEMORY;
    }
    /* Wine hands a block of picture size back to the system at once, which
     * takes about a millisecond a picture: the program converts the picture
     * meanwhile instead of waiting for it. */
    BOOL replied = reply(WIRE_PICTURE, result, &out, sizeof out);
    if (header) LocalFree(header);
    if (pixels) LocalFree(pixels);
    UnmapViewOfFile(contents);
    CloseHandle(mapping);
    return replied;
}

static BOOL serve(const WireHeader* header, char* payload) {
    uint32_t length = header->length;
    Plugin* plugin = pluginById(header->value);
    switch (header->type) {
    case WIRE_LOAD:
        return load(payload);
    case WIRE_INFO: {
        char text[512];
        int32_t number = 0;
        if (!plugin || length != sizeof number) return reply(WIRE_INFO, 0, NULL, 0);
        memcpy(&number, payload, sizeof number);
        int bytes = infoText(plugin, number, text, sizeof text);
        return reply(WIRE_INFO, bytes, text, (uint32_t)bytes);
    }
    case WIRE_SUPPORTED: {
        if (!plugin || length < ORBET_WIRE_HEAD_SIZE) return reply(WIRE_SUPPORTED, 0, NULL, 0);
        char* name = nameForPlugin(payload + ORBET_WIRE_HEAD_SIZE);
        int accepted = plugin->isSupported(name ? name : "", payload) != 0;
        if (name) HeapFree(GetProcessHeap(), 0, name);
        return reply(WIRE_SUPPORTED, accepted, NULL, 0);
    }
    case WIRE_PICTURE: {
        if (!plugin) {
            WirePictureReply none = {0, 0};
            return reply(WIRE_PICTURE, WIRE_RESULT_NOT_IMPLEMENTED, &none, sizeof none);
        }
        return picture(plugin, payload, length);
    }
    case WIRE_FREE:
        if (plugin) {
            FreeLibrary(plugin->module);
            plugin->module = NULL;
        }
        return reply(WIRE_FREE, 0, NULL, 0);
    default:
        return FALSE;
    }
}

/* A fault in a plug-in ends this process at once: no crash dialog, no
 * debugger; the program sees the pipe close and starts another host. */
static LONG WINAPI endOnFault(EXCEPTION_POINTERS* info) {
    (void)info;
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

int main(void) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(endOnFault);
    /* Whatever a plug-in loads later by name comes from the system's
     * folders or its own, never from the working folder. */
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    SetDllDirectoryW(L"");
    dosFileName =
        (DosFileNameProc)(void*)GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name");
    wireIn = GetStdHandle(STD_INPUT_HANDLE);
    /* The wire keeps the real output; a plug-in that prints writes to the
     * error handle instead and cannot corrupt the replies. */
    wireOut = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, GetStdHandle(STD_ERROR_HANDLE));
    if (!reply(WIRE_HELLO, (int32_t)sizeof(void*), NULL, 0)) return 2;
    char* payload = NULL;
    uint32_t capacity = 0;
    for (;;) {
        WireHeader header;
        if (!readAll(&header, sizeof header)) return 0;
        if (header.magic != ORBET_WIRE_MAGIC || header.length > ORBET_WIRE_MAX_PAYLOAD) return 2;
        if (header.length + 1 > capacity) {
            char* grown = (char*)HeapAlloc(GetProcessHeap(), 0, header.length + 1);
            if (!grown) return 2;
            if (payload) HeapFree(GetProcessHeap(), 0, payload);
            payload = grown;
            capacity = header.length + 1;
        }
        if (header.length > 0 && !readAll(payload, header.length)) return 0;
        payload[header.length] = '\0';
        if (!serve(&header, payload)) return 2;
    }
}
