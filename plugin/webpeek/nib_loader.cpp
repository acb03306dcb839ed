#include "plugin/webpeek/nib_loader.h"

#include <cstdlib>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUiLoader>
#include <QWidget>

namespace webpeek {

namespace {

QStringList NibFolders()
{
    QStringList folders{QCoreApplication::applicationDirPath()};
    if (const char* folder = std::getenv("WEBPEEK_NIB_PATH"); folder && *folder)
        folders << QFile::decodeName(folder);
    folders << QStringLiteral(":/webpeek/nibs");
    return folders;
}

}  // namespace

QString FindNibFile(const QString& nibName)
{
    // A nib is named, not pathed: nothing outside the nib folders is read.
    if (nibName.isEmpty() || nibName.contains(QLatin1Char('/'))) return {};
    for (const QString& folder : NibFolders()) {
        const QString path = folder + QLatin1Char('/') + nibName + QStringLiteral(".ui");
        if (QFileInfo(path).isFile()) return path;
    }
    return {};
}

std::unique_ptr<QWidget> LoadNibWindow(const QString& nibName, const QString& windowName)
{
    const QString path = FindNibFile(nibName);
    if (path.isEmpty() || windowName.isEmpty()) return nullptr;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return nullptr;
    QUiLoader loader;
    std::unique_ptr<QWidget> window(loader.load(&file, nullptr));
    if (!window || window->objectName() != windowName) return nullptr;
    return window;
}

}  // namespace webpeek
