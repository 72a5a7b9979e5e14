// Test programs' main: every test starts from a fresh scripted message service, in-memory
// settings and empty shared state, so no test sees another's answers, settings or seasons.
#include "AppState.h"
#include "Host.h"
#include "SeasonData.h"
#include "MsgBox.h"
#include "SettingsStore.h"

#include <gtest/gtest.h>

namespace {
class FreshServices : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
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
#include "TestFonts.h"

#include <QApplication>
#endif

int main(int argc, char** argv)
{
#ifdef VEXAL_TEST_WITH_QT
    // Windows under test need an application object; the offscreen platform keeps them headless.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // What is measured, drawn and printed is the same on every machine.
    if (!vexal::test::PinTestFont())
        return 1;
#endif
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshServices);
    return RUN_ALL_TESTS();
}
