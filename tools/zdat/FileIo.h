// Whole-file reads and writes for the zdat tool, with messages that name the file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A file larger than limit bytes is refused, before it is read when its size tells, else as
// soon as more comes: a file in /proc or a FIFO may say nothing of its size.
bool ReadWholeFile(const std::filesystem::path& file, std::vector<uint8_t>* content,
                   std::string* error, uint64_t limit);

// Writes beside the target first and renames, so a failed write never leaves a
// half-written file under the target's name.
bool WriteWholeFile(const std::filesystem::path& file, const std::vector<uint8_t>& content,
                    std::string* error);
