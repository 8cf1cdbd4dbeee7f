#include <gtest/gtest.h>

#include <iterator>

#include "engine/UpdateResult.h"
#include "ui/core/MessageTable.h"

namespace {

class LanguageGuard {
public:
    ~LanguageGuard() { languageIndex = kLanguageEnglish; }
};

}  // namespace

// Every text as the user reads it, character for character: language index 4 selects German,
// every other English.
TEST(MessageTable, EveryTextReadsExactlySoInEachLanguage) {
    struct Texts {
        MessageId id;
        const wchar_t* english;
        const wchar_t* german;
        const char* note;
    };
    const Texts texts[] = {
        {MsgLanguageName, L"English", L"Deutsch", ""},
        {MsgUpdated, L"Handheld device has been updated.\n\nReady to play!",
         L"Geraet wurde aktualisiert.\n\nBereit zum spielen.", ""},
        {MsgNoDevice,
         L"Could not detect any handheld device.\nPlease make sure that only one device is "
         L"attached.",
         L"Konnte kein Geraet finden.\nBitte pruefen Sie ob nur ein Geraet verbunden ist.", ""},
        {MsgManyDevices,
         L"Detected more than one handheld device.\nPlease make sure that only one device is "
         L"attached.",
         L"Fand mehr als ein Geraet.\nBitte pruefen Sie ob nur ein Geraet verbunden ist.", ""},
        {MsgDataFileError,
         L"Could not update handheld device.\nAn error has occurred while opening data "
         L"file.\nPlease check your installation.",
         L"Das Geraet konnte nicht aktualisiert werden.\nBeim Oeffnen der Datendatei trat ein "
         L"Fehler auf.\nBitte pruefen Sie Ihre Installation.",
         "German wording written for this program"},
        {MsgOldHandheld,
         L"Could not update handheld device.\n\nWe have detected a Zumbiko 1.0 handheld. Please "
         L"plug in your 2.0 handheld now and click OK.",
         L"Das Geraet konnte nicht aktualisiert werden.\nWir haben ein Zumbiko 1.0 gefunden. Bitte "
         L"verbinden Sie ihr 2.0 und klicke OK.",
         ""},
        {MsgReadError,
         L"Could not update handheld device.\nAn error has occurred while reading from handheld "
         L"device.\nPlease try again.",
         L"Das Geraet konnte nicht aktualisiert werden.\nWaehrend des Lesens vom Geraet trat ein "
         L"Fehler auf.\nBitte versuchen Sie es noch einmal.",
         ""},
        {MsgAlreadyUpdated,
         L"Could not update handheld device.\n\nThe handheld device has already been updated.",
         L"Das Geraet konnte nicht aktualisiert werden.\nDas Geraet wurde bereits schon "
         L"aktualisiert.",
         ""},
        {MsgCharacterUnsupported,
         L"Could not update handheld device.\n\nCharacter is not supported by this update.",
         L"Das Geraet konnte nicht aktualisiert werden.\nDiese Aktualisierung kann den Charakter "
         L"nicht unterstuetzen.",
         ""},
        {MsgDataMissing,
         L"Could not update handheld device.\nCharacter requires data that is not in this "
         L"update.\nError code=%08X",
         L"Das Geraet konnte nicht aktualisiert werden.\nCharakter braucht Daten, welche nicht in "
         L"dieser Aktualisierung sind.\nFehlerkode=%08X",
         ""},
        {MsgNoRoom,
         L"Could not update handheld device.\nCannot fit required data into handheld "
         L"device.\nError code=%08X",
         L"Das Geraet konnte nicht aktualisiert werden.\nNotwendige Daten passen nicht in das "
         L"Geraet.\nFehlerkode=%08X",
         ""},
        {MsgWriteError, L"An error occurred while writing data to handheld device.",
         L"Waehrend der Uebertragung der Daten auf das Geraet trat ein Fehler auf.", ""},
        {MsgDoNotRemove, L"Please do not remove the handheld during the update.",
         L"Bitte entfernen Sie das Geraet nicht waehrend die Aktualisierung stattfindet.", ""},
        {MsgDriveInUse,
         L"Another program is using the handheld.\nPlease close the windows and programs that "
         L"use its drive, then press Update again.",
         L"Ein anderes Programm benutzt das Geraet.\nBitte schliessen Sie Fenster und Programme, "
         L"die es benutzen, und druecken Sie erneut Update.",
         "the drive could not be locked"},
        {MsgNeedsAdministrator,
         L"Could not reach the handheld device.\nThis program needs administrator "
         L"rights.\nPlease start it again as an administrator.",
         L"Das Geraet konnte nicht erreicht werden.\nDieses Programm braucht "
         L"Administratorrechte.\nBitte starten Sie es erneut als Administrator.",
         "opens refused for lack of rights"},
        {MsgShutdownReason,
         L"The handheld is being updated. Please wait until the update has finished.",
         L"Das Geraet wird aktualisiert. Bitte warten, bis die Aktualisierung fertig ist.",
         "why Windows waits to shut down"},
    };
    ASSERT_EQ(kMessageCount, std::size(texts));
    EXPECT_EQ(kLanguageEnglish, languageIndex) << "English at start";
    LanguageGuard guard;
    for (uint32_t k = 0; k < kMessageCount; ++k) {
        const Texts& expected = texts[k];
        ASSERT_EQ(k, expected.id);
        for (const int32_t index : {0, 1, 2, 3, 5}) {
            languageIndex = index;
            EXPECT_STREQ(expected.english, MessageText(expected.id)) << k << " " << expected.note;
        }
        languageIndex = kLanguageGerman;
        EXPECT_STREQ(expected.german, MessageText(expected.id)) << k << " " << expected.note;
    }
}

TEST(MessageTable, OutOfRangeIdGivesEmptyText) {
    EXPECT_STREQ(L"", MessageText(static_cast<MessageId>(kMessageCount)));
}

TEST(UpdateResult, EachResultHasItsMessageKindAndClosingBlockRule) {
    struct Row {
        UpdateResult result;
        MessageId id;
        MessageKind kind;
        bool closing;
    };
    const Row rows[] = {
        {UpdateResult::Updated, MsgUpdated, MessageKind::Information, true},
        {UpdateResult::NoHandheld, MsgNoDevice, MessageKind::Warning, false},
        {UpdateResult::SeveralHandhelds, MsgManyDevices, MessageKind::Warning, false},
        {UpdateResult::DataFileError, MsgDataFileError, MessageKind::Error, true},
        {UpdateResult::ReadError, MsgReadError, MessageKind::Error, false},
        {UpdateResult::WrongVersion, MsgOldHandheld, MessageKind::Information, true},
        {UpdateResult::AlreadyUpdated, MsgAlreadyUpdated, MessageKind::Information, true},
        {UpdateResult::CharacterNotSupported, MsgCharacterUnsupported, MessageKind::Error, true},
        {UpdateResult::DataMissing, MsgDataMissing, MessageKind::Error, true},
        {UpdateResult::DataTooLarge, MsgNoRoom, MessageKind::Error, true},
        {UpdateResult::WriteError, MsgWriteError, MessageKind::Error, false},
        {UpdateResult::NoRights, MsgNeedsAdministrator, MessageKind::Error, false},
        {UpdateResult::DriveInUse, MsgDriveInUse, MessageKind::Warning, false},
    };
    for (const Row& row : rows) {
        const ResultMessage message = MessageForResult(row.result);
        EXPECT_EQ(row.id, message.id) << static_cast<int>(row.result);
        EXPECT_EQ(row.kind, message.kind) << static_cast<int>(row.result);
        EXPECT_EQ(row.closing, message.writesClosingBlock) << static_cast<int>(row.result);
    }
}
