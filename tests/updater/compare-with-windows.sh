#!/usr/bin/env bash
# Two handhelds from the same start state and one data file: zumbiko-update updates one
# natively, the Windows build's console updater the other under Wine as drive E:. Their
# memories must then be equal byte for byte.
#
#   compare-with-windows.sh HANDHELD_UPDATE_EXE NATIVE_BUILD_DIR
#
# Needs the Wine environment of scripts/wine-env in ours (WINEPREFIX and a running server),
# /dev/fuse, and the native build's handheld-emu, update-fixture and zumbiko-update. Exits 77
# (skipped) when any is missing.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/served-handhelds
source "$here/../../scripts/served-handhelds"

exe=${1:?handheld-update.exe}
native=${2:?native build directory}
updater="$native/tools/zumbiko-update/zumbiko-update"
[ -x "$updater" ] || { echo "skipped: no $updater"; exit 77; }
served_begin compare-with-windows "$native"
fixture=$SERVED_FIXTURE

fail() {
    echo "compare-with-windows: $*"
    exit 1
}

served_drives_install e
# The same start state for both: the fixture's handheld, each with a memory file of its own.
served_start linux --handheld windows || fail "handheld-emu did not come up"

# One data file: beside the Windows program, as a user installs it, and named to ours.
mkdir -p "$work/program"
cp "$exe" "$work/program/handheld-update.exe"
"$fixture" write-data "$work/program/Zumbiko Update.dat" || fail "no data file"

echo "== zumbiko-update, natively"
rc=0
"$updater" --device "$work/mnt/linux" --data "$work/program/Zumbiko Update.dat" --lang en \
    </dev/null || rc=$?
[ $rc -eq 0 ] || fail "zumbiko-update ended with $rc"

echo "== handheld-update.exe under Wine, the handheld as E:"
served_map e windows
rc=0
timeout 120 wine "$work/program/handheld-update.exe" </dev/null >"$work/run.log" 2>&1 || rc=$?
tr -d '\r' <"$work/run.log"
served_map e none
[ $rc -eq 0 ] || fail "handheld-update.exe ended with $rc"

# Memory files are saved as the emulator stops.
served_expect_closed
[ "$SERVED_FAILURES" -eq 0 ] || fail "the emulator did not end cleanly"
grep -q '^linux .*closing-block=yes protocol-errors=0' "$work/report" || fail "linux run incomplete"
grep -q '^windows .*closing-block=yes protocol-errors=0' "$work/report" || fail "windows run incomplete"
"$fixture" check-memory "$work/linux.memory" updated closing || fail "linux memory not updated"
[ "$(stat -c %s "$work/linux.memory")" -eq $((513 * 4096)) ] || fail "memory file of wrong size"
if ! cmp "$work/linux.memory" "$work/windows.memory"; then
    fail "the memories differ"
fi
echo "compare-with-windows: both memories equal byte for byte ($(stat -c %s "$work/linux.memory") bytes)"
