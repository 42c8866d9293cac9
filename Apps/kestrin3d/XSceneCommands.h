#pragma once
// The "scene" command of kestrin3d: the furniture of the scene-graph views around a
// stack's box, laid out as those views lay it out (a floor under the volume, the
// volume's 3D scale, the rotation ball, the light with its marker and ball, and the
// orientation marker), drawn through the graphics device into a PNG.
#include "X3DRect.h"
#include "X3DSceneNode.h"
#include "XARGB32Colour.h"
#include "XMathVector.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

class XCommandTable;

class XSceneCommands {
public:
    static void AddTo(XCommandTable& inOutTable);

    struct XOptions {
        std::string input; // empty: the built-in sample
        std::string output;
        int32_t width = 640;
        int32_t height = 480;
        double rotation[3] = {-20, 30, 0}; // degrees about x, then y, then z
        XARGB32Colour floorColour{255, 52, 52, 52};
        bool checkedFloor = true;
        bool ball = false;
        std::optional<XMathVectorF3> light; // shows the light marker and its ball

        // Throws XUsageError for anything that cannot be drawn.
        static XOptions Parse(const std::vector<std::string>& inArguments);
    };

    // The stack as a box of voxels, outlined, in the volume's own units.
    class XStackNode : public X3DSceneNode {
    public:
        explicit XStackNode(const X3DRect& inBounds);

    protected:
        void RenderSelf(X3DGC& inGC, const XSceneRenderState& inState) override;
        XBoundingBox UpdateLocalBounds() override;

    private:
        X3DRect itsBounds;
    };

private:
    static int Scene(const std::vector<std::string>& inArguments, std::ostream& inOut);
};
