#!/usr/bin/env bash
# The Windows build's update against handhelds served over FUSE as Wine drives, checked
# natively afterwards.
#
#   wine-update.sh HANDHELD_UPDATE_EXE NATIVE_BUILD_DIR
#
# Needs the Wine environment of scripts/wine-env in ours (WINEPREFIX and a running server),
# /dev/fuse, and the native build's handheld-emu and update-fixture. Exits 77 (skipped) when
# any is missing.
set -uo pipefail

exe=${1:?handheld-update.exe}
native=${2:?native build directory}
emu="$native/tools/handheld-emu/handheld-emu"
fixture="$native/tests/device/update-fixture"

skip() {
    echo "skipped: $*"
    exit 77
}
[ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX/dosdevices" ] || skip "no Wine prefix in the environment"
[ -r /dev/fuse ] && [ -w /dev/fuse ] || skip "no /dev/fuse"
[ -x "$emu" ] && [ -x "$fixture" ] || skip "no native handheld-emu or update-fixture in $native"

work=$(mktemp -d "${TMPDIR:-/tmp}/wine-update-XXXXXX")
dev="$WINEPREFIX/dosdevices"
emu_pid=""
failures=0

# The server learns the drive letters when it starts: after changing them, start it anew,
# persistent and with no descriptor of ours, as scripts/wine-env does.
restart_wine_server() {
    wineserver -k >/dev/null 2>&1
    wineserver -p </dev/null >/dev/null 2>&1
    timeout 120 wine cmd /c exit </dev/null >/dev/null 2>&1
}

restore_drives() {
    local d changed=0
    for d in e: e:: f: f::; do
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
    if kill -0 "$emu_pid" 2>/dev/null; then
        echo "handheld-emu did not stop on SIGTERM"
        kill -KILL "$emu_pid"
        failures=$((failures + 1))
    fi
    wait "$emu_pid" 2>/dev/null
    emu_pid=""
    if grep -q " $work/mnt " /proc/mounts; then
        echo "handheld-emu left its mount behind"
        umount -l "$work/mnt"
        failures=$((failures + 1))
    fi
}

cleanup() {
    restore_drives
    stop_emu
    rm -rf "$work"
}
trap cleanup EXIT

# Serves the handhelds named, each with the fixture's options and a memory file of its own.
start_emu() {
    local args=() name
    for name in "$@"; do
        # shellcheck disable=SC2207
        args+=(--handheld "$name" --memory "$work/$name.memory" $("$fixture" handheld-options))
    done
    mkdir -p "$work/mnt"
    "$emu" "$work/mnt" --report "$work/report" "${args[@]}" >"$work/emu.log" 2>&1 &
    emu_pid=$!
    local i
    for ((i = 0; i < 100; i++)); do
        [ -e "$work/mnt/$1" ] && return 0
        sleep 0.1
    done
    echo "handheld-emu did not come up:"
    cat "$work/emu.log"
    return 1
}

map_drive() {
    local letter=$1 file=$2 d
    for d in "$letter:" "$letter::"; do
        if [ -L "$dev/$d" ] && [ ! -L "$work/saved-$d" ]; then mv "$dev/$d" "$work/saved-$d"; fi
    done
    ln -sfn "$work/mnt" "$dev/$letter:"
    ln -sfn "$file" "$dev/$letter::"
}

# The last close reaches the server after the program has gone: wait for it, then insist.
expect_no_handle_open() {
    local i
    for ((i = 0; i < 100; i++)); do
        grep -q 'open-handles=[1-9]' "$work/report" 2>/dev/null || break
        sleep 0.1
    done
    stop_emu
    if grep -q 'open-handles=[1-9]' "$work/report"; then
        echo "a handle was left open:"
        cat "$work/report"
        failures=$((failures + 1))
    fi
}

check() {
    if ! "$@"; then
        echo "failed: $*"
        failures=$((failures + 1))
    fi
}

# Runs the program beside its data file, as a user would; keeps its output in $work/run.log.
run_update() {
    mkdir -p "$work/program"
    cp "$exe" "$work/program/handheld-update.exe"
    "$fixture" write-data "$work/program/Zumbiko Update.dat"
    local rc=0
    timeout 120 wine "$work/program/handheld-update.exe" </dev/null >"$work/run.log" 2>&1 || rc=$?
    tr -d '\r' <"$work/run.log"
    return $rc
}

echo "== one handheld on E:"
start_emu toy || exit 1
map_drive e "$work/mnt/toy"
restart_wine_server
run_update
rc=$?
check [ $rc -eq 0 ]
expect_no_handle_open
cat "$work/report"
check grep -q 'toy .*closing-block=yes protocol-errors=0' "$work/report"
check "$fixture" check-memory "$work/toy.memory" updated closing
restore_drives

echo "== two handhelds, on E: and F:"
rm -f "$work/report"
start_emu one two || exit 1
map_drive e "$work/mnt/one"
map_drive f "$work/mnt/two"
restart_wine_server
run_update
rc=$?
check [ $rc -eq 3 ]
expect_no_handle_open
check grep -q 'one .*commands=0 ' "$work/report"
check grep -q 'two .*commands=0 ' "$work/report"
check "$fixture" check-memory "$work/one.memory" untouched no-closing

if [ $failures -ne 0 ]; then
    echo "wine-update: $failures check(s) failed"
    exit 1
fi
echo "wine-update: all checks passed"
