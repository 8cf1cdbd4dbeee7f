// The two look-ups of the data file over long tables, with keys in random order so that
// the caches see what a real search sees.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "device/ByteOrder.h"
#include "engine/DataFile.h"
#include "tools/zdat/DataFileWriter.h"

namespace {

constexpr size_t kKeys = 4096;

struct Table {
    std::vector<uint8_t> file;
    CharacterRecord character{};
    std::vector<uint32_t> presentIds;
    std::vector<uint32_t> absentIds;
    std::vector<int32_t> numbers;  // character numbers of group 0
};

std::vector<uint32_t> Shuffled(std::vector<uint32_t> keys) {
    std::mt19937 random(7);
    std::shuffle(keys.begin(), keys.end(), random);
    keys.resize(std::min(keys.size(), kKeys));
    return keys;
}

// Group 0: `size` characters; group 1: character 0 with `size` entries, ids spaced by two so
// that the odd ids between them are absent.
const Table& TableOf(uint32_t size) {
    static std::map<uint32_t, Table> tables;
    auto [found, added] = tables.try_emplace(size);
    Table& table = found->second;
    if (!added) return table;

    DataFileDescription description;
    description.groups[0].characters.resize(size);
    for (uint32_t i = 0; i < size; ++i) description.groups[0].characters[i].number = i;
    CharacterDescription character;
    character.resources.resize(size);
    for (uint32_t i = 0; i < size; ++i) character.resources[i].id = 2 * i;
    description.groups[1].characters.push_back(std::move(character));
    table.file = BuildDataFile(description);
    description = DataFileDescription{};

    const DataFile data(table.file.data(), table.file.size());
    data.FindCharacter(1, 0, &table.character);
    std::vector<uint32_t> present, absent;
    std::vector<uint32_t> numbers;
    for (uint32_t i = 0; i < size; ++i) {
        present.push_back(2 * i);
        absent.push_back(2 * i + 1);
        numbers.push_back(i);
    }
    table.presentIds = Shuffled(std::move(present));
    table.absentIds = Shuffled(std::move(absent));
    for (uint32_t number : Shuffled(std::move(numbers)))
        table.numbers.push_back(static_cast<int32_t>(number));
    return table;
}

// Runs one look-up per iteration, the k-th of the table's keys in their shuffled order.
template <typename LookUp>
void Loop(benchmark::State& state, LookUp lookUp) {
    const Table& table = TableOf(static_cast<uint32_t>(state.range(0)));
    const DataFile data(table.file.data(), table.file.size());
    size_t k = 0;
    for ([[maybe_unused]] auto _ : state) lookUp(table, data, k++);
}

template <typename Found>
void Keep(Lookup lookup, const Found& found) {
    benchmark::DoNotOptimize(lookup);
    benchmark::DoNotOptimize(found);
}

void FindEntryPresent(benchmark::State& state) {
    Loop(state, [](const Table& table, const DataFile& data, size_t k) {
        ResourceEntry entry;
        const uint32_t id = table.presentIds[k % table.presentIds.size()];
        Keep(data.FindEntry(table.character, id, &entry), entry);
    });
}

void FindEntryAbsent(benchmark::State& state) {
    Loop(state, [](const Table& table, const DataFile& data, size_t k) {
        ResourceEntry entry;
        const uint32_t id = table.absentIds[k % table.absentIds.size()];
        benchmark::DoNotOptimize(data.FindEntry(table.character, id, &entry));
    });
}

void FindCharacterPresent(benchmark::State& state) {
    Loop(state, [](const Table& table, const DataFile& data, size_t k) {
        CharacterRecord character;
        const int32_t number = table.numbers[k % table.numbers.size()];
        Keep(data.FindCharacter(0, number, &character), character);
    });
}

}  // namespace

BENCHMARK(FindEntryPresent)->Arg(1 << 10)->Arg(1 << 20);
BENCHMARK(FindEntryAbsent)->Arg(1 << 10)->Arg(1 << 20);
BENCHMARK(FindCharacterPresent)->Arg(1 << 10)->Arg(1 << 20);

BENCHMARK_MAIN();
