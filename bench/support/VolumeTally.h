// What a run's volumes saw: its sector operations by kind and the volume's own share of the
// time, the wall time spent inside its sector calls. Fed by ObservedVolumes.
#pragma once

#include <cstdint>
#include <map>
#include <string>

struct VolumeEvent;

struct VolumeTally {
    // Operations by direction and sector count: what a replay must send again.
    std::map<std::pair<bool, uint32_t>, uint32_t> operations;
    uint64_t bytes = 0;
    uint32_t opens = 0;
    double insideSeconds = 0;

    void Note(const VolumeEvent& event);
    uint32_t Count() const;
    // "read:1=1 read:16=2 write:1=14 write:16=256": direction:sectors=operations.
    std::string Histogram() const;
};
