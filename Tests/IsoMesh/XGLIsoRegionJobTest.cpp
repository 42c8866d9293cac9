// The legacy region jobs: preview, full and simplified surfaces in that order, each a
// new surface that leaves the one delivered before as it was; the preview's box; and
// the host-memory vertex buffer's read and write locks.
#include "IsoMeshSupport.h"
#include "XGLCreateIsoRegionJob.h"
#include "XGLSimplifyIsoRegionJob.h"
#include "XJobQueue.h"
#include "XThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

using XSurface = XGLIsoRegionJob::XSurface;

namespace {
struct XDelivered {
    XGLIsoRegionJob::XStage stage;
    std::shared_ptr<const XSurface> surface;
    size_t quads;
    size_t triangles;
};

// Both jobs report each delivery here as well as handing it on.
struct XJournal {
    std::mutex mutex;
    std::vector<XDelivered> deliveries;
    void Add(const std::shared_ptr<const XSurface>& inSurface, XGLIsoRegionJob::XStage inStage)
    {
        std::lock_guard<std::mutex> lock(mutex);
        deliveries.push_back({inStage, inSurface, inSurface->itsQuads.size(), inSurface->itsTriangles.size()});
    }
};

template <class TJob>
class XJournalled : public TJob {
public:
    template <class... TArgs>
    XJournalled(XJournal& inJournal, TArgs&&... inArgs) : TJob(std::forward<TArgs>(inArgs)...), itsJournal(inJournal) {}

protected:
    void CompleteIsoRegionJob(std::shared_ptr<const XSurface> inSurface, XGLIsoRegionJob::XStage inStage) override
    {
        itsJournal.Add(inSurface, inStage);
        TJob::CompleteIsoRegionJob(std::move(inSurface), inStage);
    }

private:
    XJournal& itsJournal;
};

bool NamesDeletedVertices(const XSurface& inSurface)
{
    for (const XMathVectorU4& q : inSurface.itsQuads)
        for (size_t k = 0; k < 4; ++k)
            if (q[k] == 0xFFFFFFFFu)
                return true;
    return false;
}
} // namespace

TEST(XGLIsoRegionJob, PreviewFullAndSimplifiedInOrder)
{
    struct Case {
        const char* name;
        X3DRect box;
        std::vector<XGLIsoRegionJob::XStage> stages;
    };
    using S = XGLIsoRegionJob::XStage;
    const Case cases[] = {
        {"small", X3DRect(2, 3, 4, 12, 10, 9), {S::kFull, S::kSimplified}},
        {"over the preview size", X3DRect(0, 0, 0, 70, 65, 60), {S::kPreview, S::kFull, S::kSimplified}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto delivery = std::make_shared<XGLIsoRegionJob::XDelivery>();
        XJournal journal;
        XJobQueue queue;
        queue.AttachJob(new XJournalled<XGLCreateIsoRegionJob>(journal, delivery, X3DRegion(c.box)));
        queue.AttachJob(new XJournalled<XGLSimplifyIsoRegionJob>(journal, delivery));
        queue.Start();
        ASSERT_TRUE(queue.WaitForQueueEmpty(60000));
        ASSERT_EQ(journal.deliveries.size(), c.stages.size());
        for (size_t i = 0; i < c.stages.size(); ++i)
            EXPECT_EQ(journal.deliveries[i].stage, c.stages[i]) << i;
        EXPECT_EQ(delivery->GetStage(), S::kSimplified);
        EXPECT_EQ(delivery->GetSurface(), journal.deliveries.back().surface);

        const XDelivered& full = journal.deliveries[c.stages.size() - 2];
        const XDelivered& simplified = journal.deliveries.back();
        // The full surface, still held, is as it was delivered.
        EXPECT_EQ(full.surface->itsQuads.size(), full.quads);
        EXPECT_FALSE(NamesDeletedVertices(*full.surface));
        EXPECT_EQ(full.surface->itsVertices, simplified.surface->itsVertices);
        // A box keeps little more than its corners: far fewer faces.
        EXPECT_LT(simplified.quads + simplified.triangles, full.quads / 2);
        EXPECT_GT(simplified.triangles, 0u);
        if (c.stages.size() == 3) {
            EXPECT_LT(journal.deliveries[0].quads, full.quads);
        }
    }
}

TEST(XGLIsoRegionJob, FailedSimplificationLeavesTheSurface)
{
    auto delivery = std::make_shared<XGLIsoRegionJob::XDelivery>();
    auto broken = std::make_shared<XSurface>();
    broken->itsVertices = std::make_shared<XGLIsoRegionJob::XVertexBuffer>();
    broken->itsQuads.push_back(XMathVectorU4(0, 1, 2, 3)); // no vertices at all
    delivery->SetSurface(broken, XGLIsoRegionJob::kFull);
    XJobQueue queue;
    queue.AttachJob(new XGLSimplifyIsoRegionJob(delivery));
    queue.Start();
    ASSERT_TRUE(queue.WaitForQueueEmpty(20000));
    EXPECT_EQ(delivery->GetStage(), XGLIsoRegionJob::kFull);
    EXPECT_EQ(delivery->GetSurface(), broken);
}

TEST(XGLCreateIsoRegionJob, PreviewHalvesTheLargestSide)
{
    struct Case {
        X3DRect in, out;
    };
    const Case cases[] = {
        {X3DRect(0, 0, 0, 64, 64, 64), X3DRect(0, 0, 0, 64, 64, 64)},     // exactly the limit
        {X3DRect(1, 2, 3, 67, 68, 69), X3DRect(1, 2, 3, 34, 68, 69)},     // a tie goes to the width
        {X3DRect(0, 0, 0, 60, 70, 70), X3DRect(0, 0, 0, 60, 35, 70)},     // then to the height
        {X3DRect(0, 0, 0, 40, 1000, 10), X3DRect(0, 0, 0, 40, 500, 10)},
        {X3DRect(0, 0, 0, 3000, 3000, 1), X3DRect(0, 0, 0, 375, 375, 1)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(XGLCreateIsoRegionJob::GetScaledBounds(c.in), c.out);
}

TEST(XGLVertexBuffer, ReadersShareWritersDoNot)
{
    XGLIsoRegionJob::XVertexBuffer buffer;
    buffer.LockFor(kLockRead);
    std::atomic<int> stage{0};
    XThread reader([&] {
        buffer.LockFor(kLockRead); // beside the main thread's read lock
        stage = 1;
        buffer.UnlockFor(kLockRead);
        buffer.LockFor(kLockWrite); // waits for the main thread's
        stage = 2;
        buffer.Append({XMathVectorF3(1, 2, 3), XMathVectorF3(0, 0, 1)});
        buffer.UnlockFor(kLockWrite);
    });
    reader.Start();
    while (stage < 1)
        std::this_thread::yield();
    XThread::SleepCurrentThread(20);
    EXPECT_EQ(stage.load(), 1);
    buffer.UnlockFor(kLockRead);
    reader.Join();
    EXPECT_EQ(stage.load(), 2);
    buffer.LockFor(kLockRead);
    EXPECT_EQ(buffer.GetVertexCount(), 1u);
    buffer.UnlockFor(kLockRead);
}
