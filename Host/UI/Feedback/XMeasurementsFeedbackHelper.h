#pragma once
// The display options of measurement feedback, per measurement type: whether that kind
// is shown, its colour and size; and the selection's region-of-interest box.
#include "XARGB32Colour.h"

#include <cstdint>
#include <map>

class XMeasurementsFeedbackHelper {
public:
    struct XDisplayOptions {
        bool visible = true;
        XARGB32Colour colour{255, 255, 255, 0};
        double size = 1.0; // point diameter or line width, in voxels
        friend bool operator==(const XDisplayOptions&, const XDisplayOptions&) = default;
    };

    // The defaults for types that were never set.
    XDisplayOptions GetDisplayOptions(uint32_t inMeasurementType) const;
    // Sizes that are not positive finite numbers are refused (the old options stay).
    bool SetDisplayOptions(uint32_t inMeasurementType, const XDisplayOptions& inOptions);

    bool GetShowROIBoundingBox() const { return itsShowROIBox; }
    void SetShowROIBoundingBox(bool inShow) { itsShowROIBox = inShow; }
    // Line width of the box in pixels; values below 1 (or NaN) become 1.
    double GetROIBoundingBoxThickness() const { return itsROIBoxThickness; }
    void SetROIBoundingBoxThickness(double inThickness);

private:
    std::map<uint32_t, XDisplayOptions> itsOptions;
    bool itsShowROIBox = false;
    double itsROIBoxThickness = 1.0;
};
