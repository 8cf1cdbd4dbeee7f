#include "engine/UpdatePlan.h"

#include "engine/DeviceImage.h"

namespace {

// Only the first failure counts: it is where the run stops.
void Stop(UpdatePlan& plan, UpdateResult result, uint32_t id = 0) {
    if (plan.result != UpdateResult::Updated) return;
    plan.result = result;
    plan.errorId = id;
}

// An entry the character needs and the file lacks is result 9 naming it; one the file cannot
// hold is an unreadable file.
void StopForMissing(UpdatePlan& plan, Lookup lookup, uint32_t id) {
    if (lookup == Lookup::Absent) {
        Stop(plan, UpdateResult::DataMissing, id);
    } else {
        Stop(plan, UpdateResult::DataFileError);
    }
}

bool ReadRequiredList(const DataFile& data, const CharacterRecord& character, uint32_t listId,
                      IdList* list, UpdatePlan& plan) {
    ResourceEntry entry{};
    const Lookup lookup = data.FindEntry(character, listId, &entry);
    if (lookup != Lookup::Found) {
        StopForMissing(plan, lookup, listId);
        return false;
    }
    if (data.ReadList(entry, list) == Lookup::Found) return true;
    Stop(plan, UpdateResult::DataFileError);
    return false;
}

PlannedResource PlanResource(const DataFile& data, const CharacterRecord& character, uint32_t id,
                             UpdatePlan& plan) {
    PlannedResource resource;
    resource.id = id;
    resource.lookup = data.FindEntry(character, id, &resource.entry);
    if (resource.lookup == Lookup::Found) {
        resource.fits =
            DeviceImage::Fits(resource.entry.destinationBlock, resource.entry.dataLength);
        resource.inFile = data.ResourceBytes(resource.entry) != nullptr;
    }
    if (resource.lookup != Lookup::Found) {
        StopForMissing(plan, resource.lookup, id);
    } else if (!resource.fits) {
        Stop(plan, UpdateResult::DataTooLarge, id);
    } else if (!resource.inFile) {
        Stop(plan, UpdateResult::DataFileError);
    }
    return resource;
}

}  // namespace

UpdatePlan PlanUpdate(SystemRecord low, SystemRecord high, const DataFile& data) {
    UpdatePlan plan;
    plan.dataVersion = data.DataVersion();
    plan.stamp = static_cast<uint16_t>(plan.dataVersion);
    plan.version = high.VersionWord();
    plan.oldLayout = plan.version >= kLowestVersion && plan.version <= kLastOldLayoutVersion;
    if (plan.version < kLowestVersion || plan.version > kHighestVersion) {
        Stop(plan, UpdateResult::WrongVersion);
    } else if (uint32_t{plan.version} >= plan.dataVersion) {
        Stop(plan, UpdateResult::AlreadyUpdated);
    }

    plan.group = high.CharacterGroup();
    plan.number = high.CharacterNumber();
    if (plan.oldLayout) {
        const CharacterIdentity converted = OldLayoutCharacter(plan.number);
        plan.group = converted.group;
        plan.number = converted.number;
        plan.convertHigh = plan.result == UpdateResult::Updated;
        // A write-back torn after block 509 left it converted and stamped while block 511 is
        // still old: converting it again would take its new number for an old one.
        plan.convertLow = plan.convertHigh && !low.HasNewerLayout();
    }

    CharacterRecord character{};
    const Lookup found = data.FindCharacter(plan.group, plan.number, &character);
    plan.characterFound = found == Lookup::Found;
    if (!plan.characterFound) {
        Stop(plan, found == Lookup::Absent ? UpdateResult::CharacterNotSupported
                                           : UpdateResult::DataFileError);
        return plan;
    }

    IdList required{};
    if (!ReadRequiredList(data, character, kRequiredListId, &required, plan)) return plan;
    plan.resources.reset(new PlannedResource[required.count]);
    plan.resourceCount = required.count;
    for (uint32_t k = 0; k < required.count; ++k) {
        plan.resources[k] = PlanResource(data, character, required.Id(k), plan);
        if (plan.result == UpdateResult::Updated) ++plan.placed;
    }
    // Only the second list's presence matters; reading it checks it lies in the file.
    IdList second{};
    ReadRequiredList(data, character, kSecondListId, &second, plan);
    return plan;
}

void ApplyPlan(const UpdatePlan& plan, const DataFile& data, DeviceImage& image) {
    if (plan.convertLow) image.Record(kSystemBlockLow).ConvertOldRecord();
    if (plan.convertHigh) image.Record(kSystemBlockHigh).ConvertOldRecord();
    for (const PlannedResource& resource : plan.Resources().first(plan.placed)) {
        const ResourceEntry& entry = resource.entry;
        image.PlaceResource(entry.destinationBlock, entry.dataLength, data.ResourceBytes(entry));
    }
    if (plan.result != UpdateResult::Updated) return;
    image.Record(kSystemBlockLow).SetVersionWord(plan.stamp);
    image.Record(kSystemBlockHigh).SetVersionWord(plan.stamp);
}
