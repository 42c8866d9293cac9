// The voxel spy's pin list: removal renumbers, selections follow, bad indices change nothing.
#include "XAssertRecorder.h"
#include "XVoxelSpyPinList.h"

#include <gtest/gtest.h>

#include <functional>

namespace {
XVoxelSpyPinList MakeList(int inCount)
{
    XVoxelSpyPinList list;
    for (int i = 0; i < inCount; ++i)
        list.AddPin(X3DPoint(i, 10 * i, 100 * i), uint32_t(i));
    return list;
}

std::vector<int32_t> Xs(const XVoxelSpyPinList& inList)
{
    std::vector<int32_t> xs;
    for (const auto& pin : inList.GetPins())
        xs.push_back(pin.position.x);
    return xs;
}
} // namespace

TEST(XVoxelSpyPinList, RemovalsRenumberTheRestAndTheSelectionFollows)
{
    XVoxelSpyPinList list = MakeList(5);
    list.SelectPins({0, 2, 4});
    list.RemovePin(2);
    EXPECT_EQ(Xs(list), (std::vector<int32_t>{0, 1, 3, 4}));
    EXPECT_EQ(list.GetSelectedPins(), (XSet<size_t>{0, 3}));

    list.UnselectPins({0, 3});
    list.SelectPins({1, 2});
    list.OffsetPins({0, 3}, X3DPoint(1, -1, 2));
    list.RemoveSelectedPins();
    EXPECT_TRUE(list.GetSelectedPins().empty());
    uint32_t bubble = 0;
    EXPECT_EQ(list.GetPin(0, bubble), X3DPoint(1, -1, 2));
    EXPECT_EQ(list.GetPin(1, bubble), X3DPoint(5, 39, 402));
    EXPECT_EQ(bubble, 4u) << "the bubble goes with its pin";

    list.SelectAllPins();
    EXPECT_EQ(list.GetSelectedPins(), (XSet<size_t>{0, 1}));
    list.RemoveAllPins();
    EXPECT_EQ(list.GetPinCount(), 0u);
    EXPECT_TRUE(list.GetSelectedPins().empty());
}

TEST(XVoxelSpyPinList, IndicesOutOfRangeAssertAndChangeNothing)
{
    struct Case {
        const char* name;
        std::function<void(XVoxelSpyPinList&)> call;
        const char* condition;
    };
    const Case cases[] = {
        {"RemovePin", [](XVoxelSpyPinList& l) { l.RemovePin(3); }, "inIndex < itsPins.size()"},
        {"GetPin", [](XVoxelSpyPinList& l) { EXPECT_EQ(l.GetPin(7), X3DPoint()); }, "inIndex < itsPins.size()"},
        {"SelectPin", [](XVoxelSpyPinList& l) { l.SelectPin(3); }, "inIndex < itsPins.size()"},
        {"UnselectPin", [](XVoxelSpyPinList& l) { l.UnselectPin(9); }, "inIndex < itsPins.size()"},
        {"SelectPins", [](XVoxelSpyPinList& l) { l.SelectPins({0, 3}); }, "*indexIter < itsPins.size()"},
        {"UnselectPins", [](XVoxelSpyPinList& l) { l.UnselectPins({1, 4}); }, "*indexIter < itsPins.size()"},
        {"OffsetPins", [](XVoxelSpyPinList& l) { l.OffsetPins({0, 5}, X3DPoint(1, 1, 1)); }, "*indexIter < itsPins.size()"},
        {"SetPinPosition", [](XVoxelSpyPinList& l) { l.SetPinPosition(3, X3DPoint(9, 9, 9)); }, "inIndex < itsPins.size()"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        XVoxelSpyPinList list = MakeList(3);
        list.SelectPin(1);
        const auto pinsBefore = list.GetPins();
        XAssertRecorder recorder;
        c.call(list);
        EXPECT_TRUE(recorder.Has(c.condition, "X-Platform/XVoxelSpyPinList"));
        EXPECT_EQ(list.GetPins(), pinsBefore);
        EXPECT_EQ(list.GetSelectedPins(), (XSet<size_t>{1}));
    }
}
