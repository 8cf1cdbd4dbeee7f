// Block reads against a handheld that answers with the input: no answer may make ReadBlocks
// write outside its destination, run forever, skip an EndCommand or keep the volume locked.
#include <memory>
#include <vector>

#include "FuzzCheck.h"
#include "app/core/RefPtr.h"
#include "device/HandheldDevice.h"
#include "emulator/EmulatedHandheld.h"
#include "tests/support/EmulatedSystem.h"

namespace {

constexpr uint32_t kBlock = 4096;
constexpr size_t kHeadSize = 2;
constexpr uint32_t kMostBlocks = 5;

}  // namespace

// Byte 0: the blocks asked for and the first block; byte 1: bit 0 the VWIN32 path. The rest
// is served as read windows, 8192 bytes each, zeros past the end.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kHeadSize) return 0;
    const uint32_t blocks = data[0] % (kMostBlocks + 1);
    const uint32_t firstBlock = 509 - (data[0] >> 4);
    const bool vwin32 = (data[1] & 1) != 0;

    HandheldOptions options;
    options.scriptedWindows = std::vector<uint8_t>(data + kHeadSize, data + size);
    EmulatedHandheld handheld(options);
    EmulatedSystem seams;
    seams.volumes.Attach(kDriveE, &handheld);
    seams.volumes.PresentVwin32(vwin32);

    // Exactly the room asked for, so a byte more shows under ASan.
    const uint32_t byteCount = blocks * kBlock;
    const auto destination = std::make_unique<uint8_t[]>(byteCount);
    bool read = false;
    {
        const RefPtr<HandheldDevice> device = new HandheldDevice(kDriveE, seams.Services());
        FuzzCheck(device->Open(), "the handheld opens");
        read = device->ReadBlocks(firstBlock, byteCount, destination.get());
    }

    const EmulatorRecord& record = handheld.Record();
    FuzzCheck(record.protocolErrors.empty(), "every transaction is begun, asked and ended");
    FuzzCheck(record.OpenHandles() == 0 && seams.volumes.OpenChannels() == 0, "closed again");
    FuzzCheck(record.lockDepth == 0 && record.locks == record.unlocks, "the lock is released");
    FuzzCheck(record.CountCommands(0x80) == record.CountCommands(0x81),
              "every BeginCommand has its EndCommand");
    FuzzCheck(!read || byteCount == 0 || record.windowsRead != 0,
              "a successful read took at least one window");
    // Every successful answer brings at least one byte and never more than the room left.
    FuzzCheck(record.CountCommands(0x28) <= byteCount, "every answer makes progress");
    FuzzCheck(byteCount != 0 || record.commands.empty(), "nothing asked, nothing sent");
    return 0;
}
