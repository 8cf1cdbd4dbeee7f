// Stand-ins for everything an update run reaches, recording each call in order.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "device/HandheldDevice.h"
#include "device/HandheldScanner.h"
#include "engine/DeviceImage.h"
#include "engine/MappedFile.h"
#include "engine/RunWindow.h"
#include "engine/UpdateController.h"

using CallLog = std::vector<std::string>;

// A handheld's memory and what failed or happened on it.
class FakeHandheld : public HandheldDevice {
public:
    FakeHandheld(int32_t drive, CallLog& log, int* liveCount = nullptr)
        : HandheldDevice(drive, DeviceSeams{}),
          log(log),
          liveCount(liveCount),
          memory(kImageSize + kBlockSize) {
        if (liveCount) ++*liveCount;
    }
    ~FakeHandheld() override {
        if (liveCount) --*liveCount;
    }

    void WriteClosingBlock() override {
        log.push_back("WriteClosingBlock");
        HandheldDevice::WriteClosingBlock();
    }
    bool Open() override {
        log.push_back("Open");
        if (failOpen) return false;
        open = true;
        ++opens;
        return true;
    }
    bool Identify() override {
        log.push_back("Identify");
        return open;
    }
    void Close() override {
        if (!open) return;
        log.push_back("Close");
        open = false;
    }
    bool ReadBlocks(uint32_t first, uint32_t bytes, uint8_t* destination) override {
        log.push_back("ReadBlocks " + std::to_string(first));
        if (!open || first == failReadAt) return false;
        std::memcpy(destination, Block(first), bytes);
        return true;
    }
    bool WriteBlocks(uint32_t first, uint32_t bytes, const uint8_t* source) override {
        log.push_back("WriteBlocks " + std::to_string(first) + " " + std::to_string(bytes));
        if (!open || failWrites) return false;
        std::memcpy(Block(first), source, bytes);
        if (first == kClosingBlock) closingBlockWritten = true;
        return true;
    }

    uint8_t* Block(uint32_t block) { return memory.data() + size_t{block} * kBlockSize; }
    SystemRecord Record(uint32_t block) { return SystemRecord(Block(block) + kSystemRecordOffset); }
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

    bool failOpen = false;
    bool failWrites = false;
    uint32_t failReadAt = ~0u;
    bool open = false;
    int opens = 0;
    bool closingBlockWritten = false;

private:
    CallLog& log;
    int* liveCount;
    std::vector<uint8_t> memory;  // blocks 0 to 511 and the closing block
};

class FakeScanner : public HandheldScanner {
public:
    explicit FakeScanner(CallLog& log) : log(log) {}

    int32_t FindHandhelds(uint32_t* mask) override {
        log.push_back("FindHandhelds");
        *mask = 0;
        for (const RefPtr<FakeHandheld>& handheld : attached) {
            *mask |= uint32_t{1} << handheld->GetDriveIndex();
        }
        return static_cast<int32_t>(attached.size());
    }
    RefPtr<HandheldDevice> CreateDevice(int32_t driveIndex) override {
        log.push_back("CreateDevice " + std::to_string(driveIndex));
        for (const RefPtr<FakeHandheld>& handheld : attached) {
            if (handheld->GetDriveIndex() == driveIndex)
                return RefPtr<HandheldDevice>(handheld.Get());
        }
        return {};
    }

    std::vector<RefPtr<FakeHandheld>> attached;

private:
    CallLog& log;
};

class FakeWindow : public RunWindow {
public:
    explicit FakeWindow(CallLog& log) : log(log) {}

    void ShowControl(RunControl control, bool visible) override {
        static const char* const kNames[] = {"UpdateButton", "LanguageChoice", "ProgressDisplay"};
        log.push_back((visible ? "Show " : "Hide ") +
                      std::string(kNames[static_cast<int>(control)]));
    }
    void StepProgress(uint32_t) override {}
    void PumpMessages() override {}
    void SetProgressRange(uint32_t low, uint32_t high) override {
        log.push_back("SetProgressRange " + std::to_string(low) + " " + std::to_string(high));
    }
    void SetProgressPos(uint32_t position) override {
        log.push_back("SetProgressPos " + std::to_string(position));
    }
    void RaiseBusy() override { ++busyCount; }
    void LowerBusy() override { --busyCount; }
    // Logs only the changes.
    void SetHandheldInUse(bool inUse) override {
        if (inUse != handheldInUse) log.push_back(inUse ? "HandheldInUse" : "HandheldFree");
        handheldInUse = inUse;
    }
    void ShowMessage(MessageKind kind, const wchar_t* text) override {
        log.push_back("ShowMessage " + std::to_string(static_cast<uint32_t>(kind)));
        messages.push_back({kind, text});
    }

    struct Message {
        MessageKind kind;
        std::wstring text;
    };
    std::vector<Message> messages;
    int busyCount = 0;
    bool handheldInUse = false;

private:
    CallLog& log;
};

class FakeDataFile : public DataFileSource {
public:
    explicit FakeDataFile(CallLog& log) : log(log) {}

    std::unique_ptr<MappedFile> OpenDataFile() override {
        log.push_back("OpenDataFile");
        if (missing) return nullptr;
        ++openViews;
        return std::make_unique<CountedView>(bytes, openViews);
    }

    std::vector<uint8_t> bytes;
    bool missing = false;
    int openViews = 0;

private:
    // Counts views alive so tests can see the file closed on every path.
    class CountedView : public MemoryFile {
    public:
        CountedView(const std::vector<uint8_t>& bytes, int& openViews)
            : MemoryFile(bytes.data(), bytes.size()), openViews(openViews) {}
        ~CountedView() override { --openViews; }

    private:
        int& openViews;
    };

    CallLog& log;
};
