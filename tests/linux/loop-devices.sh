#!/usr/bin/env bash
# zumbiko-update on real block devices: loop devices over served handhelds, with the block
# layer, its alignment rules and a device node, as a USB disk has them. Each result with its
# effect on the handheld's memory, and the time of an update through the loop device next to
# one through the served file.
#
#   loop-devices.sh NATIVE_BUILD_DIR [ZUMBIKO_UPDATE]
#
# ZUMBIKO_UPDATE is the program to run, the build's by default. Needs root, loop devices
# and /dev/fuse; exits 77 (skipped) without them.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/served-handhelds
source "$here/../../scripts/served-handhelds"
native=${1:?native build directory}
updater=${2:-$native/tools/zumbiko-update/zumbiko-update}
work=$(mktemp -d "${TMPDIR:-/tmp}/loop-devices-XXXXXX")
served_init "$work" "$native" loop || {
    rm -rf "$work"
    echo "skipped: see above"
    exit 77
}
cleanup() {
    served_cleanup
    rm -rf "$work"
}
trap cleanup EXIT

"$SERVED_FIXTURE" write-data "$work/fixture.dat"

served_start fresh --handheld served --handheld plain --label "NO NAME" \
    --handheld failing --fail-op 2 --handheld vanishing --vanish-after 12 || exit 1

# update DEVICE: the program's exit status; its output goes to $work/run.log.
update() {
    local rc=0
    "$updater" --device "$1" --data "$work/fixture.dat" --lang en </dev/null >"$work/run.log" 2>&1 || rc=$?
    return $rc
}
milliseconds() { echo $(($(date +%s%N) / 1000000)); }

echo "== each result through a loop device"
# handheld, exit status, what the program says
while read -r name status says; do
    served_loop "$name"
    start=$(milliseconds)
    rc=0
    update "$SERVED_LOOP" || rc=$?
    echo "$name on $SERVED_LOOP: $rc in $(($(milliseconds) - start)) ms"
    check [ "$rc" -eq "$status" ]
    check grep -q "$says" "$work/run.log"
done <<EOF_TABLE
fresh 0 Handheld device has been updated.
plain 2 does not carry the handheld's identification
failing 5 error has occurred while reading
vanishing 11 error occurred while writing data
EOF_TABLE
start=$(milliseconds)
rc=0
update "$SERVED_WORK/mnt/served" || rc=$?
echo "served on its FUSE file: $rc in $(($(milliseconds) - start)) ms"
check [ "$rc" -eq 0 ]

served_expect_closed
report=$SERVED_WORK/report
for name in fresh served plain failing vanishing; do
    check grep -q "^$name .* protocol-errors=0$" "$report"
done
check grep -q '^vanishing .* failed-ops=[1-9].* closing-block=no ' "$report"
# handheld, the state of its memory, closing block; the vanished one is partly written.
while read -r name state closing; do
    check "$SERVED_FIXTURE" check-memory "$work/$name.memory" "$state" "$closing"
done <<EOF_TABLE
fresh updated closing
served updated closing
plain untouched no-closing
failing untouched no-closing
EOF_TABLE
[ "$SERVED_FAILURES" -eq 0 ] || {
    echo "loop-devices: $SERVED_FAILURES check(s) failed"
    exit 1
}
echo "loop-devices: all checks passed"
