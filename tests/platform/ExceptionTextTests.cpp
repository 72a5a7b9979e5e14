// Processor exceptions as error 10000 and the standard error message.
#include "ExceptionFilter.h"
#include "MsgBox.h"

#include <stdexcept>

#include <gtest/gtest.h>

namespace vexal {
namespace {

TEST(ExceptionText, NamesEveryKnownCode)
{
    EXPECT_EQ(GetExceptionText(0xC0000005u), "Access Violation");
    EXPECT_EQ(GetExceptionText(0x80000001u), "Guard Page Violation");
    EXPECT_EQ(GetExceptionText(0xC000008Fu), "Floating Point Inexact Result");
    EXPECT_EQ(GetExceptionText(0xC0000094u), "Integer Divide By Zero");
    EXPECT_EQ(GetExceptionText(0xC00000FDu), "Stack Overflow");
    EXPECT_EQ(GetExceptionText(0xC000013Au), "Control-C Exit");
}

TEST(ExceptionText, AnyOtherCodeIsUnknownWithEightHexDigits)
{
    EXPECT_EQ(GetExceptionText(1), "Unknown (&H00000001)");
    EXPECT_EQ(GetExceptionText(0xC0000007u), "Unknown (&HC0000007)");
    EXPECT_EQ(GetExceptionText(0xDEADBEEFu), "Unknown (&HDEADBEEF)");
}

TEST(ExceptionText, TheFilterRaisesError10000ForTheInnermostRecord)
{
    ExceptionRecord inner;
    inner.ExceptionCode = 0xC0000094u;
    ExceptionRecord outer;
    outer.ExceptionCode = 0xC0000005u;
    outer.NestedRecord = &inner;
    try {
        MyExceptionFilter({&outer, nullptr});
        FAIL() << "the filter raises";
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), 10000);
        EXPECT_EQ(e.Description(), "Integer Divide By Zero");
        EXPECT_EQ(e.Source(), "MyExceptionFilter");
    }
}

TEST(ExceptionText, TheStandardErrorMessage)
{
    EXPECT_EQ(ErrorMessageText(10000, "Access Violation", 0), "10000 - Access Violation\r\nError occured on line 0");
    EXPECT_STREQ(ErrorMessageTitle, "Error Occured");
}

TEST(ExceptionText, AnEscapedErrorIsShownOnceWithTheStandardMessage)
{
    ScriptedMessages& messages = InstallScriptedMessages();
    ReportEscapedError(std::make_exception_ptr(VbError(10000, "Integer Divide By Zero")));
    ReportEscapedError(std::make_exception_ptr(std::out_of_range("index")));
    ReportEscapedError(std::make_exception_ptr(42));
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[0].text, "10000 - Integer Divide By Zero\r\nError occured on line 0");
    EXPECT_EQ(messages.shown[0].title, "Error Occured");
    EXPECT_EQ(messages.shown[0].buttons, vbCritical);
    EXPECT_EQ(messages.shown[1].text, "9 - Subscript out of range\r\nError occured on line 0");
    EXPECT_EQ(messages.shown[2].text, "10000 - Unknown (&H00000000)\r\nError occured on line 0");
}

} // namespace
} // namespace vexal
