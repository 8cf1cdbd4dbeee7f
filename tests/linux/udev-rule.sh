#!/usr/bin/env bash
# The udev rule and its helper zumbiko-id on real block devices: loop devices over served
# handhelds and over disk images. `udevadm test` runs the rules as udev would, the helper
# included, without a udev daemon, and prints the tags and properties that result.
#
#   udev-rule.sh SOURCE_DIR NATIVE_BUILD_DIR
#
# Needs root, loop devices, /dev/fuse and udevadm, and exits 77 (skipped) without them. For
# the time of the test it puts a copy of the rule into /etc/udev/rules.d, with the helper
# named by its path and the gate opened for its own loop devices, and takes it away again on
# every path.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/served-handhelds
source "$here/../../scripts/served-handhelds"
source_dir=${1:?source directory}
native=$(cd "${2:?native build directory}" && pwd)
helper="$native/tools/zumbiko-id/zumbiko-id"
rule="$source_dir/packaging/70-zumbiko-handheld.rules"

skip() {
    echo "skipped: $*"
    exit 77
}
command -v udevadm >/dev/null || skip "no udevadm (Debian package udev)"
work=$(mktemp -d "${TMPDIR:-/tmp}/udev-rule-XXXXXX")
served_init "$work" "$native" loop || {
    rm -rf "$work"
    skip "see above"
}
installed="/etc/udev/rules.d/70-zumbiko-test-$$.rules"
cleanup() {
    rm -f "$installed"
    served_cleanup
    rm -rf "$work"
}
trap cleanup EXIT

# The handheld's identification and a partition table, written into disk images.
put() { printf '%b' "$2" | dd of="$1" bs=1 seek="$3" conv=notrunc status=none; }
identify_at() { put "$1" 'SITRONIXTM\x00' $(($2 * 512 + 43)); }
# One FAT16 partition from sector 2048 on, 2048 sectors long.
partition_table() {
    put "$1" '\x00\x00\x00\x00\x0e\x00\x00\x00\x00\x08\x00\x00\x00\x08\x00\x00' 446
    put "$1" '\x55\xaa' 510
}

served_start fresh --handheld spaced --label "SITRONIXTM " --handheld probed \
    --handheld slow --byte-rate 64 || exit 1
mnt=$SERVED_WORK/mnt

echo "== zumbiko-id on anything"
truncate -s 2M "$work/handheld.img" "$work/on-partition.img"
identify_at "$work/handheld.img" 0
partition_table "$work/handheld.img"
partition_table "$work/on-partition.img"
identify_at "$work/on-partition.img" 2048
mkfs.fat -n SITRONIXTM -C "$work/stick.img" 2048 >/dev/null
: >"$work/empty"
head -c 53 "$mnt/fresh" >"$work/cut"
mkfifo "$work/fifo"
mknod "$work/disc" b 11 0 2>/dev/null || echo "(no mknod here: disc drive row left out)"
mknod "$work/floppy" b 2 0 2>/dev/null || echo "(no mknod here: floppy drive row left out)"
# path, exit status, what it prints
while read -r path status says; do
    [ -e "$path" ] || [ "$path" = "$work/absent" ] || continue
    rc=0
    out=$("$helper" "$path" 2>&1) || rc=$?
    echo "$path: $rc ${out:-(nothing)}"
    check [ "$rc" -eq "$status" ]
    check grep -q -- "$says" <<<"${out:-nothing}"
done <<EOF_TABLE
$mnt/fresh 0 ^ZUMBIKO_HANDHELD=1$
$work/handheld.img 0 ^ZUMBIKO_HANDHELD=1$
$mnt/spaced 0 nothing
$work/stick.img 0 nothing
$work/empty 0 nothing
$work/cut 0 nothing
$work/fifo 1 left alone
$work 1 left alone
/dev/null 1 left alone
$work/disc 1 left alone
$work/floppy 1 left alone
$work/absent 1 No such file
EOF_TABLE
# Started with no standard streams, as a careless caller might: the answer still comes back
# from the reading child.
rc=0
"$helper" "$work/handheld.img" <&- >&- 2>&- || rc=$?
check [ "$rc" -eq 0 ]

# A disk that does not answer in time: the helper gives up, and udev, reading its output,
# is not kept waiting by the read left behind.
served_loop slow
slow=$SERVED_LOOP
start=$(date +%s)
rc=0
out=$("$helper" "$slow" 2>&1) || rc=$?
took=$(($(date +%s) - start))
echo "$slow (8 s for a sector): $rc $out, after $took s"
check [ "$rc" -eq 1 ]
check grep -q "no answer within 5 s" <<<"$out"
check [ "$took" -le 7 ]
# One read of one sector, nothing written.
served_loop probed
check grep -qx ZUMBIKO_HANDHELD=1 <("$helper" "$SERVED_LOOP")
# A disk of 4096-byte logical sectors, where a direct read of 512 bytes fails.
served_loop "$work/handheld.img" --sector-size 4096
check grep -qx ZUMBIKO_HANDHELD=1 <("$helper" "$SERVED_LOOP")

echo "== the rule"
served_loop fresh
fresh=${SERVED_LOOP#/dev/}
served_loop "$work/stick.img"
stick=${SERVED_LOOP#/dev/}
# A kernel without partition table support still takes the partitions partx reads.
served_loop "$work/handheld.img" --partscan
partx -a "$SERVED_LOOP" 2>/dev/null || true
whole=${SERVED_LOOP#/dev/}
served_loop "$work/on-partition.img" --partscan
partx -a "$SERVED_LOOP" 2>/dev/null || true
table=${SERVED_LOOP#/dev/}
devices=("$fresh" "$stick" "$whole" "${whole}p1" "$table" "${table}p1")
for device in "${devices[@]}"; do served_udev_test "$device" >"$work/$device.before"; done

# As shipped, with the helper named by its path: a loop device is no drive a person plugs in.
sed "s|IMPORT{program}=\"zumbiko-id |IMPORT{program}=\"$helper |" "$rule" >"$installed"
served_udev_test "$fresh" >"$work/$fresh.shipped"
check diff "$work/$fresh.before" "$work/$fresh.shipped"

# Opened for these loop devices as the gate opens for a USB disk.
gate=""
for device in "$fresh" "$stick" "$whole" "$table"; do gate+="${gate:+|}$device*"; done
sed -i "/^ENV{ID_BUS}==\"usb\"/a KERNEL==\"$gate\", GOTO=\"zumbiko_plugged\"" "$installed"
# device, and whether it is a handheld: the served one, a disk image that carries the
# identification and its partition, a partition that carries it on a disk that does not.
# A FAT stick labelled SITRONIXTM, padded with a space, as udev's own label shows it, is not.
while read -r device handheld; do
    served_udev_test "$device" >"$work/$device.after"
    changes=$(diff "$work/$device.before" "$work/$device.after" | grep '^[<>]' | tr '\n' ' ' || true)
    echo "$device: ${changes:-unchanged}"
    if [ "$handheld" = yes ]; then
        # The seat tag and the run of the uaccess builtin are what udev adds for uaccess.
        check [ "$changes" = "> CURRENT_TAGS=seat > CURRENT_TAGS=uaccess > TAGS=seat > TAGS=uaccess > UDISKS_IGNORE=1 > ZUMBIKO_HANDHELD=1 > run: 'uaccess' " ]
    else
        check [ -z "$changes" ]
    fi
done <<EOF_TABLE
$fresh yes
$stick no
$whole yes
${whole}p1 yes
$table no
${table}p1 yes
EOF_TABLE
grep -h '^ID_FS_LABEL=' "$work/$stick.after" | sed "s/^/$stick: /"

rm -f "$installed"
served_expect_closed
check grep -q '^probed .* sector-reads=1 sector-writes=0 ' "$SERVED_WORK/report"
check grep -q '^spaced .* sector-writes=0 ' "$SERVED_WORK/report"
[ "$SERVED_FAILURES" -eq 0 ] || {
    echo "udev-rule: $SERVED_FAILURES check(s) failed"
    exit 1
}
echo "udev-rule: all checks passed"
