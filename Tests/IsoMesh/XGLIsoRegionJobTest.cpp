// The legacy region jobs: preview, full and simplified surfaces in order, each new, so
// the one delivered before stays as it was (also when simplification fails); and the
// preview's box.
#include "X3DRegion.h"
#include "XGLCreateIsoRegionJob.h"
#include "XGLSimplifyIsoRegionJob.h"
#include "XJobQueue.h"

#include <gtest/gtest.h>

#include <mutex>

using S = XGLIsoRegionJob::XStage;
using XSurfacePtr = std::shared_ptr<const XGLIsoRegionJob::XSurface>;

namespace {
struct XJournal {
    std::mutex mutex;
    std::vector<std::pair<S, XSurfacePtr>> deliveries;
};

// Journals each delivery as well as handing it on.
template <class TJob>
class XJournalled : public TJob {
public:
    template <class... TArgs>
    XJournalled(XJournal& inJournal, TArgs&&... inArgs) : TJob(std::forward<TArgs>(inArgs)...), itsJournal(inJournal) {}

protected:
    void CompleteIsoRegionJob(XSurfacePtr inSurface, S inStage) override
    {
        std::lock_guard<std::mutex> lock(itsJournal.mutex);
        itsJournal.deliveries.push_back({inStage, inSurface});
        TJob::CompleteIsoRegionJob(std::move(inSurface), inStage);
    }

private:
    XJournal& itsJournal;
};

void RunJobs(std::initializer_list<XJob*> inJobs)
{
    XJobQueue queue;
    for (XJob* job : inJobs)
        queue.AttachJob(job);
    queue.Start();
    ASSERT_TRUE(queue.WaitForQueueEmpty(60000));
}
} // namespace

TEST(XGLIsoRegionJob, PreviewFullAndSimplifiedInOrder)
{
    struct Case {
        X3DRect box;
        std::vector<S> stages;
    };
    for (const Case& c : {Case{X3DRect(2, 3, 4, 12, 10, 9), {S::kFull, S::kSimplified}},
                          Case{X3DRect(0, 0, 0, 70, 65, 60), {S::kPreview, S::kFull, S::kSimplified}}}) {
        SCOPED_TRACE(c.stages.size());
        auto delivery = std::make_shared<XGLIsoRegionJob::XDelivery>();
        XJournal journal;
        RunJobs({new XJournalled<XGLCreateIsoRegionJob>(journal, delivery, X3DRegion(c.box)),
                 new XJournalled<XGLSimplifyIsoRegionJob>(journal, delivery)});
        ASSERT_EQ(journal.deliveries.size(), c.stages.size());
        for (size_t i = 0; i < c.stages.size(); ++i)
            EXPECT_EQ(journal.deliveries[i].first, c.stages[i]) << i;
        EXPECT_EQ(delivery->GetStage(), S::kSimplified);
        EXPECT_EQ(delivery->GetSurface(), journal.deliveries.back().second);

        const auto& full = *journal.deliveries[c.stages.size() - 2].second;
        const auto& simplified = *journal.deliveries.back().second;
        const uint64_t quads = 2 * (uint64_t(c.box.GetWidth()) * c.box.GetHeight() + uint64_t(c.box.GetWidth()) *
                                    c.box.GetDepth() + uint64_t(c.box.GetHeight()) * c.box.GetDepth());
        EXPECT_EQ(full.itsQuads.size(), quads) << "the full surface, still held, is as delivered";
        for (const XMathVectorU4& q : full.itsQuads)
            ASSERT_NE(q[0], 0xFFFFFFFFu);
        EXPECT_EQ(full.itsVertices, simplified.itsVertices);
        EXPECT_LT(simplified.itsQuads.size() + simplified.itsTriangles.size(), quads / 2);
        EXPECT_GT(simplified.itsTriangles.size(), 0u);
        if (c.stages.size() == 3) {
            EXPECT_LT(journal.deliveries[0].second->itsQuads.size(), quads);
        }
    }
}

TEST(XGLIsoRegionJob, FailedSimplificationLeavesTheSurface)
{
    auto delivery = std::make_shared<XGLIsoRegionJob::XDelivery>();
    auto broken = std::make_shared<XGLIsoRegionJob::XSurface>();
    broken->itsVertices = std::make_shared<XGLIsoRegionJob::XVertexBuffer>();
    broken->itsQuads.push_back(XMathVectorU4(0, 1, 2, 3)); // names vertices it has not got
    delivery->SetSurface(broken, S::kFull);
    RunJobs({new XGLSimplifyIsoRegionJob(delivery)});
    EXPECT_EQ(delivery->GetStage(), S::kFull);
    EXPECT_EQ(delivery->GetSurface(), broken);
}

TEST(XGLCreateIsoRegionJob, PreviewHalvesTheLargestSide)
{
    const std::pair<X3DRect, X3DRect> cases[] = {
        {X3DRect(0, 0, 0, 64, 64, 64), X3DRect(0, 0, 0, 64, 64, 64)}, // exactly the limit
        {X3DRect(1, 2, 3, 67, 68, 69), X3DRect(1, 2, 3, 34, 68, 69)}, // a tie goes to the width
        {X3DRect(0, 0, 0, 60, 70, 70), X3DRect(0, 0, 0, 60, 35, 70)}, // then to the height
        {X3DRect(0, 0, 0, 3000, 3000, 1), X3DRect(0, 0, 0, 375, 375, 1)},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(XGLCreateIsoRegionJob::GetScaledBounds(in), out);
}
