#include "tools/zdat/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

namespace {

std::string Quoted(const std::filesystem::path& file) {
    return "\"" + file.string() + "\"";
}

std::string Reason() {
    return errno != 0 ? std::strerror(errno) : "unknown error";
}

}  // namespace

bool ReadWholeFile(const std::filesystem::path& file, std::vector<uint8_t>* content,
                   std::string* error, uint64_t limit) {
    std::error_code code;
    if (!std::filesystem::is_regular_file(file, code)) {
        *error = "cannot read " + Quoted(file) + ": " +
                 (code ? code.message() : std::string("not a regular file"));
        return false;
    }
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        *error = "cannot open " + Quoted(file) + ": " + Reason();
        return false;
    }
    const std::string tooLarge =
        Quoted(file) + " is larger than " + std::to_string(limit) + " bytes, more than it can be";
    const uintmax_t size = std::filesystem::file_size(file, code);
    if (!code && size > limit) {
        *error = tooLarge;
        return false;
    }
    content->clear();
    content->reserve(code ? 0 : static_cast<size_t>(size));
    constexpr size_t kChunk = 65536;
    while (in) {
        const size_t at = content->size();
        const size_t want = static_cast<size_t>(std::min<uint64_t>(kChunk, limit + 1 - at));
        content->resize(at + want);
        in.read(reinterpret_cast<char*>(content->data() + at), static_cast<std::streamsize>(want));
        content->resize(at + static_cast<size_t>(in.gcount()));
        if (content->size() > limit) {
            *error = tooLarge;
            return false;
        }
    }
    if (in.bad()) {
        *error = "cannot read " + Quoted(file) + ": " + Reason();
        return false;
    }
    return true;
}

bool WriteWholeFile(const std::filesystem::path& file, const std::vector<uint8_t>& content,
                    std::string* error) {
    std::filesystem::path temporary = file;
    temporary += ".tmp";
    errno = 0;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) {
            out.write(reinterpret_cast<const char*>(content.data()),
                      static_cast<std::streamsize>(content.size()));
            out.close();
        }
        if (!out) {
            *error = "cannot write " + Quoted(temporary) + ": " + Reason();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code code;
    std::filesystem::rename(temporary, file, code);
    if (code) {
        *error = "cannot replace " + Quoted(file) + ": " + code.message();
        std::filesystem::remove(temporary, code);
        return false;
    }
    return true;
}
