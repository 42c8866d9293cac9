#include "XSamplePrefsSaver.h"
#include "XSampleDB.h"

std::optional<XPrefsSaver::XValue> XSamplePrefsSaver::GetValueSelf(const XString& inSection, const XString& inKey) const
{
    return XSampleDB::GetDB().GetSamplePref(itsSampleID, inSection, inKey);
}

void XSamplePrefsSaver::SetValueSelf(const XString& inSection, const XString& inKey, const XValue& inValue)
{
    XSampleDB::GetDB().SetSamplePref(itsSampleID, inSection, inKey, inValue);
}

bool XSamplePrefsSaver::RemoveEntrySelf(const XString& inSection, const XString& inKey)
{
    return XSampleDB::GetDB().RemoveSamplePref(itsSampleID, inSection, inKey);
}
