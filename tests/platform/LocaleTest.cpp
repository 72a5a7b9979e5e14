// Numbers, dates and formula files come out byte for byte the same whatever the process
// locale: the same golden files are checked under "C" and under a comma-decimal locale, the
// way a German user's LANG sets it (a QApplication calls setlocale(LC_ALL, "")).
#include "FormulaFile.h"
#include "Golden.h"
#include "TempFolder.h"
#include "VbConvert.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <locale>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vexal;
using namespace vexal::vb;

namespace {

const std::filesystem::path Golden = vexal::test::GoldenFolder("platform");

// Sets the C library's and the C++ global locale for one test and puts both back after.
class ProcessLocale : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        previousC_ = std::setlocale(LC_ALL, nullptr);
        if (!std::setlocale(LC_ALL, GetParam()))
            GTEST_SKIP() << "locale " << GetParam() << " is not installed";
        try {
            previousCpp_ = std::locale::global(std::locale(GetParam()));
        } catch (const std::runtime_error&) {
            std::setlocale(LC_ALL, previousC_.c_str());
            GTEST_SKIP() << "locale " << GetParam() << " is not available to the C++ library";
        }
        changed_ = true;
        if (std::string(GetParam()) != "C") {
            // The test is only worth something when the locale really writes a comma.
            char buf[16];
            std::snprintf(buf, sizeof buf, "%.1f", 2.5);
            ASSERT_STREQ(buf, "2,5");
        }
    }
    void TearDown() override
    {
        if (!changed_)
            return;
        std::locale::global(previousCpp_);
        std::setlocale(LC_ALL, previousC_.c_str());
    }

private:
    std::string previousC_;
    std::locale previousCpp_;
    bool changed_ = false;
};

// One line per conversion: what it was given and what it gave.
std::string ConversionsText()
{
    std::string out;
    auto line = [&out](const std::string& what, const std::string& result) { out += what + " = [" + result + "]\n"; };
    const std::vector<double> doubles{0, 2.5, -3.5, 0.1, 1.0 / 3, 1984, 1e16, -1.5e-5, 123456789012345678.0,
                                      6.5, 7.5, -0.0001, 2.5e-300, 1.7976931348623157e308};
    for (double v : doubles) {
        const std::string shown = CStr(v);
        line("Str(" + shown + ")", Str(v));
        line("CStr(" + shown + ")", CStr(v));
        line("RoundHalfEven(" + shown + ")", CStr(RoundHalfEven(v)));
        for (const char* pattern : {"0.0", "#.00", "0.00", "#,##0", "0.0%", "0.00E+00", "General Number", "Fixed",
                                    "Standard", "Percent", "Scientific", "Currency"})
            line("Format(" + shown + ", \"" + pattern + "\")", Format(v, pattern));
    }
    const std::vector<float> singles{0.1f, 2.35f, -3.5f, 102.5f, 1.0f / 3, 16777216.0f, 3.4e38f, 1e-7f};
    for (float v : singles) {
        const std::string shown = CStrSingle(v);
        line("StrSingle(" + shown + ")", StrSingle(v));
        line("CStrSingle(" + shown + ")", CStrSingle(v));
        line("FormatSingle(" + shown + ", \"0.0\")", FormatSingle(v, "0.0"));
    }
    for (const char* text : {"2.5", "  12.5abc", "-0.75", "+7", ".5", "2,5", "1,000", "1.2.3", "1e3", "1D-2",
                             "\t4\t5 . 5", "&H1F", "1e400", "-1e400", "1e-400", "4.9e-324", "0.000e999", "abc"}) {
        line("Val(\"" + std::string(text) + "\")", CStr(Val(text)));
        line("IsNumeric(\"" + std::string(text) + "\")", IsNumeric(text) ? "True" : "False");
    }
    const double date = DateSerial(2024, 9, 10) + TimeSerial(13, 5, 9);
    for (const char* pattern : {"mm-dd-yyyy", "m/d/yyyy", "hh:mm:ss", "h:mm AM/PM", "dddd", "mmm d", "Short Date",
                                "Long Date", "General Date"})
        line("FormatDate(\"" + std::string(pattern) + "\")", FormatDate(date, pattern));
    for (const char* text : {"9/10/2024", "2024-09-10", "September 10, 2024", "10-Sep-2024 1:05 PM", "13:05:09"}) {
        double parsed = 0;
        line("TryParseDate(\"" + std::string(text) + "\")", TryParseDate(text, parsed) ? CStr(parsed) : "no date");
    }
    line("CurrencyToDouble(CurrencyFromDouble(2.34565))", CStr(CurrencyToDouble(CurrencyFromDouble(2.34565))));
    return out;
}

TEST_P(ProcessLocale, ConversionsMatchTheGoldenFile)
{
    EXPECT_TRUE(test::MatchesGolden(ConversionsText(), Golden / "conversions.txt"));
}

TEST_P(ProcessLocale, FormulaFileSavedAndLoadedMatchesTheGoldenFile)
{
    test::TempFolder folder;
    const std::vector<float> values{2.5f, 1, 99, 1.5f, 50, 50, 0, 50, 50, 0, -0.75f, 0, 0.1f, 1, 0, 0, 1, 0, 102.5f, 107};
    Formula written{};
    ApplyFormulaFileNumbers(values, written);
    ASSERT_TRUE(WriteFormulaFile(folder / "german.fla", written));
    EXPECT_TRUE(test::FileMatchesGolden(folder / "german.fla", Golden / "german.fla"));

    Formula formula{};
    ASSERT_TRUE(ReadFormulaFile(Golden / "german.fla", formula));
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(formula[static_cast<std::size_t>(FormulaFileSlots[i])], values[i]) << "position " << i + 1;
    EXPECT_EQ(ParseFormulaFileNumbers("2.5, .5 ,-0.75\r\n"), (std::vector<float>{2.5f, 0.5f, -0.75f}));
}

INSTANTIATE_TEST_SUITE_P(Locales, ProcessLocale, ::testing::Values("C", "de_DE.UTF-8"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "C" ? std::string("C") : std::string("CommaDecimal");
                         });

} // namespace
