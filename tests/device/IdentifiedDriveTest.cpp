// A run writes only to a drive that carries the identification when it is opened: never to
// the drive an earlier run found, even though that device object stays current between runs,
// nor to another drive that took the letter after the scan.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "UpdateFixture.h"
#include "device/HandheldFinder.h"
#include "emulator/EmulatedHandheld.h"
#include "engine/DeviceImage.h"
#include "engine/UpdateController.h"
#include "tests/support/EmulatedSystem.h"

namespace {

bool OnlyIdentificationReads(const EmulatorRecord& record) {
    for (const SectorOperation& op : record.operations) {
        if (op.write || op.sector != 0) return false;
    }
    return true;
}

TEST(IdentifiedDriveTest, RunsWriteOnlyToADriveThatIdentifiesWhenOpened) {
    constexpr int32_t kDriveF = 5;
    HandheldOptions plain = FixtureHandheld();
    plain.label = {'B', 'A', 'C', 'K', 'U', 'P', ' ', ' ', ' ', ' ', ' '};
    EmulatedHandheld first(FixtureHandheld());
    EmulatedHandheld stranger(plain);
    EmulatedHandheld second(FixtureHandheld());

    EmulatedSystem seams;
    HandheldFinder finder(seams.Services());
    TestDataFile data(BuildDataFile(FixtureDataFile()));
    const auto image = std::make_unique<DeviceImage>();
    UpdateController controller;
    controller.Attach({&finder, &seams.window, &data, image.get()});

    seams.volumes.Attach(kDriveE, &first);
    controller.RunUpdate();
    ASSERT_EQ(controller.LastOutcome().result, UpdateResult::Updated);
    ASSERT_EQ(g_currentDevice->GetDriveIndex(), kDriveE);

    // The handheld leaves, another volume takes its letter: the old object stays current,
    // yet nothing reaches that volume but the scan's look at its sector 0.
    seams.volumes.Attach(kDriveE, &stranger);
    controller.RunUpdate();
    EXPECT_EQ(controller.LastOutcome().result, UpdateResult::NoHandheld);

    // A handheld on F:, with a data file that cannot be read, which still ends with the
    // closing block: it goes to F:, the drive this run identified.
    seams.volumes.Attach(kDriveF, &second);
    data.missing = true;
    controller.RunUpdate();
    EXPECT_EQ(controller.LastOutcome().result, UpdateResult::DataFileError);
    EXPECT_TRUE(second.Record().closingBlockArrived);

    // While the warning not to unplug is open, the handheld on F: is pulled and a USB stick
    // takes its letter. The run's open reads its sector 0 and stops: a read error. Without a
    // data file the closing block that result 4 calls for is refused in the same way.
    EmulatedHandheld stick(plain);
    seams.window.whileShown = [&](MessageKind kind) {
        if (kind == MessageKind::Warning) seams.volumes.Attach(kDriveF, &stick);
    };
    for (const bool present : {true, false}) {
        seams.volumes.Attach(kDriveF, &second);
        data.missing = !present;
        controller.RunUpdate();
        EXPECT_EQ(controller.LastOutcome().result,
                  present ? UpdateResult::ReadError : UpdateResult::DataFileError);
    }

    for (EmulatedHandheld* other : {&stranger, &stick}) {
        EXPECT_TRUE(OnlyIdentificationReads(other->Record()));
    }
    EXPECT_EQ(stranger.Record().operations.size(), 4u);
    EXPECT_EQ(stick.Record().operations.size(), 2u);
    EXPECT_EQ(seams.volumes.OpenChannels(), 0);
    controller.Detach();
}

}  // namespace
