// The window tests draw real widgets on the offscreen platform, so no
// display is needed.
#include <cstdlib>
#include <memory>

#include <QApplication>
#include <gtest/gtest.h>

namespace {

class WidgetsEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        mApplication = std::make_unique<QApplication>(mArgc, mArgv);
    }
    void TearDown() override { mApplication.reset(); }

private:
    int mArgc = 1;
    char mName[16] = "windows_tests";
    char* mArgv[2] = {mName, nullptr};
    std::unique_ptr<QApplication> mApplication;
};

const testing::Environment* const kWidgets = testing::AddGlobalTestEnvironment(new WidgetsEnvironment);

}  // namespace
