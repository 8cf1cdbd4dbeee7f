#include "ResultTable.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

// The table file's text, put in at build time: the Windows test programs run where the
// source tree's paths do not reach.
const char kRows[] =
#include "UpdateResultRows.inc"
    ;

bool ParseKind(const std::string& word, MessageKind* kind) {
    if (word == "information")
        *kind = MessageKind::Information;
    else if (word == "warning")
        *kind = MessageKind::Warning;
    else if (word == "error")
        *kind = MessageKind::Error;
    else
        return false;
    return true;
}

}  // namespace

std::wstring ResultRow::Text() const {
    wchar_t text[512];
    std::swprintf(text, 512, MessageText(message), errorId.value_or(0));
    return text;
}

std::vector<ResultRow> ResultRows() {
    std::vector<ResultRow> rows;
    std::istringstream lines(kRows);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        ResultRow row;
        uint32_t message = 0;
        std::string kind, closing, id;
        words >> row.name >> row.data >> row.result >> message >> kind >> closing >> row.memory >>
            id;
        const bool parsed = !words.fail() && message < kMessageCount && ParseKind(kind, &row.kind);
        if (!parsed) {
            std::fprintf(stderr, "update-results.txt: not a row: %s\n", line.c_str());
            std::abort();
        }
        row.message = static_cast<MessageId>(message);
        row.closingBlock = closing == "yes";
        if (id != "-") row.errorId = static_cast<uint32_t>(std::stoul(id, nullptr, 16));
        for (std::string option; words >> option;) row.handheld.push_back(option);
        rows.push_back(row);
    }
    return rows;
}
