// Region surfaces: a placeholder at once, the job's surface later, or the placeholder
// still when the job fails or is cancelled; completion messages; the display test;
// meshes and feedback going in either order; deliveries while the main thread draws.
#include "IsoMeshFixture.h"
#include "X3DIsosurfaceJob.h"
#include "X3DRegionFeedbackIsoMesh.h"
#include "X3DRegionMeasurementFeedback.h"
#include "X3DVolumeNode.h"
#include "XListener.h"

#include <limits>
#include <mutex>

using XInstance = X3DIsosurfaceMesh::XIsoMeshInstance;

namespace {
const XARGB32Colour kRed(255, 255, 0, 0);

class XCompletionRecorder : public XListener {
public:
    ~XCompletionRecorder() override { StopListening(); }
    void HandleMessage(const XMessage& inMessage) override
    {
        if (const auto* done = dynamic_cast<const X3DIsosurfaceJobCompleteMessage*>(&inMessage)) {
            std::lock_guard<std::mutex> lock(itsMutex);
            itsDone.push_back({done->GetIndex(), done->GetInstance().itsQuads.size()});
        }
    }
    std::mutex itsMutex;
    std::vector<std::pair<uint64_t, size_t>> itsDone; // index, quads
};
} // namespace

TEST(X3DRegionFeedback, PlaceholderFirstThenTheJobsSurface)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        float factor[3];
        bool cancel;
        bool surface; // false: the placeholder stays
    };
    const Case cases[] = {
        {"as sampled", {1, 1, 1}, false, true},     {"twice as fine in x", {2, 1, 1}, false, true},
        {"cancelled", {1, 1, 1}, true, false},      {"not a number", {nan, 1, 1}, false, false},
        {"zero", {1, 0, 1}, false, false},          {"a giant box", {1e9f, 1e9f, 1e9f}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        X3DRegionMeasurementFeedback feedback(c.factor);
        feedback.SetRegions({Ball(10, 12, 14, 4, kRed)});
        X3DVolumeNode node;
        std::unique_ptr<X3DRegionFeedbackIsoMesh> mesh = feedback.MakeIsoMesh(node);
        feedback.GetJobQueue().Suspend();
        EXPECT_TRUE(feedback.UpdateRegionList());
        const XInstance placeholder = mesh->GetInstance(0);
        EXPECT_TRUE(placeholder.IsPlaceholder() && placeholder.itsEnabled);
        EXPECT_EQ(placeholder.itsColour, kRed);
        EXPECT_EQ(placeholder.itsOrigin, XMathVectorF3(6, 8, 10));
        EXPECT_EQ(placeholder.itsSize, XMathVectorF3(9, 9, 9));
        EXPECT_FALSE(feedback.UpdateRegionList()) << "made once";
        if (c.cancel)
            feedback.GetJobQueue().DeleteAllJobs();
        feedback.GetJobQueue().Resume();
        EXPECT_TRUE(mesh->WaitForSurface());

        const XInstance made = mesh->GetInstance(0);
        EXPECT_EQ(made.IsPlaceholder(), !c.surface);
        EXPECT_EQ(feedback.GetInstance(0).itsQuads.size(), made.itsQuads.size());
        if (!c.surface)
            continue;
        EXPECT_TRUE(IsClosed(made));
        EXPECT_EQ(made.itsNormals.size(), made.itsPositions.size());
        EXPECT_EQ(made.itsColour, kRed);
        // Mapped back onto the region, voxel i centred on i: within half a voxel of the
        // outer voxels' outer faces.
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(made.itsOrigin[i], placeholder.itsOrigin[i] - 0.5f, 0.5f);
            EXPECT_NEAR(made.itsOrigin[i] + made.itsSize[i], placeholder.itsOrigin[i] + 8.5f, 0.5f);
        }
    }
}

TEST(X3DRegionFeedback, JobTellsItsListenersOnlyWhenDone)
{
    X3DRegionMeasurementFeedback feedback;
    const X3DRegion ball = Ball(5, 5, 5, 3, kRed);
    XCompletionRecorder recorder;
    XJobQueue queue;
    for (const float scale : {1.0f, -1.0f}) {
        const float factor[3] = {scale, 1, 1};
        auto* job = new X3DIsosurfaceJob(&feedback, ball, ball.GetBounds(), factor, scale > 0 ? 1 : 0, XInstance());
        recorder.Subscribe(*job);
        queue.AttachJob(job);
    }
    queue.Start();
    ASSERT_TRUE(queue.WaitForQueueEmpty(20000));
    std::lock_guard<std::mutex> lock(recorder.itsMutex);
    ASSERT_EQ(recorder.itsDone.size(), 1u) << "the failed job says nothing";
    EXPECT_EQ(recorder.itsDone[0].first, 1u);
    EXPECT_EQ(recorder.itsDone[0].second, feedback.GetInstance(1).itsQuads.size());
    EXPECT_GT(recorder.itsDone[0].second, 0u);
}

TEST(X3DRegionFeedback, DisplayTestAndBoxes)
{
    // Regions drawn as boxes; the last is too small for a surface.
    X3DRegionMeasurementFeedback feedback;
    feedback.SetRegions({X3DRegion(X3DRect(0, 0, 0, 2, 3, 4)), X3DRegion(X3DRect(5, 0, 0, 7, 2, 2)),
                         X3DRegion(X3DRect(9, 0, 0, 11, 1, 1))},
                        false);
    bool showFirst = true;
    feedback.SetDisplayTest([&](size_t inIndex, const X3DRegion&) { return inIndex != 0 || showFirst; });
    X3DVolumeNode node;
    std::unique_ptr<X3DRegionFeedbackIsoMesh> mesh = feedback.MakeIsoMesh(node);
    EXPECT_TRUE(feedback.UpdateRegionList());
    EXPECT_EQ(mesh->GetInstance(0).itsPositions.size(), 24u) << "a box at once, no job";
    EXPECT_EQ(feedback.GetJobQueue().GetJobCount(), 0u);
    EXPECT_FALSE(mesh->GetInstance(2).itsEnabled);
    for (const bool show : {false, false, true}) {
        const bool change = show != mesh->GetInstance(0).itsEnabled;
        showFirst = show;
        mesh->SetRefreshBuffers(false);
        EXPECT_EQ(feedback.UpdateRegionList(), change);
        EXPECT_EQ(mesh->GetInstance(0).itsEnabled, show);
        EXPECT_EQ(mesh->ShouldRefreshBuffers(), change);
    }
    X3DVolumeNode other;
    EXPECT_EQ(feedback.MakeIsoMesh(other)->GetInstance(1).itsQuads.size(), 6u) << "a later mesh gets what is there";
}

TEST(X3DRegionFeedback, MeshesAndFeedbackGoInEitherOrder)
{
    X3DVolumeNode node;
    for (const bool meshFirst : {true, false}) {
        SCOPED_TRACE(meshFirst ? "mesh first" : "feedback first");
        auto feedback = std::make_unique<X3DRegionMeasurementFeedback>();
        feedback->SetRegions({Ball(40, 40, 40, 30, kRed), Ball(5, 5, 5, 3, kRed)});
        std::unique_ptr<X3DRegionFeedbackIsoMesh> mesh = feedback->MakeIsoMesh(node);
        feedback->UpdateRegionList(); // the first job may still run as they go
        if (meshFirst) {
            mesh.reset();
            EXPECT_TRUE(node.GetIsoData().empty());
        } else {
            feedback.reset();
            EXPECT_EQ(mesh->GetFeedback(), nullptr);
            EXPECT_TRUE(mesh->WaitForSurface());
        }
    }
}

// In the thread-sanitizer suites too.
TEST_F(IsoMeshPictureTest, DeliveriesWhileTheMainThreadDraws)
{
    X3DRegionMeasurementFeedback feedback;
    XVector<X3DRegion> regions;
    for (int32_t i = 0; i < 8; ++i)
        regions.push_back(Ball(5 + 4 * i, 10 + 3 * (i % 3), 20, 2 + i % 3, XARGB32Colour(255, 255, uint8_t(30 * i), 60)));
    feedback.SetRegions(regions);
    X3DVolumeNode node;
    std::unique_ptr<X3DRegionFeedbackIsoMesh> mesh = feedback.MakeIsoMesh(node);
    mesh->UpdateGeometry();
    for (int frames = 0; feedback.GetJobQueue().GetJobCount() > 0 || frames < 3; ++frames)
        Draw({mesh.get()}, "deliveries");
    EXPECT_GT(TestPicture::CountNonBackground(Draw({mesh.get()}, "deliveries-done")), 0);
    for (size_t i = 0; i < regions.size(); ++i)
        EXPECT_TRUE(IsClosed(mesh->GetInstance(i))) << "region " << i;
}
