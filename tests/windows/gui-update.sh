#!/usr/bin/env bash
# Zumbiko Update.exe updates a handheld served over FUSE as drive E:, driven through its
# windows by program_tests; the handheld's memory is checked natively afterwards.
#
#   gui-update.sh PROGRAM_TESTS_EXE ZUMBIKO_UPDATE_EXE NATIVE_BUILD_DIR
#
# Needs the Wine environment of scripts/wine-env in ours, /dev/fuse and the native build's
# handheld-emu and update-fixture. Exits 77 (skipped) when any is missing.
set -uo pipefail

driver=${1:?program_tests.exe}
program=${2:?Zumbiko Update.exe}
native=${3:?native build directory}
emu="$native/tools/handheld-emu/handheld-emu"
fixture="$native/tests/device/update-fixture"

skip() {
    echo "skipped: $*"
    exit 77
}
[ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX/dosdevices" ] || skip "no Wine prefix in the environment"
[ -n "${DISPLAY:-}" ] || skip "no X display"
[ -r /dev/fuse ] && [ -w /dev/fuse ] || skip "no /dev/fuse"
[ -x "$emu" ] && [ -x "$fixture" ] || skip "no native handheld-emu or update-fixture in $native"

work=$(mktemp -d "${TMPDIR:-/tmp}/gui-update-XXXXXX")
dev="$WINEPREFIX/dosdevices"
emu_pid=""
failures=0

# The server learns drive letters when it starts; start it anew after changing them.
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
}

cleanup() {
    restore_drive
    stop_emu
    rm -rf "$work"
}
trap cleanup EXIT

not() { ! "$@"; }

check() {
    if ! "$@"; then
        echo "failed: $*"
        failures=$((failures + 1))
    fi
}

mkdir -p "$work/mnt" "$work/program"
# shellcheck disable=SC2046
"$emu" "$work/mnt" --report "$work/report" --handheld toy --memory "$work/toy.memory" \
    $("$fixture" handheld-options) >"$work/emu.log" 2>&1 &
emu_pid=$!
for ((i = 0; i < 100; i++)); do
    [ -e "$work/mnt/toy" ] && break
    sleep 0.1
done
[ -e "$work/mnt/toy" ] || { cat "$work/emu.log"; exit 1; }

for d in e: e::; do
    if [ -L "$dev/$d" ]; then mv "$dev/$d" "$work/saved-$d"; fi
done
ln -sfn "$work/mnt" "$dev/e:"
ln -sfn "$work/mnt/toy" "$dev/e::"
restart_wine_server

# The program as a user has it: beside its data file.
cp "$program" "$work/program/Zumbiko Update.exe"
"$fixture" write-data "$work/program/Zumbiko Update.dat"
ZUMBIKO_PROGRAM=$(winepath -w "$work/program/Zumbiko Update.exe" 2>/dev/null)
export ZUMBIKO_PROGRAM
export WINEDEBUG=-all
timeout 240 wine "$driver" --gtest_filter='Program.UpdatesTheHandheldOnDriveE' </dev/null 2>&1 |
    tr -d '\r' | tee "$work/driver.log"
check grep -q '^\[  PASSED  \] 1 test' "$work/driver.log"

for ((i = 0; i < 100; i++)); do
    grep -q 'open-handles=[1-9]' "$work/report" 2>/dev/null || break
    sleep 0.1
done
stop_emu
cat "$work/report"
check not grep -q "open-handles=[1-9]" "$work/report"
check grep -q 'toy .*closing-block=yes protocol-errors=0' "$work/report"
check "$fixture" check-memory "$work/toy.memory" updated closing

if [ $failures -ne 0 ]; then
    echo "gui-update: $failures check(s) failed"
    exit 1
fi
echo "gui-update: all checks passed"
