// A volume scene as a renderer in a sibling module adapts it: the caption comes and
// goes with the scale, and the floor is never raised into the volume.
#include "XGLVolumeScene.h"

#include <algorithm>

namespace {
constexpr float kHighestFloor = 0.5f;

class XModuleScene : public XGLVolumeScene {
public:
    void ShowScale(bool inShow) override
    {
        XGLVolumeScene::ShowScale(inShow);
        ShowScaleCalibration(inShow);
    }
    void SetFloorPosition(float inPosition) override
    {
        XGLVolumeScene::SetFloorPosition(std::max(inPosition, kHighestFloor));
    }
};
} // namespace

extern "C" XGLVolumeScene* KestrinTestMakeVolumeScene()
{
    return new XModuleScene;
}
