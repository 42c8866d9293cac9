#include "XClassRegistry.h"
#include "XException.h"
#include "XStream.h"
#include "XVersion.h"
#include "XVersioned.h"
#include "XErrorCode.h"

#include <functional>
#include <gtest/gtest.h>

namespace {
// A small versioned storable: type 0x7A00, major 2.
class Pin : public XVersioned {
public:
    static constexpr uint32_t kVersion = 0x00027A00;
    uint32_t GetVersion() const override { return kVersion; }
    void WriteStream2(XStream& s) const override
    {
        s.WriteVersion(kVersion);
        s.WriteString(label);
        s.Write32(count);
    }
    void ReadStream2(XStream& s) override
    {
        ReadClassVersion(s, kVersion);
        label = s.ReadString();
        count = s.Read32();
    }
    XString GetClassName() const override { return "TestPin"; }

    XString label;
    uint32_t count = 0;
};

class Other : public XStorable {
public:
    void WriteStream2(XStream& s) const override { s.Write8(1); }
    void ReadStream2(XStream& s) override { s.Read8(); }
    XString GetClassName() const override { return "TestOther"; }
};

class ClassRegistry : public ::testing::Test {
protected:
    void SetUp() override
    {
        XClassRegistry::RegisterClass("TestPin", [] { return std::make_unique<Pin>(); });
        XClassRegistry::RegisterClass("TestOther", [] { return std::make_unique<Other>(); });
    }
    void TearDown() override
    {
        XClassRegistry::UnregisterClass("TestPin");
        XClassRegistry::UnregisterClass("TestOther");
    }
};

} // namespace

TEST_F(ClassRegistry, WritesAndReadsObjectsByName)
{
    Pin pin;
    pin.label = "tip";
    pin.count = 9;
    XStream s;
    XClassRegistry::WriteObject(s, pin);
    XClassRegistry::WriteObject(s, Other());
    EXPECT_EQ(XClassRegistry::GetObjectStreamUsage(pin) + XClassRegistry::GetObjectStreamUsage(Other()), s.GetSize());

    std::unique_ptr<XStorable> first = XClassRegistry::ReadObject(s);
    auto* readPin = dynamic_cast<Pin*>(first.get());
    ASSERT_NE(readPin, nullptr);
    EXPECT_EQ(readPin->label, "tip");
    EXPECT_EQ(readPin->count, 9u);
    EXPECT_NE(dynamic_cast<Other*>(XClassRegistry::ReadObject(s).get()), nullptr);
}

TEST_F(ClassRegistry, RefusesUnknownAndWrongClasses)
{
    XStream unknown;
    unknown.WriteString("NoSuchClass");
    EXPECT_TRUE(Throws([&] { XClassRegistry::ReadObject(unknown); }, XException::kUnknownClass, "NoSuchClass"));

    XStream other;
    XClassRegistry::WriteObject(other, Other());
    EXPECT_EQ(CodeOf([&] { XClassRegistry::ReadObjectOfClass<Pin>(other, "TestPin"); }), XException::kStreamWrongClass);
    // The right name but a factory making another class is refused as well.
    XClassRegistry::RegisterClass("TestPin", [] { return std::make_unique<Other>(); });
    XStream named;
    named.WriteString("TestPin");
    named.Write8(1);
    EXPECT_EQ(CodeOf([&] { XClassRegistry::ReadObjectOfClass<Pin>(named, "TestPin"); }), XException::kStreamWrongClass);
}

TEST(XVersionTest, AncestryAndClassVersions)
{
    XVersion::RegisterType(0x7B01, 0x7B00);
    XVersion::RegisterType(0x7B02, 0x7B01);
    XVersion::RegisterType(0x7B02, 0x7B01); // the same again is harmless
    EXPECT_TRUE(XVersion(0x7B02).IsA(XVersion(0x7B00)));
    EXPECT_TRUE(XVersion(0x00037B02).IsA(XVersion(0x00017B01))); // majors do not matter
    EXPECT_FALSE(XVersion(0x7B00).IsA(XVersion(0x7B02)));
    EXPECT_FALSE(XVersion(0x7B02).IsA(XVersion(0)));
    EXPECT_EQ(CodeOf([] { XVersion::RegisterType(0x7B00, 0x7B02); }), XException::kBadArgument); // a cycle
    EXPECT_EQ(CodeOf([] { XVersion::RegisterType(0x7B02, 0x7B00); }), XException::kBadArgument); // a new parent

    const auto read = [](uint32_t stored, uint32_t supported) {
        XStream s;
        s.WriteVersion(stored);
        return CodeOf([&] { XVersioned::ReadClassVersion(s, supported); });
    };
    EXPECT_EQ(read(0x00027A00, 0x00027A00), -1);
    EXPECT_EQ(read(0x00017A00, 0x00027A00), -1);
    EXPECT_EQ(read(0x00037A00, 0x00027A00), XException::kStreamNewerVersion);
    EXPECT_EQ(read(0x00027B00, 0x00027A00), XException::kStreamWrongClass);
    EXPECT_EQ(CodeOf([] { XStream empty; XVersioned::ReadClassVersion(empty, 1); }), XException::kStreamEnded);
}
