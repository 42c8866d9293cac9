#include "XBookmark3D.h"
#include "XBookmark3DManager.h"

#include "XARGB32Volume.h"
#include "XClassRegistry.h"
#include "XException.h"
#include "XGrey8Volume.h"
#include "XStream.h"

#include <gtest/gtest.h>

namespace {
XRendererSceneState MakeState(double inFloorHeight)
{
    XRendererSceneState state;
    state.SetStateAndEnable(kSceneStateFloorHeight, X3DMatrix(1, 1, inFloorHeight));
    state.SetStateAndEnable(kSceneStateRotation, X3DMatrix::UnitMatrix(3));
    return state;
}

std::unique_ptr<XARGB32Volume> MakeThumbnail()
{
    auto thumbnail = std::make_unique<XARGB32Volume>(3, 2, 1);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x)
            thumbnail->SetVoxel(x, y, XARGB32Colour(255, uint8_t(x * 50), uint8_t(y * 100), 7));
    return thumbnail;
}

std::vector<uint8_t> Write(const XStorable& inObject)
{
    XStream stream;
    inObject.WriteStream2(stream);
    EXPECT_EQ(stream.GetSize(), inObject.GetStreamUsage());
    return stream.GetBuffer();
}

bool SameVoxels(const XVolume& inA, const XVolume& inB)
{
    return inA.GetBounds() == inB.GetBounds() && inA.GetDataSize() == inB.GetDataSize() &&
           std::equal(inA.GetData(), inA.GetData() + inA.GetDataSize(), inB.GetData());
}
} // namespace

TEST(XBookmark3D, CloneCopiesTheThumbnail)
{
    XBookmark3D bookmark(MakeState(1.0), "Top");
    bookmark.AttachThumbnail(MakeThumbnail().release());
    std::unique_ptr<XBookmark3D> clone(bookmark.Clone());
    ASSERT_TRUE(clone->HasThumbnail());
    EXPECT_NE(clone->GetThumbnail(), bookmark.GetThumbnail()) << "the clone owns a copy";
    EXPECT_TRUE(SameVoxels(*clone->GetThumbnail(), *bookmark.GetThumbnail()));
    EXPECT_EQ(clone->GetSceneState(), bookmark.GetSceneState());
    EXPECT_EQ(clone->GetName(), "Top");
    bookmark.AttachThumbnail(nullptr);
    EXPECT_TRUE(clone->HasThumbnail());
}

TEST(XBookmark3D, OtherThumbnailLayoutsAreStoredAsColour)
{
    XBookmark3D bookmark;
    auto grey = std::make_unique<XGrey8Volume>(X3DRect(0, 0, 0, 2, 1, 1));
    grey->SetVoxel(1, 0, 0, 200);
    bookmark.AttachThumbnail(std::move(grey));
    XStream stream(Write(bookmark));
    XBookmark3D read;
    read.ReadStream2(stream);
    ASSERT_TRUE(read.HasThumbnail());
    ASSERT_EQ(read.GetThumbnail()->GetVoxelType(), XVoxelType::kARGB32);
    EXPECT_EQ(static_cast<const XARGB32Volume*>(read.GetThumbnail())->GetVoxel(1, 0), XARGB32Colour(255, 200, 200, 200));
}

TEST(XBookmark3D, BadThumbnailsAreRefusedBeforeAllocating)
{
    XBookmark3D original(MakeState(3.0), "Keep");
    const auto refuse = [&](const std::vector<uint8_t>& inBytes, int32_t inCode) {
        XStream stream(inBytes);
        XBookmark3D target = original;
        try {
            target.ReadStream2(stream);
            ADD_FAILURE() << "read without error";
        } catch (const XException& e) {
            EXPECT_EQ(e.GetErrorCode(), inCode) << e.GetErrorMessage();
        }
        EXPECT_EQ(target.GetName(), "Keep");
        EXPECT_EQ(target.GetSceneState(), original.GetSceneState());
    };
    XStream prefix;
    prefix.WriteVersion(XBookmark3D::kClassVersion);
    prefix.WriteString("x");
    XRendererSceneState().WriteStream2(prefix);
    prefix.Write8(1);
    const auto withSize = [&](uint32_t inWidth, uint32_t inHeight, uint32_t inDepth, int32_t inLeft = 0) {
        XStream s(prefix.GetBuffer());
        s.Write32(uint32_t(inLeft));
        s.Write32(0);
        s.Write32(0);
        s.Write32(inWidth);
        s.Write32(inHeight);
        s.Write32(inDepth);
        return s.GetBuffer();
    };
    refuse(withSize(100000, 100000, 100000), XException::kStreamCorrupt);
    refuse(withSize(16, 16, 1), XException::kStreamEnded);
    refuse(withSize(16, 1, 1, 0x7FFFFFF8), XException::kStreamCorrupt);
}

TEST(XBookmark3DManager, KeepsOrderAndUniqueNames)
{
    XBookmark3DManager manager;
    EXPECT_EQ(manager.AddBookmark(XBookmark3D(MakeState(1), "Front")), 0u);
    EXPECT_EQ(manager.AddBookmark(XBookmark3D(MakeState(2))), 1u);
    EXPECT_EQ(manager.AddBookmark(XBookmark3D(MakeState(3))), 2u);
    EXPECT_EQ(manager.GetBookmarkNames(), (XVector<XString>{"Front", "View", "View 2"}));

    EXPECT_EQ(manager.AddBookmark(XBookmark3D(MakeState(9), "View")), 1u) << "a taken name replaces in place";
    EXPECT_EQ(manager.GetBookmark(1).GetSceneState(), MakeState(9));
    EXPECT_THROW(manager.InsertBookmark(0, XBookmark3D(MakeState(1), "Front")), XException);

    manager.MoveBookmark(0, 2);
    EXPECT_EQ(manager.GetBookmarkNames(), (XVector<XString>{"View", "View 2", "Front"}));
    EXPECT_FALSE(manager.RenameBookmark("View", "Front"));
    EXPECT_TRUE(manager.RenameBookmark("View", "Back"));
    EXPECT_TRUE(manager.RemoveBookmark("View 2"));
    EXPECT_FALSE(manager.RemoveBookmark("View 2"));
    EXPECT_EQ(manager.GetBookmarkNames(), (XVector<XString>{"Back", "Front"}));
    EXPECT_THROW(manager.GetBookmark(2), XException);
}

// The round trip of the bookmarks in it: names, states and thumbnails.
TEST(XBookmark3DManager, StreamRoundTripAndRepeatedNames)
{
    XBookmark3DManager manager;
    manager.AddBookmark(XBookmark3D(MakeState(1), "A"));
    XBookmark3D withThumbnail(MakeState(2), "B");
    withThumbnail.AttachThumbnail(MakeThumbnail());
    manager.AddBookmark(withThumbnail);
    const std::vector<uint8_t> bytes = Write(manager);

    XStream stream;
    XClassRegistry::WriteObject(stream, manager);
    stream.Rewind();
    auto read = XClassRegistry::ReadObjectOfClass<XBookmark3DManager>(stream, "XBookmark3DManager");
    EXPECT_EQ(read->GetBookmarkNames(), manager.GetBookmarkNames());
    EXPECT_EQ(Write(*read), bytes);

    // Two bookmarks of one name: refused, the target unchanged.
    XStream twice;
    twice.WriteVersion(XBookmark3DManager::kClassVersion);
    twice.Write32(2);
    XBookmark3D(XRendererSceneState(), "Same").WriteStream2(twice);
    XBookmark3D(MakeState(1), "Same").WriteStream2(twice);
    twice.Rewind();
    EXPECT_THROW(read->ReadStream2(twice), XException);
    EXPECT_EQ(read->GetBookmarkNames(), manager.GetBookmarkNames());
}
