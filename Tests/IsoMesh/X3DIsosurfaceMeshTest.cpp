// The isosurface mesh: its box surface, which instances reach the buffers, when the
// buffers are rebuilt, redraw requests, waiting for surfaces, and real pixels of a box,
// a ball and a placeholder drawn through the OpenGL device.
#include "IsoMeshPicture.h"
#include "IsoMeshSupport.h"
#include "X3DRegionFeedbackIsoMesh.h"
#include "X3DRegionMeasurementFeedback.h"
#include "X3DVolumeNode.h"
#include "XJob.h"
#include "XThread.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace IsoMeshSupport;
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

// Keeps the queue's worker busy until released (or cancelled).
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
} // namespace

TEST(X3DIsosurfaceMesh, SimpleSurfaceIsABoxWithOutwardFaces)
{
    for (const X3DRect& box : {X3DRect(0, 0, 0, 1, 1, 1), X3DRect(-3, 2, 5, 4, 3, 9)}) {
        XInstance s = BoxInstance(box);
        ASSERT_EQ(s.itsPositions.size(), 24u);
        ASSERT_EQ(s.itsQuads.size(), 6u);
        EXPECT_EQ(s.itsOrigin, XMathVectorF3(float(box.left), float(box.top), float(box.front)));
        EXPECT_EQ(s.itsSize, XMathVectorF3(float(box.GetWidth()), float(box.GetHeight()), float(box.GetDepth())));
        const XMathVectorF3 centre = s.itsOrigin + s.itsSize * 0.5f;
        for (size_t f = 0; f < 6; ++f) {
            const XMathVectorU4& q = s.itsQuads[f];
            EXPECT_EQ(q, XMathVectorU4(uint32_t(4 * f), uint32_t(4 * f + 1), uint32_t(4 * f + 2), uint32_t(4 * f + 3)));
            const XMathVectorF3 n = s.itsNormals[q[0]];
            const XMathVectorF3 faceCentre = (s.itsPositions[q[0]] + s.itsPositions[q[2]]) * 0.5f;
            EXPECT_GT((faceCentre - centre).Dot(n), 0.0f) << "face " << f;
            for (size_t k = 0; k < 4; ++k) {
                EXPECT_EQ(s.itsNormals[q[k]], n);
                // Every corner lies in the face's plane, and the corners go round it.
                EXPECT_FLOAT_EQ((s.itsPositions[q[k]] - faceCentre).Dot(n), 0.0f);
                const XMathVectorF3 a = s.itsPositions[q[k]] - faceCentre, b = s.itsPositions[q[(k + 1) % 4]] - faceCentre;
                EXPECT_NE(a.Cross(b).GetLengthSquared(), 0.0f);
            }
        }
    }
}

TEST_F(IsoMeshPictureTest, UploadLeavesOutInstancesItCannotDraw)
{
    const XInstance good = BoxInstance(X3DRect(0, 0, 0, 2, 2, 2));
    XInstance fewerNormals = good, pastTheEnd = good, disabled = good, placeholder;
    fewerNormals.itsNormals.pop_back();
    pastTheEnd.itsQuads.back()[3] = 24;
    disabled.itsEnabled = false;
    placeholder.itsEnabled = true;
    placeholder.itsSize = XMathVectorF3(1, 1, 1);
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
        asserts.Clear();
        X3DIsosurfaceMesh mesh;
        for (size_t i = 0; i < c.instances.size(); ++i)
            mesh.SetInstance(i, c.instances[i]);
        mesh.LoadGraphicsResources(*gc);
        EXPECT_EQ(mesh.GetUploadedQuadCount(), c.quads);
        EXPECT_EQ(asserts.GetCount(), c.reports);
        mesh.UnloadGraphicsResources(*gc, true);
    }
    asserts.Clear();
}

TEST_F(IsoMeshPictureTest, BuffersAreRebuiltOnlyAfterAChange)
{
    X3DIsosurfaceMesh mesh;
    EXPECT_TRUE(mesh.ShouldRefreshBuffers());
    mesh.SetInstance(0, BoxInstance(X3DRect(0, 0, 0, 2, 2, 2)));
    Draw({&mesh}, "rebuild-1");
    // Draw unloads: load again by hand to see the flag as a frame leaves it.
    mesh.LoadGraphicsResources(*gc);
    EXPECT_FALSE(mesh.ShouldRefreshBuffers());
    EXPECT_EQ(mesh.GetUploadedQuadCount(), 6u);
    mesh.SetInstance(3, BoxInstance(X3DRect(4, 4, 4, 6, 6, 6)));
    EXPECT_TRUE(mesh.ShouldRefreshBuffers());
    EXPECT_EQ(mesh.GetUploadedQuadCount(), 6u) << "not before the next frame";
    EXPECT_EQ(mesh.GetInstanceCount(), 4u);
    mesh.LoadGraphicsResources(*gc);
    EXPECT_EQ(mesh.GetUploadedQuadCount(), 12u);
    mesh.UnloadGraphicsResources(*gc, true);
    ExpectNoReports();
}

TEST(X3DIsosurfaceMesh, NewSurfacesAskAnInteractiveOwnerToRedraw)
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
            ASSERT_TRUE(PumpUntil([&] { return centre.GetQueuedMessageCount() == 0; }));
            // Requests of one mesh coalesce while they wait.
            EXPECT_EQ(parent.itsRefreshes.load(), quality == X3DVolumeNode::kQualityFinal ? 0 : 1);
        }
        EXPECT_TRUE(node.GetIsoData().empty()) << "a mesh leaves its owner when it goes";
        parent.RemoveChild(node);
    }
}

TEST(X3DIsosurfaceMesh, WaitForSurfaceHoldsNoLockAndStopsWithItsThread)
{
    X3DIsosurfaceMesh mesh(128.0);
    std::atomic<bool> release{false};
    mesh.GetJobQueue().AttachJob(new XBlockingJob(release));
    std::atomic<int> waited{-1};
    XThread waiter([&] { waited = mesh.WaitForSurface() ? 1 : 0; });
    waiter.Start();
    // While the waiter waits, deliveries still get in.
    mesh.SetInstance(0, BoxInstance(X3DRect(0, 0, 0, 1, 1, 1)));
    EXPECT_EQ(waited.load(), -1);
    waiter.RequestStop();
    waiter.Join();
    EXPECT_EQ(waited.load(), 0) << "gave up";
    mesh.GetJobQueue().Suspend();
    EXPECT_FALSE(mesh.WaitForSurface()) << "a suspended queue would never empty";
    mesh.GetJobQueue().Resume();
    release = true;
    EXPECT_TRUE(mesh.WaitForSurface());
}

TEST(X3DIsosurfaceMesh, GoingCancelsItsJobs)
{
    std::atomic<bool> never{false};
    {
        X3DIsosurfaceMesh mesh(0.0);
        mesh.GetJobQueue().AttachJob(new XBlockingJob(never));
        mesh.GetJobQueue().AttachJob(new XBlockingJob(never));
    } // would wait for ever if the jobs were not cancelled
    SUCCEED();
}

TEST_F(IsoMeshPictureTest, BoxBallAndPlaceholderInRealPixels)
{
    const XARGB32Colour red(255, 220, 30, 30), green(255, 30, 220, 30), blue(255, 40, 40, 255);
    auto dominant = [](XARGB32Colour c) {
        if (c.red < 40 && c.green < 40 && c.blue < 40)
            return '.';
        if (c.red > 2 * c.green && c.red > 2 * c.blue)
            return 'r';
        if (c.green > 2 * c.red && c.green > 2 * c.blue)
            return 'g';
        if (c.blue > 2 * c.red && c.blue > 2 * c.green)
            return 'b';
        return '?';
    };

    // Box voxels x 4-15, ball centred at (28, 20) of radius 7: surfaces made by the
    // feedback's jobs, waited for by the final-quality owner's frame.
    const float factor[3] = {1, 1, 1};
    X3DRegionMeasurementFeedback feedback(factor);
    X3DRegion box(X3DRect(4, 14, 14, 16, 26, 26), red);
    feedback.SetRegions({box, Ball(28, 20, 20, 7, green)});
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

    struct Probe {
        float x, y;
        char expected;
    };
    const Probe probes[] = {
        {10, 20, 'r'}, {4.0f, 20, 'r'}, {15.2f, 20, 'r'}, {3.0f, 20, '.'}, {16.2f, 20, '.'}, {10, 13.0f, '.'},
        {28, 20, 'g'}, {28, 26, 'g'}, {22, 20, 'g'}, {19.5f, 20, '.'}, {28, 28.0f, '.'}, {33, 25, '.'},
        {20, 34, '.'}, {20, 2, '.'},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(dominant(AtVoxel(picture, p.x, p.y)), p.expected) << "at voxel " << p.x << ", " << p.y;
    // The placeholder is its outline only: blue along its top and bottom edges, dark inside.
    int outline = 0;
    for (int y = 0; y < kSize; ++y)
        outline += dominant(At(picture, kSize / 2, y)) == 'b';
    EXPECT_GE(outline, 2);
    EXPECT_LE(outline, 4);
    EXPECT_EQ(dominant(AtVoxel(picture, 20, 34)), '.');
    ExpectNoReports();
}
