#include "tests/windows/window_frame.h"

#include "app/framework/cleanup.h"
#include "app/framework/dialog.h"
#include "app/framework/scheduler_driver.h"
#include "platform/launch/program_launcher.h"

namespace windowtest {

void InstallWindowFrame(std::vector<std::vector<std::string>>& spawned)
{
    CSchedulerDriver::Install();
    CScriptedAnswers::Clear();
    SetProgramSpawner([&spawned](const std::vector<std::string>& argv) {
        spawned.push_back(argv);
        return 0;
    });
}

void RemoveWindowFrame()
{
    DeleteScheduledObjects();
    SetProgramSpawner({});
    CScriptedAnswers::Clear();
    CSchedulerDriver::Uninstall();
}

}  // namespace windowtest
