# A headless sway for solvane-wayland's tests and benchmarks: Debian's sway drawing in
# software, run as an ordinary user since it refuses root. Sourced, not run.
# shellcheck shell=bash
source "$(dirname "${BASH_SOURCE[0]}")/../support/lib.sh"

readonly SWAY_USER=solvane-wayland
# What runs a command as that user; setpriv execs it, so a command put in the
# background keeps its pid.
AS_USER=()
[ "$(id -u)" != 0 ] || AS_USER=(setpriv --reuid="$SWAY_USER" --regid="$SWAY_USER" --clear-groups)
RUNTIME_DIR=""

# Starts sway on `config`, its output in `log`, and sets SWAY_PID and SWAYSOCK. The
# runtime folder lies in /tmp, as a socket's path must stay short; the user also
# gets `folder`, for what it writes. Returns 1 when sway has not come within 30 s.
StartSway() { # config log [folder]
    if [ "$(id -u)" = 0 ] && ! id "$SWAY_USER" >/dev/null 2>&1; then
        useradd --system --no-create-home --shell /usr/sbin/nologin "$SWAY_USER"
    fi
    RUNTIME_DIR=$(mktemp -d /tmp/solvane-wayland.XXXXXX)
    chmod 700 "$RUNTIME_DIR"
    [ "$(id -u)" != 0 ] || chown "$SWAY_USER" "$RUNTIME_DIR" ${3:+"$3"}
    "${AS_USER[@]}" env -i PATH=/usr/bin:/bin HOME="$RUNTIME_DIR" XDG_RUNTIME_DIR="$RUNTIME_DIR" \
        WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway -c "$1" >"$2" 2>&1 &
    SWAY_PID=$!
    SwayReady() { SWAYSOCK=$(compgen -G "$RUNTIME_DIR/sway-ipc.*.sock") || Ended "$SWAY_PID"; }
    POLL=0.1 WaitUntil 30 SwayReady && [ -n "$SWAYSOCK" ]
}

# A command in the compositor's session, as its user.
InSway() {
    "${AS_USER[@]}" env XDG_RUNTIME_DIR="$RUNTIME_DIR" WAYLAND_DISPLAY=wayland-1 SWAYSOCK="$SWAYSOCK" "$@"
}

# Ends sway (its clients lose their connection) and removes the runtime folder.
StopSway() {
    [ -z "${SWAY_PID:-}" ] || kill -TERM "$SWAY_PID" 2>/dev/null || true
    [ -z "${SWAY_PID:-}" ] || timeout 10 tail --pid="$SWAY_PID" -f /dev/null || true
    [ -z "$RUNTIME_DIR" ] || rm -rf "$RUNTIME_DIR"
}
