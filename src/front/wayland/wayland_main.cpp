// solvane-wayland: the globe full screen on every output of a Wayland desktop, for an
// idle daemon (swayidle, hypridle) to start. It speaks wayland-client and xdg-shell
// directly and draws the same frame step as the other front ends through EGL, into
// one surface per output. All surfaces share one GL context, so the tiles go to the
// GL once however many outputs there are.
#include <wayland-client.h>
#include <wayland-egl.h>
// After wayland-egl.h, which makes EGL's native window a wl_egl_window.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "frame/frame_pacing.h"
#include "frame/frame_step.h"
#include "frame/scene_setup.h"
#include "front/posix/fps_meter.h"
#include "front/posix/process.h"
#include "front/posix/tile_folder.h"
#include "front/wayland/session_logic.h"
#include "front/wayland/single_instance.h"
#include "front/wayland/wayland_options.h"
#include "platform/clock.h"
#include "platform/extension_list.h"
#include "text/text_renderer.h"
#include "textures/texture_set.h"
#include "view/camera_frame.h"
#include "view/projection.h"
#include "xdg_shell_client.h"

// Mesa keeps process-lifetime allocations, some in the driver it unloads at the end,
// which LeakSanitizer would report at exit in sanitizer builds without being able to
// name them. They are not ours to free.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace {

constexpr char Name[] = "solvane-wayland";
constexpr float FpsGrey = 0.6f;
// Versions bound, each the lowest that has what is used: buffer scale and buffer
// damage (compositor 4; EGL damages by buffer where the surface allows it), the
// output's done and scale events and its release (3), pointer frames (seat 5).
constexpr std::uint32_t CompositorVersion = 4;
constexpr std::uint32_t OutputVersion = 3;
constexpr std::uint32_t SeatVersion = 5;
constexpr std::uint32_t WmBaseVersion = 1;
// Waits while no surface can draw yet: nothing is due until an event comes.
constexpr long IdleWaitMicroseconds = 1000000;

enum class End {
    None,
    Quiet,   // input, the compositor's close, a signal: status 0
    Failed,  // status 1, after a message
};

struct Session;

// One output and the full-screen surface shown on it.
struct Output {
    Session* session = nullptr;
    std::uint32_t globalName = 0;  // the registry's name, for its removal
    wl_output* output = nullptr;
    std::uint32_t version = 0;
    int scale = 1;
    int modeWidth = 0, modeHeight = 0;  // the current mode in pixels; 0 while unknown
    bool described = false;             // scale and mode are known (the first done)
    bool removed = false;               // the output went away; the surface goes next

    wl_surface* surface = nullptr;
    xdg_surface* xdgSurface = nullptr;
    xdg_toplevel* toplevel = nullptr;
    int configuredWidth = 0, configuredHeight = 0;  // logical pixels; 0: ours to choose
    bool configured = false;                        // the first configure came
    bool configurePending = false;                  // a configure awaits its size
    wl_egl_window* eglWindow = nullptr;
    EGLSurface eglSurface = EGL_NO_SURFACE;
    BufferSize buffer{0, 0, 1};
    bool needsFrame = false;  // configured since its last frame: it needs one of its own
};

struct Session {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    std::uint32_t compositorVersion = 0;
    xdg_wm_base* wmBase = nullptr;
    wl_seat* seat = nullptr;
    wl_keyboard* keyboard = nullptr;
    wl_pointer* pointer = nullptr;
    wl_touch* touch = nullptr;
    wl_surface* pointerSurface = nullptr;  // the surface the pointer is on, if ours
    PointerOrigin pointerOrigin;
    std::vector<std::unique_ptr<Output>> outputs;

    EGLDisplay eglDisplay = EGL_NO_DISPLAY;
    EGLConfig eglConfig = nullptr;
    EGLContext eglContext = EGL_NO_CONTEXT;
    PFNEGLCREATEPLATFORMWINDOWSURFACEEXTPROC createWindowSurface = nullptr;

    End end = End::None;
};

void EndQuietly(Session& session) {
    if (session.end == End::None) session.end = End::Quiet;
}

void Failed(Session& session) {
    session.end = End::Failed;
}

// ---------------------------------------------------------------- input

// Any press ends the run; keys already down when a surface gets the keyboard come in
// the enter event and do not, nor do releases: the key that started the program by
// hand is let go over its surface.
wl_keyboard_listener MakeKeyboardListener() {
    wl_keyboard_listener listener{};
    listener.keymap = [](void*, wl_keyboard*, std::uint32_t, std::int32_t fd, std::uint32_t) {
        close(fd);
    };
    listener.enter = [](void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {};
    listener.leave = [](void*, wl_keyboard*, std::uint32_t, wl_surface*) {};
    listener.key = [](void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                      std::uint32_t state) {
        if (state == WL_KEYBOARD_KEY_STATE_PRESSED) EndQuietly(*static_cast<Session*>(data));
    };
    listener.modifiers = [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                            std::uint32_t, std::uint32_t) {};
    listener.repeat_info = [](void*, wl_keyboard*, std::int32_t, std::int32_t) {};
    return listener;
}
const wl_keyboard_listener keyboardListener = MakeKeyboardListener();

void OnPointerAt(Session& session, double x, double y) {
    if (session.pointerSurface != nullptr &&
        PointerTravelEnds(session.pointerOrigin, session.pointerSurface, x, y))
        EndQuietly(session);
}

wl_pointer_listener MakePointerListener() {
    wl_pointer_listener listener{};
    listener.enter = [](void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface,
                        wl_fixed_t x, wl_fixed_t y) {
        Session& session = *static_cast<Session*>(data);
        // No cursor over the globe.
        wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
        session.pointerSurface = surface;
        OnPointerAt(session, wl_fixed_to_double(x), wl_fixed_to_double(y));
    };
    listener.leave = [](void* data, wl_pointer*, std::uint32_t, wl_surface*) {
        static_cast<Session*>(data)->pointerSurface = nullptr;
    };
    listener.motion = [](void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
        OnPointerAt(*static_cast<Session*>(data), wl_fixed_to_double(x), wl_fixed_to_double(y));
    };
    listener.button = [](void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t,
                         std::uint32_t state) {
        if (state == WL_POINTER_BUTTON_STATE_PRESSED) EndQuietly(*static_cast<Session*>(data));
    };
    // A turn of the wheel is a button on X; here it is a scroll, and ends the run too.
    listener.axis = [](void* data, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {
        EndQuietly(*static_cast<Session*>(data));
    };
    listener.frame = [](void*, wl_pointer*) {};
    listener.axis_source = [](void*, wl_pointer*, std::uint32_t) {};
    listener.axis_stop = [](void*, wl_pointer*, std::uint32_t, std::uint32_t) {};
    listener.axis_discrete = [](void*, wl_pointer*, std::uint32_t, std::int32_t) {};
    return listener;
}
const wl_pointer_listener pointerListener = MakePointerListener();

wl_touch_listener MakeTouchListener() {
    wl_touch_listener listener{};
    listener.down = [](void* data, wl_touch*, std::uint32_t, std::uint32_t, wl_surface*,
                       std::int32_t, wl_fixed_t,
                       wl_fixed_t) { EndQuietly(*static_cast<Session*>(data)); };
    listener.up = [](void*, wl_touch*, std::uint32_t, std::uint32_t, std::int32_t) {};
    listener.motion = [](void*, wl_touch*, std::uint32_t, std::int32_t, wl_fixed_t, wl_fixed_t) {};
    listener.frame = [](void*, wl_touch*) {};
    listener.cancel = [](void*, wl_touch*) {};
    return listener;
}
const wl_touch_listener touchListener = MakeTouchListener();

// A seat before version 3 has no release requests; its devices are destroyed instead.
void ReleaseKeyboard(Session& session) {
    if (wl_keyboard_get_version(session.keyboard) >= WL_KEYBOARD_RELEASE_SINCE_VERSION)
        wl_keyboard_release(session.keyboard);
    else
        wl_keyboard_destroy(session.keyboard);
    session.keyboard = nullptr;
}

void ReleasePointer(Session& session) {
    if (wl_pointer_get_version(session.pointer) >= WL_POINTER_RELEASE_SINCE_VERSION)
        wl_pointer_release(session.pointer);
    else
        wl_pointer_destroy(session.pointer);
    session.pointer = nullptr;
    session.pointerSurface = nullptr;
}

void ReleaseTouch(Session& session) {
    if (wl_touch_get_version(session.touch) >= WL_TOUCH_RELEASE_SINCE_VERSION)
        wl_touch_release(session.touch);
    else
        wl_touch_destroy(session.touch);
    session.touch = nullptr;
}

void OnSeatCapabilities(void* data, wl_seat* seat, std::uint32_t capabilities) {
    Session& session = *static_cast<Session*>(data);
    const bool keyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    const bool pointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    const bool touch = (capabilities & WL_SEAT_CAPABILITY_TOUCH) != 0;
    if (keyboard && session.keyboard == nullptr) {
        session.keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(session.keyboard, &keyboardListener, &session);
    } else if (!keyboard && session.keyboard != nullptr) {
        ReleaseKeyboard(session);
    }
    if (pointer && session.pointer == nullptr) {
        session.pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(session.pointer, &pointerListener, &session);
    } else if (!pointer && session.pointer != nullptr) {
        ReleasePointer(session);
    }
    if (touch && session.touch == nullptr) {
        session.touch = wl_seat_get_touch(seat);
        wl_touch_add_listener(session.touch, &touchListener, &session);
    } else if (!touch && session.touch != nullptr) {
        ReleaseTouch(session);
    }
}

const wl_seat_listener seatListener = {OnSeatCapabilities, [](void*, wl_seat*, const char*) {}};

// ---------------------------------------------------------------- surfaces

wl_output_listener MakeOutputListener() {
    wl_output_listener listener{};
    listener.geometry = [](void*, wl_output*, std::int32_t, std::int32_t, std::int32_t,
                           std::int32_t, std::int32_t, const char*, const char*, std::int32_t) {};
    listener.mode = [](void* data, wl_output*, std::uint32_t flags, std::int32_t width,
                       std::int32_t height, std::int32_t) {
        Output& output = *static_cast<Output*>(data);
        if ((flags & WL_OUTPUT_MODE_CURRENT) == 0) return;
        output.modeWidth = width;
        output.modeHeight = height;
    };
    listener.done = [](void* data, wl_output*) {
        Output& output = *static_cast<Output*>(data);
        output.described = true;
        // A new scale or mode gives the surface a new buffer size.
        if (output.configured) output.configurePending = true;
    };
    listener.scale = [](void* data, wl_output*, std::int32_t factor) {
        static_cast<Output*>(data)->scale = factor;
    };
    return listener;
}
const wl_output_listener outputListener = MakeOutputListener();

const xdg_surface_listener xdgSurfaceListener = {
    [](void* data, xdg_surface* surface, std::uint32_t serial) {
        Output& output = *static_cast<Output*>(data);
        xdg_surface_ack_configure(surface, serial);
        output.configured = true;
        // Even with the size unchanged: the compositor may wait for the commit that
        // answers its configure before it shows the new state.
        output.configurePending = true;
    }};

xdg_toplevel_listener MakeToplevelListener() {
    xdg_toplevel_listener listener{};
    listener.configure = [](void* data, xdg_toplevel*, std::int32_t width, std::int32_t height,
                            wl_array*) {
        Output& output = *static_cast<Output*>(data);
        output.configuredWidth = width;
        output.configuredHeight = height;
    };
    listener.close = [](void* data, xdg_toplevel*) {
        EndQuietly(*static_cast<Output*>(data)->session);
    };
    return listener;
}
const xdg_toplevel_listener toplevelListener = MakeToplevelListener();

// A full-screen toplevel on the output, committed without a buffer: the compositor
// answers with the configure that gives its size, and the first frame maps it.
void MakeSurface(Session& session, Output& output) {
    output.surface = wl_compositor_create_surface(session.compositor);
    // Every pixel is drawn, so the compositor need not draw what lies beneath.
    wl_region* opaque = wl_compositor_create_region(session.compositor);
    wl_region_add(opaque, 0, 0, INT32_MAX, INT32_MAX);
    wl_surface_set_opaque_region(output.surface, opaque);
    wl_region_destroy(opaque);
    output.xdgSurface = xdg_wm_base_get_xdg_surface(session.wmBase, output.surface);
    xdg_surface_add_listener(output.xdgSurface, &xdgSurfaceListener, &output);
    output.toplevel = xdg_surface_get_toplevel(output.xdgSurface);
    xdg_toplevel_add_listener(output.toplevel, &toplevelListener, &output);
    xdg_toplevel_set_title(output.toplevel, "Solvane");
    xdg_toplevel_set_app_id(output.toplevel, "solvane");
    xdg_toplevel_set_fullscreen(output.toplevel, output.output);
    wl_surface_commit(output.surface);
}

// The EGL surface at the size last configured, made on the first configure. Outside
// event dispatch, since EGL talks to the compositor on its own queue.
bool SizeSurface(Session& session, Output& output) {
    const int scale = session.compositorVersion >= 3 ? output.scale : 1;
    const BufferSize size = ChooseBufferSize(output.configuredWidth, output.configuredHeight, scale,
                                             output.modeWidth, output.modeHeight);
    output.configurePending = false;
    output.needsFrame = true;
    if (output.eglWindow == nullptr) {
        output.eglWindow = wl_egl_window_create(output.surface, size.width, size.height);
        if (output.eglWindow != nullptr)
            output.eglSurface = session.createWindowSurface(session.eglDisplay, session.eglConfig,
                                                            output.eglWindow, nullptr);
        if (output.eglSurface == EGL_NO_SURFACE ||
            !eglMakeCurrent(session.eglDisplay, output.eglSurface, output.eglSurface,
                            session.eglContext)) {
            std::fprintf(stderr, "%s: cannot make an EGL surface of %dx%d (0x%x)\n", Name,
                         size.width, size.height, eglGetError());
            return false;
        }
        // Never wait for the compositor in a swap: it sends no frame callbacks for a
        // surface it does not show (an output switched off), and a swap that waits for
        // one would hang the program until a second end signal.
        eglSwapInterval(session.eglDisplay, 0);
    } else if (size.width != output.buffer.width || size.height != output.buffer.height) {
        wl_egl_window_resize(output.eglWindow, size.width, size.height, 0, 0);
    }
    output.buffer = size;
    return true;
}

void DestroyOutput(Session& session, Output& output) {
    if (output.eglSurface != EGL_NO_SURFACE) {
        // Not current while its window goes.
        eglMakeCurrent(session.eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroySurface(session.eglDisplay, output.eglSurface);
    }
    if (output.eglWindow != nullptr) wl_egl_window_destroy(output.eglWindow);
    if (output.toplevel != nullptr) xdg_toplevel_destroy(output.toplevel);
    if (output.xdgSurface != nullptr) xdg_surface_destroy(output.xdgSurface);
    if (output.surface != nullptr) {
        if (session.pointerSurface == output.surface) session.pointerSurface = nullptr;
        wl_surface_destroy(output.surface);
    }
    if (output.version >= WL_OUTPUT_RELEASE_SINCE_VERSION)
        wl_output_release(output.output);
    else
        wl_output_destroy(output.output);
}

// Outside event dispatch: the surfaces of outputs that went away go, new outputs get
// theirs, and every surface configured since takes its size. False when a surface
// cannot be made.
bool UpdateSurfaces(Session& session) {
    auto& outputs = session.outputs;
    for (std::size_t i = 0; i < outputs.size();) {
        if (outputs[i]->removed) {
            DestroyOutput(session, *outputs[i]);
            outputs.erase(outputs.begin() + std::ptrdiff_t(i));
        } else {
            ++i;
        }
    }
    for (auto& output : outputs) {
        if (output->surface == nullptr && output->described) MakeSurface(session, *output);
        if (output->configurePending && !SizeSurface(session, *output)) return false;
    }
    return true;
}

// ---------------------------------------------------------------- registry

void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t version) {
    Session& session = *static_cast<Session*>(data);
    const auto Bind = [&](const wl_interface* type, std::uint32_t highest) {
        return wl_registry_bind(registry, name, type, version < highest ? version : highest);
    };
    if (std::strcmp(interface, wl_compositor_interface.name) == 0 &&
        session.compositor == nullptr) {
        session.compositorVersion = version < CompositorVersion ? version : CompositorVersion;
        session.compositor =
            static_cast<wl_compositor*>(Bind(&wl_compositor_interface, CompositorVersion));
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0 &&
               session.wmBase == nullptr) {
        session.wmBase = static_cast<xdg_wm_base*>(Bind(&xdg_wm_base_interface, WmBaseVersion));
        static const xdg_wm_base_listener wmBaseListener = {
            [](void*, xdg_wm_base* base, std::uint32_t serial) { xdg_wm_base_pong(base, serial); }};
        xdg_wm_base_add_listener(session.wmBase, &wmBaseListener, &session);
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && session.seat == nullptr) {
        session.seat = static_cast<wl_seat*>(Bind(&wl_seat_interface, SeatVersion));
        wl_seat_add_listener(session.seat, &seatListener, &session);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        auto output = std::make_unique<Output>();
        output->session = &session;
        output->globalName = name;
        output->version = version < OutputVersion ? version : OutputVersion;
        output->output = static_cast<wl_output*>(Bind(&wl_output_interface, OutputVersion));
        // Before version 2 no done event says the description is complete.
        output->described = output->version < 2;
        wl_output_add_listener(output->output, &outputListener, output.get());
        session.outputs.push_back(std::move(output));
    }
}

void OnGlobalRemove(void* data, wl_registry*, std::uint32_t name) {
    for (auto& output : static_cast<Session*>(data)->outputs)
        if (output->globalName == name) output->removed = true;
}

const wl_registry_listener registryListener = {OnGlobal, OnGlobalRemove};

// ---------------------------------------------------------------- EGL

// A double-buffered RGB configuration for desktop GL on window surfaces. An alpha
// channel would let the compositor blend what lies beneath through the globe (the
// patches blend into the frame buffer), and the frame expects no depth buffer, as
// the Windows saver asks for none; the smallest of those goes first.
bool ChooseEglConfig(Session& session) {
    const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                 EGL_WINDOW_BIT,
                                 EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT,
                                 EGL_RED_SIZE,
                                 8,
                                 EGL_GREEN_SIZE,
                                 8,
                                 EGL_BLUE_SIZE,
                                 8,
                                 EGL_NONE};
    EGLConfig configs[64];
    EGLint count = 0;
    if (!eglChooseConfig(session.eglDisplay, attributes, configs, 64, &count) || count == 0)
        return false;
    long best = LONG_MAX;
    for (EGLint i = 0; i < count; ++i) {
        EGLint alpha = 0, depth = 0, stencil = 0;
        eglGetConfigAttrib(session.eglDisplay, configs[i], EGL_ALPHA_SIZE, &alpha);
        eglGetConfigAttrib(session.eglDisplay, configs[i], EGL_DEPTH_SIZE, &depth);
        eglGetConfigAttrib(session.eglDisplay, configs[i], EGL_STENCIL_SIZE, &stencil);
        const long cost = (alpha > 0 ? 1000 : 0) + depth + stencil;
        if (cost < best) {
            best = cost;
            session.eglConfig = configs[i];
        }
    }
    return true;
}

bool OpenEgl(Session& session) {
    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    session.createWindowSurface = reinterpret_cast<PFNEGLCREATEPLATFORMWINDOWSURFACEEXTPROC>(
        eglGetProcAddress("eglCreatePlatformWindowSurfaceEXT"));
    if (getPlatformDisplay == nullptr || session.createWindowSurface == nullptr ||
        !(ExtensionListed(extensions, "EGL_EXT_platform_wayland") ||
          ExtensionListed(extensions, "EGL_KHR_platform_wayland"))) {
        std::fprintf(stderr, "%s: EGL cannot draw on Wayland here (is Mesa's libEGL installed?)\n",
                     Name);
        return false;
    }
    session.eglDisplay = getPlatformDisplay(EGL_PLATFORM_WAYLAND_EXT, session.display, nullptr);
    EGLint major = 0, minor = 0;
    if (session.eglDisplay == EGL_NO_DISPLAY ||
        !eglInitialize(session.eglDisplay, &major, &minor)) {
        std::fprintf(stderr, "%s: cannot initialise EGL on this display (0x%x)\n", Name,
                     eglGetError());
        session.eglDisplay = EGL_NO_DISPLAY;
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API) || !ChooseEglConfig(session)) {
        std::fprintf(stderr, "%s: EGL offers no desktop OpenGL for RGB windows\n", Name);
        return false;
    }
    // The frame draws with OpenGL 1.1 calls: the compatibility profile.
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    session.eglContext =
        eglCreateContext(session.eglDisplay, session.eglConfig, EGL_NO_CONTEXT, contextAttributes);
    if (session.eglContext == EGL_NO_CONTEXT) {
        std::fprintf(stderr, "%s: cannot make a compatibility OpenGL context (0x%x)\n", Name,
                     eglGetError());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- frames

void DrawFps(FpsMeter& meter) {
    // The frame step leaves the projection at identity; the text grid needs the view.
    ApplyCamera(Camera);
    DrawStrokeText(meter.text, FpsGrey, FpsGrey, FpsGrey, 0, 0, &Camera);
    glLoadIdentity();
}

// One frame step, drawn on every surface that can draw when `everyOutput`, else on
// those that need a frame of their own. Each gets the view laid out for its size.
// Returns whether a frame was drawn; a failed swap ends the run.
bool DrawOutputs(Session& session, bool everyOutput, bool fps, FpsMeter& meter) {
    std::vector<Output*> targets;
    for (auto& output : session.outputs)
        if (output->eglSurface != EGL_NO_SURFACE && (everyOutput || output->needsFrame))
            targets.push_back(output.get());
    if (targets.empty()) return false;
    AdvanceFrame();
    CountFrame(meter, MonotonicMicroseconds());
    for (Output* output : targets) {
        if (!eglMakeCurrent(session.eglDisplay, output->eglSurface, output->eglSurface,
                            session.eglContext)) {
            std::fprintf(stderr, "%s: cannot draw on a surface (0x%x)\n", Name, eglGetError());
            Failed(session);
            return true;
        }
        if (session.compositorVersion >= 3)
            wl_surface_set_buffer_scale(output->surface, output->buffer.scale);
        ResizeView(output->buffer.width, output->buffer.height);
        ClearView(Given, 0.0f, 0.0f, 0.0f);
        DrawFrameView();
        if (fps) DrawFps(meter);
        if (!eglSwapBuffers(session.eglDisplay, output->eglSurface)) {
            std::fprintf(stderr, "%s: cannot show a frame (0x%x)\n", Name, eglGetError());
            Failed(session);
            return true;
        }
        output->needsFrame = false;
    }
    return true;
}

bool AnySurfaceReady(const Session& session, bool needingFrameOnly) {
    for (const auto& output : session.outputs)
        if (output->eglSurface != EGL_NO_SURFACE && (!needingFrameOnly || output->needsFrame))
            return true;
    return false;
}

// Waits up to `microseconds` for the compositor's events or an end signal, and
// dispatches the events. False when the connection is lost.
bool Wait(Session& session, long microseconds) {
    wl_display* display = session.display;
    while (wl_display_prepare_read(display) != 0)
        if (wl_display_dispatch_pending(display) < 0) return false;
    pollfd watched[2] = {{wl_display_get_fd(display), POLLIN, 0}, {EndSignalWakeFd(), POLLIN, 0}};
    pollfd& connection = watched[0];
    if (wl_display_flush(display) < 0) {
        if (errno != EAGAIN) {
            wl_display_cancel_read(display);
            return false;
        }
        // The socket is full: wait until it takes the rest too.
        connection.events |= POLLOUT;
    }
    const timespec timeout{time_t(microseconds / 1000000), long(microseconds % 1000000) * 1000};
    const int ready = ppoll(watched, 2, &timeout, nullptr);
    const int waitError = errno;
    ClearEndSignalWakes();
    if (ready > 0 && (connection.revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
        if (wl_display_read_events(display) < 0) return false;
    } else {
        wl_display_cancel_read(display);
        if (ready < 0 && waitError != EINTR) return false;
    }
    return wl_display_dispatch_pending(display) >= 0;
}

// ---------------------------------------------------------------- start and end

void SetUpTextures(const WaylandOptions& options) {
    SetUpSceneWithTiles(
        ChooseTextureFolder(options.textures, DefaultTextureFolders(ProgramFolder())), Name,
        "--textures");
}

// Lets the GL go with a surface current, so that the frame step's texture objects are
// deleted in their context, and reports any GL error the run left. Status 1 then.
int ReleaseGl(Session& session) {
    if (session.eglContext == EGL_NO_CONTEXT) return 0;
    int status = 0;
    EGLSurface surface = EGL_NO_SURFACE;
    for (auto& output : session.outputs)
        if (output->eglSurface != EGL_NO_SURFACE) surface = output->eglSurface;
    if (surface != EGL_NO_SURFACE &&
        eglMakeCurrent(session.eglDisplay, surface, surface, session.eglContext)) {
        ReleaseGlObjects();
        glFinish();
        for (int i = 0; i < 8; ++i) {
            const GLenum error = glGetError();
            if (error == GL_NO_ERROR) break;
            std::fprintf(stderr, "%s: GL error 0x%x\n", Name, error);
            status = 1;
        }
    }
    eglMakeCurrent(session.eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    return status;
}

int EndSession(Session& session) {
    int status = session.end == End::Failed ? 1 : 0;
    if (ReleaseGl(session) != 0) status = 1;
    for (auto& output : session.outputs) DestroyOutput(session, *output);
    session.outputs.clear();
    if (session.eglContext != EGL_NO_CONTEXT)
        eglDestroyContext(session.eglDisplay, session.eglContext);
    if (session.eglDisplay != EGL_NO_DISPLAY) eglTerminate(session.eglDisplay);
    if (session.keyboard != nullptr) ReleaseKeyboard(session);
    if (session.pointer != nullptr) ReleasePointer(session);
    if (session.touch != nullptr) ReleaseTouch(session);
    if (session.seat != nullptr) wl_seat_destroy(session.seat);
    if (session.wmBase != nullptr) xdg_wm_base_destroy(session.wmBase);
    if (session.compositor != nullptr) wl_compositor_destroy(session.compositor);
    if (session.registry != nullptr) wl_registry_destroy(session.registry);
    wl_display_flush(session.display);
    wl_display_disconnect(session.display);
    FreeTextureSet();
    return status;
}

// The globals, then what the outputs and the seat say about themselves.
bool Connect(Session& session) {
    session.registry = wl_display_get_registry(session.display);
    wl_registry_add_listener(session.registry, &registryListener, &session);
    if (wl_display_roundtrip(session.display) < 0 || wl_display_roundtrip(session.display) < 0) {
        std::fprintf(stderr, "%s: the compositor broke the connection\n", Name);
        return false;
    }
    if (session.compositor == nullptr || session.wmBase == nullptr) {
        std::fprintf(stderr, "%s: the compositor offers no %s\n", Name,
                     session.compositor == nullptr ? "wl_compositor" : "xdg-shell (xdg_wm_base)");
        return false;
    }
    return true;
}

void Run(Session& session, const WaylandOptions& options) {
    FramePacing pacing;
    FpsMeter meter;
    const bool paced = options.delayMicroseconds == PacedFrames;
    while (session.end == End::None && EndSignal() == 0) {
        if (!UpdateSurfaces(session)) {
            Failed(session);
            break;
        }
        long waitMicroseconds = IdleWaitMicroseconds;
        if (!paced) {
            if (DrawOutputs(session, true, options.fps, meter))
                waitMicroseconds = options.delayMicroseconds;
        } else if (AnySurfaceReady(session, false)) {
            std::int64_t now = ReadCalendarMilliseconds();
            pacing.invalidated = AnySurfaceReady(session, true);
            if (FrameDue(pacing, now) &&
                DrawOutputs(session, PictureChanged(pacing, now), options.fps, meter)) {
                NoteFrameDrawn(pacing, lastFrameTime, PictureMoving());
                now = ReadCalendarMilliseconds();
            }
            pacing.invalidated = AnySurfaceReady(session, true);
            waitMicroseconds = long(MillisecondsUntilDue(pacing, now)) * 1000;
        }
        if (session.end != End::None) break;
        if (!Wait(session, waitMicroseconds)) {
            const int error = wl_display_get_error(session.display);
            std::fprintf(stderr, "%s: lost the connection to the compositor (%s)\n", Name,
                         std::strerror(error != 0 ? error : errno));
            Failed(session);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    WaylandOptions options;
    char error[256];
    if (!ParseWaylandOptions(argc, argv, options, error, sizeof error)) {
        std::fprintf(stderr, "%s: %s\n", Name, error);
        PrintWaylandUsage(stderr);
        return 1;
    }
    if (options.help) {
        PrintWaylandUsage(stdout);
        return 0;
    }

    // Another instance already covers this display: it is the one the user sees.
    if (!TakeDisplayLock()) return 0;
    KeepStandardFilesOpen();
    if (!CatchEndSignals(Name)) return 1;

    Session session;
    session.display = wl_display_connect(nullptr);
    if (session.display == nullptr) {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        std::fprintf(stderr, "%s: cannot connect to the Wayland compositor %s\n", Name,
                     name != nullptr ? name : "(WAYLAND_DISPLAY is not set)");
        return 1;
    }
    showClock = options.clock ? 1 : 0;
    SetLook(options.look);
    SetUpTextures(options);
    if (!Connect(session) || !OpenEgl(session)) {
        Failed(session);
        return EndSession(session);
    }
    Run(session, options);
    return EndSession(session);
}
