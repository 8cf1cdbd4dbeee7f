// The parts of a data file already read as an entry table or a list. Each is read once:
// were tables and lists shared, a few KiB of characters all naming one table of entries
// that all name one list would make a reader visit the same records millions of times.
#pragma once

#include <cstdint>
#include <iterator>
#include <map>
#include <string>

// Owner names a range for a message: a text, or anything smaller that can give one later.
template <typename Owner = std::string>
class ClaimedRanges {
public:
    // Claims [offset, offset + length) for owner and returns null; or, when a claimed range
    // overlaps it, claims nothing and returns that range's owner. Empty ranges overlap nothing.
    const Owner* Claim(uint64_t offset, uint64_t length, Owner owner) {
        if (length == 0) return nullptr;
        const uint64_t end = offset + length;
        // Claimed ranges never overlap, so the last one starting before end reaches furthest.
        const auto next = ranges.lower_bound(end);
        if (next != ranges.begin()) {
            const auto last = std::prev(next);
            if (last->second.end > offset) return &last->second.owner;
        }
        ranges.emplace_hint(next, offset, Claimed{end, std::move(owner)});
        return nullptr;
    }

private:
    struct Claimed {
        uint64_t end;
        Owner owner;
    };
    std::map<uint64_t, Claimed> ranges;  // by first byte
};
