#include "UpdatePlan.h"

#include "engine/DataFile.h"
#include "engine/DeviceImage.h"
#include "engine/SystemRecord.h"

UpdatePlan PlanUpdate(std::vector<uint8_t> upperSystemBlock, const DataFile& data) {
    UpdatePlan plan;
    if (upperSystemBlock.size() < kBlockSize || !data.HasHeader()) return plan;
    plan.dataVersion = data.DataVersion();
    SystemRecord record(upperSystemBlock.data() + kSystemRecordOffset);
    plan.version = record.VersionWord();
    plan.oldLayout = plan.version >= kLowestVersion && plan.version <= kLastOldLayoutVersion;
    // The update looks the character up in the newer layout, converted the same way.
    if (plan.oldLayout) record.ConvertOldRecord();
    plan.group = record.CharacterGroup();
    plan.number = record.CharacterNumber();

    CharacterRecord character{};
    plan.characterFound = data.FindCharacter(plan.group, plan.number, &character) == Lookup::Found;
    if (!plan.characterFound) return plan;
    ResourceEntry listEntry{};
    IdList required{};
    if (data.FindEntry(character, kRequiredListId, &listEntry) != Lookup::Found ||
        data.ReadList(listEntry, &required) != Lookup::Found) {
        return plan;
    }
    for (uint32_t k = 0; k < required.count; ++k) {
        PlannedResource resource;
        resource.id = required.Id(k);
        ResourceEntry entry{};
        resource.present = data.FindEntry(character, resource.id, &entry) == Lookup::Found;
        if (resource.present) {
            resource.destinationBlock = entry.destinationBlock;
            resource.length = entry.dataLength;
            resource.fits = DeviceImage::Fits(entry.destinationBlock, entry.dataLength);
        }
        plan.resources.push_back(resource);
    }
    return plan;
}
