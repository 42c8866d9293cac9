#pragma once
// One XY plane of any volume as an ARGB texture, for the image planes of the scene
// decorations. The plane is converted and, when its power-of-two texture would pass
// kMaxSide on a side, scaled down to fit; it sits in the texture's top-left corner
// (GetContentBounds), the rest is transparent black.
#include "XGLTexture.h"
#include "XRect.h"

#include <memory>

class XVolume;
class XARGB32Volume;

class XGLXVolumeTexture : public XGLTexture {
public:
    XGLXVolumeTexture();
    explicit XGLXVolumeTexture(const XVolume* inVolume);
    ~XGLXVolumeTexture() override;

    // Prepares the pixels of inVolume's first XY plane for the next SelectTexture. A
    // null or empty volume gives a black 32 × 32 plane; a volume deeper than one
    // plane is reported and its first plane used.
    void SetVolume(const XVolume* inVolume);

    // The source plane's XY bounds moved to the origin.
    const XRect& GetPlaneBounds() const { return itsPlaneBounds; }
    // Where the plane lies in the texture, in texels.
    const XRect& GetContentBounds() const { return itsContentBounds; }
    // The prepared pixels in BGRA byte order (null before SetVolume).
    const XARGB32Volume* GetPreparedVolume() const { return itsVolume.get(); }

    static constexpr int32_t kMaxSide = 1024;

protected:
    void UploadTexture() override;
    // Reverses the bytes of every pixel of the volume's first XY plane (ARGB memory
    // order to the BGRA order the upload names).
    static void SwapBytes(XARGB32Volume& inOutVolume);

private:
    XRect itsPlaneBounds;
    XRect itsContentBounds;
    std::unique_ptr<XARGB32Volume> itsVolume;
};
