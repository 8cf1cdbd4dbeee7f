// A readable listing of an update data file, for people looking into one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Lists the header, the groups, each character's entries (ids in hexadecimal), the lists and
// the resources with a short preview. Never reads past the end: parts that lie outside the
// file are named as such and skipped.
std::string DumpDataFile(const uint8_t* bytes, size_t size);
