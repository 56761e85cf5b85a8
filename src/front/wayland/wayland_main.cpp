// solvane-wayland: the globe full screen on every output of a Wayland desktop, for an
// idle daemon (swayidle, hypridle) to start. It speaks wayland-client and xdg-shell
// directly and draws the same frame step as the other front ends through EGL, into
// one surface per output. All surfaces share one GL context, so the tiles go to the
// GL once however many outputs there are.
#include <wayland-client.h>
#include <wayland-egl.h>
// After wayland-egl.h, which makes EGL's native window a wl_egl_window.
#include <GL/gl.h>
#include <poll.h>
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

#include "fractional_scale_v1_client.h"
#include "frame/fps_meter.h"
#include "frame/frame_pacing.h"
#include "frame/frame_step.h"
#include "frame/gl_release.h"
#include "frame/run_end.h"
#include "frame/scene_setup.h"
#include "front/egl/egl_gl.h"
#include "front/posix/cloud_options.h"
#include "front/posix/process.h"
#include "front/posix/tile_folder.h"
#include "front/wayland/buffer_size.h"
#include "front/wayland/single_instance.h"
#include "front/wayland/wayland_options.h"
#include "platform/clock.h"
#include "text/stroke_width.h"
#include "textures/texture_set.h"
#include "view/camera_frame.h"
#include "view/projection.h"
#include "viewporter_client.h"
#include "xdg_shell_client.h"

// Mesa keeps process-lifetime allocations, some in the driver it unloads at the end,
// which LeakSanitizer would report at exit in sanitizer builds without being able to
// name them. They are not ours to free.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace {

constexpr char Name[] = "solvane-wayland";
// Versions bound, each the lowest that has what is used: buffer scale and buffer
// damage (compositor 4; EGL damages by buffer where the surface allows it), the
// output's done and scale events and its release (3), pointer frames (seat 5).
constexpr std::uint32_t CompositorVersion = 4;
constexpr std::uint32_t OutputVersion = 3;
constexpr std::uint32_t SeatVersion = 5;
constexpr std::uint32_t WmBaseVersion = 1;

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
    wp_viewport* viewport = nullptr;  // with a fractional scale: maps the buffer on
    wp_fractional_scale_v1* fractionalScale = nullptr;
    int scale120 = 0;  // the compositor's preferred scale in 120ths; 0 while unsaid
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
    wp_viewporter* viewporter = nullptr;
    wp_fractional_scale_manager_v1* fractionalScaleManager = nullptr;
    wl_seat* seat = nullptr;
    wl_keyboard* keyboard = nullptr;
    wl_pointer* pointer = nullptr;
    wl_touch* touch = nullptr;
    wl_surface* pointerSurface = nullptr;  // the surface the pointer is on, if ours
    PointerOrigin pointerOrigin;
    std::vector<std::unique_ptr<Output>> outputs;

    EglGl egl;

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
        PointerEndsRun(session.pointerOrigin, session.pointerSurface, x, y))
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
        // A new scale or mode gives the surface a new buffer size, and may move the
        // pointer in its coordinates.
        if (output.configured) output.configurePending = true;
        ForgetPointerOrigin(output.session->pointerOrigin);
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

const wp_fractional_scale_v1_listener fractionalScaleListener = {
    [](void* data, wp_fractional_scale_v1*, std::uint32_t scale) {
        Output& output = *static_cast<Output*>(data);
        output.scale120 = scale <= INT_MAX ? int(scale) : 0;
        if (output.configured) output.configurePending = true;
    }};

// A full-screen toplevel on the output, committed without a buffer: the compositor
// answers with the configure that gives its size, and the first frame maps it.
void MakeSurface(Session& session, Output& output) {
    output.surface = wl_compositor_create_surface(session.compositor);
    if (session.viewporter != nullptr && session.fractionalScaleManager != nullptr) {
        output.viewport = wp_viewporter_get_viewport(session.viewporter, output.surface);
        output.fractionalScale = wp_fractional_scale_manager_v1_get_fractional_scale(
            session.fractionalScaleManager, output.surface);
        wp_fractional_scale_v1_add_listener(output.fractionalScale, &fractionalScaleListener,
                                            &output);
    }
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
    const BufferSize size =
        output.viewport != nullptr && output.scale120 > 0
            ? ChooseFractionalBufferSize(output.configuredWidth, output.configuredHeight,
                                         output.scale120, output.modeWidth, output.modeHeight)
            : ChooseBufferSize(output.configuredWidth, output.configuredHeight, scale,
                               output.modeWidth, output.modeHeight);
    output.configurePending = false;
    output.needsFrame = true;
    if (output.eglWindow == nullptr) {
        output.eglWindow = wl_egl_window_create(output.surface, size.width, size.height);
        if (output.eglWindow != nullptr)
            output.eglSurface = session.egl.createWindowSurface(
                session.egl.display, session.egl.config, output.eglWindow, nullptr);
        if (output.eglSurface == EGL_NO_SURFACE ||
            !eglMakeCurrent(session.egl.display, output.eglSurface, output.eglSurface,
                            session.egl.context)) {
            std::fprintf(stderr, "%s: cannot make an EGL surface of %dx%d (0x%x)\n", Name,
                         size.width, size.height, eglGetError());
            return false;
        }
        // Never wait for the compositor in a swap: it sends no frame callbacks for a
        // surface it does not show (an output switched off), and a swap that waits for
        // one would hang the program until a second end signal.
        eglSwapInterval(session.egl.display, 0);
    } else if (size.width != output.buffer.width || size.height != output.buffer.height) {
        wl_egl_window_resize(output.eglWindow, size.width, size.height, 0, 0);
    }
    output.buffer = size;
    return true;
}

void DestroyOutput(Session& session, Output& output) {
    if (output.eglSurface != EGL_NO_SURFACE) {
        // Not current while its window goes.
        eglMakeCurrent(session.egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroySurface(session.egl.display, output.eglSurface);
    }
    if (output.eglWindow != nullptr) wl_egl_window_destroy(output.eglWindow);
    if (output.toplevel != nullptr) xdg_toplevel_destroy(output.toplevel);
    if (output.fractionalScale != nullptr) wp_fractional_scale_v1_destroy(output.fractionalScale);
    if (output.viewport != nullptr) wp_viewport_destroy(output.viewport);
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
    } else if (std::strcmp(interface, wp_viewporter_interface.name) == 0 &&
               session.viewporter == nullptr) {
        session.viewporter = static_cast<wp_viewporter*>(Bind(&wp_viewporter_interface, 1));
    } else if (std::strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0 &&
               session.fractionalScaleManager == nullptr) {
        session.fractionalScaleManager = static_cast<wp_fractional_scale_manager_v1*>(
            Bind(&wp_fractional_scale_manager_v1_interface, 1));
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
        ForgetPointerOrigin(session.pointerOrigin);
    }
}

void OnGlobalRemove(void* data, wl_registry*, std::uint32_t name) {
    Session& session = *static_cast<Session*>(data);
    for (auto& output : session.outputs) {
        if (output->globalName != name) continue;
        output->removed = true;
        // Its surface goes, and the pointer goes over to another output on its own.
        ForgetPointerOrigin(session.pointerOrigin);
    }
}

const wl_registry_listener registryListener = {OnGlobal, OnGlobalRemove};

// ---------------------------------------------------------------- EGL

bool OpenEgl(Session& session) {
    char error[160];
    if (OpenEglGl(WaylandPlatform, session.display, session.egl, error, sizeof error)) return true;
    std::fprintf(stderr, "%s: %s\n", Name, error);
    return false;
}

// ---------------------------------------------------------------- frames

// One frame step of the second `decision` read, drawn on every surface that can draw
// when the picture changed, else on those that need a frame of their own. Each gets
// the view laid out for its size. Returns whether a frame was drawn; a failed swap
// ends the run.
bool DrawOutputs(Session& session, const FrameDecision& decision, bool fps, FpsMeter& meter) {
    const bool everyOutput = decision.pictureChanged;
    std::vector<Output*> targets;
    for (auto& output : session.outputs)
        if (output->eglSurface != EGL_NO_SURFACE && (everyOutput || output->needsFrame))
            targets.push_back(output.get());
    if (targets.empty()) return false;
    AdvanceFrame(decision.showTime);
    CountFrame(meter, MonotonicMicroseconds());
    for (Output* output : targets) {
        if (!eglMakeCurrent(session.egl.display, output->eglSurface, output->eglSurface,
                            session.egl.context)) {
            std::fprintf(stderr, "%s: cannot draw on a surface (0x%x)\n", Name, eglGetError());
            Failed(session);
            return true;
        }
        if (output->buffer.logicalWidth > 0)
            wp_viewport_set_destination(output->viewport, output->buffer.logicalWidth,
                                        output->buffer.logicalHeight);
        if (session.compositorVersion >= 3)
            wl_surface_set_buffer_scale(output->surface, output->buffer.scale);
        ResizeView(output->buffer.width, output->buffer.height);
        ClearFrame();
        DrawFrameView(StrokeWidthForScale(output->buffer.displayScale));
        if (fps) DrawFpsOverlay(meter);
        if (!eglSwapBuffers(session.egl.display, output->eglSurface)) {
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
    short events = POLLIN;
    if (wl_display_flush(display) < 0) {
        if (errno != EAGAIN) {
            wl_display_cancel_read(display);
            return false;
        }
        // The socket is full: wait until it takes the rest too.
        events |= POLLOUT;
    }
    const int ready = WaitForConnection(wl_display_get_fd(display), events, microseconds);
    if (ready > 0 && (ready & (POLLIN | POLLERR | POLLHUP)) != 0) {
        if (wl_display_read_events(display) < 0) return false;
    } else {
        wl_display_cancel_read(display);
        if (ready < 0) return false;
    }
    return wl_display_dispatch_pending(display) >= 0;
}

// ---------------------------------------------------------------- start and end

void SetUpTextures(const WaylandOptions& options) {
    const std::string folder =
        ChooseTextureFolder(options.textures, DefaultTextureFolders(ProgramFolder()));
    SetUpSceneWithTiles(folder, Name, "--textures");
    StartFrontClouds(options.clouds, options.cloudsUrl, folder);
}

// Lets the GL go with a surface current, so that the frame step's texture objects are
// deleted in their context, and reports any GL error the run left. Status 1 then.
int ReleaseGl(Session& session) {
    if (session.egl.context == EGL_NO_CONTEXT) return 0;
    int status = 0;
    EGLSurface surface = EGL_NO_SURFACE;
    for (auto& output : session.outputs)
        if (output->eglSurface != EGL_NO_SURFACE) surface = output->eglSurface;
    if (surface != EGL_NO_SURFACE &&
        eglMakeCurrent(session.egl.display, surface, surface, session.egl.context)) {
        status = EndGl(Name);
    }
    eglMakeCurrent(session.egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    return status;
}

int EndSession(Session& session) {
    int status = session.end == End::Failed ? 1 : 0;
    if (ReleaseGl(session) != 0) status = 1;
    for (auto& output : session.outputs) DestroyOutput(session, *output);
    session.outputs.clear();
    CloseEglGl(session.egl);
    if (session.keyboard != nullptr) ReleaseKeyboard(session);
    if (session.pointer != nullptr) ReleasePointer(session);
    if (session.touch != nullptr) ReleaseTouch(session);
    if (session.seat != nullptr) wl_seat_destroy(session.seat);
    if (session.wmBase != nullptr) xdg_wm_base_destroy(session.wmBase);
    if (session.viewporter != nullptr) wp_viewporter_destroy(session.viewporter);
    if (session.fractionalScaleManager != nullptr)
        wp_fractional_scale_manager_v1_destroy(session.fractionalScaleManager);
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
    while (session.end == End::None && EndSignal() == 0) {
        if (!UpdateSurfaces(session)) {
            Failed(session);
            break;
        }
        long waitMicroseconds = MaxWaitMicroseconds;
        if (AnySurfaceReady(session, false)) {
            pacing.invalidated = AnySurfaceReady(session, true);
            const FrameDecision decision =
                DecideFrame(pacing, ReadCalendarMilliseconds(), MonotonicMicroseconds(),
                            options.delayMicroseconds);
            if (!decision.draw) {
                waitMicroseconds = decision.waitMicroseconds;
            } else if (DrawOutputs(session, decision, options.fps, meter)) {
                NoteFrameDrawn(pacing, lastFrameTime, PictureMoving(), MonotonicMicroseconds());
                // Only take the events that came meanwhile; the next decision waits.
                waitMicroseconds = 0;
            }
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
