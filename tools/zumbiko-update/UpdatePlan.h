// What an update would do to a handheld, told from its system block and the data file.
#pragma once

#include <cstdint>
#include <vector>

class DataFile;

struct PlannedResource {
    uint32_t id = 0;
    bool present = false;  // in the character's table
    uint32_t destinationBlock = 0;
    uint32_t length = 0;
    bool fits = false;  // ends at or before block 511
};

struct UpdatePlan {
    uint16_t version = 0;
    bool oldLayout = false;
    int16_t group = 0;
    int16_t number = 0;
    uint32_t dataVersion = 0;
    bool characterFound = false;
    // The character's required list, in its order; empty without a character or list.
    std::vector<PlannedResource> resources;
};

// upperSystemBlock: block 511 as read from the handheld. The run's result says whether the
// update would succeed; this only describes it.
UpdatePlan PlanUpdate(std::vector<uint8_t> upperSystemBlock, const DataFile& data);
