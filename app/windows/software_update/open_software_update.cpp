#include "app/windows/software_update/open_software_update.h"

#include <chrono>

#include "app/windows/software_update/software_update_windows.h"
#include "app/windows/software_update/software_updater_thread.h"
#include "app/windows/software_update/version_check.h"
#include "foundation/settings/preference_store.h"
#include "foundation/threads/thread_scheduler.h"

void RegisterSoftwareUpdateWindows() { RegisterSoftwareUpdateWindowClasses(); }

std::string VersionListURL()
{
    if (auto url = GetPreferenceString("Version List URL"); url && !url->empty()) return *url;
    return kVersionListURL;
}

void CheckForSoftwareUpdate(bool quiet, CCommander* superCommander)
{
    if (CVersionCheckThread::Current() != nullptr) return;
    (new CVersionCheckThread(VersionListURL(), quiet, superCommander))->Resume();
}

void StopSoftwareUpdate()
{
    for (CThread* thread : {static_cast<CThread*>(CVersionCheckThread::Current()),
                            static_cast<CThread*>(CSoftwareUpdaterThread::Current())}) {
        if (thread == nullptr) continue;
        thread->RequestStop();
        thread->Wake();
    }
    while (CVersionCheckThread::Current() != nullptr || CSoftwareUpdaterThread::Current() != nullptr)
        CThreadScheduler::RunUntil(
            [] { return CVersionCheckThread::Current() == nullptr && CSoftwareUpdaterThread::Current() == nullptr; },
            CThreadScheduler::Clock::now() + std::chrono::seconds(1));
}
