// The canvas tools offered to the scene renderers' toolbar, registered when the module loads.
#include "X3DCanvasToolFactory.h"
#include "X3DTickBall.h"
#include "XRendererLightToolCanvasAttachment.h"
#include "XTrackBall3DCanvasAttachment.h"
#include "XVolumePan3DCanvasAttachment.h"

namespace {
class X3DCanvasToolsFactory : public X3DCanvasToolFactory {
public:
    X3DCanvasToolsFactory() { Register(this); }
    ~X3DCanvasToolsFactory() override
    {
        if (Get() == this)
            Register(nullptr);
    }

    XCanvasAttachment* MakeTrackBallTool(X3DBaseRenderer& inRenderer, XRotateBehaviour inBehaviour) override
    {
        return new XTrackBall3DCanvasAttachment(inRenderer,
                                                XTrackBall3DCanvasAttachment::XRotateBehavoir(uint32_t(inBehaviour)));
    }
    XCanvasAttachment* MakeVolumePanTool(X3DBaseRenderer& inRenderer) override
    {
        return new XVolumePan3DCanvasAttachment(inRenderer);
    }
    XCanvasAttachment* MakeLightTool(X3DBaseRenderer& inRenderer, X3DTickBall& inLightBall) override
    {
        return new XRendererLightToolCanvasAttachment(inRenderer, inLightBall);
    }
};

X3DCanvasToolsFactory sFactory;
} // namespace
