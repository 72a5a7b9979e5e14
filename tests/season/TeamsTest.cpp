#include "Teams.h"

#include "AppState.h"
#include "SeasonData.h"
#include "TempFolder.h"
#include "VbError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace vexal {
namespace {

class Teams : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSeason();
        ResetApp();
    }
    void TearDown() override
    {
        ResetSeason();
        ResetApp();
    }
    // Three loaded seasons, newest 2024, of 21, 22 and 21 weeks.
    static void LoadThreeSeasons(int currentWeek)
    {
        Season().Allocate(3);
        Season().SeasonYear = 2024;
        Season().SeasonFirstWeek = {43, 21, 0, 0};
        App().CurrentFormula[fsCurrentWeek] = static_cast<float>(currentWeek);
    }
};

TEST_F(Teams, CityNamesFollowTheSeason)
{
    EXPECT_EQ(TeamName(22, 1994, NameStyleCity), "Los Angeles");
    EXPECT_EQ(TeamName(22, 1995, NameStyleCity), "Oakland");
    EXPECT_EQ(TeamName(22, 2019, NameStyleCity), "Oakland");
    EXPECT_EQ(TeamName(22, 2020, NameStyleCity), "Las Vegas");
    EXPECT_EQ(TeamName(25, 1994, NameStyleCity), "Los Angeles");
    EXPECT_EQ(TeamName(25, 2015, NameStyleCity), "St.Louis");
    EXPECT_EQ(TeamName(25, 2016, NameStyleCity), "Los Angeles");
    EXPECT_EQ(TeamName(25, 2017, NameStyleCity), "L.A. Rams");
    EXPECT_EQ(TeamName(1, 1987, NameStyleCity), "St.Louis");
    EXPECT_EQ(TeamName(1, 1988, NameStyleCity), "Phoenix");
    EXPECT_EQ(TeamName(1, 1994, NameStyleCity), "Arizona");
    EXPECT_EQ(TeamName(3, 1995, NameStyleCity), "Cleveland");
    EXPECT_EQ(TeamName(3, 1996, NameStyleCity), "Baltimore");
    EXPECT_EQ(TeamName(13, 1983, NameStyleCity), "Baltimore");
    EXPECT_EQ(TeamName(13, 1984, NameStyleCity), "Indianapolis");
    EXPECT_EQ(TeamName(26, 2016, NameStyleCity), "San Diego");
    EXPECT_EQ(TeamName(26, 2017, NameStyleCity), "L.A. Chargers");
    // Any style other than 0 and 3 is the city.
    EXPECT_EQ(TeamName(11, 2024, 7), "Green Bay");
}

TEST_F(Teams, NicknamesChangeOnTheirOwnDates)
{
    // Tennessee in 1997 still played as the Oilers.
    EXPECT_EQ(TeamName(12, 1996, NameStyleCity), "Houston");
    EXPECT_EQ(TeamName(12, 1997, NameStyleCity), "Tennessee");
    EXPECT_EQ(TeamName(12, 1997, NameStyleNickname), "Oilers");
    EXPECT_EQ(TeamName(12, 1998, NameStyleNickname), "Oilers");
    EXPECT_EQ(TeamName(12, 1999, NameStyleNickname), "Titans");
    EXPECT_EQ(TeamAbbrev3(12, 1997, AbbrevStyleCity), "Ten");
    EXPECT_EQ(TeamAbbrev3(12, 1998, 0), "Oil");

    EXPECT_EQ(TeamName(30, 2019, NameStyleNickname), "Redskins");
    EXPECT_EQ(TeamName(30, 2021, NameStyleNickname), "Football Team");
    EXPECT_EQ(TeamAbbrev3(30, 2021, 0), "Red");
    EXPECT_EQ(TeamName(30, 2022, NameStyleNickname), "Commanders");
    EXPECT_EQ(TeamName(3, 1995, NameStyleNickname), "Browns");
    EXPECT_EQ(TeamName(3, 1996, NameStyleNickname), "Ravens");
}

TEST_F(Teams, EmptyAndTotalsCodes)
{
    EXPECT_EQ(TeamName(0, 2024, NameStyleCity), "");
    EXPECT_EQ(TeamAbbrev3(0, 2024, AbbrevStyleCity), "   ");
    EXPECT_EQ(TeamName(50, 2024, NameStyleCity), "");
    EXPECT_EQ(TeamName(-1, 2024, NameStyleCity), "");
    EXPECT_EQ(TeamName(33, 2024, NameStyleNickname), "");
    EXPECT_EQ(TeamAbbrev3(50, 2024, AbbrevStyleCity), "");
    EXPECT_EQ(TeamName(100, 2024, NameStyleCity), "UNDER");
    EXPECT_EQ(TeamName(101, 2024, NameStyleNickname), "OVER");
    EXPECT_EQ(TeamAbbrev3(100, 2024, AbbrevStyleCity), "UND");
    EXPECT_EQ(TeamAbbrev3(101, 2024, 0), "OVR");
}

TEST_F(Teams, ShortFormsAreThreeCharactersExceptLasVegas)
{
    EXPECT_EQ(TeamAbbrev3(11, 2024, AbbrevStyleCity), "GB ");
    EXPECT_EQ(TeamAbbrev3(11, 2024, 0), "Pac");
    EXPECT_EQ(TeamAbbrev3(22, 2020, AbbrevStyleCity), "LV");
    EXPECT_EQ(TeamAbbrev3(25, 2016, AbbrevStyleCity), "LA ");
    EXPECT_EQ(TeamAbbrev3(1, 1990, AbbrevStyleCity), "Pho");
    // Only exactly True (-1) gives the city form.
    EXPECT_EQ(TeamAbbrev3(9, 2024, 1), "Bnc");
    for (int year = 1984; year <= 2024; ++year) {
        for (int code = 1; code <= 32; ++code) {
            if (code == 22 && year >= 2020)
                continue;
            EXPECT_EQ(TeamAbbrev3(code, year, AbbrevStyleCity).size(), 3u) << code << " " << year;
            EXPECT_EQ(TeamAbbrev3(code, year, 0).size(), 3u) << code << " " << year;
        }
    }
}

TEST_F(Teams, StyleThreeFollowsTheCityNameToggle)
{
    App().ShowCityNames = true;
    EXPECT_EQ(TeamName(8, 2024, NameStyleAsShown), "Dallas");
    App().ShowCityNames = false;
    EXPECT_EQ(TeamName(8, 2024, NameStyleAsShown), "Cowboys");
}

TEST_F(Teams, YearZeroIsTheSeasonOfTheCurrentWeekAndIsWrittenBack)
{
    LoadThreeSeasons(30); // week slot 29: the middle season
    int16_t year = 0;
    EXPECT_EQ(TeamName(22, year, NameStyleCity), "Las Vegas");
    EXPECT_EQ(year, 2023);

    App().CurrentFormula[fsCurrentWeek] = 44; // slot 43: first week of 2024
    year = 0;
    EXPECT_EQ(TeamAbbrev3(30, year, 0), "Red");
    EXPECT_EQ(year, 2024);

    App().CurrentFormula[fsCurrentWeek] = 21; // slot 20: last week of 2022
    year = 0;
    EXPECT_EQ(TeamCode("Commanders", year, 0), 30);
    EXPECT_EQ(year, 2022);

    // A year given is kept.
    year = 1997;
    TeamName(12, year, NameStyleCity);
    EXPECT_EQ(year, 1997);
}

TEST_F(Teams, YearZeroWithoutLoadedSeasonsFailsToTheCaller)
{
    int16_t year = 0;
    try {
        TeamName(5, year, NameStyleCity);
        FAIL() << "no error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), VbError::SubscriptOutOfRange);
    }
    // No week chosen (CurrentWeek 0) finds no season either.
    LoadThreeSeasons(0);
    EXPECT_THROW(TeamName(5, 0, NameStyleCity), VbError);
}

TEST_F(Teams, TeamCodeBySeasonAndCase)
{
    EXPECT_EQ(TeamCode("Baltimore", 1996, 0), 3);
    EXPECT_EQ(TeamCode("Baltimore", 1995, 0), 13);
    EXPECT_EQ(TeamCode("Baltimore", 1983, 0), 13);
    EXPECT_EQ(TeamCode("Browns", 1999, 0), 31);
    EXPECT_EQ(TeamCode("Browns", 1995, 0), 3);
    EXPECT_EQ(TeamCode("Cleveland", 2024, 0), 31);
    EXPECT_EQ(TeamCode("browns", 1999, 0), -1);
    EXPECT_EQ(TeamCode("", 1999, 0), 0);
    EXPECT_EQ(TeamCode("None", 1999, 0), 0);
    EXPECT_EQ(TeamCode("Houston", 2001, 0), 12);
    EXPECT_EQ(TeamCode("Houston", 2002, 0), 32);
    EXPECT_EQ(TeamCode("St.Louis", 1987, 0), 1);
    EXPECT_EQ(TeamCode("St.Louis", 1988, 0), 25);
    EXPECT_EQ(TeamCode("Los Angeles", 1990, 0), 25);
    EXPECT_EQ(TeamCode("Los Angeles", 2016, 0), 25);
    EXPECT_EQ(TeamCode("Las Vegas", 2024, 0), 22);
    EXPECT_EQ(TeamCode("Football Team", 2021, 0), 30);
    EXPECT_EQ(TeamCode("UNDER", 2024, 0), 100);
    EXPECT_EQ(TeamCode("OVER", 2024, 0), 101);
    EXPECT_EQ(TeamCode("Giants ", 2024, 0), -1);
    EXPECT_EQ(TeamCode("NYG", 2024, 0), -1);
}

TEST_F(Teams, EveryNameOfEverySeasonCodesBackToItsTeam)
{
    for (int year = 1984; year <= 2024; ++year) {
        for (int code = 1; code <= 32; ++code) {
            // Cleveland's and Houston's new teams share their names with older franchises
            // until they play.
            if ((code == 31 && year < 1999) || (code == 32 && year < 2002))
                continue;
            const std::string city = TeamName(code, year, NameStyleCity);
            const std::string nick = TeamName(code, year, NameStyleNickname);
            // Before 1995 two teams played in Los Angeles; the Rams get the name.
            if (!(code == 22 && year <= 1994)) {
                EXPECT_EQ(TeamCode(city, year, 0), code) << city << " " << year;
            }
            EXPECT_EQ(TeamCode(nick, year, 0), code) << nick << " " << year;
        }
    }
}

TEST_F(Teams, LogoFollowsTheChosenSeasonAndSetsColours)
{
    test::TempFolder folder;
    Season().SeasonYear = 2024;
    const std::string path = TeamLogoPath(3);
    EXPECT_EQ(path, (folder.Path() / "images" / "BAL.gif").string());
    EXPECT_EQ(App().TeamAbbrev, "BAL");
    EXPECT_EQ(App().TeamColor1, 0x800000);
    EXPECT_EQ(App().TeamColor2, 0x00E0E0);

    // The chosen season decides, even with the current week in an older loaded season.
    LoadThreeSeasons(1);
    Season().SeasonYear = 1995;
    EXPECT_EQ(TeamLogoPath(3), (folder.Path() / "images" / "CLE.gif").string());
    EXPECT_EQ(App().TeamColor1, 0x0080FF);
    EXPECT_EQ(App().TeamColor2, 0xFFFFFF);

    EXPECT_EQ(TeamLogoPath(14), (folder.Path() / "images" / "JAK.gif").string());
    EXPECT_EQ(App().TeamColor2, 0xC0C000);
}

TEST_F(Teams, LogoOfANonTeamKeepsTheColours)
{
    test::TempFolder folder;
    TeamLogoPath(17);
    EXPECT_EQ(TeamLogoPath(100), "");
    EXPECT_EQ(App().TeamAbbrev, "");
    EXPECT_EQ(App().TeamColor1, 0xC000B0);
    EXPECT_EQ(App().TeamColor2, 0x00FFFF);
    EXPECT_EQ(TeamLogoPath(0), "");
}

TEST_F(Teams, LogoFileIsFoundWhateverTheCaseOfItsName)
{
    test::TempFolder folder;
    folder.Write("Images/gb.GIF", "GIF89a");
    EXPECT_EQ(TeamLogoPath(11), (folder.Path() / "Images" / "gb.GIF").string());
    EXPECT_EQ(App().TeamAbbrev, "GB");
}

TEST_F(Teams, SurfaceNames)
{
    EXPECT_EQ(SurfaceName(0), "Grass");
    EXPECT_EQ(SurfaceName(1), "Turf");
    EXPECT_EQ(SurfaceName(2), "Dome");
    EXPECT_EQ(SurfaceName(3), "???");
    EXPECT_EQ(SurfaceName(-1), "???");
}

TEST_F(Teams, DivisionOrderBeforeAndFrom2002)
{
    EXPECT_EQ(DivisionOrder(), (std::array<uint8_t, 33>{}));
    SetDivisionOrder(2002);
    const std::array<uint8_t, 33> order2002{4, 16, 18, 20, 3, 7, 31, 24, 32, 13, 14, 12, 9, 15, 22, 26,
                                            8, 21, 23, 30, 6, 10, 11, 17, 2, 5, 19, 29, 1, 25, 27, 28, 0};
    EXPECT_EQ(DivisionOrder(), order2002);
    EXPECT_EQ(Season().DivisionOrder[31], 28);

    SetDivisionOrder(2001);
    const std::array<uint8_t, 33> order2001{4, 13, 16, 18, 20, 3, 7, 12, 14, 24, 31, 9, 15, 22, 26, 28,
                                            1, 8, 21, 23, 30, 6, 10, 11, 17, 29, 2, 5, 19, 25, 27, 0, 0};
    EXPECT_EQ(DivisionOrder(), order2001);
    EXPECT_EQ(Season().DivisionOrder[31], 0);

    // Every franchise once: 32 from 2002, all but Houston's new team before.
    const std::set<int> before(order2001.begin(), order2001.begin() + 31);
    EXPECT_EQ(before.size(), 31u);
    EXPECT_EQ(before.count(32), 0u);
    const std::set<int> after(order2002.begin(), order2002.begin() + 32);
    EXPECT_EQ(after.size(), 32u);
}

TEST_F(Teams, DivisionsCoverTheOrder)
{
    for (int year : {2001, 2002}) {
        int next = 0;
        for (const Division& d : Divisions(year)) {
            EXPECT_EQ(d.First, next) << d.Name;
            next += d.Count;
        }
        EXPECT_EQ(next, year >= 2002 ? 32 : 31);
        EXPECT_EQ(static_cast<int>(DivisionOrderOf(year).size()), next);
    }
    EXPECT_STREQ(Divisions(2001)[1].Name, "AFC Central");
    EXPECT_STREQ(Divisions(2002)[7].Name, "NFC West");
    EXPECT_EQ(Divisions(2002)[4].First, 16); // the NFC starts at 16
    EXPECT_EQ(Divisions(1990)[3].First, 16);
}

} // namespace
} // namespace vexal
