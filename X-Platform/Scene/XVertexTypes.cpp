#include "XVertexTypes.h"

const X3DGC::XVertexDefinition& XVertexTypes::XVertexPositionColour::GetDefinition()
{
    static const X3DGC::XVertexDefinition sDefinition{
        {{0, X3DGC::kElementFloat3, X3DGC::kUsagePosition}, {12, X3DGC::kElementUByte4, X3DGC::kUsageColour}},
        sizeof(XVertexPositionColour)};
    return sDefinition;
}

const X3DGC::XVertexDefinition& XVertexTypes::XVertexPositionColourNormal::GetDefinition()
{
    static const X3DGC::XVertexDefinition sDefinition{
        {{0, X3DGC::kElementFloat3, X3DGC::kUsagePosition},
         {12, X3DGC::kElementUByte4, X3DGC::kUsageColour},
         {16, X3DGC::kElementFloat3, X3DGC::kUsageNormal}},
        sizeof(XVertexPositionColourNormal)};
    return sDefinition;
}

const X3DGC::XVertexDefinition& XVertexTypes::XVertexPositionTexture::GetDefinition()
{
    static const X3DGC::XVertexDefinition sDefinition{
        {{0, X3DGC::kElementFloat3, X3DGC::kUsagePosition}, {12, X3DGC::kElementFloat2, X3DGC::kUsageTexCoord0}},
        sizeof(XVertexPositionTexture)};
    return sDefinition;
}
