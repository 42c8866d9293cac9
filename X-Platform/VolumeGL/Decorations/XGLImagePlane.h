#pragma once
// A unit square around the origin in the plane z = 0 showing one XY plane of a
// volume, textured on both faces so that it can be seen from either side.
#include "XGLRenderable.h"
#include "XGLXVolumeTexture.h"

class XVolume;

class XGLImagePlane : public XGLRenderable {
public:
    XGLImagePlane() = default;
    // The texture belongs to one plane object.
    XGLImagePlane(const XGLImagePlane&) = delete;
    XGLImagePlane& operator=(const XGLImagePlane&) = delete;

    // Shows the first XY plane of inVolume (copied; the volume need not outlive the call).
    void SetVolume(const XVolume* inVolume);
    const XGLXVolumeTexture& GetTexture() const { return itsTexture; }

protected:
    void RenderSelf(XGLRenderable& inFrom) override;

private:
    XGLXVolumeTexture itsTexture;
};
