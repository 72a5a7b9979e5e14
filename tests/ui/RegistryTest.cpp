#include "Registry.h"
#include "TempFolder.h"
#include "VbError.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace vexal;

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryFile(folder / "Registry.dat"); }
    void TearDown() override { SetRegistryFile({}); }
    cRegistry Named(const std::string& value)
    {
        cRegistry r;
        r.ClassKey(HKEY_CURRENT_USER);
        r.SectionKey("Software\\Vexal\\Test");
        r.ValueKey(value);
        return r;
    }
    test::TempFolder folder;
};

} // namespace

TEST_F(RegistryTest, TextIsStoredExpandableOnlyWithAReferenceBetweenPercents)
{
    setenv("VEXAL_REG_TEST", "/opt/x", 1);
    cRegistry r = Named("Path");
    r.ValueType(REG_SZ);
    r.Value(std::string("%VEXAL_REG_TEST%/bin"));
    StoredValue raw;
    ASSERT_TRUE(ReadRawValue(HKEY_CURRENT_USER, "software\\vexal\\TEST", "path", raw));
    EXPECT_EQ(raw.type, REG_EXPAND_SZ);
    EXPECT_EQ(std::string(raw.data.begin(), raw.data.end()), std::string("%VEXAL_REG_TEST%/bin\0", 21));
    EXPECT_EQ(std::get<std::string>(r.Value()), "/opt/x/bin");
    EXPECT_EQ(r.ValueType(), REG_EXPAND_SZ);

    for (const std::string text : {"100%%", "50%"}) {
        r.ValueType(REG_EXPAND_SZ);
        r.Value(text);
        ASSERT_TRUE(ReadRawValue(HKEY_CURRENT_USER, "Software\\Vexal\\Test", "Path", raw));
        EXPECT_EQ(raw.type, REG_SZ) << text;
        EXPECT_EQ(std::get<std::string>(r.Value()), text);
    }
    unsetenv("VEXAL_REG_TEST");
}

TEST_F(RegistryTest, NumbersReadInTheirByteOrder)
{
    ASSERT_TRUE(WriteRawValue(HKEY_LOCAL_MACHINE, "Soft", "Big", StoredValue{REG_DWORD_BIG_ENDIAN, {0, 0, 1, 2}}));
    cRegistry r;
    r.ClassKey(HKEY_LOCAL_MACHINE);
    r.SectionKey("Soft");
    r.ValueKey("Big");
    EXPECT_EQ(std::get<int32_t>(r.Value()), 258);
    EXPECT_EQ(r.ValueType(), REG_DWORD_BIG_ENDIAN);

    cRegistry w = Named("Seven");
    w.ValueType(REG_DWORD_BIG_ENDIAN);
    w.Value(int32_t{7});
    EXPECT_EQ(std::get<int32_t>(w.Value()), 7);
    EXPECT_EQ(w.ValueType(), REG_DWORD);
    w.ValueType(REG_DWORD);
    w.Value(int16_t{-3});
    EXPECT_EQ(std::get<int32_t>(w.Value()), -3);
    // A text is no number: nothing is written, and the write says so.
    EXPECT_THROW(w.Value(std::string("not a number")), VbError);
    EXPECT_EQ(std::get<int32_t>(w.Value()), -3);
}

TEST_F(RegistryTest, MissingValuesReadEmptyAndKeepTheType)
{
    cRegistry r = Named("Nothing");
    r.ValueType(REG_BINARY);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(r.Value()));
    EXPECT_EQ(r.ValueType(), REG_BINARY);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Vexal\\Test"));
    r.ValueType(REG_SZ);
    r.Value(std::string("made"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Vexal\\Test"));
}

TEST_F(RegistryTest, BytesSurviveAWriteAndARead)
{
    cRegistry r = Named("Blob");
    r.ValueType(REG_BINARY);
    const std::vector<uint8_t> bytes{0, 10, 13, 255, ' ', 0};
    r.Value(bytes);
    EXPECT_EQ(std::get<std::vector<uint8_t>>(r.Value()), bytes);
    try {
        r.Value(std::string("text"));
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), RegistryKeyError);
        EXPECT_EQ(e.Description(), "");
    }
    EXPECT_EQ(std::get<std::vector<uint8_t>>(r.Value()), bytes) << "a refused write changes nothing";
}

TEST_F(RegistryTest, FailedWritesNameTheValue)
{
    cRegistry r = Named("Odd");
    r.ValueType(REG_MULTI_SZ);
    try {
        r.Value(std::string("v"));
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), RegistryWriteError);
        EXPECT_EQ(e.Source(), "Vexal.cRegistry");
        EXPECT_EQ(e.Description(), "Failed to set registry value Key: '-2147483647',Section: "
                                   "'Software\\Vexal\\Test',Key: 'Odd' to value: 'v'");
    }
    cRegistry bad;
    bad.ClassKey(5);
    bad.ValueType(REG_SZ);
    try {
        bad.Value(std::string("v"));
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), RegistryKeyError);
    }
}
