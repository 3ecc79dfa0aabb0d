// Starts a program on the current X display and times its start from outside:
//   mapped_ms   from the start until the window manager shows its first window
//   settled_ms  from the start until that window's top-left corner equals a reference picture
//               (the board after the first New game), when one is given
//   rss_kb      the program's resident memory a fixed time after the start
// then ends the program. Prints one line: "mapped_ms=… settled_ms=… rss_kb=…"; a value that
// could not be measured is -1.
//
// Usage: startup_probe [--board REFERENCE.ppm] [--rss-after SECONDS] [--timeout SECONDS]
//                      -- PROGRAM [ARG...]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace morvantide {

namespace {

using Clock = std::chrono::steady_clock;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

// A binary PPM (P6, maximum value 255), as ImageMagick writes it.
std::optional<Picture> ReadPpm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    Picture picture;
    in >> magic >> picture.width >> picture.height >> maxValue;
    if (!in || magic != "P6" || maxValue != 255 || picture.width <= 0 || picture.height <= 0)
        return std::nullopt;
    in.get();
    picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
    in.read(reinterpret_cast<char*>(picture.rgb.data()),
            static_cast<std::streamsize>(picture.rgb.size()));
    if (!in)
        return std::nullopt;
    return picture;
}

std::vector<Window> ManagedWindows(Display* display, Atom clientList) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<Window> windows;
    if (XGetWindowProperty(display, DefaultRootWindow(display), clientList, 0, 4096, False,
                           XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
        data != nullptr) {
        const auto* ids = reinterpret_cast<const Window*>(data);
        windows.assign(ids, ids + count);
    }
    if (data != nullptr)
        XFree(data);
    return windows;
}

bool IsShownOnScreen(Display* display, Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) != 0 &&
           attributes.map_state == IsViewable;
}

int ChannelShift(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// Whether the window's top-left corner shows exactly the reference picture.
bool ShowsPicture(Display* display, Window window, const Picture& reference) {
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(reference.width),
                              static_cast<unsigned>(reference.height), AllPlanes, ZPixmap);
    if (image == nullptr)
        return false;
    const int redShift = ChannelShift(image->red_mask);
    const int greenShift = ChannelShift(image->green_mask);
    const int blueShift = ChannelShift(image->blue_mask);
    bool same = true;
    for (int y = 0; y < reference.height && same; ++y) {
        for (int x = 0; x < reference.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            const unsigned char* want =
                &reference.rgb[(static_cast<std::size_t>(y) * reference.width + x) * 3];
            if (((pixel & image->red_mask) >> redShift) != want[0] ||
                ((pixel & image->green_mask) >> greenShift) != want[1] ||
                ((pixel & image->blue_mask) >> blueShift) != want[2]) {
                same = false;
                break;
            }
        }
    }
    XDestroyImage(image);
    return same;
}

long ResidentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            std::istringstream fields(line.substr(6));
            long kilobytes = -1;
            fields >> kilobytes;
            return kilobytes;
        }
    }
    return -1;
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void EndProgram(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// A window can go away between two requests; that is no reason to stop measuring.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

int Usage() {
    std::fprintf(stderr, "usage: startup_probe [--board REFERENCE.ppm] [--rss-after SECONDS] "
                         "[--timeout SECONDS] -- PROGRAM [ARG...]\n");
    return 2;
}

} // namespace

int RunProbe(int argc, char* argv[]) {
    std::optional<Picture> board;
    double rssAfter = 3.0;
    double timeout = 20.0;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string option = argv[first];
        if (option == "--") {
            ++first;
            break;
        }
        if (first + 1 >= argc)
            return Usage();
        if (option == "--board") {
            board = ReadPpm(argv[++first]);
            if (!board) {
                std::fprintf(stderr, "startup_probe: %s is not a binary PPM picture\n",
                             argv[first]);
                return 2;
            }
        } else if (option == "--rss-after") {
            rssAfter = std::atof(argv[++first]);
        } else if (option == "--timeout") {
            timeout = std::atof(argv[++first]);
        } else {
            return Usage();
        }
    }
    if (first >= argc)
        return Usage();

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "startup_probe: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreXError);
    const Atom clientList = XInternAtom(display, "_NET_CLIENT_LIST", False);
    const std::vector<Window> before = ManagedWindows(display, clientList);
    const std::set<Window> existing(before.begin(), before.end());

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("startup_probe: fork");
        return 2;
    }
    if (pid == 0) {
        execvp(argv[first], argv + first);
        std::perror("startup_probe: exec");
        _exit(127);
    }

    double mappedMs = -1;
    double settledMs = -1;
    long rssKb = -1;
    Window window = None;
    const auto deadline = start + std::chrono::duration<double>(timeout);
    const auto rssTime = start + std::chrono::duration<double>(rssAfter);
    // Polled rather than event-driven: a new window is noticed within a few milliseconds,
    // and the picture has no event that says it is finished.
    while (Clock::now() < deadline) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            std::fprintf(stderr, "startup_probe: the program ended early\n");
            XCloseDisplay(display);
            return 1;
        }
        if (window == None) {
            for (Window candidate : ManagedWindows(display, clientList)) {
                if (existing.count(candidate) == 0 && IsShownOnScreen(display, candidate)) {
                    window = candidate;
                    mappedMs = MillisecondsSince(start);
                    break;
                }
            }
        } else if (board && settledMs < 0 && ShowsPicture(display, window, *board)) {
            settledMs = MillisecondsSince(start);
        }
        if (rssKb < 0 && Clock::now() >= rssTime)
            rssKb = ResidentKilobytes(pid);
        if (window != None && (!board || settledMs >= 0) && rssKb >= 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(window == None ? 2 : 5));
    }
    EndProgram(pid);
    XCloseDisplay(display);
    std::printf("mapped_ms=%.1f settled_ms=%.1f rss_kb=%ld\n", mappedMs, settledMs, rssKb);
    return mappedMs >= 0 && rssKb >= 0 && (!board || settledMs >= 0) ? 0 : 1;
}

} // namespace morvantide

int main(int argc, char* argv[]) {
    return morvantide::RunProbe(argc, argv);
}
