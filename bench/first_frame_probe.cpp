// SPDX-License-Identifier: MIT
// Measures a Velmora-like program from the outside, on an X server (Xvfb in the scripts).
//
//   first_frame_probe launch [--settle MS] [--timeout MS] -- PROGRAM [ARGS...]
//       Starts PROGRAM, waits until its "Tessivar" window shows the start screen, waits MS more
//       (default 1000), reads the program's peak resident memory, ends it and prints
//           first_frame_ms=<float> vmhwm_kb=<int>
//   first_frame_probe wait [--timeout MS] PID
//       Waits until the "Tessivar" window of process PID shows the start screen.
//
// "Shows the start screen" means four pixels of the window read back from the server have
// their colours: the enzyme's black block (250, 420), the white ground of its picture
// (230, 300), the red substrate (240, 120) and the light face of the Reset button (540, 88).
// Polling is every half millisecond; the time runs from just before the fork.
#include <xcb/xcb.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

double nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

struct Rgb {
    int r, g, b;
};

struct Probe {
    int x, y;
    bool (*ok)(Rgb);
};

const Probe kProbes[] = {
    {250, 420, [](Rgb c) { return c.r < 40 && c.g < 40 && c.b < 40; }},
    {230, 300, [](Rgb c) { return c.r > 215 && c.g > 215 && c.b > 215; }},
    {240, 120, [](Rgb c) { return c.r > 180 && c.g < 60 && c.b < 60; }},
    {540, 88, [](Rgb c) { return c.r > 150 && c.g > 150 && c.b > 150; }},
};

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    auto* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return a;
}

std::optional<std::vector<char>> property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t prop, xcb_atom_t type) {
    auto* reply = xcb_get_property_reply(c, xcb_get_property(c, 0, w, prop, type, 0, 256), nullptr);
    if (reply == nullptr) return std::nullopt;
    std::optional<std::vector<char>> value;
    if (reply->type != XCB_ATOM_NONE) {
        const char* data = static_cast<const char*>(xcb_get_property_value(reply));
        value.emplace(data, data + xcb_get_property_value_length(reply));
    }
    std::free(reply);
    return value;
}

class Display {
public:
    Display() : c_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(c_)) {
            std::fprintf(stderr, "first_frame_probe: cannot open the display\n");
            std::exit(2);
        }
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        wmName_ = XCB_ATOM_WM_NAME;
        wmPid_ = atom(c_, "_NET_WM_PID");
    }
    ~Display() { xcb_disconnect(c_); }

    // The viewable top-level window titled "Tessivar" that belongs to `pid` (any pid when 0).
    xcb_window_t findWindow(pid_t pid) {
        xcb_window_t found = XCB_WINDOW_NONE;
        auto* tree = xcb_query_tree_reply(c_, xcb_query_tree(c_, root_), nullptr);
        if (tree == nullptr) return found;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = xcb_query_tree_children_length(tree) - 1; i >= 0 && found == XCB_WINDOW_NONE; --i) {
            const xcb_window_t w = children[i];
            const auto name = property(c_, w, wmName_, XCB_ATOM_STRING);
            if (!name || std::string(name->begin(), name->end()) != "Tessivar") continue;
            if (pid != 0) {
                const auto owner = property(c_, w, wmPid_, XCB_ATOM_CARDINAL);
                if (!owner || owner->size() != 4 || *reinterpret_cast<const uint32_t*>(owner->data()) != uint32_t(pid))
                    continue;
            }
            auto* attributes = xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, w), nullptr);
            if (attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE) found = w;
            std::free(attributes);
        }
        std::free(tree);
        return found;
    }

    bool startScreenDrawn(xcb_window_t w) {
        xcb_get_image_cookie_t cookies[std::size(kProbes)];
        for (std::size_t i = 0; i < std::size(kProbes); ++i)
            cookies[i] = xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, w, int16_t(kProbes[i].x), int16_t(kProbes[i].y),
                                       1, 1, ~0u);
        bool all = true;
        for (std::size_t i = 0; i < std::size(kProbes); ++i) {
            auto* image = xcb_get_image_reply(c_, cookies[i], nullptr);
            if (image == nullptr || image->depth != 24 || xcb_get_image_data_length(image) < 4) {
                all = false;
            } else {
                const uint8_t* p = xcb_get_image_data(image); // 32 bits per pixel: blue, green, red, pad
                all = all && kProbes[i].ok(Rgb{p[2], p[1], p[0]});
            }
            std::free(image);
        }
        return all;
    }

private:
    xcb_connection_t* c_;
    xcb_window_t root_;
    xcb_atom_t wmName_;
    xcb_atom_t wmPid_;
};

// Polls until the window of `pid` shows the start screen; false on timeout or when the
// process is gone.
bool waitDrawn(Display& display, pid_t pid, double deadline) {
    xcb_window_t w = XCB_WINDOW_NONE;
    timespec pause{0, 500'000};
    while (nowMs() < deadline) {
        if (kill(pid, 0) != 0) return false;
        if (w == XCB_WINDOW_NONE) w = display.findWindow(pid);
        if (w != XCB_WINDOW_NONE && display.startScreenDrawn(w)) return true;
        nanosleep(&pause, nullptr);
    }
    return false;
}

long vmHwmKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

int usage() {
    std::fprintf(stderr, "usage: first_frame_probe launch [--settle MS] [--timeout MS] -- PROGRAM [ARGS...]\n"
                         "       first_frame_probe wait [--timeout MS] PID\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string mode = argv[1];
    double settleMs = 1000, timeoutMs = 20000;
    int i = 2;
    for (; i + 1 < argc && argv[i][0] == '-' && std::strcmp(argv[i], "--") != 0; i += 2) {
        if (std::strcmp(argv[i], "--settle") == 0)
            settleMs = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--timeout") == 0)
            timeoutMs = std::atof(argv[i + 1]);
        else
            return usage();
    }

    Display display;
    if (mode == "wait") {
        if (i >= argc) return usage();
        return waitDrawn(display, static_cast<pid_t>(std::atol(argv[i])), nowMs() + timeoutMs) ? 0 : 1;
    }
    if (mode != "launch" || i >= argc || std::strcmp(argv[i], "--") != 0 || i + 1 >= argc) return usage();

    const double start = nowMs();
    const pid_t pid = fork();
    if (pid < 0) return 2;
    if (pid == 0) {
        execvp(argv[i + 1], argv + i + 1);
        std::perror("first_frame_probe: exec");
        _exit(127);
    }
    const bool drawn = waitDrawn(display, pid, start + timeoutMs);
    const double firstFrame = nowMs() - start;
    long peak = -1;
    if (drawn) {
        timespec settle{static_cast<time_t>(settleMs / 1000), static_cast<long>(std::fmod(settleMs, 1000.0) * 1e6)};
        nanosleep(&settle, nullptr);
        peak = vmHwmKb(pid);
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!drawn) {
        std::fprintf(stderr, "first_frame_probe: %s never showed the start screen\n", argv[i + 1]);
        return 1;
    }
    std::printf("first_frame_ms=%.2f vmhwm_kb=%ld\n", firstFrame, peak);
    return 0;
}
