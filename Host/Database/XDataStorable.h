#pragma once
// A storable object T kept as a database sample. The sample is itself storable (class
// name "XData" + T's name without its leading X, e.g. "XDataVolumeKeyframeMovie"):
// a version, the sample name, then T's own stream.
//
// TSampleType is the sample type reported; a type other than kStorableSampleType is
// registered as deriving from it.
#include "XClassRegistry.h"
#include "XDataSample.h"
#include "XException.h"
#include "XStream.h"
#include "XVersioned.h"

#include <memory>

template <class T, uint32_t TSampleType = XDataSample::kStorableSampleType>
class XDataStorable : public XDataSample, public XVersioned {
public:
    static constexpr uint32_t kSampleType = TSampleType;
    static constexpr uint32_t kStreamVersion = 1;

    XDataStorable() : itsObject(std::make_unique<T>()) { RegisterSampleType(); }
    explicit XDataStorable(const T& inObject) : itsObject(std::make_unique<T>(inObject)) { RegisterSampleType(); }
    explicit XDataStorable(std::unique_ptr<T> inObject) : itsObject(std::move(inObject))
    {
        if (!itsObject)
            throw XException(XException::kBadArgument, "a stored-object sample needs an object");
        RegisterSampleType();
    }
    XDataStorable(const XDataStorable& inOther) : XDataSample(inOther), XVersioned(inOther),
                                                  itsObject(std::make_unique<T>(*inOther.itsObject)) {}
    XDataStorable& operator=(const XDataStorable& inOther)
    {
        if (this != &inOther) {
            XDataSample::operator=(inOther);
            itsObject = std::make_unique<T>(*inOther.itsObject);
        }
        return *this;
    }

    const T& GetObject() const { return *itsObject; }
    T& GetObject() { return *itsObject; }
    void SetObject(const T& inObject) { itsObject = std::make_unique<T>(inObject); }

    XVersion GetSampleType() const override { return XVersion(TSampleType); }
    std::unique_ptr<XDataSample> Clone() const override { return std::make_unique<XDataStorable>(*this); }

    uint32_t GetVersion() const override { return kStreamVersion; }
    void WriteStream2(XStream& inStream) const override
    {
        inStream.WriteVersion(kStreamVersion);
        inStream.WriteString(GetName());
        itsObject->WriteStream2(inStream);
    }
    // Nothing changes unless the whole stream reads.
    void ReadStream2(XStream& inStream) override
    {
        ReadClassVersion(inStream, kStreamVersion);
        XString name = inStream.ReadString("the sample name");
        auto object = std::make_unique<T>();
        object->ReadStream2(inStream);
        SetName(name);
        itsObject = std::move(object);
    }
    XString GetClassName() const override { return MakeClassName(itsObject->GetClassName()); }

    static XString MakeClassName(const XString& inObjectClass)
    {
        return XString("XData") + (inObjectClass.StartsWith("X") ? inObjectClass.Mid(1) : inObjectClass);
    }
    // Registers the sample form of T with the class registry.
    static void RegisterClass()
    {
        XClassRegistry::RegisterClass(MakeClassName(T().GetClassName()),
                                      [] { return std::make_unique<XDataStorable>(); });
    }

private:
    static void RegisterSampleType()
    {
        if constexpr (TSampleType != XDataSample::kStorableSampleType) {
            static const bool sRegistered = [] {
                XVersion::RegisterType(TSampleType, XDataSample::kStorableSampleType);
                return true;
            }();
            (void)sRegistered;
        }
    }

    std::unique_ptr<T> itsObject;
};
