#!/usr/bin/env bash
# scripts/check-walls against a copy of the tree: the copy passes as it is, and fails, naming
# the file, with each breach below planted in turn.
set -uo pipefail
check=${1:?check-walls}
root=${2:?source tree}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root"/{app,device,engine,platform,ui,resources} "$work"/

bash "$check" "$work" >/dev/null || { echo "the tree as it is fails the check"; exit 1; }
missed=0
plant() {
    local file=$1 line=$2 named=$3 out
    cp "$work/$file" "$work/kept"
    echo "$line" >>"$work/$file"
    if out=$(bash "$check" "$work" 2>&1) || ! grep -qF "$named" <<<"$out"; then
        echo "missed: '$line' in $file"
        missed=1
    fi
    mv "$work/kept" "$work/$file"
}
plant engine/UpdateController.cpp '#include "ui/MainWindow.h"' ui/MainWindow.h
plant engine/DeviceImage.h '#include <windows.h>' engine/DeviceImage.h
plant device/HandheldDevice.cpp '#include "engine/DeviceImage.h"' engine/DeviceImage.h
plant device/Mailbox.h '#include "resources/ResourceIds.h"' resources/ResourceIds.h
plant engine/UpdateResult.cpp 'constexpr int kUpdateButton = 1101;' engine/UpdateResult.cpp
plant platform/posix/PosixVolumes.cpp '#include "app/Dialog.h"' app/Dialog.h
plant app/core/FormatText.cpp '#include "app/Dialog.h"' app/Dialog.h
plant ui/core/MessageTable.cpp '#include <windows.h>' ui/core/MessageTable.cpp
plant app/Dialog.cpp '#include "ui/MainWindow.h"' ui/MainWindow.h
plant ui/MainWindow.cpp '#include "app/main/UpdateWiring.h"' app/main/UpdateWiring.h
plant platform/posix/PosixVolumes.cpp '#include "platform/win32/Win32Handles.h"' Win32Handles.h
exit $missed
