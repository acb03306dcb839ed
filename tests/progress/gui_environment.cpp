// Drawing text and making icons needs a GUI application; the tests run it
// on the offscreen platform, so no display is needed.
#include <cstdlib>
#include <memory>

#include <QGuiApplication>
#include <gtest/gtest.h>

namespace {

class GuiEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        mApplication = std::make_unique<QGuiApplication>(mArgc, mArgv);
    }
    void TearDown() override { mApplication.reset(); }

private:
    int mArgc = 1;
    char mName[16] = "progress_tests";
    char* mArgv[2] = {mName, nullptr};
    std::unique_ptr<QGuiApplication> mApplication;
};

const testing::Environment* const kGui = testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace
