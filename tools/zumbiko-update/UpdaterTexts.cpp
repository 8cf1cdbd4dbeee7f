#include "UpdaterTexts.h"

#include "ui/MessageTable.h"

namespace {

struct TextEntry {
    const char* english;
    const char* german;
};

// Same order of arguments in both languages. The German ones spell umlauts ae, oe, ue, as the
// message table does.
const TextEntry kTexts[kUpdaterTextCount] = {
    {"No permission to read and write %s.\n"
     "Add yourself to the 'disk' group (sudo usermod -aG disk $USER, then log out and back "
     "in),\nor run zumbiko-update with sudo.",
     "Keine Berechtigung zum Lesen und Schreiben von %s.\n"
     "Nehmen Sie sich in die Gruppe 'disk' auf (sudo usermod -aG disk $USER, dann ab- und "
     "wieder anmelden),\noder starten Sie zumbiko-update mit sudo."},
    {"The handheld %s is mounted at %s.\n"
     "Unmount it first, without unplugging it: udisksctl unmount -b %s (or: sudo umount %s).\n"
     "Then start zumbiko-update again.",
     "Das Geraet %s ist unter %s eingehaengt.\n"
     "Haengen Sie es zuerst aus, ohne es abzuziehen: udisksctl unmount -b %s (oder: sudo umount "
     "%s).\nStarten Sie danach zumbiko-update noch einmal."},
    {"Handhelds found: %s\nUnplug all but one, or name one with --device.",
     "Gefundene Geraete: %s\nZiehen Sie alle bis auf eines ab, oder nennen Sie eines mit "
     "--device."},
    {"%s does not carry the handheld's identification.",
     "%s traegt nicht die Kennung des Geraets."},
    {"Cannot open %s: %s", "Kann %s nicht oeffnen: %s"},
    {"No removable drive is attached.", "Kein Wechseldatentraeger ist angeschlossen."},
    {"Data file: %s", "Datendatei: %s"},
    {"Handheld: %s", "Geraet: %s"},
    {"Version on the handheld: 0x%04X, version of this update: 0x%04X",
     "Version auf dem Geraet: 0x%04X, Version dieser Aktualisierung: 0x%04X"},
    {"(older record layout, converted as the update does)",
     "(aelteres Format, umgewandelt wie bei der Aktualisierung)"},
    {"Character: group %d, number %d", "Charakter: Gruppe %d, Nummer %d"},
    {"This update has no data for the character.",
     "Diese Aktualisierung hat keine Daten fuer den Charakter."},
    {"Resources the character needs:", "Daten, die der Charakter braucht:"},
    {"  %08X: %u bytes to blocks %u to %u", "  %08X: %u Bytes in die Bloecke %u bis %u"},
    {"  %08X: not in this update", "  %08X: nicht in dieser Aktualisierung"},
    {"  %08X: %u bytes from block %u do not fit", "  %08X: %u Bytes ab Block %u passen nicht"},
    {"An update writes blocks 3 to 511 back to the handheld (%u blocks).",
     "Eine Aktualisierung schreibt die Bloecke 3 bis 511 auf das Geraet zurueck (%u Bloecke)."},
    {"Check only: nothing was written to the handheld.",
     "Nur geprueft: nichts wurde auf das Geraet geschrieben."},
    {"An update now would end with result %d:",
     "Eine Aktualisierung wuerde jetzt mit Ergebnis %d enden:"},
    {"The handheld can be updated.", "Das Geraet kann aktualisiert werden."},
};

}  // namespace

const char* UpdaterTextOf(UpdaterText id) {
    if (id >= kUpdaterTextCount) return "";
    const TextEntry& entry = kTexts[id];
    return languageIndex == kLanguageGerman ? entry.german : entry.english;
}
