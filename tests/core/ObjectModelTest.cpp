#include <gtest/gtest.h>

#include "app/core/RefCounted.h"
#include "app/core/RefPtr.h"

namespace {

class Tracked : public RefCounted {
public:
    explicit Tracked(int& destroyed) : destroyed(destroyed) {}
    ~Tracked() override { ++destroyed; }

private:
    int& destroyed;
};

}  // namespace

TEST(RefPtr, HoldsOneReferenceAndReleasesOnReset) {
    int destroyed = 0;
    auto* object = new Tracked(destroyed);
    EXPECT_EQ(0, object->RefCount());
    RefPtr<Tracked> holder(object);
    EXPECT_EQ(1, object->RefCount());
    {
        RefPtr<Tracked> second = holder;  // NOLINT(performance-unnecessary-copy-initialization)
        EXPECT_EQ(2, object->RefCount());
    }
    EXPECT_EQ(1, object->RefCount());
    holder.Reset();
    EXPECT_EQ(1, destroyed);
    EXPECT_FALSE(holder);
}

TEST(RefPtr, SelfAssignmentKeepsTheObjectAlive) {
    int destroyed = 0;
    RefPtr<Tracked> holder(new Tracked(destroyed));
    Tracked* raw = holder.Get();
    holder = raw;
    holder = holder;
    EXPECT_EQ(0, destroyed);
    EXPECT_EQ(1, raw->RefCount());
}

TEST(RefPtr, ReplacingReleasesThePreviousObject) {
    int destroyed = 0;
    RefPtr<Tracked> holder(new Tracked(destroyed));
    holder = new Tracked(destroyed);
    EXPECT_EQ(1, destroyed);
    RefPtr<Tracked> moved(std::move(holder));
    EXPECT_FALSE(holder);  // NOLINT(bugprone-use-after-move): a moved-from pointer is null
    EXPECT_EQ(1, moved->RefCount());
}

TEST(RefCounted, QueryInterfaceAnswersOnlyIUnknown) {
    int destroyed = 0;
    RefPtr<Tracked> holder(new Tracked(destroyed));
    void* out = reinterpret_cast<void*>(1);

    const InterfaceId other = {0x00000001, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    EXPECT_EQ(kResultNoInterface, holder->QueryInterface(other, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(1, holder->RefCount());

    EXPECT_EQ(kResultOk, holder->QueryInterface(kIidUnknown, &out));
    EXPECT_EQ(holder.Get(), out);
    EXPECT_EQ(2, holder->RefCount());
    EXPECT_EQ(1, holder->Release());
}
