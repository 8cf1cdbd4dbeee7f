#include "UpdaterTexts.h"

#include <algorithm>
#include <cstring>

#include "ui/core/MessageTable.h"

namespace {

struct TextEntry {
    const char* english;
    const char* german;
};

// Same order of arguments in both languages. The German ones spell umlauts ae, oe, ue, as the
// message table does.
const TextEntry kTexts[kUpdaterTextCount] = {
    {"No permission to read and write %s.\n"
     "Installed from its package, zumbiko-update may use a handheld that was plugged in after\n"
     "the installation, for the user logged in at the computer's own screen: unplug it, plug it\n"
     "in again and start zumbiko-update once more. Otherwise run it with sudo.",
     "Keine Berechtigung zum Lesen und Schreiben von %s.\n"
     "Aus seinem Paket installiert, darf zumbiko-update ein Geraet verwenden, das nach der\n"
     "Installation angeschlossen wurde, fuer den Benutzer am Bildschirm des Computers selbst:\n"
     "ziehen Sie es ab, schliessen Sie es wieder an und starten Sie zumbiko-update noch einmal.\n"
     "Sonst starten Sie es mit sudo."},
    {"The handheld %s is mounted at %s.\n"
     "Unmount it first, without unplugging it: udisksctl unmount -b %s (or: sudo umount %s).\n"
     "Then start zumbiko-update again.",
     "Das Geraet %s ist unter %s eingehaengt.\n"
     "Haengen Sie es zuerst aus, ohne es abzuziehen: udisksctl unmount -b %s (oder: sudo umount "
     "%s).\nStarten Sie danach zumbiko-update noch einmal."},
    {"%s is in use: another program (another zumbiko-update, say) holds it for itself, or it is\n"
     "mounted where zumbiko-update cannot see it, in a container or another mount namespace.\n"
     "Close that program or unmount it there, then start zumbiko-update again.",
     "%s ist belegt: ein anderes Programm (etwa ein anderes zumbiko-update) haelt es fuer sich,\n"
     "oder es ist eingehaengt, wo zumbiko-update es nicht sieht, in einem Container oder einem\n"
     "anderen Mount-Namensraum. Schliessen Sie das Programm oder haengen Sie es dort aus und\n"
     "starten Sie zumbiko-update danach noch einmal."},
    {"%s is not there (any more).\n"
     "Plug the handheld in, wait a moment and start zumbiko-update again; lsblk lists the drives.",
     "%s ist nicht (mehr) da.\n"
     "Schliessen Sie das Geraet an, warten Sie einen Moment und starten Sie zumbiko-update noch "
     "einmal; lsblk zeigt die Laufwerke."},
    {"Handhelds found: %s\nUnplug all but one, or name one with --device.",
     "Gefundene Geraete: %s\nZiehen Sie alle bis auf eines ab, oder nennen Sie eines mit "
     "--device."},
    {"%s does not carry the handheld's identification.",
     "%s traegt nicht die Kennung des Geraets."},
    {"%s is neither a disk nor a disk image.", "%s ist weder ein Laufwerk noch ein Abbild davon."},
    {"Cannot open %s: %s", "Kann %s nicht oeffnen: %s"},
    {"Cannot read the first sector of %s: %s\n"
     "Plug the handheld in again and start zumbiko-update once more.",
     "Kann den ersten Sektor von %s nicht lesen: %s\n"
     "Schliessen Sie das Geraet neu an und starten Sie zumbiko-update noch einmal."},
    {"%s gave no answer within %d seconds.\n"
     "Plug the handheld in again and start zumbiko-update once more.",
     "%s hat innerhalb von %d Sekunden nicht geantwortet.\n"
     "Schliessen Sie das Geraet neu an und starten Sie zumbiko-update noch einmal."},
    {"%s carries the handheld's identification, but its sectors are %u bytes long, and\n"
     "zumbiko-update talks to a handheld in sectors of 512 bytes: it cannot update this drive.\n"
     "Nothing was sent to it.",
     "%s traegt die Kennung des Geraets, aber seine Sektoren sind %u Bytes lang, und\n"
     "zumbiko-update spricht mit einem Geraet in Sektoren zu 512 Bytes: es kann dieses Laufwerk\n"
     "nicht aktualisieren. Nichts wurde an es gesendet."},
    {"%s is what the loop device %s reads from: a file system may be mounted through it, and\n"
     "writing the drive would damage it. Nothing was sent to it. Unmount what uses %s and\n"
     "detach it (sudo losetup -d), then start zumbiko-update again.",
     "%s ist, woraus das Loop-Geraet %s liest: darueber kann ein Dateisystem eingehaengt sein,\n"
     "das ein Schreiben beschaedigen wuerde. Nichts wurde an es gesendet. Haengen Sie aus, was\n"
     "%s benutzt, loesen Sie es (sudo losetup -d) und starten Sie zumbiko-update noch einmal."},
    {"%s is write-protected: zumbiko-update cannot update it. Nothing was sent to it.",
     "%s ist schreibgeschuetzt: zumbiko-update kann es nicht aktualisieren. Nichts wurde an es "
     "gesendet."},
    {"%s is no longer the drive that was found to be the handheld a moment ago: it was\n"
     "plugged in anew, or the link was pointed elsewhere. Nothing was sent to it. Start\n"
     "zumbiko-update again.",
     "%s ist nicht mehr das Laufwerk, das eben als Geraet erkannt wurde: es wurde neu\n"
     "angeschlossen, oder der Verweis zeigt anderswohin. Nichts wurde an es gesendet. Starten\n"
     "Sie zumbiko-update noch einmal."},
    {"No removable drive is attached.", "Kein Wechseldatentraeger ist angeschlossen."},
    {"Could not read: %s", "Nicht lesbar: %s"},
    {"Data file %s: %s", "Datendatei %s: %s"},
    {"a symbolic link; name the file it points to",
     "eine symbolische Verknuepfung; nennen Sie die Datei, auf die sie zeigt"},
    {"not a regular file", "keine gewoehnliche Datei"},
    {"not an update data file, or it changed during the update",
     "keine Datendatei einer Aktualisierung, oder sie hat sich waehrend der Aktualisierung "
     "geaendert"},
    {"its data version 0x%04X updates no handheld: it must be above 0x0200 and at most 0x0299",
     "seine Datenversion 0x%04X aktualisiert kein Geraet: sie muss ueber 0x0200 und hoechstens "
     "0x0299 liegen"},
    {"larger than the 4 GiB and 2 MiB a data file can use; it was not read",
     "groesser als die 4 GiB und 2 MiB, die eine Datendatei nutzen kann; sie wurde nicht gelesen"},
    {"%s came while zumbiko-update was using the handheld; it waited until the handheld was\n"
     "written and closed, and ends zumbiko-update now.",
     "%s kam, waehrend zumbiko-update das Geraet benutzte; es wartete, bis das Geraet\n"
     "geschrieben und geschlossen war, und beendet zumbiko-update jetzt."},
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
    {"Check only: nothing was sent to the handheld.",
     "Nur geprueft: nichts wurde an das Geraet gesendet."},
    {"Check only: the handheld's memory is as it was. To read it, zumbiko-update wrote %u\n"
     "commands into the handheld's command sector (sector 49) and read the answers; it wrote no\n"
     "data and no closing block.",
     "Nur geprueft: der Speicher des Geraets ist unveraendert. Um ihn zu lesen, schrieb\n"
     "zumbiko-update %u Befehle in den Befehlssektor des Geraets (Sektor 49) und las die\n"
     "Antworten; es schrieb keine Daten und keinen Abschlussblock."},
    {"An update now would end with result %d:",
     "Eine Aktualisierung wuerde jetzt mit Ergebnis %d enden:"},
    {"The handheld can be updated.", "Das Geraet kann aktualisiert werden."},
};

bool SafeForTheShell(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::strchr("/._-+,:=@%", c) != nullptr;
}

}  // namespace

std::string ShellQuoted(const std::string& word) {
    if (!word.empty() && std::all_of(word.begin(), word.end(), SafeForTheShell)) return word;
    std::string quoted = "'";
    for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

const char* UpdaterTextOf(UpdaterText id) {
    if (id >= kUpdaterTextCount) return "";
    const TextEntry& entry = kTexts[id];
    return languageIndex == kLanguageGerman ? entry.german : entry.english;
}
