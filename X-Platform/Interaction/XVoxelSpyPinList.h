#pragma once
// The voxel spy's pins, shared by the image panes of one view: marked voxels, each with
// the place of its bubble, and the set of selected pins. Pins are numbered by their
// place in the list; removing one moves the later ones down.
//
// An index past the end is a caller's mistake: it is reported as an assertion and the
// call changes nothing (a list of indices with one bad entry is refused whole).
#include "X3DPoint.h"
#include "XSet.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class XVoxelSpyPinList {
public:
    struct XPin {
        X3DPoint position;   // voxel, in volume axes
        uint32_t bubble = 0; // where the bubble sits, as the pin target chose it
        friend bool operator==(const XPin&, const XPin&) = default;
    };

    // Appends a pin; returns its index.
    size_t AddPin(const X3DPoint& inPosition, uint32_t inBubble);
    // The pin's position (the origin for a bad index) and its bubble.
    X3DPoint GetPin(size_t inIndex, uint32_t& outBubble) const;
    X3DPoint GetPin(size_t inIndex) const;
    size_t GetPinCount() const { return itsPins.size(); }
    const std::vector<XPin>& GetPins() const { return itsPins; }
    void SetPinPosition(size_t inIndex, const X3DPoint& inPosition);
    void SetPinBubble(size_t inIndex, uint32_t inBubble);

    // Removing a pin also drops it from the selection and renumbers the selected pins after it.
    void RemovePin(size_t inIndex);
    void RemoveSelectedPins();
    void RemoveAllPins();

    void SelectPin(size_t inIndex);
    void UnselectPin(size_t inIndex);
    void SelectPins(const XSet<size_t>& inIndices);
    void UnselectPins(const XSet<size_t>& inIndices);
    void SelectAllPins();
    void UnselectAllPins();
    bool IsPinSelected(size_t inIndex) const;
    const XSet<size_t>& GetSelectedPins() const { return itsSelected; }

    // Adds inOffset to each listed pin.
    void OffsetPins(const XSet<size_t>& inIndices, const X3DPoint& inOffset);

private:
    bool IsIndexValid(size_t inIndex) const;
    bool AreIndicesValid(const XSet<size_t>& inIndices) const;

    std::vector<XPin> itsPins;
    XSet<size_t> itsSelected;
};
