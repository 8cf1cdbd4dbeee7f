// A readable listing of an update data file, for people looking into one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>

// Writes, as it goes, the header, the groups, each character's entries (ids in hexadecimal),
// the lists and the resources with a short preview. Never reads past the end: parts that lie
// outside the file are named as such and skipped. An entry table or list that overlaps one
// already listed is named, not listed again, so the listing grows with the file's size.
void DumpDataFile(const uint8_t* bytes, size_t size, std::ostream& out);
