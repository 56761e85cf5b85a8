// solvane: the globe as an XScreenSaver display hack. It draws the same frame step
// as the Windows saver through GLX, on the window XScreenSaver hands it, on the root
// window, or in a window of its own, and ends cleanly on SIGTERM, SIGINT or a close.
// It draws only when the picture changes (frame/frame_pacing.h) and sleeps in between.
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "frame/fps_meter.h"
#include "frame/frame_step.h"
#include "frame/gl_release.h"
#include "frame/run_end.h"
#include "frame/scene_setup.h"
#include "front/egl/config_cost.h"
#include "front/posix/cloud_options.h"
#include "front/posix/process.h"
#include "front/posix/tile_folder.h"
#include "front/x11/hack_options.h"
#include "front/x11/keypad.h"
#include "platform/clock.h"
#include "textures/texture_set.h"
#include "view/projection.h"

// Mesa keeps process-lifetime allocations, some in the driver it unloads at the end,
// which LeakSanitizer would report at exit in sanitizer builds without being able to
// name them. They are not ours to free.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace {

constexpr char Name[] = "solvane";
constexpr int OwnWindowWidth = 600;  // XScreenSaver's size for a hack's own window
constexpr int OwnWindowHeight = 480;

// What the X error handler saw; the frame loop ends at the next check.
int xErrors = 0;
// The window drawn on and its GLX window, once they are in use; a missing window or
// drawable error about them means someone else destroyed the window, not that we erred.
Window watchedWindow = 0;
GLXWindow watchedGlxWindow = 0;
bool watchedWindowGone = false;
int glxErrorBase = 0;

int OnXError(Display* display, XErrorEvent* error) {
    if (ErrorMeansWindowGone(error->error_code, error->resourceid, watchedWindow, watchedGlxWindow,
                             glxErrorBase)) {
        watchedWindowGone = true;
        return 0;
    }
    char text[256];
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "%s: X error: %s (request %d.%d, resource 0x%lx)\n", Name, text,
                 error->request_code, error->minor_code, error->resourceid);
    ++xErrors;
    return 0;
}

struct Hack {
    Display* display = nullptr;
    Window window = 0;
    bool ownWindow = false;
    bool windowGone = false;  // destroyed by someone else: nothing more to draw on it
    Colormap colormap = 0;
    GLXWindow glxWindow = 0;
    GLXContext context = nullptr;
    Atom wmProtocols = 0;
    Atom wmDeleteWindow = 0;
    int width = 0;
    int height = 0;
    bool closeRequested = false;
    bool waitFailed = false;
    FramePacing pace;
    PointerOrigin pointerOrigin;  // on the root window, for a window of its own
};

int ConfigAttribute(Display* display, GLXFBConfig config, int attribute) {
    int value = 0;
    glXGetFBConfigAttrib(display, config, attribute, &value);
    return value;
}

// A double-buffered RGB configuration that can draw on windows of `visualId` (any
// visual when 0), the cheapest by the cost every front end uses.
bool ChooseConfig(Display* display, VisualID visualId, GLXFBConfig& chosen) {
    // clang-format off
    const int attributes[] = {GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                              GLX_DOUBLEBUFFER, True,
                              GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
    // clang-format on
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
    if (configs == nullptr) return false;
    std::vector<ConfigTraits> traits(std::size_t(count > 0 ? count : 0));
    for (std::size_t i = 0; i < traits.size(); ++i) {
        const VisualID visual = VisualID(ConfigAttribute(display, configs[i], GLX_VISUAL_ID));
        traits[i].fits = visual != 0 && (visualId == 0 || visual == visualId);
        traits[i].alpha = ConfigAttribute(display, configs[i], GLX_ALPHA_SIZE);
        traits[i].depth = ConfigAttribute(display, configs[i], GLX_DEPTH_SIZE);
        traits[i].stencil = ConfigAttribute(display, configs[i], GLX_STENCIL_SIZE);
    }
    const int best = CheapestConfig(traits.data(), traits.size());
    if (best >= 0) chosen = configs[best];
    XFree(configs);
    return best >= 0;
}

bool MakeOwnWindow(Hack& hack, GLXFBConfig& config) {
    Display* display = hack.display;
    if (!ChooseConfig(display, 0, config)) {
        std::fprintf(stderr, "%s: no double-buffered RGB GLX configuration on this display\n",
                     Name);
        return false;
    }
    XVisualInfo* visual = glXGetVisualFromFBConfig(display, config);
    if (visual == nullptr) return false;
    const Window root = RootWindow(display, visual->screen);
    hack.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = hack.colormap;
    attributes.background_pixel = BlackPixel(display, visual->screen);
    attributes.border_pixel = 0;
    attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | PointerMotionMask |
                            StructureNotifyMask | FocusChangeMask | ExposureMask;
    hack.window = XCreateWindow(
        display, root, 0, 0, OwnWindowWidth, OwnWindowHeight, 0, visual->depth, InputOutput,
        visual->visual, CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
    XFree(visual);
    hack.ownWindow = true;
    hack.width = OwnWindowWidth;
    hack.height = OwnWindowHeight;

    XStoreName(display, hack.window, "Solvane");
    XClassHint classHint{const_cast<char*>(Name), const_cast<char*>("Solvane")};
    XSetClassHint(display, hack.window, &classHint);
    XSetWMProtocols(display, hack.window, &hack.wmDeleteWindow, 1);
    // Held keys repeat as presses only, without a release between them.
    XkbSetDetectableAutoRepeat(display, True, nullptr);
    XMapWindow(display, hack.window);
    return true;
}

// The window given by id or the root: its size and its visual fix the configuration.
bool UseWindow(Hack& hack, Window window, GLXFBConfig& config) {
    Display* display = hack.display;
    XWindowAttributes attributes{};
    const int errorsBefore = xErrors;
    const Status found = XGetWindowAttributes(display, window, &attributes);
    XSync(display, False);
    if (found == 0 || xErrors != errorsBefore) {
        std::fprintf(stderr, "%s: there is no window 0x%lx on this display\n", Name, window);
        return false;
    }
    if (!ChooseConfig(display, XVisualIDFromVisual(attributes.visual), config)) {
        std::fprintf(stderr,
                     "%s: window 0x%lx has visual 0x%lx, which offers no double-buffered RGB "
                     "GLX configuration\n",
                     Name, window, XVisualIDFromVisual(attributes.visual));
        return false;
    }
    hack.window = window;
    hack.width = attributes.width;
    hack.height = attributes.height;
    // Size changes, exposures and the window's end; the keyboard belongs to whoever
    // owns it. Exposure is no exclusive mask, so even the root window grants it.
    XSelectInput(display, window, StructureNotifyMask | ExposureMask);
    return true;
}

bool MakeContext(Hack& hack, GLXFBConfig config) {
    Display* display = hack.display;
    const int errorsBefore = xErrors;
    hack.glxWindow = glXCreateWindow(display, config, hack.window, nullptr);
    hack.context = glXCreateNewContext(display, config, GLX_RGBA_TYPE, nullptr, True);
    XSync(display, False);
    if (hack.glxWindow == 0 || hack.context == nullptr || xErrors != errorsBefore) {
        std::fprintf(stderr, "%s: cannot make a GLX context for window 0x%lx\n", Name, hack.window);
        return false;
    }
    if (!glXMakeContextCurrent(display, hack.glxWindow, hack.glxWindow, hack.context)) {
        std::fprintf(stderr, "%s: cannot make the GLX context current\n", Name);
        return false;
    }
    watchedWindow = hack.window;
    watchedGlxWindow = hack.glxWindow;
    return true;
}

void OnKey(Hack& hack, XKeyEvent& event, bool press) {
    // Both levels of the key, so that Num Lock and Shift do not matter.
    int virtualKey = VirtualKeyOfKeysym(XLookupKeysym(&event, 0));
    if (virtualKey == 0) virtualKey = VirtualKeyOfKeysym(XLookupKeysym(&event, 1));
    if (virtualKey != 0) {
        if (press) {
            PressVirtualKey(virtualKey);
            hack.pace.keyPressed = true;
        } else {
            ReleaseVirtualKey(virtualKey);
        }
        return;
    }
    const KeySym keysym = XLookupKeysym(&event, 0);
    if (press && (keysym == XK_q || keysym == XK_Q || keysym == XK_Escape))
        hack.closeRequested = true;
}

void HandleEvent(Hack& hack, XEvent& event) {
    switch (event.type) {
        case ConfigureNotify:
            if (event.xconfigure.window == hack.window &&
                (event.xconfigure.width != hack.width || event.xconfigure.height != hack.height)) {
                hack.width = event.xconfigure.width;
                hack.height = event.xconfigure.height;
                ResizeView(hack.width, hack.height);
                // Whether a resize exposes anything depends on the window's bit gravity;
                // the new layout needs a frame either way.
                hack.pace.invalidated = true;
            }
            break;
        case Expose:
            hack.pace.invalidated = true;
            break;
        case DestroyNotify:
            if (event.xdestroywindow.window == hack.window) hack.windowGone = true;
            break;
        case KeyPress:
        case KeyRelease:
            OnKey(hack, event.xkey, event.type == KeyPress);
            break;
        case FocusOut:
            ReleaseAllKeys();
            break;
        // Only a window of its own selects these: in XScreenSaver's the daemon ends the run.
        case ButtonPress:
            hack.closeRequested = true;
            break;
        case MotionNotify:
            // Root coordinates: moving the window is no travel of the pointer.
            if (PointerEndsRun(hack.pointerOrigin, nullptr, event.xmotion.x_root,
                               event.xmotion.y_root))
                hack.closeRequested = true;
            break;
        case ClientMessage:
            if (event.xclient.message_type == hack.wmProtocols &&
                Atom(event.xclient.data.l[0]) == hack.wmDeleteWindow)
                hack.closeRequested = true;
            break;
        default:
            break;
    }
}

bool Ending(Hack& hack) {
    if (watchedWindowGone) hack.windowGone = true;
    return EndSignal() != 0 || hack.closeRequested || hack.windowGone || xErrors > 0 ||
           hack.waitFailed;
}

void HandlePendingEvents(Hack& hack) {
    while (XPending(hack.display) > 0) {
        XEvent event;
        XNextEvent(hack.display, &event);
        HandleEvent(hack, event);
    }
}

// Sleeps until the X connection has input, an end signal comes, or `microseconds`
// have passed. Xlib's queue must be empty (HandlePendingEvents), or events already
// read from the connection would wait out the whole sleep.
void WaitForEvents(Hack& hack, long microseconds) {
    if (WaitForConnection(ConnectionNumber(hack.display), POLLIN, microseconds) < 0) {
        std::fprintf(stderr, "%s: cannot wait for events: %s\n", Name, std::strerror(errno));
        hack.waitFailed = true;
    }
}

void DrawFrame(Hack& hack, const HackOptions& options, FpsMeter& meter) {
    FrameStep();
    if (options.fps) DrawFpsOverlay(meter);
    glXSwapBuffers(hack.display, hack.glxWindow);
    EndKeyFrame();
    // The frame is on the screen before the hack sleeps, as XScreenSaver's hacks do it.
    XSync(hack.display, False);
    const std::int64_t now = MonotonicMicroseconds();
    CountFrame(meter, now);
    NoteFrameDrawn(hack.pace, lastFrameTime, PictureMoving(), now);
}

// Reports any GL error the run left, then lets the context go. Whatever the core
// keeps inside the context must be released at the top of this, while it is current.
int ReleaseGl(Hack& hack) {
    if (hack.context == nullptr) return 0;
    const int status = EndGl(Name);
    glXMakeContextCurrent(hack.display, None, None, nullptr);
    glXDestroyContext(hack.display, hack.context);
    hack.context = nullptr;
    return status;
}

// The context, the window and the connection, then the texture buffers: nothing
// draws any more. The status is 1 when an X or GL error came on the way.
int EndHack(Hack& hack) {
    int status = ReleaseGl(hack);
    // A destroyed X window takes its GLX window with it.
    if (hack.glxWindow != 0 && !hack.windowGone) glXDestroyWindow(hack.display, hack.glxWindow);
    if (hack.ownWindow && !hack.windowGone) XDestroyWindow(hack.display, hack.window);
    if (hack.colormap != 0) XFreeColormap(hack.display, hack.colormap);
    FreeTextureSet();
    XSync(hack.display, False);
    if (xErrors > 0) status = 1;
    XCloseDisplay(hack.display);
    return status;
}

void SetUpTextures(const HackOptions& options) {
    const std::string folder =
        ChooseTextureFolder(options.textures, DefaultTextureFolders(ProgramFolder()));
    SetUpSceneWithTiles(folder, Name, "-textures");
    StartFrontClouds(options.clouds, options.cloudsUrl, folder);
}

}  // namespace

int main(int argc, char** argv) {
    KeepStandardFilesOpen();
    HackOptions options;
    char error[256];
    if (!ParseHackOptions(argc, argv, options, error, sizeof error)) {
        std::fprintf(stderr, "%s: %s\n", Name, error);
        PrintHackUsage(stderr);
        return 1;
    }
    if (options.help) {
        PrintHackUsage(stdout);
        return 0;
    }

    if (!CatchEndSignals(Name)) return 1;

    Hack hack;
    hack.display = XOpenDisplay(options.display);
    if (hack.display == nullptr) {
        const char* name = options.display != nullptr ? options.display : XDisplayName(nullptr);
        std::fprintf(stderr, "%s: cannot open the display %s\n", Name,
                     name[0] != '\0' ? name : "(DISPLAY is not set)");
        return 1;
    }
    XSetErrorHandler(OnXError);
    int glxEventBase = 0;
    if (!glXQueryExtension(hack.display, &glxErrorBase, &glxEventBase)) glxErrorBase = 0;
    hack.wmProtocols = XInternAtom(hack.display, "WM_PROTOCOLS", False);
    hack.wmDeleteWindow = XInternAtom(hack.display, "WM_DELETE_WINDOW", False);

    SetUpTextures(options);
    showClock = options.clock ? 1 : 0;
    SetLook(options.look);
    if (EndSignal() != 0) return EndHack(hack);

    const DrawTarget target = ChooseDrawTarget(options, std::getenv("XSCREENSAVER_WINDOW"));
    GLXFBConfig config{};
    bool ready = false;
    if (target.kind == TargetKind::Own)
        ready = MakeOwnWindow(hack, config);
    else if (target.kind == TargetKind::Root)
        ready = UseWindow(hack, DefaultRootWindow(hack.display), config);
    else
        ready = UseWindow(hack, Window(target.window), config);
    ready = ready && MakeContext(hack, config);
    if (!ready) {
        EndHack(hack);
        return 1;
    }
    ResizeView(hack.width, hack.height);

    FpsMeter meter;
    for (;;) {
        HandlePendingEvents(hack);
        if (Ending(hack)) break;
        const FrameDecision decision =
            DecideFrame(hack.pace, ReadCalendarMilliseconds(), MonotonicMicroseconds(),
                        options.delayMicroseconds);
        if (decision.draw)
            DrawFrame(hack, options, meter);
        else
            WaitForEvents(hack, decision.waitMicroseconds);
    }
    return EndHack(hack);
}
