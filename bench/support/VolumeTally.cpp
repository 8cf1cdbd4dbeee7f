#include "VolumeTally.h"

#include <chrono>

#include "device/ObservedVolumes.h"

void VolumeTally::Note(const VolumeEvent& event) {
    if (event.kind == VolumeEvent::Kind::Open) {
        opens += event.moved == 0 ? 1 : 0;
        return;
    }
    insideSeconds += std::chrono::duration<double>(event.took).count();
    ++operations[{event.kind == VolumeEvent::Kind::Write, event.count}];
    if (event.moved > 0) bytes += static_cast<uint32_t>(event.moved);
}

uint32_t VolumeTally::Count() const {
    uint32_t total = 0;
    for (const auto& [kind, n] : operations) total += n;
    return total;
}

std::string VolumeTally::Histogram() const {
    std::string text;
    for (const auto& [kind, n] : operations) {
        if (!text.empty()) text += ' ';
        text += (kind.first ? "write:" : "read:") + std::to_string(kind.second) + "=" +
                std::to_string(n);
    }
    return text;
}
