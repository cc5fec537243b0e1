// orbet_launch_probe: starts a program and waits until the X screen shows
// its picture, then keeps it running for a while and ends it. The finish
// line is the screen itself: a grid of samples, one every 8 pixels, read
// through shared memory, counts the samples near the picture's colour.
//
// Usage: orbet_launch_probe [--colour R,G,B] [--tolerance N] [--samples N]
//                           [--hold MS] [--timeout MS] -- PROGRAM [ARG...]
// Prints one line: picture_ms=... peak_kb=... launch_ns=...
//   picture_ms  from the fork to the first screen sample showing the picture
//               (-1 when it never showed before the timeout)
//   peak_kb     the program's peak resident memory (the kernel's own count,
//               as /usr/bin/time -v reports it), over its whole run
//   launch_ns   CLOCK_MONOTONIC at the fork, to set step stamps against
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include <sys/ipc.h>
#include <sys/resource.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

namespace {

long long nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

struct Options {
    int r = 230, g = 30, b = 200;
    int tolerance = 48;
    int samples = 200;
    int holdMs = 2000;
    int timeoutMs = 15000;
    char** command = nullptr;
};

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (a == "--") {
            if (i + 1 >= argc) return false;
            o.command = argv + i + 1;
            return true;
        }
        const char* v = next();
        if (!v) return false;
        if (a == "--colour") {
            if (std::sscanf(v, "%d,%d,%d", &o.r, &o.g, &o.b) != 3) return false;
        } else if (a == "--tolerance") {
            o.tolerance = std::atoi(v);
        } else if (a == "--samples") {
            o.samples = std::atoi(v);
        } else if (a == "--hold") {
            o.holdMs = std::atoi(v);
        } else if (a == "--timeout") {
            o.timeoutMs = std::atoi(v);
        } else {
            return false;
        }
    }
    return false;
}

class ScreenProbe {
  public:
    bool open() {
        display_ = XOpenDisplay(nullptr);
        if (!display_ || !XShmQueryExtension(display_)) return false;
        const int s = DefaultScreen(display_);
        root_ = RootWindow(display_, s);
        image_ = XShmCreateImage(display_, DefaultVisual(display_, s), DefaultDepth(display_, s), ZPixmap,
                                 nullptr, &shm_, DisplayWidth(display_, s), DisplayHeight(display_, s));
        if (!image_) return false;
        shm_.shmid = shmget(IPC_PRIVATE, size_t(image_->bytes_per_line) * image_->height, IPC_CREAT | 0600);
        if (shm_.shmid < 0) return false;
        shm_.shmaddr = image_->data = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
        shm_.readOnly = False;
        if (!XShmAttach(display_, &shm_)) return false;
        XSync(display_, False);
        shmctl(shm_.shmid, IPC_RMID, nullptr); // goes when both ends detach
        return true;
    }

    int matching(const Options& o) {
        if (!XShmGetImage(display_, root_, image_, 0, 0, AllPlanes)) return -1;
        int n = 0;
        for (int y = 4; y < image_->height; y += 8) {
            for (int x = 4; x < image_->width; x += 8) {
                const unsigned long p = XGetPixel(image_, x, y);
                const int r = int((p >> 16) & 255), g = int((p >> 8) & 255), b = int(p & 255);
                if (std::abs(r - o.r) <= o.tolerance && std::abs(g - o.g) <= o.tolerance &&
                    std::abs(b - o.b) <= o.tolerance)
                    ++n;
            }
        }
        return n;
    }

  private:
    Display* display_ = nullptr;
    Window root_ = 0;
    XImage* image_ = nullptr;
    XShmSegmentInfo shm_{};
};

void sleepMs(int ms) {
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&ts, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: orbet_launch_probe [--colour R,G,B] [--tolerance N] [--samples N] [--hold MS] "
                     "[--timeout MS] -- PROGRAM [ARG...]\n");
        return 2;
    }
    ScreenProbe screen;
    if (!screen.open()) {
        std::fprintf(stderr, "orbet_launch_probe: no X display with shared memory\n");
        return 2;
    }
    // The last run's window must be gone before this run's clock starts.
    for (int i = 0; i < 500 && screen.matching(o) >= o.samples; ++i)
        sleepMs(10);

    const long long launch = nowNs();
    const pid_t child = fork();
    if (child < 0) return 1;
    if (child == 0) {
        execvp(o.command[0], o.command);
        std::perror("orbet_launch_probe: exec");
        _exit(127);
    }
    double pictureMs = -1;
    bool exited = false;
    int status = 0;
    rusage usage{};
    while (nowNs() - launch < o.timeoutMs * 1000000LL) {
        if (screen.matching(o) >= o.samples) {
            pictureMs = double(nowNs() - launch) / 1e6;
            break;
        }
        if (wait4(child, &status, WNOHANG, &usage) == child) {
            exited = true;
            break;
        }
        sleepMs(3);
    }
    if (!exited) {
        const long long until = launch + o.holdMs * 1000000LL;
        while (nowNs() < until) {
            if (wait4(child, &status, WNOHANG, &usage) == child) {
                exited = true;
                break;
            }
            sleepMs(10);
        }
    }
    if (!exited) {
        kill(child, SIGKILL);
        wait4(child, &status, 0, &usage);
    }
    std::printf("picture_ms=%.1f peak_kb=%ld launch_ns=%lld\n", pictureMs, usage.ru_maxrss, launch);
    return pictureMs < 0 ? 1 : 0;
}
