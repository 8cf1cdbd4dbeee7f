// What an update does to a handheld, worked out from its two system blocks and the data file
// before anything changes: the run applies it, and zumbiko-update --check prints it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "engine/DataFile.h"
#include "engine/SystemRecord.h"
#include "engine/UpdateResult.h"

class DeviceImage;

struct PlannedResource {
    uint32_t id = 0;
    // The id in the character's table, and its entry when found.
    Lookup lookup = Lookup::Absent;
    ResourceEntry entry{};
    bool fits = false;    // ends at or before block 511
    bool inFile = false;  // its bytes lie inside the data file
};

struct UpdatePlan {
    // What the run ends with, and the id that results 9 and 10 report.
    UpdateResult result = UpdateResult::Updated;
    uint32_t errorId = 0;

    uint16_t version = 0;  // block 511's version word as read
    uint32_t dataVersion = 0;
    bool oldLayout = false;  // a version word of the older record layout
    // The records the run converts: block 509's, block 511's.
    bool convertLow = false;
    bool convertHigh = false;
    // The character as the run looks it up, converted from the older layout where it has it.
    int16_t group = 0;
    int16_t number = 0;
    bool characterFound = false;
    // The character's required list in its order, empty without a character or the list. An
    // array of its own rather than a vector, whose failures would bring most of the standard
    // library's stream code into the program.
    std::unique_ptr<PlannedResource[]> resources;
    uint32_t resourceCount = 0;
    // How many of them the run places: all before the first it cannot, or none when the run
    // stops before the resources.
    uint32_t placed = 0;

    std::span<const PlannedResource> Resources() const { return {resources.get(), resourceCount}; }
    // Stamped into both records when the result is Updated: the data version's low 16 bits.
    uint16_t stamp = 0;
};

// The records of blocks 509 and 511 as read from the handheld; data has a usable header.
// Every check is made even after one fails, so that the plan tells all it can; the result is
// the first failure in the run's order.
UpdatePlan PlanUpdate(SystemRecord low, SystemRecord high, const DataFile& data);

// Converts, places and stamps into the image as the plan says.
void ApplyPlan(const UpdatePlan& plan, const DataFile& data, DeviceImage& image);
