// The table of how each update ends (tests/support/update-results.txt), as rows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/core/MessageTable.h"

struct ResultRow {
    std::string name;
    std::string data;  // the fixture's data file variant; "absent" for none
    int result = 0;
    MessageId message = MsgUpdated;
    MessageKind kind = MessageKind::Information;
    bool closingBlock = false;
    std::string memory;                 // updated, untouched or partly
    std::optional<uint32_t> errorId;    // what the message reports
    std::vector<std::string> handheld;  // handheld-emu options over the fixture's handheld

    // The message's text as the user reads it, in the current language.
    std::wstring Text() const;
};

// Every row; a row that does not parse ends the test program.
std::vector<ResultRow> ResultRows();
