#include "XRefCountable.h"
#include "XRefPtr.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {
std::atomic<int> sLive{0};
class XCounted : public XRefCountable {
public:
    XCounted() { ++sLive; }
    ~XCounted() override { --sLive; }
    int itsValue = 7;
};
} // namespace

TEST(XRefPtr, DeletesWithTheLastReference)
{
    {
        XRefPtr<XCounted> a(new XCounted);
        EXPECT_EQ(a->GetRefCount(), 1u);
        XRefPtr<XCounted> b = a;
        XRefPtr<XCounted> c;
        c = b;
        EXPECT_EQ(a->GetRefCount(), 3u);
        const XRefPtr<XCounted>& same = c;
        c = same; // self-assignment keeps the object
        EXPECT_EQ(c->itsValue, 7);
        XRefPtr<XCounted> d(std::move(b));
        EXPECT_FALSE(b);
        EXPECT_EQ(a->GetRefCount(), 3u);
        a.Reset();
        c = nullptr;
        EXPECT_EQ(sLive, 1);
        EXPECT_EQ(d->GetRefCount(), 1u);
    }
    EXPECT_EQ(sLive, 0);
}

TEST(XRefPtr, CountsCorrectlyAcrossThreads)
{
    XRefPtr<XCounted> shared(new XCounted);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([shared] {
            for (int i = 0; i < 5000; ++i) {
                XRefPtr<XCounted> copy = shared;
                XRefPtr<XCounted> other(copy);
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(shared->GetRefCount(), 1u);
    shared.Reset();
    EXPECT_EQ(sLive, 0);
}
