#pragma once

#include <chrono>

#include <QString>

namespace orbet {

// Where the plug-in hosts and what they need are found. The defaults serve
// the program; tests point every folder into their own temporary folder.
struct HostSetup {
    QString hostFolder;     // orbet-spihost, orbet-spihost32.exe, orbet-spihost64.exe
    QString wine;           // the wine program; empty: looked up in PATH at loading
    QString winePrefix;     // a private prefix, never ~/.wine
    QString cacheFile;      // the plug-ins' descriptions and masks; empty: no cache
    QString exchangeFolder; // pictures in and out; empty: a private folder in exchangeBase
    // Where the private folder goes; empty: $XDG_RUNTIME_DIR, else /dev/shm,
    // else the temporary folder. In a folder others may write, inside a
    // folder of the user's own there.
    QString exchangeBase;
    std::chrono::milliseconds callLimit{10000};        // a request a plug-in does not answer in time
    std::chrono::milliseconds startLimit{30000};       // a host's greeting (Wine's cold start)
    std::chrono::milliseconds firstStartLimit{180000}; // the same while Wine makes a new prefix
    // Windows plug-ins not in the cache while Wine has no prefix yet wait for
    // loadWaiting() instead of holding up the loading for the quarter of a
    // minute Wine takes to make one. The program's own setup does so.
    bool deferNewPrefix = false;
    // The hosts open the picture file this program holds, by its
    // descriptor's name. Off, they get it as where the system offers no such
    // name: the native host by the file's own name, a Windows host a copy.
    bool lendOpenFiles = true;

    // The program's own: the hosts in the program folder, the prefix in the
    // user's data folder, the cache in the user's cache folder.
    static HostSetup standard();
    // Tests give every registry the program makes a setup of their own (a
    // shared Wine prefix in their temporary folder); null goes back.
    static void setStandardForTesting(const HostSetup* setup);
};

} // namespace orbet
