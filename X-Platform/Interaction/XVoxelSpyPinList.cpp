#include "XVoxelSpyPinList.h"
#include "XAssert.h"

bool XVoxelSpyPinList::IsIndexValid(size_t inIndex) const
{
    X_ASSERT_TEXT(inIndex < itsPins.size(), "inIndex < itsPins.size()");
    return inIndex < itsPins.size();
}

bool XVoxelSpyPinList::AreIndicesValid(const XSet<size_t>& inIndices) const
{
    // The set is ordered: its last entry is the largest.
    const bool valid = inIndices.empty() || *inIndices.rbegin() < itsPins.size();
    X_ASSERT_TEXT(valid, "*indexIter < itsPins.size()");
    return valid;
}

size_t XVoxelSpyPinList::AddPin(const X3DPoint& inPosition, uint32_t inBubble)
{
    itsPins.push_back({inPosition, inBubble});
    return itsPins.size() - 1;
}

X3DPoint XVoxelSpyPinList::GetPin(size_t inIndex, uint32_t& outBubble) const
{
    if (!IsIndexValid(inIndex)) {
        outBubble = 0;
        return X3DPoint();
    }
    outBubble = itsPins[inIndex].bubble;
    return itsPins[inIndex].position;
}

X3DPoint XVoxelSpyPinList::GetPin(size_t inIndex) const
{
    uint32_t bubble = 0;
    return GetPin(inIndex, bubble);
}

void XVoxelSpyPinList::SetPinPosition(size_t inIndex, const X3DPoint& inPosition)
{
    if (IsIndexValid(inIndex))
        itsPins[inIndex].position = inPosition;
}

void XVoxelSpyPinList::SetPinBubble(size_t inIndex, uint32_t inBubble)
{
    if (IsIndexValid(inIndex))
        itsPins[inIndex].bubble = inBubble;
}

void XVoxelSpyPinList::RemovePin(size_t inIndex)
{
    if (!IsIndexValid(inIndex))
        return;
    itsPins.erase(itsPins.begin() + std::ptrdiff_t(inIndex));
    XSet<size_t> renumbered;
    for (size_t index : itsSelected)
        if (index != inIndex)
            renumbered.insert(index > inIndex ? index - 1 : index);
    itsSelected = std::move(renumbered);
}

void XVoxelSpyPinList::RemoveSelectedPins()
{
    // From the highest index down, so that the indices still to remove stay valid.
    for (auto it = itsSelected.rbegin(); it != itsSelected.rend(); ++it) {
        X_ASSERT_TEXT(*it < itsPins.size(), "*selectedIter < itsPins.size()");
        if (*it < itsPins.size())
            itsPins.erase(itsPins.begin() + std::ptrdiff_t(*it));
    }
    itsSelected.clear();
}

void XVoxelSpyPinList::RemoveAllPins()
{
    itsPins.clear();
    itsSelected.clear();
}

void XVoxelSpyPinList::SelectPin(size_t inIndex)
{
    if (IsIndexValid(inIndex))
        itsSelected.insert(inIndex);
}

void XVoxelSpyPinList::UnselectPin(size_t inIndex)
{
    if (IsIndexValid(inIndex))
        itsSelected.erase(inIndex);
}

void XVoxelSpyPinList::SelectPins(const XSet<size_t>& inIndices)
{
    if (AreIndicesValid(inIndices))
        itsSelected.insert(inIndices.begin(), inIndices.end());
}

void XVoxelSpyPinList::UnselectPins(const XSet<size_t>& inIndices)
{
    if (!AreIndicesValid(inIndices))
        return;
    for (size_t index : inIndices)
        itsSelected.erase(index);
}

void XVoxelSpyPinList::SelectAllPins()
{
    for (size_t i = 0; i < itsPins.size(); ++i)
        itsSelected.insert(i);
}

void XVoxelSpyPinList::UnselectAllPins() { itsSelected.clear(); }

bool XVoxelSpyPinList::IsPinSelected(size_t inIndex) const { return itsSelected.Contains(inIndex); }

void XVoxelSpyPinList::OffsetPins(const XSet<size_t>& inIndices, const X3DPoint& inOffset)
{
    if (!AreIndicesValid(inIndices))
        return;
    for (size_t index : inIndices)
        itsPins[index].position += inOffset;
}
