// A volume scene as a renderer in a sibling module adapts it: the caption comes and
// goes with the scale.
#include "XGLVolumeScene.h"

namespace {
class XModuleScene : public XGLVolumeScene {
public:
    void ShowScale(bool inShow) override
    {
        XGLVolumeScene::ShowScale(inShow);
        ShowScaleCalibration(inShow);
    }
};
} // namespace

extern "C" XGLVolumeScene* KestrinTestMakeVolumeScene()
{
    return new XModuleScene;
}
