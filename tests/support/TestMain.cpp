// Test programs' main: every test starts from a fresh scripted message service, in-memory
// settings, empty shared state, a fixed clock and an empty home folder of its own, so no test
// sees another's answers, settings or seasons, and none reads the wall clock or writes into
// the real home folder.
#include "AppState.h"
#include "Clock.h"
#include "Host.h"
#include "SeasonData.h"
#include "MsgBox.h"
#include "SettingsStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

namespace {

// The moment every test starts at: Tuesday 5 November 2024, 10:30.
constexpr double TestNow = 45601.4375;

// A folder under the temporary folder that stands in for the user's home and the desktop's
// configuration, data and cache folders for the whole test program; removed at the end.
class ScratchHome {
public:
    ScratchHome()
    {
        std::random_device rd;
        std::mt19937_64 gen(rd());
        for (int attempt = 0; attempt < 100 && root_.empty(); ++attempt) {
            auto candidate = std::filesystem::temp_directory_path() / ("vexal-home-" + std::to_string(gen()));
            std::error_code ec;
            if (std::filesystem::create_directory(candidate, ec))
                root_ = candidate;
        }
        if (root_.empty())
            throw std::runtime_error("cannot create a temporary home folder");
        for (const auto& [variable, folder] : {std::pair{"XDG_CONFIG_HOME", "config"}, std::pair{"XDG_DATA_HOME", "data"},
                                               std::pair{"XDG_CACHE_HOME", "cache"}, std::pair{"XDG_STATE_HOME", "state"}}) {
            std::filesystem::create_directories(root_ / folder);
            setenv(variable, (root_ / folder).c_str(), 1);
        }
        // Qt wants its runtime folder private to the user.
        std::filesystem::create_directories(root_ / "runtime");
        std::filesystem::permissions(root_ / "runtime", std::filesystem::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", (root_ / "runtime").c_str(), 1);
        Renew();
    }
    ~ScratchHome()
    {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    // An empty home folder for the next test.
    void Renew() const
    {
        std::error_code ec;
        std::filesystem::remove_all(root_ / "home", ec);
        std::filesystem::create_directories(root_ / "home");
        setenv("HOME", (root_ / "home").c_str(), 1);
    }

private:
    std::filesystem::path root_;
};

ScratchHome* Home = nullptr;

class FreshServices : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        if (Home)
            Home->Renew();
        vexal::SetFixedClock(TestNow);
        vexal::InstallScriptedMessages();
        vexal::InstallSettings(std::make_unique<vexal::MemorySettings>());
        vexal::InstallRecordingLauncher();
        vexal::ResetApp();
        vexal::ResetSeason();
        vexal::SetProgramFolder({});
    }
};
} // namespace

#ifdef VEXAL_TEST_WITH_QT
#include "ButtonKeys.h"
#include "TestFonts.h"

#include <QApplication>
#endif

int main(int argc, char** argv)
{
    // Before the application object, so Qt's settings and paths see the scratch folders too.
    ScratchHome home;
    Home = &home;
#ifdef VEXAL_TEST_WITH_QT
    // Windows under test need an application object; the offscreen platform keeps them headless.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // What is measured, drawn and printed is the same on every machine.
    if (!vexal::test::PinTestFont())
        return 1;
    // The keys work in windows under test as they do in the program.
    vexal::InstallButtonKeys(app);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshServices);
    const int result = RUN_ALL_TESTS();
    Home = nullptr;
    return result;
}
