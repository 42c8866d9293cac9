#include "XDeviceFixture.h"

#include "X3DIndexBuffer.h"
#include "X3DVertexBuffer.h"
#include "XBGRA32Volume.h"
#include "XException.h"
#include "XGrey8Volume.h"
#include "XTexture2D.h"
#include "XTexture3D.h"

#include <cstdint>
#include <cstring>

namespace {
using Calls = std::vector<std::string>;

TEST_F(DeviceTest, UserDrawsLeaveTheBoundBuffersBoundAlsoWhenTheyThrow)
{
    X3DVertexBuffer* vertices = new X3DVertexBuffer(gc, 48, X3DGCBuffer::kBufferStaticDraw);
    X3DIndexBuffer* indices = new X3DIndexBuffer32(gc, 12, X3DGCBuffer::kBufferStaticDraw);
    gc.SetVerticies(vertices);
    gc.SetIndicies(indices);
    const float data[9] = {};
    const uint32_t index[3] = {0, 1, 2};
    for (const char* draw : {"DrawUserPrimitives", "DrawUserIndexedPrimitives"}) {
        for (bool throws : {false, true}) {
            SCOPED_TRACE(std::string(draw) + (throws ? ", throwing" : ""));
            Taken();
            if (throws)
                devices.log.ThrowOn(draw);
            auto run = [&] {
                if (std::string(draw) == "DrawUserPrimitives")
                    gc.DrawUserPrimitives(X3DGC::kTriangleList, data, 0, 1);
                else
                    gc.DrawUserIndexedPrimitives(X3DGC::kTriangleList, data, 3, 12, index, 1);
            };
            if (throws)
                EXPECT_THROW(run(), XException);
            else
                run();
            devices.log.Disarm();
            EXPECT_EQ(Taken(), (Calls{"RenderUnlock vertices", "RenderUnlock indices", draw, "RenderLock vertices", "RenderLock indices"}));
            EXPECT_EQ(gc.GetVertexBuffer(), vertices);
            EXPECT_EQ(gc.GetIndexBuffer(), indices);
        }
    }
    gc.SetVerticies(nullptr);
    gc.SetIndicies(nullptr);
    vertices->Destroy(gc);
    indices->Destroy(gc);
}

TEST_F(DeviceTest, BufferCopiesOutsideTheBufferAreRefusedBeforeWriting)
{
    X3DVertexBuffer* buffer = new X3DVertexBuffer(gc, 16, X3DGCBuffer::kBufferStaticDraw);
    const uint8_t source[32] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
    struct Case {
        uint64_t offset, length;
        bool fits;
    };
    const Case cases[] = {
        {0, 16, true}, {8, 8, true}, {16, 0, true}, {8, 9, false}, {17, 0, false}, {0, 17, false},
        {UINT64_MAX, 2, false}, {2, UINT64_MAX, false}, // would wrap around if added
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.offset) + " + " + std::to_string(c.length));
        std::memset(buffer->GetData(0, 16), 0, 16);
        if (c.fits) {
            buffer->CopyInDataWithOffset(source, c.length, c.offset);
        } else {
            EXPECT_THROW(buffer->CopyInDataWithOffset(source, c.length, c.offset), XException);
            EXPECT_THROW(buffer->GetData(c.offset, c.length), XException);
        }
        const uint8_t* stored = static_cast<const uint8_t*>(buffer->GetData(0, 16));
        for (uint64_t i = 0; i < 16; ++i)
            EXPECT_EQ(stored[i], c.fits && i >= c.offset && i - c.offset < c.length ? source[i - c.offset] : 0) << "byte " << i;
    }
    buffer->Destroy(gc);
    EXPECT_EQ(Taken(), Calls{"Destroy vertices"});
}

TEST_F(DeviceTest, TexturesCountLevelsAndNeverHaveAnEmptySide)
{
    struct Case {
        uint32_t width, height, depth; // depth 0: a 2D texture
        uint32_t levels;
        XMathVectorU3 extents;
    };
    const Case cases[] = {
        {640, 480, 0, 10, {640, 480, 1}}, {256, 256, 60, 9, {256, 256, 60}}, {1, 1, 0, 1, {1, 1, 1}},
        {0, 0, 0, 1, {1, 1, 1}}, {0, 5, 0, 3, {1, 5, 1}}, {3, 2, 1024, 11, {3, 2, 1024}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " x " + std::to_string(c.depth));
        XTexture* texture = c.depth ? static_cast<XTexture*>(new XTexture3D(gc, c.width, c.height, c.depth, X3DGC::kBGRA32, X3DGCBuffer::kBufferStaticDraw))
                                    : new XTexture2D(gc, c.width, c.height, X3DGC::kBGRA32);
        EXPECT_EQ(texture->GetMaxLevels(), c.levels);
        EXPECT_EQ(texture->GetExtents(), c.extents);
        texture->Destroy(gc);
    }
    XAssertRecorder asserts;
    EXPECT_EQ(XTexture::TexelFormatToSizeBytes(X3DGC::kLuminanceAlpha16), 2u);
    EXPECT_EQ(XTexture::TexelFormatToSizeBytes(X3DGC::kBGRA32Alternate), 4u);
    EXPECT_EQ(XTexture::TexelFormatToSizeBytes(X3DGC::kUnsizedFormat), 0u);
    EXPECT_TRUE(asserts.Has("sizeBytes != 0", "X-Platform/XTexture"));
}

TEST_F(DeviceTest, VolumesAreCopiedIntoTheTexturesStorageRowByRow)
{
    // 3 x 2 x 2 texels live in storage of 4 x 2 x 2: rows are 16 bytes apart.
    XTexture3D* texture = new XTexture3D(gc, 3, 2, 2, X3DGC::kBGRA32, X3DGCBuffer::kBufferStaticDraw);
    EXPECT_FALSE(texture->IsLinear());
    struct Case {
        const char* name;
        X3DRect bounds;
        bool grey;
        const char* assertion; // empty: copied
    };
    const Case cases[] = {
        {"a colour volume that fits", X3DRect(0, 0, 0, 3, 2, 2), false, ""},
        {"a smaller one, placed at the origin", X3DRect(5, 5, 5, 7, 6, 6), false, ""},
        {"a grey volume, converted", X3DRect(0, 0, 0, 3, 2, 1), true, ""},
        {"too wide", X3DRect(0, 0, 0, 4, 2, 2), false, "inVolume.GetBounds().GetWidth() <= GetExtents()[0]"},
        {"too deep", X3DRect(0, 0, 0, 3, 2, 3), false, "inVolume.GetBounds().GetDepth() <= GetExtents()[2]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        texture->LockForWrite();
        std::memset(texture->GetData(), 0xEE, 16 * 2 * 2);
        texture->ReleaseWriteLock();
        std::unique_ptr<XVolume> volume;
        if (c.grey) {
            auto grey = std::make_unique<XGrey8Volume>(c.bounds);
            std::memset(grey->GetData(), 255, grey->GetDataSize());
            volume = std::move(grey);
        } else {
            auto colour = std::make_unique<XBGRA32Volume>(c.bounds);
            for (size_t i = 0; i < colour->GetDataSize(); ++i)
                colour->GetData()[i] = uint8_t(i + 1);
            volume = std::move(colour);
        }
        XAssertRecorder asserts;
        texture->CopyInVolume(*volume);
        EXPECT_EQ(asserts.Has(c.assertion, "X-Platform/XTexture"), *c.assertion != 0);
        texture->LockForWrite();
        const uint8_t* level = static_cast<const uint8_t*>(texture->GetData());
        for (int32_t z = 0; z < 2; ++z)
            for (int32_t y = 0; y < 2; ++y)
                for (int32_t x = 0; x < 16; ++x) {
                    const bool inside = *c.assertion == 0 && z < volume->GetDepth() && y < volume->GetHeight() &&
                                        x < volume->GetWidth() * 4;
                    const uint8_t expected = !inside ? 0xEE : c.grey ? 255 : volume->GetRowPtr(y, z)[x];
                    ASSERT_EQ(level[z * 32 + y * 16 + x], expected) << x << "," << y << "," << z;
                }
        texture->ReleaseWriteLock();
    }
    // One byte more than the level holds is refused, and the level is free again.
    const std::vector<uint8_t> tooMuch(16 * 2 * 2 + 1, 1);
    EXPECT_THROW(texture->CopyInData(tooMuch.data(), tooMuch.size()), XException);
    texture->CopyInData(tooMuch.data(), tooMuch.size() - 1);
    texture->Destroy(gc);
}
} // namespace
