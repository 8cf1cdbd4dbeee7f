#include "CheckReport.h"

#include "UpdaterTexts.h"
#include "engine/DeviceImage.h"

namespace {

void PrintPlan(std::FILE* out, const UpdatePlan& plan) {
    Say(out, TxtCheckVersion, unsigned{plan.version}, plan.dataVersion & 0xFFFFu);
    Say(out, TxtCheckCharacter, int{plan.group}, int{plan.number});
    if (plan.oldLayout) Say(out, TxtCheckOldLayout);
    if (!plan.characterFound) {
        Say(out, TxtCheckNoCharacter);
        return;
    }
    Say(out, TxtCheckResources);
    for (const PlannedResource& resource : plan.Resources()) {
        const ResourceEntry& entry = resource.entry;
        if (resource.lookup != Lookup::Found) {
            Say(out, TxtCheckResourceMissing, resource.id);
        } else if (!resource.fits) {
            Say(out, TxtCheckResourceTooLarge, resource.id, entry.dataLength,
                entry.destinationBlock);
        } else {
            const uint32_t blocks = BlocksFor(entry.dataLength);
            const uint32_t last = entry.destinationBlock + (blocks == 0 ? 0 : blocks - 1);
            Say(out, TxtCheckResource, resource.id, entry.dataLength, entry.destinationBlock, last);
        }
    }
    Say(out, TxtCheckWriteBack, kWriteBackBlocks);
}

}  // namespace

void PrintCheckReport(std::FILE* out, const CheckFindings& findings) {
    if (!findings.device.empty()) Say(out, TxtCheckDevice, findings.device.c_str());
    if (findings.plan != nullptr) PrintPlan(out, *findings.plan);
    if (findings.commandsSent == 0) {
        Say(out, TxtCheckNothingSent);
    } else {
        Say(out, TxtCheckCommandsSent, findings.commandsSent);
    }
    if (findings.result == UpdateResult::Updated) {
        Say(out, TxtCheckReady);
        return;
    }
    Say(out, TxtCheckOutcome, static_cast<int>(findings.result));
    std::fprintf(out, "%s\n", findings.message.c_str());
    std::fflush(out);
}
