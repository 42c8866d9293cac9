#include "XOffscreenPictureFixture.h"

#include "TestPicture.h"
#include "XPNGFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

void OffscreenPictureTest::SetUp()
{
    manager = std::make_unique<X3DRenderSystemManager>();
    gc = std::make_unique<X3DGC>();
    gc->Initialise();
    lock = std::make_unique<X3DGCScopedLock>(*gc);
    target = std::make_unique<X3DGCOffscreenTarget>(*gc, itsWidth, itsHeight);
}

void OffscreenPictureTest::TearDown()
{
    gc->AttachRenderTarget(nullptr);
    target->Destroy(*gc);
    target.reset();
    lock.reset();
    gc.reset();
    manager.reset();
    for (const auto& report : asserts.GetReports())
        if (std::find(allowedReports.begin(), allowedReports.end(), report.condition) == allowedReports.end())
            ADD_FAILURE() << "assertion " << report.condition << " in " << report.source << ":" << report.line;
}

void OffscreenPictureTest::UseTargetOfSize(int inWidth, int inHeight)
{
    if (int(target->GetWidth()) == inWidth && int(target->GetHeight()) == inHeight)
        return;
    gc->AttachRenderTarget(nullptr);
    target->Destroy(*gc);
    target = std::make_unique<X3DGCOffscreenTarget>(*gc, inWidth, inHeight);
}

void OffscreenPictureTest::BeginFrameOn(X3DGCRenderTarget& inTarget)
{
    gc->AttachRenderTarget(&inTarget);
    gc->BeginRender();
    gc->SetViewport(X3DViewport(XRect(0, 0, int(inTarget.GetWidth()), int(inTarget.GetHeight()))));
}

XBGRA32Volume OffscreenPictureTest::EndFrameOn(X3DGCOffscreenTarget& inTarget, const std::string& inName)
{
    gc->EndRender();
    std::unique_ptr<XVolume> volume = inTarget.MakeVolume();
    auto* picture = dynamic_cast<XBGRA32Volume*>(volume.get());
    EXPECT_NE(picture, nullptr);
    XBGRA32Volume result = picture ? *picture : XBGRA32Volume(int32_t(inTarget.GetWidth()), int32_t(inTarget.GetHeight()), 1);
    const std::string name = inName.empty() ? ::testing::UnitTest::GetInstance()->current_test_info()->name() : inName;
    const XARGB32Volume upright = Upright(result);
    TestPicture::SavePNG(upright, name);
    if (const char* dir = std::getenv("KESTRIN_KEEP_PICTURES"))
        XPNGFile::Write(std::string(dir) + "/" + name + ".png", upright);
    return result;
}

XARGB32Colour OffscreenPictureTest::At(const XVolume& inPicture, int inX, int inY)
{
    XARGB32Colour pixel = TestPicture::PixelAt(inPicture, inX, inY);
    pixel.alpha = 255;
    return pixel;
}

XARGB32Volume OffscreenPictureTest::Upright(const XVolume& inPicture)
{
    XARGB32Volume upright(inPicture.GetWidth(), inPicture.GetHeight(), 1);
    for (int y = 0; y < inPicture.GetHeight(); ++y)
        for (int x = 0; x < inPicture.GetWidth(); ++x) {
            const XARGB32Colour c = At(inPicture, x, inPicture.GetHeight() - 1 - y);
            std::memcpy(upright.GetVoxelPtr(x, y, 0), &c, 4);
        }
    return upright;
}
