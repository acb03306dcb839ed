#include "framework_environment.h"

#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/framework/class_registrar.h"
#include "app/framework/scheduler_driver.h"
#include "tests/framework/private_home.h"
#include "tests/support/temp_dir.h"

namespace {

class FrameworkEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        mHome = std::make_unique<testsupport::TempDir>();
        UsePrivateHome(*mHome);
        mApplication = std::make_unique<QApplication>(mArgc, mArgv);
        RegisterStandardClasses();
        CSchedulerDriver::Install();
    }
    void TearDown() override
    {
        CSchedulerDriver::Uninstall();
        mApplication.reset();
        mHome.reset();
    }

private:
    int mArgc = 1;
    char mName[16] = "framework_tests";
    char* mArgv[2] = {mName, nullptr};
    std::unique_ptr<testsupport::TempDir> mHome;
    std::unique_ptr<QApplication> mApplication;
};

const testing::Environment* const kFramework = testing::AddGlobalTestEnvironment(new FrameworkEnvironment);

}  // namespace

bool RunLoopUntil(const std::function<bool()>& done)
{
    // The bound only keeps a broken test from hanging; nothing is timed.
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    check.start(1);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    if (!done()) loop.exec();
    return done();
}

CScopedLayout::CScopedLayout(const SLayout& layout) : mNumber(layout.number)
{
    RegisterStandardClasses();
    EXPECT_TRUE(CLayoutTable::Register(layout)) << CLayoutTable::Check(layout);
}

CScopedLayout::~CScopedLayout() { CLayoutTable::Unregister(mNumber); }
