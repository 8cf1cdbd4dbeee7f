#include "tools/zdat/DataFileDumper.h"

#include <algorithm>
#include <optional>
#include <string>

#include "engine/DeviceImage.h"
#include "tools/zdat/BoundedView.h"
#include "tools/zdat/ClaimedRanges.h"
#include "tools/zdat/DataFileRecords.h"
#include "tools/zdat/HexText.h"

namespace {

constexpr uint32_t kPreviewBytes = 16;

const char* const kOutside = "passes the end of the file";

std::string Counted(uint64_t count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

class Dumper {
public:
    Dumper(const BoundedView& view, std::ostream& out) : view(view), out(out) {}

    void Run();

private:
    void DumpGroup(size_t group);
    void DumpCharacter(size_t group, uint64_t recordOffset);
    void DumpEntry(const std::string& character, const ResourceEntry& entry);
    void DumpList(const std::string& owner, uint32_t listOffset);
    void DumpResource(const ResourceEntry& entry);
    // How many whole records of a table lie inside the file, with a note when not all.
    uint32_t RecordsInside(uint32_t tableOffset, uint32_t count, const char* indent);

    const BoundedView& view;
    std::ostream& out;
    ClaimedRanges<> listed;
};

void Dumper::Run() {
    out << "file: " << view.Size() << " bytes\n";
    if (!view.Contains(0, kDataHeaderSize)) {
        out << "header: missing, " << kDataHeaderSize << " bytes needed\n";
        return;
    }
    out << "header: data version " << HexText(*view.Le32(kHeaderDataVersionField)) << ", reserved "
        << HexText(*view.Le32(kHeaderReservedField)) << "\n";
    for (size_t group = 0; group < size_t{kCharacterGroupCount}; ++group) DumpGroup(group);
}

uint32_t Dumper::RecordsInside(uint32_t tableOffset, uint32_t count, const char* indent) {
    if (view.Contains(tableOffset, TableBytes(count))) return count;
    const uint64_t room = tableOffset <= view.Size() ? view.Size() - tableOffset : 0;
    const auto inside = static_cast<uint32_t>(std::min<uint64_t>(count, room / kDataRecordSize));
    out << indent << "(table " << kOutside << "; " << inside << " of " << count
        << " records shown)\n";
    return inside;
}

void Dumper::DumpGroup(size_t group) {
    const uint32_t count = *view.Le32(CharacterCountField(group));
    const uint32_t tableOffset = *view.Le32(CharacterTableField(group));
    out << "group " << group << ": " << Counted(count, "character") << ", table at "
        << HexText(tableOffset) << "\n";
    const uint32_t inside = RecordsInside(tableOffset, count, "  ");
    for (uint32_t i = 0; i < inside; ++i) DumpCharacter(group, tableOffset + TableBytes(i));
}

void Dumper::DumpCharacter(size_t group, uint64_t recordOffset) {
    const std::optional<CharacterRecord> character = ReadCharacterRecord(view, recordOffset);
    if (!character) return;
    out << "  character " << character->number << " (record at " << HexText(recordOffset)
        << ", tag " << HexText(*view.Le32(recordOffset + kCharacterTagField))
        << "): " << Counted(character->entryCount, "entry record") << ", table at "
        << HexText(character->entryTableOffset) << "\n";
    const uint32_t inside =
        RecordsInside(character->entryTableOffset, character->entryCount, "    ");
    const std::string where = CharacterWhere(group, character->number, recordOffset);
    if (const std::string* owner = listed.Claim(character->entryTableOffset, TableBytes(inside),
                                                "the entry table of " + where)) {
        out << "    (table overlaps " << *owner << "; not listed again)\n";
        return;
    }
    for (uint32_t i = 0; i < inside; ++i) {
        const std::optional<ResourceEntry> entry =
            ReadResourceEntry(view, character->entryTableOffset + TableBytes(i));
        if (entry) DumpEntry(where, *entry);
    }
}

void Dumper::DumpEntry(const std::string& character, const ResourceEntry& entry) {
    out << "    id " << HexText(entry.id);
    if (entry.id == kRequiredListId) {
        out << " required list";
        DumpList("the required list of " + character, entry.dataOffset);
    } else if (entry.id == kSecondListId) {
        out << " second list";
        DumpList("the second list of " + character, entry.dataOffset);
    } else {
        DumpResource(entry);
    }
    out << "\n";
}

void Dumper::DumpList(const std::string& owner, uint32_t listOffset) {
    out << " at " << HexText(listOffset) << ": ";
    const std::optional<uint32_t> count = view.Le32(listOffset);
    if (!count || !view.Contains(listOffset, ListBytes(*count))) {
        out << kOutside;
        return;
    }
    if (const std::string* first = listed.Claim(listOffset, ListBytes(*count), owner)) {
        out << "overlaps " << *first << "; not listed again";
        return;
    }
    out << Counted(*count, "id");
    for (uint32_t k = 0; k < *count; ++k) {
        out << (k == 0 ? ": " : " ")
            << HexText(*view.Le32(listOffset + kListCountSize + uint64_t{k} * kListIdSize));
    }
}

void Dumper::DumpResource(const ResourceEntry& entry) {
    out << ": block " << entry.destinationBlock << ", data at " << HexText(entry.dataOffset) << ", "
        << Counted(entry.dataLength, "byte") << " ("
        << Counted(BlocksFor(entry.dataLength), "block") << ")";
    const uint8_t* data = view.At(entry.dataOffset, entry.dataLength);
    if (data == nullptr) {
        out << ": " << kOutside;
        return;
    }
    const uint32_t shown = std::min(entry.dataLength, kPreviewBytes);
    if (shown != 0) out << ":";
    for (uint32_t i = 0; i < shown; ++i) out << " " << ByteText(data[i]);
    if (shown < entry.dataLength) out << " ...";
}

}  // namespace

void DumpDataFile(const uint8_t* bytes, size_t size, std::ostream& out) {
    const BoundedView view(bytes, size);
    Dumper(view, out).Run();
}
