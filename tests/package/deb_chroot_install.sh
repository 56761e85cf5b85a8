#!/usr/bin/env bash
# The Debian package installed the way a user installs it, into a fresh Debian 12
# made by debootstrap: `apt-get install ./solvane_*.deb` must find every dependency,
# and the installed programs must work there. solvane-snapshot renders the test
# moment, which must equal this build's own oracle; the installed hack draws on an
# Xvfb of this machine (its socket bound into the root) and must show the same
# picture. Run as root, by hand: it takes several minutes and some hundred
# megabytes from the Debian mirror that this machine's apt uses, so CTest runs the
# quicker deb_test.sh instead.
#   tests/package/deb_chroot_install.sh [path/to/solvane_VERSION_ARCH.deb]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
deb=${1:-$(ls "$repo"/build/native-release/solvane_*_"$(dpkg --print-architecture)".deb)}
deb=$(readlink -f "$deb")

export HACK_WORK=$repo/build/deb-chroot
export HACK=unused X_HELPER=unused
export HACK_TILES=$repo/build/native-release/textures
export SNAPSHOT=$repo/build/native-release/tools/snapshot/solvane-snapshot
source "$here/../hack/lib.sh"

[ "$(id -u)" = 0 ] || Fail "debootstrap and chroot need root"
command -v debootstrap >/dev/null || Fail "no debootstrap (scripts/install-deps.sh)"

# The first Debian archive this machine's apt reads, in either format.
Mirror() {
    { grep -h '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null || true
      grep -h '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null || true
    } | awk '{ print $2 }' | grep -v security | head -n 1 || true
}

Unmount() {
    local point
    for point in tmp/.X11-unix dev proc; do
        if mountpoint -q "$CHROOT/$point"; then umount -l "$CHROOT/$point" || true; fi
    done
}

Case_chroot() {
    CHROOT=$CASE_DIR/root
    AtEnd Unmount
    local mirror started
    mirror=$(Mirror)
    [ -n "$mirror" ] || Fail "no Debian archive in this machine's apt sources"
    started=$(date +%s)
    Note "debootstrap bookworm (minbase) into $CHROOT"
    debootstrap --variant=minbase bookworm "$CHROOT" "$mirror" >"$CASE_DIR/debootstrap.log" 2>&1 ||
        Fail "debootstrap failed: $(tail -n 5 "$CASE_DIR/debootstrap.log")"
    Note "debootstrap took $(($(date +%s) - started)) s"
    mount -t proc proc "$CHROOT/proc"
    mount --bind /dev "$CHROOT/dev"
    mkdir -p "$CHROOT/tmp/.X11-unix"
    mount --bind /tmp/.X11-unix "$CHROOT/tmp/.X11-unix"
    cp "$deb" "$CHROOT/tmp/"
    local inside
    inside=/tmp/$(basename "$deb")
    started=$(date +%s)
    chroot "$CHROOT" env DEBIAN_FRONTEND=noninteractive apt-get install -y "$inside" \
        >"$CASE_DIR/apt.log" 2>&1 || Fail "apt-get install failed: $(tail -n 20 "$CASE_DIR/apt.log")"
    Note "apt-get install ./$(basename "$deb"): $(grep -c '^Setting up' "$CASE_DIR/apt.log") packages set up in $(($(date +%s) - started)) s"
    # faketime only for the picture test below; it is no dependency of the package.
    chroot "$CHROOT" env DEBIAN_FRONTEND=noninteractive apt-get install -y faketime \
        >>"$CASE_DIR/apt.log" 2>&1 || Fail "cannot install faketime in the root"

    chroot "$CHROOT" env TZ=UTC solvane-snapshot --textures /usr/share/solvane/textures \
        --utc "$MOMENT_UTC" --size 640x400 --out /tmp/snapshot.png ||
        Fail "the installed solvane-snapshot failed"
    local different
    different=$(Mismatches "$CHROOT/tmp/snapshot.png" "$(Oracle 640x400)")
    Note "installed solvane-snapshot: $different pixels differ from this build's"
    [ "$different" = 0 ] || Fail "the installed solvane-snapshot draws another picture"

    chroot "$CHROOT" env DISPLAY="$DISPLAY" TZ=UTC FAKETIME="$MOMENT" \
        FAKETIME_DONT_FAKE_MONOTONIC=1 LD_PRELOAD="$FAKETIME_LIB" \
        /usr/libexec/xscreensaver/solvane -root >"$CASE_DIR/hack.out" 2>"$CASE_DIR/hack.err" &
    HACK_PID=$!
    Track "$HACK_PID"
    ExpectPicture root 1024x768 chroot-hack
    ExpectCleanEnd 20 TERM
    Note "the installed hack drew the oracle's picture and ended cleanly"
}

RunCase chroot
