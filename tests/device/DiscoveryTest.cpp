#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "device/HandheldFinder.h"
#include "emulator/EmulatedHandheld.h"
#include "tests/support/EmulatedSystem.h"

namespace {

// Takes the eleven bytes of the label field.
HandheldOptions WithLabel(const char* label) {
    HandheldOptions options;
    for (size_t i = 0; i < options.label.size(); ++i) options.label[i] = label[i];
    return options;
}

class DiscoveryTest : public ::testing::Test {
protected:
    EmulatedHandheld& Put(int32_t drive, const HandheldOptions& options = {}) {
        handhelds.push_back(std::make_unique<EmulatedHandheld>(options));
        test.volumes.Attach(drive, handhelds.back().get());
        return *handhelds.back();
    }
    int32_t Scan() {
        HandheldFinder finder(test.Services());
        return finder.FindHandhelds(&mask);
    }

    EmulatedSystem test;
    std::vector<std::unique_ptr<EmulatedHandheld>> handhelds;
    uint32_t mask = 0xFFFFFFFF;
};

TEST_F(DiscoveryTest, NoDrivesFindsNothingAndOpensNothing) {
    EXPECT_EQ(Scan(), 0);
    EXPECT_EQ(mask, 0u);
    EXPECT_TRUE(test.volumes.OpenedVolumes().empty());
}

TEST_F(DiscoveryTest, OneHandheldOnEAmongOtherDrives) {
    Put(2, WithLabel("NO NAME    "));
    test.volumes.AttachUnopenable(3);
    EmulatedHandheld& e = Put(kDriveE);
    Put(5, WithLabel("NO NAME    "));

    EXPECT_EQ(Scan(), 1);
    EXPECT_EQ(mask, 1u << kDriveE);
    // One probe for every drive: only its first read pauses.
    EXPECT_EQ(test.sleeper.pauses.size(), 1u);
    EXPECT_EQ(test.volumes.OpenChannels(), 0);
    EXPECT_EQ(e.Record().opens, 1u);
    EXPECT_EQ(e.Record().closes, 1u);
    // Identification reads sector 0, takes no lock and opens no drive for writing.
    ASSERT_EQ(e.Record().operations.size(), 1u);
    EXPECT_EQ(e.Record().operations[0].sector, 0u);
    EXPECT_EQ(e.Record().locks, 0u);
    for (const auto& handheld : handhelds) EXPECT_EQ(handheld->Record().writableOpens, 0u);
}

// A limited account is told it lacks rights only when nothing was found and every drive that
// could not be opened refused it for that reason.
TEST_F(DiscoveryTest, LackOfRightsIsToldOnlyWhenItIsAllThatStoodInTheWay) {
    // The handheld on E:'s rights; a plain stick on F:; an empty card reader on G:.
    struct Case {
        HostRights handheld;
        bool stick, emptyReader;
        int32_t found;
        bool lackedRights;
    };
    for (const Case c : {Case{HostRights::None, false, false, 0, true},
                         Case{HostRights::None, true, false, 0, true},
                         Case{HostRights::None, false, true, 0, false},
                         Case{HostRights::ReadOnly, false, false, 1, false}}) {
        EmulatedSystem seams;
        HandheldOptions options;
        options.hostRights = c.handheld;
        EmulatedHandheld handheld(options);
        EmulatedHandheld stick(WithLabel("STICK      "));
        seams.volumes.Attach(kDriveE, &handheld);
        if (c.stick) seams.volumes.Attach(5, &stick);
        if (c.emptyReader) seams.volumes.AttachUnopenable(6);
        HandheldFinder finder(seams.Services());
        uint32_t found = 0;
        EXPECT_EQ(finder.FindHandhelds(&found), c.found);
        EXPECT_EQ(finder.LackedRights(), c.lackedRights) << c.stick << c.emptyReader;
    }
}

TEST_F(DiscoveryTest, TwoHandheldsAreBothCounted) {
    Put(kDriveE);
    Put(7);
    EXPECT_EQ(Scan(), 2);
    EXPECT_EQ(mask, (1u << kDriveE) | (1u << 7));
}

TEST_F(DiscoveryTest, DrivesABYAndZAreNeverProbed) {
    for (const int32_t drive : {0, 1, 24, 25}) Put(drive);
    EXPECT_EQ(Scan(), 0);
    EXPECT_TRUE(test.volumes.OpenedVolumes().empty());
    Put(23);  // X: is the last one probed
    EXPECT_EQ(Scan(), 1);
    EXPECT_EQ(mask, 1u << 23);
}

TEST_F(DiscoveryTest, OnlyTheExactTextWithItsZeroByteIdentifies) {
    struct Case {
        const char* name;
        char label[12];
        bool handheld;
    };
    const Case cases[] = {
        {"exact", "SITRONIXTM\0", true},       {"padded with a space", "SITRONIXTM ", false},
        {"lower case", "sitronixtm\0", false}, {"one letter's case", "SITRONiXTM\0", false},
        {"shorter", "SITRONIX\0\0\0", false},  {"blank", "           ", false},
    };
    for (const Case& c : cases) {
        EmulatedSystem seams;
        EmulatedHandheld handheld(WithLabel(c.label));
        seams.volumes.Attach(kDriveE, &handheld);
        HandheldFinder finder(seams.Services());
        uint32_t found = 0;
        EXPECT_EQ(finder.FindHandhelds(&found), c.handheld ? 1 : 0) << c.name;
    }
}

TEST_F(DiscoveryTest, Vwin32DeviceServesTheWholeScanByDriveNumber) {
    test.volumes.PresentVwin32(true);
    Put(2, WithLabel("NO NAME    "));
    test.volumes.AttachUnopenable(3);
    Put(kDriveE);
    EXPECT_EQ(Scan(), 1);
    EXPECT_EQ(mask, 1u << kDriveE);
    EXPECT_TRUE(test.volumes.OpenedVolumes().empty());
    EXPECT_EQ(test.volumes.OpenChannels(), 0);
}

TEST_F(DiscoveryTest, CreatedDeviceStandsForTheDriveFoundWithTheFindersServices) {
    EmulatedHandheld& e = Put(kDriveE);
    HandheldFinder finder(test.Services());
    RefPtr<HandheldDevice> device = finder.CreateDevice(kDriveE);
    EXPECT_EQ(device->GetDriveIndex(), kDriveE);
    EXPECT_EQ(device->RefCount(), 1);
    ASSERT_TRUE(device->Open());
    EXPECT_TRUE(device->Identify());
    EXPECT_EQ(e.Record().opens, 1u);
}

}  // namespace
