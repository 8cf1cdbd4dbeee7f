#!/usr/bin/env bash
# The Windows build's update against handhelds served over FUSE as Wine drives, checked
# natively afterwards.
#
#   wine-update.sh HANDHELD_UPDATE_EXE NATIVE_BUILD_DIR
#
# Needs the Wine environment of scripts/wine-env in ours (WINEPREFIX and a running server),
# /dev/fuse, and the native build's handheld-emu and update-fixture. Exits 77 (skipped) when
# any is missing.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/served-handhelds
source "$here/../../scripts/served-handhelds"

exe=${1:?handheld-update.exe}
native=${2:?native build directory}
served_begin wine-update "$native"
served_drives_install e f
fixture=$SERVED_FIXTURE

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

# EXIT_CODE E F HANDHELD-EMU-ARGUMENTS...: serves the handhelds, puts the ones named at E: and
# F: (or none), updates and expects the exit code; every handle must be closed afterwards.
update_with() {
    local expected=$1 rc=0
    served_start "${@:4}"
    served_map e "$2"
    served_map f "$3"
    run_update || rc=$?
    check [ $rc -eq "$expected" ]
    served_expect_closed
}

echo "== one handheld on E:"
update_with 0 toy none toy
check grep -q 'toy .*closing-block=yes protocol-errors=0' "$work/report"
check "$fixture" check-memory "$work/toy.memory" updated closing

echo "== two handhelds, on E: and F:"
update_with 3 one two one --handheld two
check grep -q 'one .*commands=0 ' "$work/report"
check grep -q 'two .*commands=0 ' "$work/report"
check "$fixture" check-memory "$work/one.memory" untouched no-closing

if [ "$SERVED_FAILURES" -ne 0 ]; then
    echo "wine-update: $SERVED_FAILURES check(s) failed"
    exit 1
fi
echo "wine-update: all checks passed"
