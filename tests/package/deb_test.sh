#!/usr/bin/env bash
# The Debian package of the release build: what it holds, what it declares, that
# dpkg installs and removes it, that apt can satisfy it on a blank Debian, and that
# the programs it installs work.
#   deb_test.sh
# Skipped (77) when the release build has made no package; scripts/test.sh makes it.
set -euo pipefail
source "$(dirname "$0")/../hack/lib.sh"
: "${RELEASE_DIR:?}" "${PROJECT_VERSION:?}"

DEB=$RELEASE_DIR/solvane_${PROJECT_VERSION}_$(dpkg --print-architecture).deb
readonly DEB
[ -f "$DEB" ] || Skip "no $DEB: cmake --preset native-release && cmake --build --preset" \
    "native-release --target package"

Field() { dpkg-deb -f "$DEB" "$1"; }

ExpectFields() {
    [ "$(Field Package)" = solvane ] || Fail "Package: $(Field Package)"
    [ "$(Field Version)" = "$PROJECT_VERSION" ] || Fail "Version: $(Field Version)"
    [ "$(Field Architecture)" = "$(dpkg --print-architecture)" ] || Fail "Architecture"
    [ "$(Field Section)" = x11 ] || Fail "Section: $(Field Section)"
    [ "$(Field Recommends)" = xscreensaver ] || Fail "Recommends: $(Field Recommends)"
    Note "Depends: $(Field Depends)"
}

# Exactly these files, root's, executables 0755 and the rest 0644.
ExpectContents() {
    local expected actual
    expected=$(
        {
            printf '%s\n' -rwxr-xr-x/usr/bin/solvane-snapshot -rwxr-xr-x/usr/bin/solvane-tiles \
                -rwxr-xr-x/usr/bin/solvane-wayland -rwxr-xr-x/usr/libexec/xscreensaver/solvane \
                -rw-r--r--/usr/share/doc/solvane/copyright \
                -rw-r--r--/usr/share/metainfo/org.solvane.Solvane.metainfo.xml \
                -rw-r--r--/usr/share/man/man1/solvane-snapshot.1.gz \
                -rw-r--r--/usr/share/man/man1/solvane-tiles.1.gz \
                -rw-r--r--/usr/share/man/man1/solvane-wayland.1.gz \
                -rw-r--r--/usr/share/man/man6/solvane.6.gz \
                -rw-r--r--/usr/share/xscreensaver/config/solvane.xml \
                -rw-r--r--/usr/share/solvane/clouds.png \
                -rw-r--r--/usr/share/solvane/textures/tex.tex \
                -rw-r--r--/usr/share/solvane/textures/SOURCES.txt
            local name
            for name in d11 d12 d13 d14 d21 d22 d23 d24 n11 n12 n13 n14 n21 n22 n23 n24; do
                echo "-rw-r--r--/usr/share/solvane/textures/$name.bmp"
            done
        } | sort
    )
    actual=$(dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $1 $6 }' | sort)
    [ "$actual" = "$expected" ] ||
        Fail "the package holds other files: $(diff <(echo "$expected") <(echo "$actual") || true)"
    ! dpkg-deb -c "$DEB" | awk '{ print $2 }' | grep -vqx root/root || Fail "a file not root's"
}

# The package that installed a library of the loader's cache here. On a merged /usr
# the cache may name /lib or /usr/lib for a file that dpkg knows by the other.
PackageOf() { # soname
    local path
    path=$(/sbin/ldconfig -p | awk -v l="$1" -v a="$(dpkg --print-architecture)" '
        $1 == l && (a != "amd64" || /x86-64/) { print $NF; exit }')
    [ -n "$path" ] || return 0
    { dpkg -S "$path" 2>/dev/null || dpkg -S "/usr${path#/usr}" 2>/dev/null ||
        dpkg -S "${path#/usr}" 2>/dev/null; } | head -n 1 | cut -d: -f1
}

# Every library a program needs comes from a package the control file names, and no
# sanitizer runtime slipped in from a debug build.
ExpectDependencies() {
    local depends program library package
    depends=" $(Field Depends | tr ',|' '  ' | sed 's/([^)]*)//g') "
    for program in "$ROOT"/usr/bin/* "$ROOT"/usr/libexec/xscreensaver/solvane; do
        for library in $(objdump -p "$program" | awk '$1 == "NEEDED" { print $2 }'); do
            case $library in
            libasan* | libubsan* | liblsan* | libtsan*)
                Fail "$(basename "$program") needs the sanitizer runtime $library" ;;
            esac
            package=$(PackageOf "$library")
            [ -n "$package" ] || Fail "no installed package has $library"
            [[ $depends == *" $package "* ]] ||
                Fail "$(basename "$program") needs $library of $package, which Depends lacks"
        done
    done
}

# What the settings dialog offers is what the hack takes, and the manual page gives
# the hack's default delay.
ExpectSettings() {
    local xml=$ROOT/usr/share/xscreensaver/config/solvane.xml hack=$ROOT/usr/libexec/xscreensaver/solvane
    python3 -c 'import sys, xml.etree.ElementTree as t; t.parse(sys.argv[1])' "$xml" ||
        Fail "solvane.xml is not well-formed"
    local delay
    "$hack" --root --no-clock --fps --textures /nowhere --help >"$CASE_DIR/usage" ||
        Fail "the hack refuses the options of solvane.xml"
    delay=$(sed -n 's/.*(default \([0-9]*\)).*/\1/p' "$CASE_DIR/usage")
    zcat "$ROOT/usr/share/man/man6/solvane.6.gz" | grep -q "Default: $delay\." ||
        Fail "the manual page gives another default delay"
}

# The licence is named where distributions and software centres read it, and the
# software centres' metadata passes their validator.
ExpectLicenceAndMetadata() {
    local copyright=$ROOT/usr/share/doc/solvane/copyright
    grep -qx 'License: MIT' "$copyright" || Fail "the copyright file names no MIT licence"
    ! grep -qi 'no licence' "$copyright" || Fail "the copyright file says there is no licence"
    appstreamcli validate --no-net "$ROOT/usr/share/metainfo/org.solvane.Solvane.metainfo.xml" \
        >"$CASE_DIR/appstream.log" 2>&1 || Fail "AppStream metadata: $(cat "$CASE_DIR/appstream.log")"
    grep -q '<project_license>MIT</project_license>' \
        "$ROOT/usr/share/metainfo/org.solvane.Solvane.metainfo.xml" || Fail "metadata names no licence"
}

ExpectDpkgInstallAndRemove() {
    local admin=$CASE_DIR/dpkg-root
    mkdir -p "$admin/var/lib/dpkg/info" "$admin/var/lib/dpkg/updates"
    : >"$admin/var/lib/dpkg/status"
    : >"$admin/var/lib/dpkg/available"
    # The root holds no other package, so the dependencies cannot be met in it.
    dpkg --root="$admin" --force-depends -i "$DEB" >"$CASE_DIR/dpkg.log" 2>&1 ||
        Fail "dpkg -i failed: $(cat "$CASE_DIR/dpkg.log")"
    [ -x "$admin/usr/libexec/xscreensaver/solvane" ] || Fail "dpkg installed no hack"
    [ -x "$admin/usr/bin/solvane-wayland" ] || Fail "dpkg installed no solvane-wayland"
    "$admin/usr/bin/solvane-wayland" --help | grep -q '^usage: solvane-wayland' ||
        Fail "the installed solvane-wayland does not run"
    dpkg --root="$admin" -s solvane | grep -q "^Status: install ok installed" ||
        Fail "dpkg does not list solvane as installed"
    dpkg --root="$admin" -r solvane >>"$CASE_DIR/dpkg.log" 2>&1 || Fail "dpkg -r failed"
    [ -z "$(find "$admin" -type f -not -path "$admin/var/*")" ] ||
        Fail "files left after dpkg -r: $(find "$admin" -type f -not -path "$admin/var/*")"
}

# apt resolves every dependency from this machine's Debian package lists for a
# system with nothing installed: the install a fresh Debian would make.
ExpectAptCanInstall() {
    ls /var/lib/apt/lists/*_Packages* >/dev/null 2>&1 ||
        Fail "no apt package lists on this machine: run apt-get update"
    : >"$CASE_DIR/empty-status"
    # Caches of our own, kept between runs (apt checks them against the lists), so
    # that the machine's are not touched; the machine's own architecture only.
    mkdir -p "$HACK_WORK/apt-cache"
    apt-get install --simulate -o Dir::State::status="$CASE_DIR/empty-status" \
        -o Dir::Cache::pkgcache="$HACK_WORK/apt-cache/pkgcache.bin" \
        -o Dir::Cache::srcpkgcache="$HACK_WORK/apt-cache/srcpkgcache.bin" \
        -o APT::Architectures="$(dpkg --print-architecture)" \
        -o Debug::NoLocking=1 "$DEB" >"$CASE_DIR/apt.log" 2>&1 ||
        Fail "apt cannot install the package on a blank system: $(tail -n 20 "$CASE_DIR/apt.log")"
    local package
    for package in solvane libglx-mesa0 libegl-mesa0 libgl1-mesa-dri xscreensaver; do
        grep -q "^Inst $package " "$CASE_DIR/apt.log" || Fail "apt would not install $package"
    done
    Note "apt on a blank system: $(grep -c '^Inst ' "$CASE_DIR/apt.log") packages"
}

# The packaged programs and tiles draw the oracle's picture.
ExpectProgramsWork() {
    "$ROOT/usr/bin/solvane-snapshot" --textures "$ROOT/usr/share/solvane/textures" \
        --utc "$MOMENT_UTC" --size 640x400 --out "$CASE_DIR/packaged-snapshot.png" ||
        Fail "the packaged solvane-snapshot failed"
    local different
    different=$(Mismatches "$CASE_DIR/packaged-snapshot.png" "$(Oracle 640x400)")
    [ "$different" = 0 ] || Fail "the packaged snapshot differs in $different pixels"
    # StartHack runs $HACK.
    # shellcheck disable=SC2034
    HACK=$ROOT/usr/libexec/xscreensaver/solvane
    StartHack -root -textures "$ROOT/usr/share/solvane/textures"
    ExpectPicture root 1024x768 packaged-hack
    ExpectCleanEnd 20 TERM
}

Case_package() {
    # The unpacked package lies in a short folder of its own: the programs take a
    # tile folder of at most 92 characters, and the build tree may be deep.
    ROOT=$(mktemp -d /tmp/solvane-deb.XXXXXX)
    AtEnd 'rm -rf "$ROOT"'
    dpkg-deb -x "$DEB" "$ROOT"
    ExpectFields
    ExpectContents
    ExpectDependencies
    ExpectSettings
    ExpectLicenceAndMetadata
    ExpectDpkgInstallAndRemove
    ExpectAptCanInstall
    ExpectProgramsWork
}

RunCase package
