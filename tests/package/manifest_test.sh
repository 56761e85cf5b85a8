#!/usr/bin/env bash
# Checks the application manifest that a solvane.scr embeds: exactly one, as
# resource 1 of type RT_MANIFEST (what Windows reads at process start), well-formed
# XML, and declaring what the saver relies on. Windows ignores a setting whose
# element sits in the wrong namespace, so each one is checked with its namespace.
#   manifest_test.sh <solvane.scr> <pe-i386|pe-x86-64>
set -euo pipefail
scr=$1 format=$2
Fail() {
    echo "FAIL: $scr: $*" >&2
    exit 1
}
if [ ! -f "$scr" ]; then
    echo "SKIP: no $scr: build its preset first"
    exit 77
fi
objdump_format=$(x86_64-w64-mingw32-objdump -f "$scr" | sed -n 's/.*file format //p')
[ "$objdump_format" = "$format" ] || Fail "file format $objdump_format, expected $format"

listed=$(wrestool -l --type=24 "$scr")
[ "$(printf '%s\n' "$listed" | grep -c .)" = 1 ] || Fail "expected one manifest, found: $listed"
printf '%s\n' "$listed" | grep -q -- '--name=1 ' || Fail "the manifest is not resource 1: $listed"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
manifest=$work/manifest.xml
wrestool -x --raw --type=24 --name=1 "$scr" >"$manifest"
xmllint --noout "$manifest" || Fail "the manifest is not well-formed XML"

# The text of the first node the XPath expression selects, or nothing.
XPathText() { xmllint --xpath "$1" "$manifest" 2>/dev/null || true; }
Expect() { # what xpath expected-text
    local found
    found=$(XPathText "$2")
    [ "$found" = "$3" ] || Fail "$1: found '$found', expected '$3'"
    echo "ok: $1"
}
readonly ASM_V1=urn:schemas-microsoft-com:asm.v1
readonly ASM_V3=urn:schemas-microsoft-com:asm.v3
readonly COMPAT=urn:schemas-microsoft-com:compatibility.v1
readonly SMI_2005=http://schemas.microsoft.com/SMI/2005/WindowsSettings
readonly SMI_2016=http://schemas.microsoft.com/SMI/2016/WindowsSettings
El() { echo "*[local-name()='$1' and namespace-uri()='$2']"; }

Expect "root element" "name(/*)" assembly
Expect "root namespace" "namespace-uri(/*)" "$ASM_V1"
Expect "manifest version" "string(/*/@manifestVersion)" 1.0

settings="/$(El assembly "$ASM_V1")/$(El application "$ASM_V3")/$(El windowsSettings "$ASM_V3")"
Expect "per-monitor v2 DPI awareness" "normalize-space($settings/$(El dpiAwareness "$SMI_2016"))" \
    "PerMonitorV2, PerMonitor"
Expect "dpiAware fallback" "normalize-space($settings/$(El dpiAware "$SMI_2005"))" "true/pm"

controls="/$(El assembly "$ASM_V1")/$(El dependency "$ASM_V1")/$(El dependentAssembly "$ASM_V1")/$(El assemblyIdentity "$ASM_V1")[@name='Microsoft.Windows.Common-Controls']"
Expect "common controls version" "string($controls/@version)" 6.0.0.0
Expect "common controls key" "string($controls/@publicKeyToken)" 6595b64144ccf1df
Expect "common controls type" "string($controls/@type)" win32

os="/$(El assembly "$ASM_V1")/$(El compatibility "$COMPAT")/$(El application "$COMPAT")/$(El supportedOS "$COMPAT")"
for entry in "Windows 7:{35138b9a-5d96-4fbd-8e2d-a2440225f93a}" \
    "Windows 8:{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}" \
    "Windows 8.1:{1f676c76-80e1-4239-95bb-83d0f6d0da78}" \
    "Windows 10 and 11:{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"; do
    Expect "supported: ${entry%%:*}" "string(${os}[@Id='${entry#*:}']/@Id)" "${entry#*:}"
done

Expect "runs as the invoker" \
    "string(//$(El requestedExecutionLevel "$ASM_V3")/@level)" asInvoker
echo "PASS $scr"
