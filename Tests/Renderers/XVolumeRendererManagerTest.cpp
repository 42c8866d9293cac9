#include "XAppInitialisedMessage.h"
#include "XAppMessageCentre.h"
#include "XAssertRecorder.h"
#include "XErrorCode.h"
#include "XException.h"
#include "XModuleManager.h"
#include "XUserPrefsSaver.h"
#include "XVolumeRendererBase.h"
#include "XVolumeRendererManager.h"
#include "XVolumeRenderingViewProtocol.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {
struct StrategyLog {
    int destroyed = 0;
    int attached = 0;
};

class FakeStrategy : public XVolumeRendererStrategy {
public:
    FakeStrategy(uint32_t inOrder, uint32_t inID, bool inCandidate = false, StrategyLog* inLog = nullptr,
                 bool inSupportsFloor = false)
        : itsOrder(inOrder), itsID(inID), itsCandidate(inCandidate), itsLog(inLog), itsSupportsFloor(inSupportsFloor)
    {
    }
    ~FakeStrategy() override
    {
        if (itsLog)
            ++itsLog->destroyed;
    }
    uint32_t GetSortOrder() override { return itsOrder; }
    uint32_t GetID() override { return itsID; }
    XString GetName() override { return XString("R%1").Replace(static_cast<int64_t>(itsID)); }
    void AttachRenderer(XVolumeRenderingViewProtocol&) override
    {
        if (itsLog)
            ++itsLog->attached;
    }
    bool IsDefaultCandidate() override { return itsCandidate; }
    bool IsPrefPropertySupported(XPrefProperty p) override { return itsSupportsFloor && p == kPrefFloor; }

private:
    uint32_t itsOrder, itsID;
    bool itsCandidate;
    StrategyLog* itsLog;
    bool itsSupportsFloor;
};

// The registry only hands the view on; a view that never sees a call is enough.
class NullView : public XVolumeRenderingViewProtocol {
public:
    WRendererEnclosureWnd& GetRendererEnclosureWnd() override { std::abort(); }
    void AttachVolumeRenderer(std::unique_ptr<XVolumeRendererBase>) override {}
    XVolumeRendererBase* GetVolumeRenderer() const override { return nullptr; }
};

class CountingManager : public XVolumeRendererManager {
public:
    int detections = 0;

protected:
    void DetectRendererPlugins() override
    {
        ++detections;
        XVolumeRendererManager::DetectRendererPlugins();
    }
};

class DerivedInitialisedMessage : public XAppInitialisedMessage {
public:
    using XAppInitialisedMessage::XAppInitialisedMessage;
};

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        XUserPrefsSaver().RemoveEntry(XVolumeRendererManager::kPrefsSection, XVolumeRendererManager::kDefaultRendererKey);
    }
};
} // namespace

TEST_F(RegistryTest, OrdersByKeyKeepingRegistrationOrderOnTiesAndAnswersForAll)
{
    XVolumeRendererManager manager;
    manager.RegisterRendererStrategy(new FakeStrategy(5, 51));
    manager.RegisterRendererStrategy(new FakeStrategy(2, 20));
    manager.RegisterRendererStrategy(new FakeStrategy(5, 52));
    manager.RegisterRendererStrategy(new FakeStrategy(1, 10));
    XVector<unsigned long> ids{99};
    manager.GetStrategies(ids);
    EXPECT_EQ(ids, (XVector<unsigned long>{99, 10, 20, 51, 52})); // appended, not cleared
    XVector<XString> names{"kept"};
    manager.GetRendererNames(names);
    EXPECT_EQ(names, (XVector<XString>{"kept", "R10", "R20", "R51", "R52"}));
    EXPECT_EQ(&XVolumeRendererManager::GetManager(), &manager);
    // A preference property is supported when any strategy supports it.
    EXPECT_FALSE(manager.IsPrefPropertySupported(XVolumeRendererStrategy::kPrefFloor));
    manager.RegisterRendererStrategy(new FakeStrategy(2, 2, false, nullptr, true));
    EXPECT_TRUE(manager.IsPrefPropertySupported(XVolumeRendererStrategy::kPrefFloor));
    EXPECT_FALSE(manager.IsPrefPropertySupported(XVolumeRendererStrategy::kPrefStereo));
}

TEST_F(RegistryTest, DeclinedStrategyStaysWithCallerAndOwnedOnesAreFreedWhole)
{
    StrategyLog declinedLog, ownedLog;
    auto declined = std::make_unique<FakeStrategy>(0, 1, true, &declinedLog);
    {
        XVolumeRendererManager manager;
        manager.RegisterRendererStrategy(declined.get());
        manager.RegisterRendererStrategy(new FakeStrategy(3, 2, false, &ownedLog));
        EXPECT_EQ(manager.GetRendererCount(), 1u);
        EXPECT_EQ(manager.FindStrategy(1), nullptr);
    }
    // The derived destructor ran, so deletion went through the whole object.
    EXPECT_EQ(ownedLog.destroyed, 1);
    EXPECT_EQ(declinedLog.destroyed, 0);
}

TEST_F(RegistryTest, DefaultFallsBackToCandidateThenFirst)
{
    StrategyLog log; // outlives the registry, whose strategies write to it when freed
    XVolumeRendererManager manager;
    EXPECT_EQ(manager.GetDefaultRendererStrategy(), nullptr);
    NullView view;
    EXPECT_EQ(CodeOf([&] { manager.AttachDefaultRenderer(view); }), 0) << "attaching with no strategy must throw";

    // Without a candidate, the first in key order.
    auto* first = new FakeStrategy(1, 10, false, &log);
    auto* third = new FakeStrategy(3, 30, false, &log);
    manager.RegisterRendererStrategy(third);
    manager.RegisterRendererStrategy(first);
    EXPECT_EQ(manager.GetDefaultRendererStrategy(), first);
    auto* candidate = new FakeStrategy(2, 20, true, &log);
    manager.RegisterRendererStrategy(candidate);
    EXPECT_EQ(manager.GetDefaultRendererStrategy(), candidate);

    manager.SetDefaultRendererStrategy(30);
    EXPECT_EQ(manager.GetDefaultRendererStrategy(), third);

    XAssertRecorder recorder;
    manager.SetDefaultRendererStrategy(77); // unknown: reported, stored anyway
    EXPECT_TRUE(recorder.Has("FindStrategy( id ) != 0", "X-Platform/XVolumeRendererManager"));
    EXPECT_EQ(XUserPrefsSaver().Read32Defaulted("Volume Renderer Manager", "Default Renderer ID", 0), 77u);
    EXPECT_EQ(manager.GetDefaultRendererStrategy(), candidate);

    manager.AttachDefaultRenderer(view);
    EXPECT_EQ(log.attached, 1);
    EXPECT_THROW(manager.AttachRenderer(6, view), XException);
}

TEST_F(RegistryTest, DuplicateIDsResolveToTheEarlierStrategy)
{
    StrategyLog early, late;
    XVolumeRendererManager manager;
    NullView view;
    auto* a = new FakeStrategy(1, 5, false, &early);
    auto* b = new FakeStrategy(2, 5, true, &late);
    manager.RegisterRendererStrategy(b);
    manager.RegisterRendererStrategy(a);
    EXPECT_EQ(manager.FindStrategy(5), a);
    manager.AttachRenderer(5, view);
    // The default candidate is b, but attaching looks it up again by ID and finds a.
    manager.AttachDefaultRenderer(view);
    EXPECT_EQ(early.attached, 2);
    EXPECT_EQ(late.attached, 0);
}

TEST_F(RegistryTest, RealModuleRegistersWhenTheApplicationHasInitialised)
{
    setenv("KESTRIN_MODULE_DIR", KESTRIN_TEST_RENDERER_MODULE_DIR, 1);
    XModuleManager& modules = XModuleManager::GetModuleManager();
    modules.LoadModules();
    ASSERT_GE(modules.GetModuleCount(), 1u);

    CountingManager manager;
    EXPECT_EQ(manager.GetRendererCount(), 0u);
    DerivedInitialisedMessage derived(nullptr);
    manager.HandleMessage(derived);
    EXPECT_EQ(manager.detections, 0) << "only the exact initialised message starts detection";
    XAppMessageCentre::GetAppMessageCentre().SendAppInitialised();
    XAppMessageCentre::GetAppMessageCentre().ProcessMessages();
    EXPECT_EQ(manager.detections, 1);
    ASSERT_NE(manager.FindStrategy(0x7E57), nullptr);
    EXPECT_EQ(manager.FindStrategy(0x7E57)->GetName(), "Test Module Renderer");
    EXPECT_EQ(manager.GetDefaultRendererStrategy()->GetID(), 0x7E57u);
}
