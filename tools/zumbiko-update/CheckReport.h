// What --check prints: the plan of the update and the result it would end with.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/UpdatePlan.h"
#include "engine/UpdateResult.h"

struct CheckFindings {
    std::string device;
    // Known once the handheld and the data file were both read.
    const UpdatePlan* plan = nullptr;
    UpdateResult result = UpdateResult::Updated;
    std::string message;        // the result's message as the update would show it
    uint32_t commandsSent = 0;  // written into the handheld's command sector to read it
};

void PrintCheckReport(std::FILE* out, const CheckFindings& findings);
