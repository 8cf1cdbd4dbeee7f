#include "tools/zdat/DataFileChecker.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "engine/DeviceImage.h"
#include "engine/SystemRecord.h"
#include "tools/zdat/BoundedView.h"
#include "tools/zdat/ClaimedRanges.h"
#include "tools/zdat/DataFileRecords.h"
#include "tools/zdat/HexText.h"

namespace {

struct Keyed {
    uint32_t key;
    uint64_t offset;  // of the record that holds the key
};

struct Placement {
    uint32_t id;
    uint32_t firstBlock;
    uint32_t endBlock;  // one past the last covered block
};

std::string EntryWhere(const std::string& character, uint32_t id, uint64_t entryOffset) {
    return character + ", id " + HexText(id) + " (entry at " + HexText(entryOffset) + ")";
}

std::string MissingItem(const std::string& where, const char* list, size_t k, uint32_t id) {
    return where + ": " + list + " list item " + std::to_string(k) + " names id " + HexText(id) +
           ", which has no entry in the character's table";
}

// The record holding key in keys sorted by key, or null.
const Keyed* FindKey(const std::vector<Keyed>& sorted, uint32_t key) {
    const auto found = std::lower_bound(sorted.begin(), sorted.end(), key,
                                        [](const Keyed& a, uint32_t k) { return a.key < k; });
    return found != sorted.end() && found->key == key ? &*found : nullptr;
}

// A claimed table or list, told in words only when another overlaps it: a text per claim
// would cost several times the file.
struct ClaimOwner {
    const char* what;
    size_t group;
    uint32_t number;
    uint64_t recordOffset;

    std::string Text() const {
        return std::string("the ") + what + " of " + CharacterWhere(group, number, recordOffset);
    }
};

// Reported in full per kind; past it, one line counts the rest, so that a file of a million
// faulty records does not make a list many times its size.
constexpr size_t kListedPerKind = 100;
constexpr size_t kKindCount = static_cast<size_t>(ViolationKind::MissingSecondResource) + 1;

std::string EndOfFile(uint64_t size) {
    return "passes the end of the file (" + std::to_string(size) + " bytes)";
}

class Checker {
public:
    Checker(const BoundedView& view, const CheckOptions& options) : view(view), options(options) {}

    std::vector<Violation> Run();

private:
    void CheckDataVersion(uint32_t dataVersion);
    void CheckGroup(size_t group);
    void CheckCharacter(const std::string& where, ClaimOwner owner,
                        const CharacterRecord& character);
    void CheckResource(const std::string& where, const ResourceEntry& entry);
    // False (reported) when the entry table or list overlaps one already read.
    bool Claim(const std::string& where, ClaimOwner owner, uint64_t offset, uint64_t length);
    // The list's ids, or nothing (reported) when the list passes the end of the file.
    std::optional<std::vector<uint32_t>> ReadList(const std::string& where, ClaimOwner owner,
                                                  const char* name, uint32_t listOffset);
    // keyName reads "character number" or "id"; ids show in hexadecimal.
    void CheckKeys(const std::string& where, std::vector<Keyed> keys, const char* keyName,
                   bool hexKeys);
    void CheckPlacements(const std::string& where, std::vector<Placement> placements);

    void Error(ViolationKind kind, std::string message) {
        Report(errors, {kind, Severity::Error, std::move(message)});
    }
    void Warn(ViolationKind kind, std::string message) {
        if (options.warnings) Report(warnings, {kind, Severity::Warning, std::move(message)});
    }
    void Report(std::vector<Violation>& list, Violation violation) {
        const size_t seen = ++found[static_cast<size_t>(violation.kind)];
        if (seen <= kListedPerKind) list.push_back(std::move(violation));
    }
    // One line per kind for those not listed.
    void CountUnlisted(std::vector<Violation>& list) {
        const size_t listed = list.size();
        for (size_t i = 0; i < listed; ++i) {
            const size_t seen = found[static_cast<size_t>(list[i].kind)];
            if (seen <= kListedPerKind) continue;
            found[static_cast<size_t>(list[i].kind)] = 0;
            list.push_back(
                {list[i].kind, list[i].severity,
                 std::to_string(seen - kListedPerKind) +
                     " more of this kind, not listed, as the first: " + list[i].message});
        }
    }

    const BoundedView& view;
    const CheckOptions& options;
    ClaimedRanges<ClaimOwner> claimed;
    std::vector<Violation> errors;
    std::vector<Violation> warnings;
    size_t found[kKindCount] = {};
};

std::vector<Violation> Checker::Run() {
    if (!view.Contains(0, kDataHeaderSize)) {
        Error(ViolationKind::TruncatedHeader,
              "header: the file has " + std::to_string(view.Size()) + " bytes, fewer than the " +
                  std::to_string(kDataHeaderSize) + " of the header");
        return std::move(errors);
    }
    CheckDataVersion(*view.Le32(kHeaderDataVersionField));
    for (size_t group = 0; group < size_t{kCharacterGroupCount}; ++group) CheckGroup(group);
    CountUnlisted(errors);
    CountUnlisted(warnings);
    errors.insert(errors.end(), warnings.begin(), warnings.end());
    return std::move(errors);
}

void Checker::CheckDataVersion(uint32_t dataVersion) {
    const std::string where = "header: data version " + HexText(dataVersion);
    if (dataVersion > kHighestDataVersion) {
        const std::string stamped =
            dataVersion > 0xFFFFu
                ? "a handheld would keep only its low 16 bits, " + HexText(dataVersion & 0xFFFFu, 4)
                : "every handheld it updated would refuse all later updates";
        Error(ViolationKind::DataVersionTooHigh,
              where + " is above " + HexText(kHighestVersion, 4) +
                  ", the highest version word a handheld may have: " + stamped +
                  "; the program refuses the file");
    }
    if (dataVersion < kLowestDataVersion) {
        Error(ViolationKind::DataVersionTooLow,
              where + " is not above " + HexText(kLowestVersion, 4) +
                  ", the lowest version word a handheld may have, so no handheld updates; the "
                  "program refuses the file");
    }
}

void Checker::CheckGroup(size_t group) {
    const std::string where = "group " + std::to_string(group);
    const uint32_t count = *view.Le32(CharacterCountField(group));
    const uint32_t tableOffset = *view.Le32(CharacterTableField(group));
    if (count == 0) return;
    if (!view.Contains(tableOffset, TableBytes(count))) {
        Error(ViolationKind::TableOutside, where + ": character table at " + HexText(tableOffset) +
                                               " with " + std::to_string(count) + " records " +
                                               EndOfFile(view.Size()));
        return;
    }

    std::vector<Keyed> numbers;
    numbers.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t recordOffset = tableOffset + TableBytes(i);
        const std::optional<CharacterRecord> character = ReadCharacterRecord(view, recordOffset);
        if (!character) continue;  // cannot happen: the table lies inside the file
        numbers.push_back({character->number, recordOffset});
        const std::string characterWhere = CharacterWhere(group, character->number, recordOffset);
        if (character->number >= count) {
            Error(ViolationKind::NumberNotBelowCount,
                  characterWhere + ": number is not below the group's count " +
                      std::to_string(count) + ", so the character can never be found");
        }
        CheckCharacter(characterWhere, {"", group, character->number, recordOffset}, *character);
    }
    CheckKeys(where + " character table", std::move(numbers), "character number", false);
}

void Checker::CheckCharacter(const std::string& where, ClaimOwner owner,
                             const CharacterRecord& character) {
    if (character.entryCount != 0 &&
        !view.Contains(character.entryTableOffset, TableBytes(character.entryCount))) {
        Error(ViolationKind::EntryTableOutside,
              where + ": entry table at " + HexText(character.entryTableOffset) + " with " +
                  std::to_string(character.entryCount) + " records " + EndOfFile(view.Size()));
        return;
    }
    owner.what = "entry table";
    if (!Claim(where, owner, character.entryTableOffset, TableBytes(character.entryCount))) {
        return;
    }

    std::vector<ResourceEntry> entries;
    std::vector<Keyed> ids;
    entries.reserve(character.entryCount);
    ids.reserve(character.entryCount);
    std::optional<ResourceEntry> requiredEntry;
    std::optional<ResourceEntry> secondEntry;
    for (uint32_t i = 0; i < character.entryCount; ++i) {
        const uint64_t entryOffset = character.entryTableOffset + TableBytes(i);
        const std::optional<ResourceEntry> entry = ReadResourceEntry(view, entryOffset);
        if (!entry) continue;  // cannot happen: the table lies inside the file
        entries.push_back(*entry);
        ids.push_back({entry->id, entryOffset});
        if (entry->id == kRequiredListId && !requiredEntry) requiredEntry = entry;
        if (entry->id == kSecondListId && !secondEntry) secondEntry = entry;
        if (!IsListId(entry->id)) CheckResource(EntryWhere(where, entry->id, entryOffset), *entry);
    }
    CheckKeys(where + " entry table", ids, "id", true);
    std::sort(ids.begin(), ids.end(), [](const Keyed& a, const Keyed& b) { return a.key < b.key; });

    if (!requiredEntry) {
        Error(ViolationKind::MissingRequiredList,
              where + ": no required list entry (id " + HexText(kRequiredListId) + ")");
    } else if (const auto required =
                   ReadList(where, owner, "required", requiredEntry->dataOffset)) {
        std::vector<Placement> placements;
        for (size_t k = 0; k < required->size(); ++k) {
            const uint32_t id = (*required)[k];
            const Keyed* found = FindKey(ids, id);
            if (found == nullptr) {
                Error(ViolationKind::MissingRequiredResource,
                      MissingItem(where, "required", k, id));
                continue;
            }
            const std::optional<ResourceEntry> entry = ReadResourceEntry(view, found->offset);
            if (entry && entry->dataLength != 0 &&
                DeviceImage::Fits(entry->destinationBlock, entry->dataLength)) {
                placements.push_back({id, entry->destinationBlock,
                                      entry->destinationBlock + BlocksFor(entry->dataLength)});
            }
        }
        CheckPlacements(where, std::move(placements));
    }

    if (!secondEntry) {
        Error(ViolationKind::MissingSecondList,
              where + ": no second list entry (id " + HexText(kSecondListId) +
                  "), without which an update of this character cannot go ahead");
    } else if (const auto second = ReadList(where, owner, "second", secondEntry->dataOffset)) {
        // The update only needs the list to be there, but its ids name resources as well.
        for (size_t k = 0; k < second->size(); ++k) {
            if (FindKey(ids, (*second)[k]) == nullptr) {
                Warn(ViolationKind::MissingSecondResource,
                     MissingItem(where, "second", k, (*second)[k]));
            }
        }
    }
}

void Checker::CheckResource(const std::string& where, const ResourceEntry& entry) {
    if (!view.Contains(entry.dataOffset, entry.dataLength)) {
        Error(ViolationKind::ResourceOutside,
              where + ": resource data at " + HexText(entry.dataOffset) + " with length " +
                  std::to_string(entry.dataLength) + " " + EndOfFile(view.Size()));
    }
    if (!DeviceImage::Fits(entry.destinationBlock, entry.dataLength)) {
        Error(ViolationKind::PastLastBlock,
              where + ": destination block " + std::to_string(entry.destinationBlock) + " and " +
                  std::to_string(BlocksFor(entry.dataLength)) + " blocks of data pass block " +
                  std::to_string(kImageBlocks - 1));
    }
}

bool Checker::Claim(const std::string& where, ClaimOwner owner, uint64_t offset, uint64_t length) {
    const ClaimOwner* first = claimed.Claim(offset, length, owner);
    if (first == nullptr) return true;
    Error(ViolationKind::SharedStructure, where + ": " + owner.what + " at " + HexText(offset) +
                                              " overlaps " + first->Text() +
                                              "; every character has tables and lists of its own");
    return false;
}

std::optional<std::vector<uint32_t>> Checker::ReadList(const std::string& where, ClaimOwner owner,
                                                       const char* name, uint32_t listOffset) {
    const std::optional<uint32_t> count = view.Le32(listOffset);
    if (!count || !view.Contains(listOffset, ListBytes(*count))) {
        Error(ViolationKind::ListOutside,
              where + ": " + name + " list at " + HexText(listOffset) +
                  (count ? " with " + std::to_string(*count) + " ids " : " ") +
                  EndOfFile(view.Size()));
        return std::nullopt;
    }
    owner.what = name == std::string("required") ? "required list" : "second list";
    if (!Claim(where, owner, listOffset, ListBytes(*count))) {
        return std::nullopt;
    }
    std::vector<uint32_t> ids;
    ids.reserve(*count);
    for (uint32_t k = 0; k < *count; ++k) {
        ids.push_back(*view.Le32(listOffset + kListCountSize + uint64_t{k} * kListIdSize));
    }
    return ids;
}

void Checker::CheckKeys(const std::string& where, std::vector<Keyed> keys, const char* keyName,
                        bool hexKeys) {
    const auto keyText = [&](uint32_t key) {
        return std::string(keyName) + " " + (hexKeys ? HexText(key) : std::to_string(key));
    };
    // One report per table: after the first step down the rest of the order says little.
    for (size_t i = 1; i < keys.size(); ++i) {
        if (keys[i].key < keys[i - 1].key) {
            Error(ViolationKind::UnsortedKeys,
                  where + ": not in ascending order: " + keyText(keys[i].key) + " (record at " +
                      HexText(keys[i].offset) + ") follows " + keyText(keys[i - 1].key));
            break;
        }
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
    for (size_t i = 1; i < keys.size(); ++i) {
        if (keys[i].key == keys[i - 1].key && (i < 2 || keys[i - 2].key != keys[i].key)) {
            Error(ViolationKind::DuplicateKey,
                  where + ": " + keyText(keys[i].key) + " appears more than once (records at " +
                      HexText(keys[i - 1].offset) + " and " + HexText(keys[i].offset) + ")");
        }
    }
}

void Checker::CheckPlacements(const std::string& where, std::vector<Placement> placements) {
    if (!options.warnings) return;
    for (const Placement& placement : placements) {
        const std::string what = where + ", id " + HexText(placement.id) + ": blocks " +
                                 std::to_string(placement.firstBlock) + " to " +
                                 std::to_string(placement.endBlock - 1);
        if (placement.firstBlock < kFirstWriteBackBlock) {
            Warn(ViolationKind::NeverSentBlock, what + " begin below block " +
                                                    std::to_string(kFirstWriteBackBlock) +
                                                    ", which is never sent to the handheld");
        }
        for (const uint32_t system : {kSystemBlockLow, kSystemBlockHigh}) {
            if (placement.firstBlock <= system && system < placement.endBlock) {
                Warn(ViolationKind::CoversSystemBlock, what + " cover system block " +
                                                           std::to_string(system) +
                                                           " and overwrite its system record");
            }
        }
    }

    std::stable_sort(
        placements.begin(), placements.end(),
        [](const Placement& a, const Placement& b) { return a.firstBlock < b.firstBlock; });
    // Sweep: each placement against the one reaching furthest so far.
    std::optional<Placement> furthest;
    for (const Placement& placement : placements) {
        if (furthest && placement.firstBlock < furthest->endBlock && placement.id != furthest->id) {
            Warn(ViolationKind::OverlappingPlacement,
                 where + ": required ids " + HexText(furthest->id) + " (blocks " +
                     std::to_string(furthest->firstBlock) + " to " +
                     std::to_string(furthest->endBlock - 1) + ") and " + HexText(placement.id) +
                     " (blocks " + std::to_string(placement.firstBlock) + " to " +
                     std::to_string(placement.endBlock - 1) +
                     ") overlap; the later one in the list wins");
        }
        if (!furthest || placement.endBlock > furthest->endBlock) furthest = placement;
    }
}

}  // namespace

std::vector<Violation> CheckDataFile(const uint8_t* bytes, size_t size,
                                     const CheckOptions& options) {
    const BoundedView view(bytes, size);
    Checker checker(view, options);
    return checker.Run();
}

bool IsWellFormed(const std::vector<Violation>& violations) {
    return std::none_of(violations.begin(), violations.end(),
                        [](const Violation& v) { return v.severity == Severity::Error; });
}
