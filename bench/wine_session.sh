# shellcheck shell=bash disable=SC2154  # root and work come from the script that sources this
# Sourced by the Wine measurements (framerate.sh, startup.sh): an Xvfb of a chosen size
# and a 64-bit Wine prefix of the script's own, with the texture folder stored where
# the saver reads it. Expects `root` (the source tree) and `work` (a scratch folder).
#
# This machine cannot execute 32-bit x86 code, so the 64-bit build of the saver runs,
# through the 64-bit Wine loader.

loader=/usr/lib/wine/wine64
xvfbPid=""

# Ends the prefix's Wine processes and the Xvfb this script started, nobody else's.
EndWineSession() {
  if [ -n "${WINEPREFIX:-}" ]; then /usr/bin/wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$xvfbPid" ]; then kill "$xvfbPid" 2>/dev/null || true; fi
  xvfbPid=""
}

# Starts Xvfb at SIZE (e.g. 1024x768) on the first free display from :90 up and
# exports DISPLAY.
StartXvfb() { # size log
  read -r DISPLAY xvfbPid < <("$root/tests/e2e/start_xvfb.sh" "$2" "$1") || return 1
  export DISPLAY
}

# Boots a prefix in the folder given, keeps its wineserver up between runs (no start-up
# of Wine's services inside a measured run) and stores the texture folder.
BootWinePrefix() { # prefix textures
  export WINEPREFIX=$1 WINEARCH=win64 WINELOADER=$loader
  export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
  mkdir -p "$1"
  "$loader" wineboot -i >"$1/boot.log" 2>&1 || true
  /usr/bin/wineserver -w
  /usr/bin/wineserver -p
  "$loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1
  local folder
  folder=$(readlink -m "$2")
  folder="Z:${folder//\//\\}\\"
  "$loader" reg add 'HKCU\Software\QMT_kvr' /v path /t REG_SZ /d "$folder" /f >/dev/null 2>&1
  # LOOK=natural: the saver's Natural look, as its Settings dialog stores it.
  if [ "${LOOK:-classic}" = natural ]; then
    "$loader" reg add 'HKCU\Software\QMT_kvr' /v Look /t REG_DWORD /d 1 /f >/dev/null 2>&1
  fi
  # CLOUDS=still|live: the cloud layer. Live shows a cache seeded with the still map,
  # fetched just now, so what is measured is the layer's drawing and the fetcher's
  # minute checks; its URL is a closed loopback port, should a fetch ever come due.
  case ${CLOUDS:-none} in
    still) "$loader" reg add 'HKCU\Software\QMT_kvr' /v Clouds /t REG_DWORD /d 1 /f >/dev/null 2>&1 ;;
    live)
      "$loader" reg add 'HKCU\Software\QMT_kvr' /v Clouds /t REG_DWORD /d 2 /f >/dev/null 2>&1
      "$loader" reg add 'HKCU\Software\QMT_kvr' /v CloudsUrl /t REG_SZ /d "http://127.0.0.1:9/clouds.jpg" /f \
        >/dev/null 2>&1
      SeedCloudCache "$1/drive_c/users/$(id -un)/AppData/Local/Solvane" "$2" ;;
  esac
}

# A live-clouds cache holding the still map beside `textures`, fetched now.
SeedCloudCache() { # folder textures
  mkdir -p "$1"
  cp "$2/../clouds.png" "$1/clouds.img"
  printf 'fetched %s\ntried %s\n' "$(date +%s)" "$(date +%s)" >"$1/clouds.state"
}

# The default tiles of a build, else 512-pixel test tiles made in $work.
ChooseTextures() {
  local candidate
  for candidate in ${TEXTURES:-} "$root/build/native-release/textures" "$root/build/native/textures"; do
    if [ -f "$candidate/d11.bmp" ]; then echo "$candidate"; return; fi
  done
  "$root/tests/e2e/make_test_tiles.sh" "$work/tiles" 512 >/dev/null
  echo "$work/tiles"
}

Median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) { print "nan"; exit }
  print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Now on the clock of Wine's trace timestamps (WINEDEBUG=+timestamp): the raw
# monotonic clock, in seconds.
MonotonicRaw() {
  python3 -c 'import time; print("%.3f" % time.clock_gettime(time.CLOCK_MONOTONIC_RAW))'
}

# Waits (bounded) until a saver run with WINEDEBUG=+timestamp,+wgl has swapped its
# first frame, and prints that moment from Wine's trace (the clock of MonotonicRaw). Reading the screen instead took two
# to four seconds a look on the loaded machine, while the saver kept the X server busy.
WaitFirstSwap() { # trace pid
  local waited=0 line
  until line=$(grep -m1 'trace:wgl:.*wglSwapBuffers' "$1" 2>/dev/null); do
    sleep 0.1
    waited=$((waited + 1))
    if [ "$waited" -gt 1200 ] || ! kill -0 "$2" 2>/dev/null; then
      echo "the saver swapped no frame; see $1" >&2
      return 1
    fi
  done
  echo "${line%%:*}"
}

# Closes a running saver with the space bar and waits (bounded) for it to end.
CloseSaver() { # pid
  xdotool keydown space
  sleep 0.3
  xdotool keyup space
  timeout 60 tail --pid="$1" -f /dev/null || kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
