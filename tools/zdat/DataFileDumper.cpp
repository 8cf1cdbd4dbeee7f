#include "tools/zdat/DataFileDumper.h"

#include <algorithm>
#include <optional>

#include "engine/DeviceImage.h"
#include "tools/zdat/BoundedView.h"
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
    explicit Dumper(const BoundedView& view) : view(view) {}

    std::string Run();

private:
    void DumpGroup(size_t group);
    void DumpCharacter(uint64_t recordOffset);
    void DumpEntry(const ResourceEntry& entry);
    void DumpList(uint32_t listOffset);
    void DumpResource(const ResourceEntry& entry);
    // How many whole records of a table lie inside the file, with a note when not all.
    uint32_t RecordsInside(uint32_t tableOffset, uint32_t count, const std::string& indent);

    const BoundedView& view;
    std::string out;
};

std::string Dumper::Run() {
    out = "file: " + std::to_string(view.Size()) + " bytes\n";
    if (!view.Contains(0, kDataHeaderSize)) {
        out += "header: missing, " + std::to_string(kDataHeaderSize) + " bytes needed\n";
        return std::move(out);
    }
    out += "header: data version " + HexText(*view.Le32(kHeaderDataVersionField)) + ", reserved " +
           HexText(*view.Le32(kHeaderReservedField)) + "\n";
    for (size_t group = 0; group < size_t{kCharacterGroupCount}; ++group) DumpGroup(group);
    return std::move(out);
}

uint32_t Dumper::RecordsInside(uint32_t tableOffset, uint32_t count, const std::string& indent) {
    if (view.Contains(tableOffset, TableBytes(count))) return count;
    const uint64_t room = tableOffset <= view.Size() ? view.Size() - tableOffset : 0;
    const auto inside = static_cast<uint32_t>(std::min<uint64_t>(count, room / kDataRecordSize));
    out += indent + "(table " + kOutside + "; " + std::to_string(inside) + " of " +
           std::to_string(count) + " records shown)\n";
    return inside;
}

void Dumper::DumpGroup(size_t group) {
    const uint32_t count = *view.Le32(CharacterCountField(group));
    const uint32_t tableOffset = *view.Le32(CharacterTableField(group));
    out += "group " + std::to_string(group) + ": " + Counted(count, "character") + ", table at " +
           HexText(tableOffset) + "\n";
    const uint32_t inside = RecordsInside(tableOffset, count, "  ");
    for (uint32_t i = 0; i < inside; ++i) DumpCharacter(tableOffset + TableBytes(i));
}

void Dumper::DumpCharacter(uint64_t recordOffset) {
    const std::optional<CharacterRecord> character = ReadCharacterRecord(view, recordOffset);
    if (!character) return;
    out += "  character " + std::to_string(character->number) + " (record at " +
           HexText(recordOffset) + ", tag " +
           HexText(*view.Le32(recordOffset + kCharacterTagField)) +
           "): " + Counted(character->entryCount, "entry record") + ", table at " +
           HexText(character->entryTableOffset) + "\n";
    const uint32_t inside =
        RecordsInside(character->entryTableOffset, character->entryCount, "    ");
    for (uint32_t i = 0; i < inside; ++i) {
        const std::optional<ResourceEntry> entry =
            ReadResourceEntry(view, character->entryTableOffset + TableBytes(i));
        if (entry) DumpEntry(*entry);
    }
}

void Dumper::DumpEntry(const ResourceEntry& entry) {
    out += "    id " + HexText(entry.id);
    if (entry.id == kRequiredListId) {
        out += " required list";
        DumpList(entry.dataOffset);
    } else if (entry.id == kSecondListId) {
        out += " second list";
        DumpList(entry.dataOffset);
    } else {
        DumpResource(entry);
    }
    out += "\n";
}

void Dumper::DumpList(uint32_t listOffset) {
    out += " at " + HexText(listOffset) + ": ";
    const std::optional<uint32_t> count = view.Le32(listOffset);
    if (!count || !view.Contains(listOffset, ListBytes(*count))) {
        out += kOutside;
        return;
    }
    out += Counted(*count, "id");
    for (uint32_t k = 0; k < *count; ++k) {
        out += (k == 0 ? ": " : " ") +
               HexText(*view.Le32(listOffset + kListCountSize + uint64_t{k} * kListIdSize));
    }
}

void Dumper::DumpResource(const ResourceEntry& entry) {
    out += ": block " + std::to_string(entry.destinationBlock) + ", data at " +
           HexText(entry.dataOffset) + ", " + Counted(entry.dataLength, "byte") + " (" +
           Counted(BlocksFor(entry.dataLength), "block") + ")";
    const uint8_t* data = view.At(entry.dataOffset, entry.dataLength);
    if (data == nullptr) {
        out += std::string(": ") + kOutside;
        return;
    }
    const uint32_t shown = std::min(entry.dataLength, kPreviewBytes);
    if (shown != 0) out += ":";
    for (uint32_t i = 0; i < shown; ++i) out += " " + ByteText(data[i]);
    if (shown < entry.dataLength) out += " ...";
}

}  // namespace

std::string DumpDataFile(const uint8_t* bytes, size_t size) {
    const BoundedView view(bytes, size);
    return Dumper(view).Run();
}
