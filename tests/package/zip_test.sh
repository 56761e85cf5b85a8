#!/usr/bin/env bash
# Checks the zip for Windows users: both savers in folders of their own, each of
# its architecture and carrying the manifest, the sixteen tiles and their marker, the licence,
# and the guide that says which saver to use, with Windows line ends.
#   zip_test.sh <zip>
set -euo pipefail
zip=$1
here=$(cd "$(dirname "$0")" && pwd)
Fail() {
    echo "FAIL: $zip: $*" >&2
    exit 1
}
if [ ! -f "$zip" ]; then
    echo "SKIP: no $zip: cmake --build --preset win32 --target package"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
top=$(basename "$zip" .zip)
[ -d "$work/$top" ] || Fail "no top folder $top"
cd "$work/$top"

expected=(LICENSE.txt README.txt CLOUDS.txt clouds.png textures/tex.tex textures/SOURCES.txt
    win32/solvane.scr win64/solvane.scr)
for name in d11 d12 d13 d14 d21 d22 d23 d24 n11 n12 n13 n14 n21 n22 n23 n24; do
    expected+=("textures/$name.bmp")
done
[ "$(find . -type f | sed 's|^\./||' | sort)" = "$(printf '%s\n' "${expected[@]}" | sort)" ] ||
    Fail "unexpected contents: $(find . -type f | sort | tr '\n' ' ')"

bash "$here/manifest_test.sh" win32/solvane.scr pei-i386 >/dev/null
bash "$here/manifest_test.sh" win64/solvane.scr pei-x86-64 >/dev/null
grep -q 'win64\\solvane.scr for 64-bit Windows' README.txt || Fail "the guide names no 64-bit saver"
grep -q 'win32\\solvane.scr for 32-bit Windows' README.txt || Fail "the guide names no 32-bit saver"
grep -q '^MIT License' LICENSE.txt || Fail "no MIT licence in LICENSE.txt"
grep -q 'GPL-2+' CLOUDS.txt || Fail "CLOUDS.txt names no licence for the still clouds"
! grep -q '@PROJECT_VERSION@' README.txt || Fail "the guide's version was not filled in"
[ "$(grep -c $'\r$' README.txt)" = "$(wc -l <README.txt)" ] || Fail "the guide has Unix line ends"
echo "PASS $zip"
