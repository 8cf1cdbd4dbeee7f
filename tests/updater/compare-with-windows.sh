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
set -uo pipefail

exe=${1:?handheld-update.exe}
native=${2:?native build directory}
emu="$native/tools/handheld-emu/handheld-emu"
fixture="$native/tests/device/update-fixture"
updater="$native/tools/zumbiko-update/zumbiko-update"

skip() {
    echo "skipped: $*"
    exit 77
}
[ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX/dosdevices" ] || skip "no Wine prefix in the environment"
[ -r /dev/fuse ] && [ -w /dev/fuse ] || skip "no /dev/fuse"
for tool in "$emu" "$fixture" "$updater"; do
    [ -x "$tool" ] || skip "no $tool"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/compare-with-windows-XXXXXX")
dev="$WINEPREFIX/dosdevices"
emu_pid=""

# The server learns the drive letters when it starts.
restart_wine_server() {
    wineserver -k >/dev/null 2>&1
    wineserver -p </dev/null >/dev/null 2>&1
    timeout 120 wine cmd /c exit </dev/null >/dev/null 2>&1
}

restore_drive() {
    local d changed=0
    for d in e: e::; do
        [ -L "$dev/$d" ] && rm -f "$dev/$d" && changed=1
        [ -L "$work/saved-$d" ] && mv "$work/saved-$d" "$dev/$d"
    done
    [ $changed -eq 0 ] || restart_wine_server
}

stop_emu() {
    [ -n "$emu_pid" ] || return 0
    kill -TERM "$emu_pid" 2>/dev/null
    local i
    for ((i = 0; i < 100; i++)); do
        kill -0 "$emu_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$emu_pid" 2>/dev/null && kill -KILL "$emu_pid"
    wait "$emu_pid" 2>/dev/null
    emu_pid=""
    grep -q " $work/mnt " /proc/mounts && umount -l "$work/mnt"
    return 0
}

cleanup() {
    restore_drive
    stop_emu
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "compare-with-windows: $*"
    exit 1
}

# The same start state for both: the fixture's handheld, each with a memory file of its own.
mkdir -p "$work/mnt" "$work/program"
# shellcheck disable=SC2207
options=($("$fixture" handheld-options))
"$emu" "$work/mnt" --report "$work/report" \
    --handheld linux --memory "$work/linux.memory" "${options[@]}" \
    --handheld windows --memory "$work/windows.memory" "${options[@]}" >"$work/emu.log" 2>&1 &
emu_pid=$!
for ((i = 0; i < 100; i++)); do
    [ -e "$work/mnt/windows" ] && break
    sleep 0.1
done
[ -e "$work/mnt/windows" ] || fail "handheld-emu did not come up: $(cat "$work/emu.log")"

# One data file: beside the Windows program, as a user installs it, and named to ours.
cp "$exe" "$work/program/handheld-update.exe"
"$fixture" write-data "$work/program/Zumbiko Update.dat" || fail "no data file"

echo "== zumbiko-update, natively"
"$updater" --device "$work/mnt/linux" --data "$work/program/Zumbiko Update.dat" --lang en </dev/null
rc=$?
[ $rc -eq 0 ] || fail "zumbiko-update ended with $rc"

echo "== handheld-update.exe under Wine, the handheld as E:"
for d in e: e::; do
    if [ -L "$dev/$d" ]; then mv "$dev/$d" "$work/saved-$d"; fi
done
ln -sfn "$work/mnt" "$dev/e:"
ln -sfn "$work/mnt/windows" "$dev/e::"
restart_wine_server
rc=0
timeout 120 wine "$work/program/handheld-update.exe" </dev/null >"$work/run.log" 2>&1 || rc=$?
tr -d '\r' <"$work/run.log"
restore_drive
[ $rc -eq 0 ] || fail "handheld-update.exe ended with $rc"

# Memory files are saved as the emulator stops.
stop_emu
cat "$work/report"
grep -q '^linux .*closing-block=yes protocol-errors=0' "$work/report" || fail "linux run incomplete"
grep -q '^windows .*closing-block=yes protocol-errors=0' "$work/report" || fail "windows run incomplete"
"$fixture" check-memory "$work/linux.memory" updated closing || fail "linux memory not updated"
[ "$(stat -c %s "$work/linux.memory")" -eq $((513 * 4096)) ] || fail "memory file of wrong size"
if ! cmp "$work/linux.memory" "$work/windows.memory"; then
    fail "the memories differ"
fi
echo "compare-with-windows: both memories equal byte for byte ($(stat -c %s "$work/linux.memory") bytes)"
