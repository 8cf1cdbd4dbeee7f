#include "tools/zdat/Manifest.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <nlohmann/json.hpp>

#include "engine/DeviceImage.h"
#include "tools/zdat/FileIo.h"

namespace {

using Json = nlohmann::json;

constexpr uint64_t kU32Max = std::numeric_limits<uint32_t>::max();
// What an update writes back, blocks 3 to 511: a resource larger could never reach a handheld,
// a typo rather than a wish. A file is refused as soon as it is seen to be larger.
constexpr uint64_t kMaxResourceLength = uint64_t{kImageBlocks - kFirstWriteBackBlock} * kBlockSize;
// The resources' bytes together, as far as 32-bit offsets reach.
constexpr uint64_t kMaxTotalLength = kU32Max;
// Far more than any update's manifest.
constexpr uint64_t kMaxManifestLength = uint64_t{64} << 20;

namespace fs = std::filesystem;

// Whether path lies inside folder; both canonical.
bool Inside(const fs::path& path, const fs::path& folder) {
    const auto [end, unused] =
        std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return end == folder.end();
}

// Walks the manifest, stopping at the first fault, which it keeps in error.
class ManifestReader {
public:
    ManifestReader(std::filesystem::path baseDir, std::string& error)
        : baseDir(std::move(baseDir)), error(error) {}

    bool ReadFile(const Json& root, DataFileDescription* description);

private:
    bool ReadGroup(const Json& group, const std::string& where, GroupDescription* out);
    bool ReadCharacter(const Json& character, const std::string& where, CharacterDescription* out);
    bool ReadResource(const Json& resource, const std::string& where, ResourceDescription* out);
    bool ReadData(const Json& resource, const std::string& where, std::vector<uint8_t>* bytes);
    bool ReadIdList(const Json& list, const std::string& where, std::vector<uint32_t>* ids);
    bool ReadNumber(const Json& value, const std::string& where, uint64_t max, uint64_t* out);
    bool ReadU32(const Json& value, const std::string& where, uint32_t* out);
    bool OnlyKeys(const Json& object, const std::string& where,
                  std::initializer_list<const char*> allowed);
    bool Fail(const std::string& where, const std::string& what) {
        error = where + ": " + what;
        return false;
    }

    // The file named, resolved inside baseDir; empty (reported) when it is not there or
    // leaves the folder.
    fs::path Resolve(const std::string& name, const std::string& where);
    // False (reported) once the resources together pass what a data file can hold.
    bool CountTowardsTotal(uint64_t length, const std::string& where) {
        totalLength += length;
        if (totalLength <= kMaxTotalLength) return true;
        return Fail(where, "the resources together pass 4 GiB, more than a data file can address");
    }

    std::filesystem::path baseDir;
    std::string& error;
    uint64_t totalLength = 0;
};

bool ManifestReader::ReadFile(const Json& root, DataFileDescription* description) {
    if (!root.is_object()) return Fail("manifest", "expected a JSON object");
    if (!OnlyKeys(root, "manifest", {"dataVersion", "reserved", "groups"})) return false;
    if (!root.contains("dataVersion")) return Fail("manifest", "missing \"dataVersion\"");
    if (!ReadU32(root["dataVersion"], "dataVersion", &description->dataVersion)) return false;
    if (root.contains("reserved") &&
        !ReadU32(root["reserved"], "reserved", &description->reserved)) {
        return false;
    }
    if (!root.contains("groups")) return Fail("manifest", "missing \"groups\"");
    const Json& groups = root["groups"];
    if (!groups.is_array() || groups.size() != description->groups.size()) {
        return Fail("groups", "expected an array of exactly " +
                                  std::to_string(description->groups.size()) +
                                  " groups, each an array of characters");
    }
    for (size_t g = 0; g < groups.size(); ++g) {
        if (!ReadGroup(groups[g], "groups[" + std::to_string(g) + "]", &description->groups[g])) {
            return false;
        }
    }
    return true;
}

bool ManifestReader::ReadGroup(const Json& group, const std::string& where, GroupDescription* out) {
    if (!group.is_array()) return Fail(where, "expected an array of characters");
    out->characters.resize(group.size());
    for (size_t i = 0; i < group.size(); ++i) {
        if (!ReadCharacter(group[i], where + "[" + std::to_string(i) + "]", &out->characters[i])) {
            return false;
        }
    }
    return true;
}

bool ManifestReader::ReadCharacter(const Json& character, const std::string& where,
                                   CharacterDescription* out) {
    if (!character.is_object()) return Fail(where, "expected a character object");
    if (!OnlyKeys(character, where, {"number", "tag", "resources", "required", "second"})) {
        return false;
    }
    if (!character.contains("number")) return Fail(where, "missing \"number\"");
    if (!ReadU32(character["number"], where + ".number", &out->number)) return false;
    if (character.contains("tag") && !ReadU32(character["tag"], where + ".tag", &out->tag)) {
        return false;
    }
    if (character.contains("resources")) {
        const Json& resources = character["resources"];
        if (!resources.is_array()) return Fail(where + ".resources", "expected an array");
        out->resources.resize(resources.size());
        for (size_t i = 0; i < resources.size(); ++i) {
            const std::string at = where + ".resources[" + std::to_string(i) + "]";
            if (!ReadResource(resources[i], at, &out->resources[i])) return false;
        }
    }
    // An absent list gets no entry, which the check after building reports.
    if (character.contains("required")) {
        out->requiredList.emplace();
        if (!ReadIdList(character["required"], where + ".required", &*out->requiredList)) {
            return false;
        }
    }
    if (character.contains("second")) {
        out->secondList.emplace();
        if (!ReadIdList(character["second"], where + ".second", &*out->secondList)) return false;
    }
    return true;
}

bool ManifestReader::ReadResource(const Json& resource, const std::string& where,
                                  ResourceDescription* out) {
    if (!resource.is_object()) return Fail(where, "expected a resource object");
    if (!OnlyKeys(resource, where, {"id", "block", "file", "fill", "pattern", "length"})) {
        return false;
    }
    if (!resource.contains("id")) return Fail(where, "missing \"id\"");
    if (!ReadU32(resource["id"], where + ".id", &out->id)) return false;
    if (!resource.contains("block")) return Fail(where, "missing \"block\"");
    if (!ReadU32(resource["block"], where + ".block", &out->destinationBlock)) return false;
    return ReadData(resource, where, &out->bytes);
}

bool ManifestReader::ReadData(const Json& resource, const std::string& where,
                              std::vector<uint8_t>* bytes) {
    const int sources = (resource.contains("file") ? 1 : 0) + (resource.contains("fill") ? 1 : 0) +
                        (resource.contains("pattern") ? 1 : 0);
    if (sources != 1) {
        return Fail(where, "needs exactly one of \"file\", \"fill\" or \"pattern\"");
    }

    if (resource.contains("file")) {
        if (resource.contains("length")) {
            return Fail(where + ".length", "not allowed with \"file\": the file gives the length");
        }
        const Json& file = resource["file"];
        if (!file.is_string() || file.get<std::string>().empty()) {
            return Fail(where + ".file", "expected a path relative to the manifest");
        }
        const fs::path path = Resolve(file.get<std::string>(), where + ".file");
        if (path.empty()) return false;
        std::string reason;
        if (!ReadWholeFile(path, bytes, &reason, kMaxResourceLength)) {
            return Fail(where + ".file", reason);
        }
        return CountTowardsTotal(bytes->size(), where);
    }

    uint64_t length = 0;
    if (resource.contains("fill")) {
        uint64_t fill = 0;
        if (!ReadNumber(resource["fill"], where + ".fill", 0xFF, &fill)) return false;
        if (!resource.contains("length")) return Fail(where, "\"fill\" needs a \"length\"");
        if (!ReadNumber(resource["length"], where + ".length", kMaxResourceLength, &length) ||
            !CountTowardsTotal(length, where)) {
            return false;
        }
        bytes->assign(length, static_cast<uint8_t>(fill));
        return true;
    }

    const Json& pattern = resource["pattern"];
    if (!pattern.is_string() || pattern.get<std::string>().empty()) {
        return Fail(where + ".pattern", "expected a non-empty string");
    }
    const std::string text = pattern.get<std::string>();
    length = text.size();
    if (resource.contains("length") &&
        !ReadNumber(resource["length"], where + ".length", kMaxResourceLength, &length)) {
        return false;
    }
    if (!CountTowardsTotal(length, where)) return false;
    bytes->resize(length);
    for (uint64_t i = 0; i < length; ++i) (*bytes)[i] = static_cast<uint8_t>(text[i % text.size()]);
    return true;
}

fs::path ManifestReader::Resolve(const std::string& name, const std::string& where) {
    if (fs::path(name).is_absolute()) {
        Fail(where,
             "\"" + name + "\" is an absolute path; name a file inside the manifest's folder");
        return {};
    }
    std::error_code code;
    const fs::path folder = fs::canonical(baseDir.empty() ? fs::path(".") : baseDir, code);
    fs::path path;
    if (!code) path = fs::canonical(folder / name, code);
    if (code) {
        Fail(where, "cannot read \"" + name + "\": " + code.message());
        return {};
    }
    // By .. or by a link: a manifest builds from its own folder, never from the rest of the system.
    if (!Inside(path, folder)) {
        Fail(where, "\"" + name + "\" leads out of the manifest's folder");
        return {};
    }
    return path;
}

bool ManifestReader::ReadIdList(const Json& list, const std::string& where,
                                std::vector<uint32_t>* ids) {
    if (!list.is_array()) return Fail(where, "expected an array of resource ids");
    ids->resize(list.size());
    for (size_t k = 0; k < list.size(); ++k) {
        if (!ReadU32(list[k], where + "[" + std::to_string(k) + "]", &(*ids)[k])) return false;
    }
    return true;
}

bool ManifestReader::ReadNumber(const Json& value, const std::string& where, uint64_t max,
                                uint64_t* out) {
    const std::string expected = "expected a number from 0 to " + std::to_string(max) +
                                 ", written as a JSON integer or a string such as \"0x1F\"";
    uint64_t number = 0;
    if (value.is_number_unsigned()) {
        number = value.get<uint64_t>();
    } else if (value.is_string()) {
        const std::string text = value.get<std::string>();
        const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
        const char* first = text.data() + (hex ? 2 : 0);
        const char* last = text.data() + text.size();
        const auto [end, code] = std::from_chars(first, last, number, hex ? 16 : 10);
        if (first == last || code != std::errc() || end != last) {
            return Fail(where, expected + ", not \"" + text + "\"");
        }
    } else {
        // Only the type: a value nested deep enough would take more stack to print than there is.
        return Fail(where, expected + ", not " + std::string("a JSON ") + value.type_name());
    }
    if (number > max) return Fail(where, std::to_string(number) + " is too large; " + expected);
    *out = number;
    return true;
}

bool ManifestReader::ReadU32(const Json& value, const std::string& where, uint32_t* out) {
    uint64_t number = 0;
    if (!ReadNumber(value, where, kU32Max, &number)) return false;
    *out = static_cast<uint32_t>(number);
    return true;
}

// Unknown keys are refused, so that a misspelt "required" is not silently a missing list.
bool ManifestReader::OnlyKeys(const Json& object, const std::string& where,
                              std::initializer_list<const char*> allowed) {
    for (const auto& item : object.items()) {
        bool known = false;
        for (const char* key : allowed) known = known || item.key() == key;
        if (!known) return Fail(where, "unknown key \"" + item.key() + "\"");
    }
    return true;
}

}  // namespace

bool ParseManifest(std::string_view text, const std::filesystem::path& baseDir,
                   DataFileDescription* description, std::string* error) {
    Json root;
    try {
        root = Json::parse(text);
    } catch (const Json::parse_error& fault) {
        *error = std::string("manifest: not valid JSON: ") + fault.what();
        return false;
    }
    *description = DataFileDescription{};
    return ManifestReader(baseDir, *error).ReadFile(root, description);
}

bool LoadManifest(const std::filesystem::path& manifest, DataFileDescription* description,
                  std::string* error) {
    std::vector<uint8_t> content;
    if (!ReadWholeFile(manifest, &content, error, kMaxManifestLength)) return false;
    const std::string_view text(reinterpret_cast<const char*>(content.data()), content.size());
    if (!ParseManifest(text, manifest.parent_path(), description, error)) {
        *error = manifest.string() + ": " + *error;
        return false;
    }
    return true;
}
