#!/usr/bin/env bash
# zumbiko-update on real block devices: loop devices over served handhelds, with the block
# layer, its alignment rules and a device node, as a USB disk has them. Each result with its
# effect on the handheld's memory, and the time of an update through the loop device next to
# one through the served file. A handheld mounted (also through a loop device over it), held
# by another program or run, or write-protected is refused before anything is sent, one of
# 4096-byte sectors too, and an update runs to its end whatever signal, closed pipe or closed
# stream comes in the middle.
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
held_elsewhere=""
cleanup() {
    if [ -n "$held_elsewhere" ]; then kill "$held_elsewhere" 2>/dev/null || true; fi
    if mountpoint -q "$work/my toy" 2>/dev/null; then umount "$work/my toy"; fi
    if mountpoint -q "$work/ram" 2>/dev/null; then umount "$work/ram"; fi
    served_cleanup
    rm -rf "$work"
}
trap cleanup EXIT

"$SERVED_FIXTURE" write-data "$work/fixture.dat"

# The paced ones take about a second to write, time for a signal to come in between.
paced=(--byte-rate 2097152)
served_start fresh --handheld served --handheld plain --label "NO NAME" \
    --handheld failing --fail-op 2 --handheld vanishing --vanish-after 12 --handheld sectored \
    --handheld held-int "${paced[@]}" --handheld held-term "${paced[@]}" \
    --handheld held-hup "${paced[@]}" --handheld held-quit "${paced[@]}" \
    --handheld piped "${paced[@]}" --handheld shared "${paced[@]}" --handheld protected || exit 1

# update DEVICE: the program's exit status; its output goes to $work/run.log.
update() {
    local rc=0
    "$updater" --device "$1" --data "$work/fixture.dat" --lang en </dev/null >"$work/run.log" 2>&1 || rc=$?
    return $rc
}
milliseconds() { echo $(($(date +%s%N) / 1000000)); }
# until_progress LOG: waits, 4 s at most, until a run in the background has written a fifth.
until_progress() {
    local i
    for ((i = 0; i < 200; i++)); do grep -qs ' 20%' "$1" && break; sleep 0.02; done
}

# A message's text, with its line ends, from the program's message table.
said() { printf '%b' "$("$SERVED_FIXTURE" message "$1" en)"; }

echo "== each result through a loop device"
# handheld, exit status, what the program says: msg:ID is that message's text
while read -r name status says; do
    served_loop "$name"
    start=$(milliseconds)
    rc=0
    update "$SERVED_LOOP" || rc=$?
    echo "$name on $SERVED_LOOP: $rc in $(($(milliseconds) - start)) ms"
    check [ "$rc" -eq "$status" ]
    if [[ $says == msg:* ]]; then
        check grep -qzF -- "$(said "${says#msg:}")" "$work/run.log"
    else
        check grep -q "$says" "$work/run.log"
    fi
done <<EOF_TABLE
fresh 0 msg:1
plain 2 does not carry the handheld's identification
failing 5 msg:6
vanishing 11 msg:11
EOF_TABLE
start=$(milliseconds)
rc=0
update "$SERVED_WORK/mnt/served" || rc=$?
echo "served on its FUSE file: $rc in $(($(milliseconds) - start)) ms"
check [ "$rc" -eq 0 ]

echo "== 4096-byte sectors: a handheld is refused before anything is sent, a stick is none"
served_loop sectored --sector-size 4096
rc=0
update "$SERVED_LOOP" || rc=$?
check [ "$rc" -eq 5 ]
check grep -q "but its sectors are 4096 bytes long" "$work/run.log"
served_loop plain --sector-size 4096
rc=0
update "$SERVED_LOOP" || rc=$?
check [ "$rc" -eq 2 ]
check grep -q "does not carry the handheld's identification" "$work/run.log"

echo "== write-protected: refused before anything is sent"
served_loop protected --read-only
rc=0
update "$SERVED_LOOP" || rc=$?
check [ "$rc" -eq 5 ]
check grep -q "is write-protected" "$work/run.log"

echo "== mounted or held elsewhere: refused before anything is sent"
# An ext2 volume leaves the first 1024 bytes alone, so it can carry the identification.
truncate -s 4M "$work/mounted.img"
mkfs.ext2 -q -F "$work/mounted.img"
printf 'SITRONIXTM\0' | dd of="$work/mounted.img" bs=1 seek=43 conv=notrunc status=none
cp "$work/mounted.img" "$work/mounted.orig"
served_loop "$work/mounted.img"
mounted=$SERVED_LOOP
mkdir -p "$work/my toy"
# Mounted through a node deleted since, and named through a link whose name needs quoting.
mknod "$work/node" b "$((16#$(stat -c %t "$mounted")))" "$((16#$(stat -c %T "$mounted")))"
if mount -o ro "$work/node" "$work/my toy" 2>/dev/null; then
    rm "$work/node"
    ln -s "$mounted" "$work/the toy"
    rc=0
    update "$work/the toy" || rc=$?
    check [ "$rc" -eq 12 ]
    check grep -qF "The handheld $work/the toy is mounted at $work/my toy." "$work/run.log"
    check grep -qF "udisksctl unmount -b '$work/the toy' (or: sudo umount '$work/my toy')" "$work/run.log"
    umount "$work/my toy"
    # Mounted through a loop device over the loop device, which claims nothing: neither the
    # loop device nor the image it reads may be written, mounted or not.
    mount -o loop,ro "$mounted" "$work/my toy"
    for drive in "$mounted" "$work/mounted.img"; do
        rc=0
        update "$drive" || rc=$?
        check [ "$rc" -eq 14 ]
        check grep -q "^$drive is what the loop device /dev/loop[0-9]* reads from" "$work/run.log"
    done
    umount "$work/my toy"
    # Mounted in a mount namespace of its own, where this one cannot see it.
    # shellcheck disable=SC2016 # the inner shell expands its own arguments
    unshare -m sh -c 'mount -o ro "$1" "$2" && echo up && exec sleep 60' - "$mounted" "$work/my toy" \
        >"$work/elsewhere.log" 2>&1 &
    held_elsewhere=$!
    for ((i = 0; i < 100; i++)); do grep -qs up "$work/elsewhere.log" && break; sleep 0.05; done
    rc=0
    update "$mounted" || rc=$?
    check [ "$rc" -eq 14 ]
    check grep -q "^$mounted is in use: another program" "$work/run.log"
    kill "$held_elsewhere"
    wait "$held_elsewhere" 2>/dev/null || true
    held_elsewhere=""
else
    echo "(this kernel mounts no ext2: the mounted rows are left out)"
fi
check cmp "$work/mounted.img" "$work/mounted.orig"

echo "== another run on the same file waits for nothing and touches nothing"
"$updater" --device "$SERVED_WORK/mnt/shared" --data "$work/fixture.dat" --lang en </dev/null \
    >"$work/shared.log" 2>&1 &
pid=$!
until_progress "$work/shared.log"
rc=0
update "$SERVED_WORK/mnt/shared" || rc=$?
check [ "$rc" -eq 14 ]
check grep -q "is in use" "$work/run.log"
rc=0
wait "$pid" || rc=$?
check [ "$rc" -eq 0 ]

echo "== started with its output closed, no message lands on the drive"
# On tmpfs, where nothing holds an unbuffered write to whole sectors.
mkdir "$work/ram"
mount -t tmpfs none "$work/ram"
truncate -s 2M "$work/ram/toy.img"
printf 'SITRONIXTM\0' | dd of="$work/ram/toy.img" bs=1 seek=43 conv=notrunc status=none
head -c 512 "$work/ram/toy.img" >"$work/toy.sector0"
"$updater" --device "$work/ram/toy.img" --data "$work/fixture.dat" </dev/null >&- 2>&- || true
check cmp -n 512 "$work/ram/toy.img" "$work/toy.sector0"
umount "$work/ram"

echo "== a signal in the middle of the write-back waits for its end"
# Background jobs of a script ignore SIGINT unless told otherwise, as a terminal's are not.
# SIGQUIT dumps no core here.
ulimit -c 0
for signal in INT TERM HUP QUIT; do
    name=held-${signal,,}
    served_loop "$name"
    env --default-signal=INT,TERM,HUP,QUIT "$updater" --device "$SERVED_LOOP" \
        --data "$work/fixture.dat" --lang en </dev/null >"$work/$name.log" 2>&1 &
    pid=$!
    until_progress "$work/$name.log"
    if [ "$signal" = INT ]; then
        # Meanwhile the handheld is this run's alone.
        rc=0
        update "$SERVED_LOOP" || rc=$?
        check [ "$rc" -eq 14 ]
    fi
    check kill -s "$signal" "$pid"
    rc=0
    wait "$pid" || rc=$?
    echo "SIG$signal after 20%: $rc"
    check [ "$rc" -eq $((128 + $(kill -l "$signal"))) ]
    check grep -qzF -- "$(said 1)" "$work/$name.log"
    check grep -q "^SIG$signal came while zumbiko-update was using the handheld" "$work/$name.log"
done
served_loop piped
set +e
"$updater" --device "$SERVED_LOOP" --data "$work/fixture.dat" --lang en </dev/null \
    2>"$work/piped.err" | head -n 1 >/dev/null
statuses=("${PIPESTATUS[@]}")
set -e
echo "zumbiko-update | head -n 1: ${statuses[*]}"
check [ "${statuses[0]}" -eq 0 ]
check grep -qzF -- "$(said 1)" "$work/piped.err"

served_expect_closed
report=$SERVED_WORK/report
check grep -q '^sectored .* commands=0 ' "$report"
check grep -q '^protected .* commands=0 ' "$report"
for name in fresh served plain failing vanishing sectored held-int held-term held-hup held-quit \
    piped shared protected; do
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
sectored untouched no-closing
held-int updated closing
held-term updated closing
held-hup updated closing
held-quit updated closing
piped updated closing
shared updated closing
protected untouched no-closing
EOF_TABLE
[ "$SERVED_FAILURES" -eq 0 ] || {
    echo "loop-devices: $SERVED_FAILURES check(s) failed"
    exit 1
}
echo "loop-devices: all checks passed"
