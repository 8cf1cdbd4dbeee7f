#include <gtest/gtest.h>

#include <cwchar>
#include <cwctype>

#include "app/FormatText.h"
#include "engine/UpdateResult.h"
#include "ui/MessageTable.h"

namespace {

class LanguageGuard {
public:
    ~LanguageGuard() { languageIndex = kLanguageEnglish; }
};

}  // namespace

TEST(MessageTable, LanguageIndexFourSelectsGermanEveryOtherEnglish) {
    LanguageGuard guard;
    EXPECT_STREQ(L"English", MessageText(MsgLanguageName));
    for (int32_t index : {0, 1, 2, 3, 5}) {
        languageIndex = index;
        EXPECT_STREQ(L"English", MessageText(MsgLanguageName)) << index;
    }
    languageIndex = kLanguageGerman;
    EXPECT_STREQ(L"Deutsch", MessageText(MsgLanguageName));
}

TEST(MessageTable, TextsAreAsciiWithLineFeedsOnlyAndOnlyNineAndTenFormat) {
    LanguageGuard guard;
    for (int32_t language : {kLanguageEnglish, kLanguageGerman}) {
        languageIndex = language;
        for (uint32_t id = 0; id < kMessageCount; ++id) {
            const wchar_t* text = MessageText(static_cast<MessageId>(id));
            ASSERT_NE(nullptr, text);
            EXPECT_GT(std::wcslen(text), 0u);
            for (const wchar_t* c = text; *c; ++c) {
                EXPECT_TRUE(*c == L'\n' || (*c >= 0x20 && *c < 0x7F)) << id;
            }
            const bool formats = std::wcsstr(text, L"%") != nullptr;
            EXPECT_EQ(id == MsgDataMissing || id == MsgNoRoom, formats) << id;
        }
    }
}

TEST(MessageTable, GermanDataFileErrorSaysWhatHappenedAndWhatToDo) {
    LanguageGuard guard;
    languageIndex = kLanguageGerman;
    const wchar_t* text = MessageText(MsgDataFileError);
    EXPECT_NE(nullptr, std::wcsstr(text, L"Das Geraet konnte nicht aktualisiert werden.\n"));
    EXPECT_NE(nullptr, std::wcsstr(text, L"Datendatei"));
    EXPECT_NE(nullptr, std::wcsstr(text, L"Installation"));
}

TEST(MessageTable, ErrorCodeIsFormattedAsEightHexDigits) {
    LanguageGuard guard;
    wchar_t text[512];
    FormatText(text, 512, MessageText(MsgDataMissing), 0xFF000001u);
    EXPECT_NE(nullptr, std::wcsstr(text, L"\nError code=FF000001"));
    languageIndex = kLanguageGerman;
    FormatText(text, 512, MessageText(MsgNoRoom), 0x2Au);
    EXPECT_NE(nullptr, std::wcsstr(text, L"\nFehlerkode=0000002A"));
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
    };
    for (const Row& row : rows) {
        const ResultMessage message = MessageForResult(row.result);
        EXPECT_EQ(row.id, message.id) << static_cast<int>(row.result);
        EXPECT_EQ(row.kind, message.kind) << static_cast<int>(row.result);
        EXPECT_EQ(row.closing, message.writesClosingBlock) << static_cast<int>(row.result);
    }
}
