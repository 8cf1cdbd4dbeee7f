// One stand-in for each interface an update run reaches, recording what it was asked for.
#pragma once

#include <cstring>
#include <functional>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "device/HandheldDevice.h"
#include "device/HandheldScanner.h"
#include "engine/DeviceImage.h"
#include "engine/MappedFile.h"
#include "engine/RunWindow.h"

// The calls of a run in their order, where a test wants them.
using CallLog = std::vector<std::string>;

// The main window, and the progress sink of the run's transfers.
class RecordingWindow final : public RunWindow {
public:
    explicit RecordingWindow(CallLog* log = nullptr) : log(log) {}

    void ShowControl(RunControl control, bool visible) override {
        static const char* const kNames[] = {"UpdateButton", "LanguageChoice", "ProgressDisplay"};
        Log((visible ? "Show " : "Hide ") + std::string(kNames[static_cast<int>(control)]));
    }
    void SetProgressRange(uint32_t low, uint32_t high) override {
        Log("SetProgressRange " + std::to_string(low) + " " + std::to_string(high));
    }
    void SetProgressPos(uint32_t position) override {
        Log("SetProgressPos " + std::to_string(position));
    }
    void StepProgress(uint32_t blocks) override { steps.push_back(blocks); }
    void PumpMessages() override {
        ++pumps;
        if (whilePumping) whilePumping();
    }
    void RaiseBusy() override { ++busyCount; }
    void LowerBusy() override { --busyCount; }
    // Logs only the changes.
    void SetHandheldInUse(bool inUse) override {
        if (inUse != handheldInUse) Log(inUse ? "HandheldInUse" : "HandheldFree");
        handheldInUse = inUse;
    }
    void ShowMessage(MessageKind kind, const wchar_t* text) override {
        Log("ShowMessage " + std::to_string(static_cast<uint32_t>(kind)));
        messages.push_back({kind, text});
        if (whileShown) whileShown(kind);
    }

    uint32_t StepTotal() const { return std::accumulate(steps.begin(), steps.end(), 0u); }

    struct Message {
        MessageKind kind;
        std::wstring text;
    };
    std::vector<Message> messages;
    int32_t busyCount = 0;
    bool handheldInUse = false;
    std::vector<uint32_t> steps;
    uint32_t pumps = 0;
    // What the user, or the rest of the system, does while a message is open or a transfer
    // lets the window run.
    std::function<void(MessageKind)> whileShown;
    std::function<void()> whilePumping;

private:
    void Log(std::string call) {
        if (log != nullptr) log->push_back(std::move(call));
    }
    CallLog* log;
};

// The data file. Each open hands out a copy of exactly its size, so that a read past the end
// shows under ASan, and counts the copies alive, so that a test sees every one closed.
class TestDataFile final : public DataFileSource {
public:
    explicit TestDataFile(std::vector<uint8_t> bytes = {}) : bytes(std::move(bytes)) {}

    // Null when missing or empty: an empty file cannot be mapped.
    std::unique_ptr<MappedFile> OpenDataFile() override {
        if (missing || bytes.empty()) return nullptr;
        return std::make_unique<CountedCopy>(bytes, openViews);
    }

    std::vector<uint8_t> bytes;
    bool missing = false;
    int openViews = 0;

private:
    class CountedCopy final : public MappedFile {
    public:
        CountedCopy(const std::vector<uint8_t>& from, int& openViews)
            : copy(new uint8_t[from.size()]), size(from.size()), openViews(++openViews) {
            std::memcpy(copy.get(), from.data(), size);
        }
        ~CountedCopy() override { --openViews; }
        const uint8_t* Bytes() const override { return copy.get(); }
        size_t Size() const override { return size; }

    private:
        std::unique_ptr<uint8_t[]> copy;
        size_t size;
        int& openViews;
    };
};

// A handheld's memory, without sectors or a mailbox. The emulator serves every other case;
// this serves what it cannot show: how many device objects are alive.
class FakeHandheld : public HandheldDevice {
public:
    FakeHandheld(int32_t drive, int* liveCount)
        : HandheldDevice(drive, DeviceServices{}),
          liveCount(liveCount),
          memory(kImageSize + kBlockSize) {
        ++*liveCount;
    }
    ~FakeHandheld() override { --*liveCount; }

    bool Open() override { return open = true; }
    bool Identify() override { return open; }
    void Close() override { open = false; }
    bool ReadBlocks(uint32_t first, uint32_t bytes, uint8_t* destination) override {
        if (open) std::memcpy(destination, Block(first), bytes);
        return open;
    }
    bool WriteBlocks(uint32_t first, uint32_t bytes, const uint8_t* source) override {
        if (open) std::memcpy(Block(first), source, bytes);
        return open;
    }

    uint8_t* Block(uint32_t block) { return memory.data() + size_t{block} * kBlockSize; }
    void SetIdentity(uint16_t version, int16_t group, int16_t number) {
        for (uint32_t block : {kSystemBlockLow, kSystemBlockHigh}) {
            uint8_t* record = Block(block) + kSystemRecordOffset;
            record[0x44] = static_cast<uint8_t>(version);
            record[0x45] = static_cast<uint8_t>(version >> 8);
            record[0x46] = static_cast<uint8_t>(group);
            record[0x47] = static_cast<uint8_t>(static_cast<uint16_t>(group) >> 8);
            record[0x48] = static_cast<uint8_t>(number);
            record[0x49] = static_cast<uint8_t>(static_cast<uint16_t>(number) >> 8);
        }
    }

    bool open = false;

private:
    int* liveCount;
    std::vector<uint8_t> memory;  // blocks 0 to 511 and the closing block
};

// Finds the fake handhelds attached, on their drives.
class FakeScanner final : public HandheldScanner {
public:
    int32_t FindHandhelds(uint32_t* mask) override {
        *mask = 0;
        for (const RefPtr<FakeHandheld>& handheld : attached) {
            *mask |= uint32_t{1} << handheld->GetDriveIndex();
        }
        return static_cast<int32_t>(attached.size());
    }
    RefPtr<HandheldDevice> CreateDevice(int32_t driveIndex) override {
        for (const RefPtr<FakeHandheld>& handheld : attached) {
            if (handheld->GetDriveIndex() == driveIndex) return handheld.Get();
        }
        return {};
    }

    std::vector<RefPtr<FakeHandheld>> attached;
};
