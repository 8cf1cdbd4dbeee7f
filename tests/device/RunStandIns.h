// Stand-ins for the window and the data file of whole runs against emulated handhelds.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "UpdateFixture.h"
#include "engine/MappedFile.h"
#include "engine/RunWindow.h"
#include "tools/zdat/DataFileWriter.h"

// Keeps only what tests look at afterwards.
class RecordingWindow final : public RunWindow {
public:
    void ShowControl(RunControl, bool) override {}
    void SetProgressRange(uint32_t, uint32_t) override {}
    void SetProgressPos(uint32_t) override {}
    void StepProgress(uint32_t) override {}
    void PumpMessages() override {}
    void RaiseBusy() override { ++busyCount; }
    void LowerBusy() override { --busyCount; }
    void ShowMessage(MessageKind kind, const wchar_t*) override {
        kinds.push_back(kind);
        if (whileShown) whileShown(kind);
    }

    int32_t busyCount = 0;
    std::vector<MessageKind> kinds;
    // What the user does while a message is open.
    std::function<void(MessageKind)> whileShown;
};

// The fixture's data file, or none at all when it is not present.
class FixtureDataSource final : public DataFileSource {
public:
    std::unique_ptr<MappedFile> OpenDataFile() override {
        if (!present || bytes.empty()) return nullptr;
        return std::make_unique<MemoryFile>(bytes.data(), bytes.size());
    }

    std::vector<uint8_t> bytes = BuildDataFile(FixtureDataFile());
    bool present = true;
};
