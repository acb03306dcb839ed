#include "app/framework/reveal_file.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QStringList>
#include <QUrl>

#include "platform/launch/program_launcher.h"

namespace {

std::string ParentFolder(const std::string& path);

// Asks without waiting (the GUI thread must not block on a file manager that
// is slow to start); when the call fails, the folder opens instead.
bool ShowItemsOverDBus(const std::string& path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                                                       "org.freedesktop.FileManager1", "ShowItems");
    call << QStringList{QUrl::fromLocalFile(QString::fromStdString(path)).toString(QUrl::FullyEncoded)} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 10000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [path](QDBusPendingCallWatcher* finished) {
        if (finished->isError()) OpenWithDesktop(ParentFolder(path));
        finished->deleteLater();
    });
    return true;
}

std::string ParentFolder(const std::string& path)
{
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool RevealFile(const std::string& path)
{
    if (path.empty()) return false;
    if (ShowItemsOverDBus(path)) return true;
    return OpenWithDesktop(ParentFolder(path)) == 0;
}
