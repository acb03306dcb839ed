#include "tests/update/recording_update_window.h"

#include "engine/update/update_iterator.h"
#include "foundation/threads/thread_scheduler.h"

bool CRecordingUpdateWindow::RunUpdate(const CFileRef& folder,
                                       const std::function<void(CUpdateIterator&)>& whileRunning,
                                       std::chrono::seconds limit)
{
    cleared = false;
    updater = new CUpdateIterator(folder, this);
    updater->Resume();
    const auto deadline = std::chrono::steady_clock::now() + limit;
    return CThreadScheduler::RunUntil(
        [&] {
            if (cleared) return true;
            if (whileRunning && updater != nullptr) whileRunning(*updater);
            return false;
        },
        deadline);
}
