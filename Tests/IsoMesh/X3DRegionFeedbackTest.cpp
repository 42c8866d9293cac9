// Region surfaces: a placeholder at once, the job's surface later; what a failed or
// cancelled job leaves; what the display test passes on; meshes and feedback going in
// either order; and deliveries from the job thread while the main thread draws.
#include "IsoMeshPicture.h"
#include "IsoMeshSupport.h"
#include "X3DIsosurfaceJob.h"
#include "X3DRegionFeedbackIsoMesh.h"
#include "X3DRegionMeasurementFeedback.h"
#include "X3DVolumeNode.h"
#include "XListener.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <mutex>

using namespace IsoMeshSupport;
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
            itsQuads.push_back(done->GetInstance().itsQuads.size());
            itsIndices.push_back(done->GetIndex());
        }
    }
    std::mutex itsMutex;
    std::vector<size_t> itsQuads;
    std::vector<uint64_t> itsIndices;
};
} // namespace

TEST(X3DRegionFeedback, PlaceholderFirstThenTheJobsSurface)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        float factor[3];
        bool surface; // false: the job fails and the placeholder stays
    };
    const Case cases[] = {
        {"as sampled", {1, 1, 1}, true},
        {"twice as fine in x", {2, 1, 1}, true},
        {"not a number", {nan, 1, 1}, false},
        {"zero", {1, 0, 1}, false},
        {"a giant box", {1e9f, 1e9f, 1e9f}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        X3DRegionMeasurementFeedback feedback(c.factor);
        const X3DRegion ball = Ball(10, 12, 14, 4, kRed);
        feedback.SetRegions({ball});
        X3DVolumeNode node;
        std::unique_ptr<X3DRegionFeedbackIsoMesh> mesh = feedback.MakeIsoMesh(node);
        ASSERT_EQ(node.GetIsoData().size(), 1u);
        feedback.GetJobQueue().Suspend();
        EXPECT_TRUE(feedback.UpdateRegionList());
        const XInstance placeholder = mesh->GetInstance(0);
        EXPECT_TRUE(placeholder.IsPlaceholder());
        EXPECT_TRUE(placeholder.itsEnabled);
        EXPECT_EQ(placeholder.itsColour, kRed);
        EXPECT_EQ(placeholder.itsOrigin, XMathVectorF3(6, 8, 10));
        EXPECT_EQ(placeholder.itsSize, XMathVectorF3(9, 9, 9));
        EXPECT_FALSE(feedback.UpdateRegionList()) << "made once";

        feedback.GetJobQueue().Resume();
        EXPECT_TRUE(mesh->WaitForSurface());
        const XInstance made = mesh->GetInstance(0);
        EXPECT_EQ(made.IsPlaceholder(), !c.surface);
        if (c.surface) {
            EXPECT_TRUE(IsClosed(made));
            EXPECT_EQ(made.itsNormals.size(), made.itsPositions.size());
            EXPECT_EQ(made.itsColour, kRed);
            // Mapped back onto the region, voxel i centred on i: the surface lies within
            // half a voxel of the first and last voxels' outer faces.
            for (size_t i = 0; i < 3; ++i) {
                EXPECT_NEAR(made.itsOrigin[i], placeholder.itsOrigin[i] - 0.5f, 0.5f);
                EXPECT_NEAR(made.itsOrigin[i] + made.itsSize[i], placeholder.itsOrigin[i] + 8.5f, 0.5f);
            }
        }
        EXPECT_EQ(feedback.GetInstance(0).itsQuads.size(), made.itsQuads.size());
    }
}

TEST(X3DRegionFeedback, JobTellsItsListenersOnlyWhenDone)
{
    const float factor[3] = {1, 1, 1};
    X3DRegionMeasurementFeedback feedback(factor);
    const X3DRegion ball = Ball(5, 5, 5, 3, kRed);
    feedback.SetRegions({ball, ball});
    XCompletionRecorder recorder;
    XJobQueue queue;
    for (const float scale : {1.0f, -1.0f}) {
        const float jobFactor[3] = {scale, 1, 1};
        auto* job = new X3DIsosurfaceJob(&feedback, ball, ball.GetBounds(), jobFactor, scale > 0 ? 1 : 0, XInstance());
        recorder.Subscribe(*job);
        queue.AttachJob(job);
    }
    queue.Start();
    ASSERT_TRUE(queue.WaitForQueueEmpty(20000));
    std::lock_guard<std::mutex> lock(recorder.itsMutex);
    ASSERT_EQ(recorder.itsIndices, std::vector<uint64_t>{1}) << "the failed job says nothing";
    EXPECT_EQ(recorder.itsQuads[0], feedback.GetInstance(1).itsQuads.size());
    EXPECT_GT(recorder.itsQuads[0], 0u);
}

TEST(X3DRegionFeedback, CancelledJobsLeaveThePlaceholder)
{
    const float factor[3] = {1, 1, 1};
    X3DRegionMeasurementFeedback feedback(factor);
    feedback.SetRegions({Ball(10, 10, 10, 5, kRed), Ball(30, 10, 10, 5, kRed)});
    X3DVolumeNode node;
    std::unique_ptr<X3DRegionFeedbackIsoMesh> mesh = feedback.MakeIsoMesh(node);
    feedback.GetJobQueue().Suspend();
    feedback.UpdateRegionList();
    feedback.GetJobQueue().DeleteAllJobs();
    feedback.GetJobQueue().Resume();
    EXPECT_TRUE(mesh->WaitForSurface());
    for (uint64_t i = 0; i < 2; ++i) {
        EXPECT_TRUE(mesh->GetInstance(i).IsPlaceholder());
        EXPECT_TRUE(mesh->GetInstance(i).itsEnabled);
    }
}

TEST(X3DRegionFeedback, DisplayTestAndBoxes)
{
    // Regions 0 and 1 drawn as boxes, region 2 too small for a surface.
    X3DRegionMeasurementFeedback feedback;
    feedback.SetRegions({X3DRegion(X3DRect(0, 0, 0, 2, 3, 4)), X3DRegion(X3DRect(5, 0, 0, 7, 2, 2)),
                         X3DRegion(X3DRect(9, 0, 0, 11, 1, 1))},
                        false);
    std::atomic<bool> showFirst{true};
    feedback.SetDisplayTest([&](size_t inIndex, const X3DRegion&) { return inIndex != 0 || showFirst; });
    X3DVolumeNode node;
    std::unique_ptr<X3DRegionFeedbackIsoMesh> mesh = feedback.MakeIsoMesh(node);
    EXPECT_TRUE(feedback.UpdateRegionList());
    EXPECT_EQ(mesh->GetInstance(0).itsPositions.size(), 24u) << "a box at once, no job";
    EXPECT_EQ(mesh->GetInstance(0).itsSize, XMathVectorF3(2, 3, 4));
    EXPECT_EQ(feedback.GetJobQueue().GetJobCount(), 0u);
    EXPECT_FALSE(mesh->GetInstance(2).itsEnabled);
    EXPECT_TRUE(mesh->GetInstance(2).itsPositions.empty());

    struct Step {
        bool show;
        bool changed;
        bool enabled;
    };
    for (const Step& s : {Step{false, true, false}, Step{false, false, false}, Step{true, true, true}}) {
        showFirst = s.show;
        mesh->SetRefreshBuffers(false);
        EXPECT_EQ(feedback.UpdateRegionList(), s.changed);
        EXPECT_EQ(mesh->GetInstance(0).itsEnabled, s.enabled);
        EXPECT_EQ(mesh->ShouldRefreshBuffers(), s.changed);
        EXPECT_TRUE(mesh->GetInstance(1).itsEnabled);
    }

    // A mesh made later receives what is there already.
    X3DVolumeNode other;
    std::unique_ptr<X3DRegionFeedbackIsoMesh> late = feedback.MakeIsoMesh(other);
    EXPECT_EQ(late->GetInstanceCount(), 3u);
    EXPECT_EQ(late->GetInstance(1).itsQuads.size(), 6u);
}

TEST(X3DRegionFeedback, MeshesAndFeedbackGoInEitherOrder)
{
    const float factor[3] = {1, 1, 1};
    X3DVolumeNode node;
    for (const bool meshFirst : {true, false}) {
        SCOPED_TRACE(meshFirst ? "mesh first" : "feedback first");
        auto feedback = std::make_unique<X3DRegionMeasurementFeedback>(factor);
        feedback->SetRegions({Ball(40, 40, 40, 30, kRed), Ball(5, 5, 5, 3, kRed)});
        std::unique_ptr<X3DRegionFeedbackIsoMesh> mesh = feedback->MakeIsoMesh(node);
        feedback->UpdateRegionList(); // the first job is still running as they go
        if (meshFirst) {
            mesh.reset();
            EXPECT_TRUE(node.GetIsoData().empty());
            feedback.reset();
        } else {
            feedback.reset();
            EXPECT_EQ(mesh->GetFeedback(), nullptr);
            EXPECT_TRUE(mesh->WaitForSurface());
            mesh->UpdateGeometry(); // nothing left to update
            mesh.reset();
        }
    }
}

// Run under the thread sanitizer too: jobs deliver while the main thread draws.
TEST_F(IsoMeshPictureTest, DeliveriesWhileTheMainThreadDraws)
{
    const float factor[3] = {1, 1, 1};
    X3DRegionMeasurementFeedback feedback(factor);
    XVector<X3DRegion> regions;
    for (int32_t i = 0; i < 8; ++i)
        regions.push_back(Ball(5 + 4 * i, 10 + 3 * (i % 3), 20, 2 + i % 3, XARGB32Colour(255, 255, uint8_t(30 * i), 60)));
    feedback.SetRegions(regions);
    X3DVolumeNode node;
    std::unique_ptr<X3DRegionFeedbackIsoMesh> mesh = feedback.MakeIsoMesh(node);
    mesh->UpdateGeometry();
    uint32_t frames = 0;
    while (feedback.GetJobQueue().GetJobCount() > 0 || frames < 3) {
        Draw({mesh.get()}, "deliveries");
        ++frames;
    }
    const XBGRA32Volume last = Draw({mesh.get()}, "deliveries-done");
    for (size_t i = 0; i < regions.size(); ++i)
        EXPECT_TRUE(IsClosed(mesh->GetInstance(i))) << "region " << i;
    EXPECT_GT(TestPicture::CountNonBackground(last), 0);
    ExpectNoReports();
}
