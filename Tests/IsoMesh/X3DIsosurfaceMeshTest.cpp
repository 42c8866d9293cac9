// The isosurface mesh: its box surface, which instances reach the buffers and when,
// redraw requests, waiting for surfaces, going while jobs run, and real pixels of a
// box, a ball and a placeholder.
#include "IsoMeshFixture.h"
#include "X3DRegionFeedbackIsoMesh.h"
#include "X3DRegionMeasurementFeedback.h"
#include "X3DVolumeNode.h"
#include "XAppMessageCentre.h"
#include "XJob.h"
#include "XThread.h"

#include <atomic>

using XInstance = X3DIsosurfaceMesh::XIsoMeshInstance;

namespace {
XInstance BoxInstance(const X3DRect& inBox, XARGB32Colour inColour = XARGB32Colour::kWhite)
{
    XInstance instance;
    instance.itsEnabled = true;
    instance.itsColour = inColour;
    X3DIsosurfaceMesh::MakeSimpleSurface(instance.itsPositions, instance.itsNormals, instance.itsQuads, inBox);
    instance.ComputeBounds();
    return instance;
}

// Keeps the queue's worker until released, or cancelled.
class XBlockingJob : public XJob {
public:
    explicit XBlockingJob(std::atomic<bool>& inRelease) : itsRelease(inRelease) {}

protected:
    void RunJobSelf() override
    {
        while (!itsRelease)
            XThread::SleepCurrentThread(2);
    }

private:
    std::atomic<bool>& itsRelease;
};

class XRefreshCounter : public X3DSceneNode {
public:
    void RefreshScene(bool) override { ++itsRefreshes; }
    int itsRefreshes = 0;
};
} // namespace

TEST(X3DIsosurfaceMesh, SimpleSurfaceIsABoxWithOutwardFaces)
{
    const X3DRect box(-3, 2, 5, 4, 3, 9);
    const XInstance s = BoxInstance(box);
    ASSERT_EQ(s.itsPositions.size(), 24u);
    ASSERT_EQ(s.itsQuads.size(), 6u);
    EXPECT_EQ(s.itsOrigin, XMathVectorF3(-3, 2, 5));
    EXPECT_EQ(s.itsSize, XMathVectorF3(7, 1, 4));
    // Each face has vertices of its own, with its normal, in its plane.
    for (const XMathVectorU4& q : s.itsQuads) {
        const XMathVectorF3 n = s.itsNormals[q[0]], faceCentre = (s.itsPositions[q[0]] + s.itsPositions[q[2]]) * 0.5f;
        EXPECT_GT((faceCentre - (s.itsOrigin + s.itsSize * 0.5f)).Dot(n), 0.0f) << "outwards";
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(s.itsNormals[q[k]], n);
            EXPECT_FLOAT_EQ((s.itsPositions[q[k]] - faceCentre).Dot(n), 0.0f) << "in the face's plane";
        }
    }
}

TEST_F(IsoMeshPictureTest, UploadLeavesOutWhatItCannotDrawAndWaitsForAChange)
{
    const XInstance good = BoxInstance(X3DRect(0, 0, 0, 2, 2, 2));
    XInstance fewerNormals = good, pastTheEnd = good, disabled = good, placeholder;
    fewerNormals.itsNormals.pop_back();
    pastTheEnd.itsQuads.back()[3] = 24;
    disabled.itsEnabled = false;
    placeholder.itsEnabled = true;
    struct Case {
        const char* name;
        std::vector<XInstance> instances;
        uint32_t quads;
        size_t reports;
    };
    const Case cases[] = {
        {"two boxes", {good, good}, 12, 0},
        {"normals short", {fewerNormals, good}, 6, 1},
        {"quad past the vertices", {good, pastTheEnd}, 6, 1},
        {"disabled", {disabled, good}, 6, 0},
        {"placeholder only", {placeholder}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        X3DIsosurfaceMesh mesh;
        for (size_t i = 0; i < c.instances.size(); ++i)
            mesh.SetInstance(i, c.instances[i]);
        EXPECT_TRUE(mesh.ShouldRefreshBuffers());
        mesh.LoadGraphicsResources(*gc);
        EXPECT_FALSE(mesh.ShouldRefreshBuffers());
        EXPECT_EQ(mesh.GetUploadedQuadCount(), c.quads);
        EXPECT_EQ(asserts.GetCount(), c.reports);
        asserts.Clear();
        // A new instance is uploaded with the next frame, not before.
        mesh.SetInstance(c.instances.size(), good);
        EXPECT_TRUE(mesh.ShouldRefreshBuffers());
        EXPECT_EQ(mesh.GetUploadedQuadCount(), c.quads);
        mesh.LoadGraphicsResources(*gc);
        EXPECT_EQ(mesh.GetUploadedQuadCount(), c.quads + 6);
        mesh.UnloadGraphicsResources(*gc, true);
        asserts.Clear();
    }
}

TEST(X3DIsosurfaceMesh, NewSurfacesAskOnlyAnInteractiveOwnerToRedraw)
{
    for (const auto quality : {X3DVolumeNode::kQualityInteractive, X3DVolumeNode::kQualityFinal}) {
        XRefreshCounter parent;
        X3DVolumeNode node;
        parent.AddChild(node);
        node.SetQuality(quality);
        {
            X3DIsosurfaceMesh mesh;
            node.AddIsoData(&mesh);
            mesh.SetInstance(0, BoxInstance(X3DRect(0, 0, 0, 1, 1, 1)));
            mesh.SetInstance(1, BoxInstance(X3DRect(0, 0, 0, 1, 1, 1)));
            XAppMessageCentre& centre = XAppMessageCentre::GetAppMessageCentre();
            for (int i = 0; i < 100 && centre.GetQueuedMessageCount() > 0; ++i)
                centre.WaitAndProcessMessages(10);
            // The requests of one mesh coalesce while they wait.
            EXPECT_EQ(parent.itsRefreshes, quality == X3DVolumeNode::kQualityFinal ? 0 : 1);
        }
        EXPECT_TRUE(node.GetIsoData().empty()) << "a mesh leaves its owner when it goes";
        parent.RemoveChild(node);
    }
}

TEST(X3DIsosurfaceMesh, WaitingHoldsNoLockAndGivesUp)
{
    std::atomic<bool> release{false}, never{false};
    {
        X3DIsosurfaceMesh mesh(128.0);
        mesh.GetJobQueue().AttachJob(new XBlockingJob(release));
        std::atomic<int> waited{-1};
        XThread waiter([&] { waited = mesh.WaitForSurface() ? 1 : 0; });
        waiter.Start();
        mesh.SetInstance(0, BoxInstance(X3DRect(0, 0, 0, 1, 1, 1))); // deliveries still get in
        EXPECT_EQ(waited.load(), -1);
        waiter.RequestStop();
        waiter.Join();
        EXPECT_EQ(waited.load(), 0) << "its thread was stopped";
        mesh.GetJobQueue().Suspend();
        EXPECT_FALSE(mesh.WaitForSurface()) << "a suspended queue never empties";
        mesh.GetJobQueue().Resume();
        release = true;
        EXPECT_TRUE(mesh.WaitForSurface());
        mesh.GetJobQueue().AttachJob(new XBlockingJob(never));
    } // the mesh cancels its job as it goes (else this would hang)
}

TEST_F(IsoMeshPictureTest, BoxBallAndPlaceholderInRealPixels)
{
    // A box of voxels 4-15 and a ball of radius 7 about (28, 20), made by the feedback's
    // jobs and waited for by the final-quality owner's frame; a placeholder above them.
    const XARGB32Colour red(255, 220, 30, 30), green(255, 30, 220, 30), blue(255, 40, 40, 255);
    const float factor[3] = {1, 1, 1};
    X3DRegionMeasurementFeedback feedback(factor);
    feedback.SetRegions({X3DRegion(X3DRect(4, 14, 14, 16, 26, 26), red), Ball(28, 20, 20, 7, green)});
    X3DVolumeNode node;
    node.SetQuality(X3DVolumeNode::kQualityFinal);
    std::unique_ptr<X3DRegionFeedbackIsoMesh> surfaces = feedback.MakeIsoMesh(node);
    feedback.UpdateRegionList();
    X3DIsosurfaceMesh placeholders;
    XInstance placeholder;
    placeholder.itsEnabled = true;
    placeholder.itsColour = blue;
    placeholder.itsOrigin = XMathVectorF3(2, 30, 0);
    placeholder.itsSize = XMathVectorF3(36, 8, 40);
    placeholders.SetInstance(0, placeholder);
    const XBGRA32Volume picture = Draw({surfaces.get(), &placeholders}, "box-ball-placeholder");

    auto colourAt = [&](float inX, float inY) {
        const XARGB32Colour c = At(picture, int(inX * kSize / kSpan), int(inY * kSize / kSpan));
        const uint8_t top = std::max({c.red, c.green, c.blue});
        if (top < 40)
            return '.';
        const uint8_t others = top == c.red ? std::max(c.green, c.blue) : top == c.green ? std::max(c.red, c.blue)
                                                                                         : std::max(c.red, c.green);
        return others * 2 >= top ? '?' : top == c.red ? 'r' : top == c.green ? 'g' : 'b';
    };
    // The surface lies 0.5 voxel outside the outer voxels' centres.
    struct Probe {
        float x, y;
        char expected;
    };
    for (const Probe& p : {Probe{10, 20, 'r'}, Probe{4.0f, 20, 'r'}, Probe{15.2f, 20, 'r'}, Probe{3.0f, 20, '.'},
                           Probe{16.2f, 20, '.'}, Probe{10, 13.0f, '.'}, Probe{28, 20, 'g'}, Probe{28, 26, 'g'},
                           Probe{22, 20, 'g'}, Probe{19.5f, 20, '.'}, Probe{28, 28.0f, '.'}, Probe{20, 34, '.'}})
        EXPECT_EQ(colourAt(p.x, p.y), p.expected) << "at voxel " << p.x << ", " << p.y;
    int outline = 0; // a placeholder is its outline only
    for (float y = 0; y < kSpan; y += kSpan / kSize)
        outline += colourAt(20, y) == 'b';
    EXPECT_GE(outline, 2);
    EXPECT_LE(outline, 4);
}
