// Judges an update data file against every rule of a well-formed file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class ViolationKind {
    TruncatedHeader,
    DataVersionTooHigh,
    // Not above the lowest version word a handheld has: it updates none.
    DataVersionTooLow,
    TableOutside,
    EntryTableOutside,
    ListOutside,
    ResourceOutside,
    UnsortedKeys,
    DuplicateKey,
    NumberNotBelowCount,
    MissingRequiredList,
    MissingSecondList,
    MissingRequiredResource,
    PastLastBlock,
    // An entry table or list that overlaps another one.
    SharedStructure,
    // Warnings: the file is well-formed, but an update from it probably does not do what
    // its author meant.
    OverlappingPlacement,
    CoversSystemBlock,
    NeverSentBlock,
    MissingSecondResource,
};

enum class Severity { Error, Warning };

struct Violation {
    ViolationKind kind;
    Severity severity;
    // Names where (group, character number, id, offset) and what is wrong.
    std::string message;
};

struct CheckOptions {
    bool warnings = false;
};

// Errors first in file order, then warnings. An empty result means well-formed.
std::vector<Violation> CheckDataFile(const uint8_t* bytes, size_t size,
                                     const CheckOptions& options = {});

// True when the list holds no Severity::Error.
bool IsWellFormed(const std::vector<Violation>& violations);
