#include "ui/core/MessageTable.h"

int32_t languageIndex = kLanguageEnglish;

namespace {

struct MessageEntry {
    const wchar_t* english;
    const wchar_t* german;
};

// ASCII only; the German texts spell the umlauts ae, oe, ue.
const MessageEntry kMessages[kMessageCount] = {
    {L"English", L"Deutsch"},
    {L"Handheld device has been updated.\n\nReady to play!",
     L"Geraet wurde aktualisiert.\n\nBereit zum spielen."},
    {L"Could not detect any handheld device.\nPlease make sure that only one device is attached.",
     L"Konnte kein Geraet finden.\nBitte pruefen Sie ob nur ein Geraet verbunden ist."},
    {L"Detected more than one handheld device.\nPlease make sure that only one device is "
     L"attached.",
     L"Fand mehr als ein Geraet.\nBitte pruefen Sie ob nur ein Geraet verbunden ist."},
    {L"Could not update handheld device.\nAn error has occurred while opening data file.\nPlease "
     L"check your installation.",
     L"Das Geraet konnte nicht aktualisiert werden.\nBeim Oeffnen der Datendatei trat ein Fehler "
     L"auf.\nBitte pruefen Sie Ihre Installation."},
    {L"Could not update handheld device.\n\nWe have detected a Zumbiko 1.0 handheld. Please plug "
     L"in your 2.0 handheld now and click OK.",
     L"Das Geraet konnte nicht aktualisiert werden.\nWir haben ein Zumbiko 1.0 gefunden. Bitte "
     L"verbinden Sie ihr 2.0 und klicke OK."},
    {L"Could not update handheld device.\nAn error has occurred while reading from handheld "
     L"device.\nPlease try again.",
     L"Das Geraet konnte nicht aktualisiert werden.\nWaehrend des Lesens vom Geraet trat ein "
     L"Fehler auf.\nBitte versuchen Sie es noch einmal."},
    {L"Could not update handheld device.\n\nThe handheld device has already been updated.",
     L"Das Geraet konnte nicht aktualisiert werden.\nDas Geraet wurde bereits schon "
     L"aktualisiert."},
    {L"Could not update handheld device.\n\nCharacter is not supported by this update.",
     L"Das Geraet konnte nicht aktualisiert werden.\nDiese Aktualisierung kann den Charakter "
     L"nicht unterstuetzen."},
    {L"Could not update handheld device.\nCharacter requires data that is not in this "
     L"update.\nError code=%08X",
     L"Das Geraet konnte nicht aktualisiert werden.\nCharakter braucht Daten, welche nicht in "
     L"dieser Aktualisierung sind.\nFehlerkode=%08X"},
    {L"Could not update handheld device.\nCannot fit required data into handheld device.\nError "
     L"code=%08X",
     L"Das Geraet konnte nicht aktualisiert werden.\nNotwendige Daten passen nicht in das "
     L"Geraet.\nFehlerkode=%08X"},
    {L"An error occurred while writing data to handheld device.",
     L"Waehrend der Uebertragung der Daten auf das Geraet trat ein Fehler auf."},
    {L"Please do not remove the handheld during the update.",
     L"Bitte entfernen Sie das Geraet nicht waehrend die Aktualisierung stattfindet."},
    {L"Another program is using the handheld.\nPlease close the windows and programs that use "
     L"its drive, then press Update again.",
     L"Ein anderes Programm benutzt das Geraet.\nBitte schliessen Sie Fenster und Programme, die "
     L"es benutzen, und druecken Sie erneut Update."},
    {L"Could not reach the handheld device.\nThis program needs administrator rights.\nPlease "
     L"start it again as an administrator.",
     L"Das Geraet konnte nicht erreicht werden.\nDieses Programm braucht "
     L"Administratorrechte.\nBitte starten Sie es erneut als Administrator."},
    {L"The handheld is being updated. Please wait until the update has finished.",
     L"Das Geraet wird aktualisiert. Bitte warten, bis die Aktualisierung fertig ist."},
};

}  // namespace

const wchar_t* MessageText(MessageId id) {
    if (id >= kMessageCount) return L"";  // never indexes past the table
    const MessageEntry& entry = kMessages[id];
    return languageIndex == kLanguageGerman ? entry.german : entry.english;
}
