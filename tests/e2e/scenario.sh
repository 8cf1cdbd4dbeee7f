#!/usr/bin/env bash
# One end-to-end scenario: the real Zumbiko Update.exe under Wine, driven through its windows
# by ui-driver, against handhelds served over FUSE as drives E: and F:. Afterwards the
# emulator must report every handle closed and the handheld's memory must be as the result
# says; the program must end with 0 when closed.
#
#   scenario.sh NAME[@WINDOWS] UI_DRIVER_EXE PROGRAM_EXE NATIVE_BUILD_DIR SHOT_DIR
#   scenario.sh map-drives|restore-drives NATIVE_BUILD_DIR
#
# @WINDOWS runs the scenario with the prefix claiming that Windows version (winxp, win10...);
# @NNNdpi runs it with the display scaled to NNN dots per inch (120 is 125 %, 144 is 150 %).
#
# Needs the Wine environment of scripts/wine-env in ours. Exits 77 (skipped) without Wine,
# an X display, /dev/fuse or the native build's handheld-emu and update-fixture.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/served-handhelds
source "$here/../../scripts/served-handhelds"

name=${1:?scenario name}
claimed_windows=""
if [[ $name == *@* ]]; then
    claimed_windows=${name#*@}
    name=${name%@*}
fi
if [ "$name" = map-drives ] || [ "$name" = restore-drives ]; then
    native=${2:?native build directory}
else
    ui_driver=${2:?ui-driver.exe}
    program=${3:?Zumbiko Update.exe}
    native=${4:?native build directory}
    shots=${5:?screenshot directory}
fi
[ -n "${DISPLAY:-}" ] || { echo "skipped: no X display"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/scenario-XXXXXX")
served_init "$work" "$native" || { rm -rf "$work"; echo "skipped"; exit 77; }

winver_saved=""
cleanup() {
    [ -z "${driver_pid:-}" ] || kill "$driver_pid" 2>/dev/null || true
    [ -z "$winver_saved" ] || windows_version "$winver_saved"
    [[ ! ${claimed_windows:-} =~ dpi$ ]] || display_dpi 96
    served_cleanup
    rm -rf "$work"
}
trap cleanup EXIT

case "$name" in
map-drives)
    # Kept for the scenarios that follow; restore-drives puts the prefix back.
    served_drives_install e f
    SERVED_INSTALLED=""
    exit 0
    ;;
restore-drives)
    served_drives_remove
    exit 0
    ;;
esac

fixture=$SERVED_FIXTURE
log="$work/driver.log"
: >"$log"
[ -z "$claimed_windows" ] || shots="$shots/$claimed_windows"
mkdir -p "$work/program" "$work/signals" "$shots"
cp "$program" "$work/program/Zumbiko Update.exe"
program_win=$(winepath -w "$work/program/Zumbiko Update.exe" 2>/dev/null)
shots_win=$(winepath -w "$shots" 2>/dev/null)
signals_win=$(winepath -w "$work/signals" 2>/dev/null)
served_drives_install e f

# Data files come from the fixture, never from hand-written bytes.
data_file() { "$fixture" write-data "$work/program/Zumbiko Update.dat" "${1:-standard}"; }

# Runs the driver in the background; its lines go to $log.
drive() {
    timeout 120 wine "$ui_driver" --program "$program_win" --shots "$shots_win" \
        --signals "$signals_win" "$@" </dev/null 2>&1 | sed -u 's/\r$//' >>"$log" &
    driver_pid=$!
}

# Waits until the driver pauses at await:SIGNAL, runs CMD..., then lets it go on.
between_runs() {
    local signal=$1 i
    shift
    for ((i = 0; i < 600; i++)); do
        grep -qxF "awaiting: $signal" "$log" && break
        kill -0 "$driver_pid" 2>/dev/null || break
        sleep 0.1
    done
    "$@"
    touch "$work/signals/$signal"
}

driver_done() {
    local rc=0
    wait "$driver_pid" || rc=$?
    driver_pid=""
    grep -v ':trace:' "$log" || true
    check [ "$rc" -eq 0 ]
    check saw "exit: 0"
}

saw() { grep -qxF -- "$1" "$log"; }
times_seen() { grep -cxF -- "$2" "$log" | grep -qx "$1"; }
memory() { check "$fixture" check-memory "$work/$1.memory" "${@:2}"; }
report() { check grep -q "^$1 .*$2" "$work/report"; }

# Windows version of the prefix, as Wine keeps it; "" is Wine's own default.
windows_version() {
    if [ -n "$1" ] && [ "$1" != default ]; then
        wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d "$1" /f >/dev/null 2>&1
    else
        wine reg delete 'HKCU\Software\Wine' /v Version /f >/dev/null 2>&1 || true
    fi
}
# The display's dots per inch, where Windows keeps it; a program reads it when it starts.
display_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
current_windows_version() {
    local v
    v=$(wine reg query 'HKCU\Software\Wine' /v Version 2>/dev/null | tr -d '\r' |
        awk '$1 == "Version" {print $3}')
    echo "${v:-default}"
}

# A message's text as the driver prints it, from the program's message table:
# msg ID LANGUAGE [REPORTED ID].
msg() { "$fixture" message "$@"; }

language_state='controls: english=shown,enabled deutsch=shown,enabled update=hidden,enabled progress=hidden close=shown,enabled'
ready_state='controls: english=hidden,enabled deutsch=hidden,enabled update=shown,enabled progress=hidden close=shown,enabled'
busy_state='controls: english=hidden,enabled deutsch=hidden,enabled update=hidden,disabled progress=shown close=shown,enabled'

# The steps of one run after the language is chosen: Update, the warning of a run that found
# one handheld (if any), the result.
run_steps() { echo "click:update ${1:+message:ok} message:${2:-ok}${3:+:$3} ready"; }

echo "== scenario $name${claimed_windows:+ on $claimed_windows}"
if [[ $claimed_windows =~ dpi$ ]]; then
    display_dpi "${claimed_windows%dpi}"
elif [ -n "$claimed_windows" ]; then
    winver_saved=$(current_windows_version)
    windows_version "$claimed_windows"
fi
case "$name" in
updated-english)
    # Slow enough for the bar to be caught half way and for a close to land mid-write.
    data_file
    served_start toy --byte-rate 500000
    served_map e toy
    drive start about:about shot:start click:english ready shot:after-language click:update \
        message:ok:warning progress:progress-half close-during-write second \
        message:enter:information ready click:close exit
    driver_done
    check saw "$language_state"
    check saw "$ready_state"
    check saw "$busy_state"
    check saw "message: icon=warning text=\"$(msg 12 en)\""
    check saw "message: icon=information text=\"$(msg 1 en)\""
    check saw "main window: disabled"
    check saw "progress: half way"
    check saw "close during write: refused"
    check saw "during write: about=refused update=hidden"
    check saw "during write: shutdown=refused drag=off"
    check saw "second copy: exit=0"
    check saw "first copy: running, window restored"
    served_expect_closed
    report toy 'closing-block=yes protocol-errors=0'
    memory toy updated closing
    ;;
updated-german)
    data_file
    served_start toy
    served_map e toy
    drive start click:deutsch ready $(run_steps warning ok information-german) key:escape exit
    driver_done
    check saw "message: icon=warning text=\"$(msg 12 de)\""
    check saw "message: icon=information text=\"$(msg 1 de)\""
    served_expect_closed
    memory toy updated closing
    ;;
no-handheld-german)
    # A drive whose first sector lacks the handheld's name is no handheld.
    data_file
    served_start plain --label 'NO NAME'
    served_map e plain
    drive start click:deutsch ready click:update message:close:warning-german ready click:close exit
    driver_done
    check saw "message: icon=warning text=\"$(msg 2 de)\""
    served_expect_closed
    report plain 'commands=0 '
    memory plain untouched no-closing --label 'NO NAME'
    ;;
data-too-large-german)
    data_file too-large
    served_start toy
    served_map e toy
    drive start click:deutsch ready $(run_steps warning ok error-german) click:close exit
    driver_done
    check saw "message: icon=error text=\"$(msg 10 de 00000012)\""
    served_expect_closed
    memory toy untouched closing
    ;;
old-layout)
    # Old number 5 is group 2, number 1 in the newer layout.
    data_file old-layout
    served_start toy --old-number 5
    served_map e toy
    drive start click:english ready $(run_steps warning) click:close exit
    driver_done
    check saw "message: icon=information text=\"$(msg 1 en)\""
    served_expect_closed
    "$fixture" record "$work/toy.memory" | tee "$work/record"
    check grep -qx 'block 509: version=0x260 group=2 number=1' "$work/record"
    check grep -qx 'block 511: version=0x260 group=2 number=1' "$work/record"
    report toy 'closing-block=yes'
    ;;
two-runs)
    # The second handheld is plugged in where the first was, for the same running program.
    data_file
    served_start first --handheld second --group 0 --number 0
    served_map e first
    drive start click:english ready $(run_steps warning) await:second $(run_steps warning) \
        click:close exit
    between_runs second served_map e second
    driver_done
    check times_seen 2 "message: icon=information text=\"$(msg 1 en)\""
    served_expect_closed
    memory first updated closing
    memory second second-run closing --group 0 --number 0
    ;;
swapped-drive | swapped-drive-no-data)
    # While the warning not to unplug is open, the handheld is pulled and an ordinary FAT
    # stick takes its letter. The stick must stay as it was, byte for byte: the run's open
    # finds no identification there (a read error); without a data file the closing block
    # that result 4 calls for stays away from it as well.
    expected=$(msg 6 en)
    if [ "$name" = swapped-drive ]; then data_file; else expected=$(msg 4 en); fi
    mkfs.fat -C -n STICK "$work/stick" 2048 >/dev/null
    cp "$work/stick" "$work/stick.before"
    served_start toy
    served_map e toy
    drive start click:english ready click:update message:hold await:swapped message:ok \
        message:ok ready click:close exit
    between_runs swapped ln -sfn "$work/stick" "$WINEPREFIX/served/e.dev"
    driver_done
    check saw "message: icon=error text=\"$expected\""
    check cmp "$work/stick.before" "$work/stick"
    served_expect_closed
    report toy 'commands=0 '
    memory toy untouched no-closing
    ;;
stick-beside-handheld)
    # An ordinary stick on F: beside the handheld on E:, both removable as USB drives are. The
    # stick is only ever opened for reading; one update locks the handheld's volume twice
    # (FSCTL_LOCK_VOLUME, counted in Wine's trace): for the run and for the closing block.
    data_file
    served_start toy --handheld stick --label STICK
    served_map e toy
    served_map f stick
    WINEDEBUG=-all,trace+file drive start click:english ready $(run_steps warning) click:close exit
    driver_done
    check saw "message: icon=information text=\"$(msg 1 en)\""
    check [ "$(grep -c 'NtFsControlFile.*,0x00090018,' "$log")" -eq 2 ]
    served_expect_closed
    check grep -q '^stick opens=[1-9]' "$work/report"
    report stick 'commands=0 .* writable-opens=0 '
    memory toy updated closing
    memory stick untouched no-closing --label STICK
    ;;
windows-98)
    # Wine's VWIN32 answers disk reads with zeros: no handheld is found, nothing written.
    data_file
    served_start toy
    served_map e none
    winver_saved=$(current_windows_version)
    windows_version win98
    drive start click:english ready click:update message:ok await:plugged click:update \
        message:ok ready click:close exit
    between_runs plugged served_map e toy
    driver_done
    windows_version "$winver_saved"
    winver_saved=""
    check times_seen 2 "message: icon=warning text=\"$(msg 2 en)\""
    served_expect_closed
    report toy 'commands=0 '
    report toy 'sector-writes=0 '
    memory toy untouched no-closing
    ;;
result-*)
    # One row of the result table: one English run, the row's handhelds on E: and F:.
    row=$(awk -v c="${name#result-}" '$1 == c' "$here/../support/update-results.txt")
    read -r _ data result message icon closing state id options <<<"$row"
    [ -n "$row" ] || { echo "scenario.sh: no row ${name#result-}" >&2; exit 2; }
    read -ra options <<<"${options:-}"
    own=("${options[@]}") second=""
    for i in "${!options[@]}"; do
        if [ "${options[$i]}" = --handheld ]; then
            own=("${options[@]:0:$i}") second=${options[$((i + 1))]}
        fi
    done
    [ "$data" = absent ] || data_file "$data"
    served_start toy "${options[@]}"
    served_map e toy
    if [ -n "$second" ]; then served_map f "$second"; else served_map f none; fi
    found=warning
    [ "$result" -ne 2 ] && [ "$result" -ne 3 ] || found=""
    drive start click:english ready $(run_steps "$found" ok "$icon") click:close exit
    driver_done
    check saw "message: icon=$icon text=\"$(msg "$message" en "${id#-}")\""
    served_expect_closed
    report toy "closing-block=$closing protocol-errors=0"
    [ "$closing" = yes ] && closing=closing || closing=no-closing
    [ "$state" = partly ] || memory toy "$state" "$closing" "${own[@]}"
    if [ -n "$second" ]; then
        report "$second" 'commands=0 '
        memory "$second" untouched no-closing
    fi
    ;;
*)
    echo "scenario.sh: no scenario $name" >&2
    exit 2
    ;;
esac

if [ "$SERVED_FAILURES" -ne 0 ]; then
    echo "scenario $name: $SERVED_FAILURES check(s) failed"
    exit 1
fi
echo "scenario $name: all checks passed"
