#include "app/progress/progress_icons.h"

#include <QString>

#include "foundation/text/text_encodings.h"

namespace {

struct ProgressIcons {
    bool loaded = false;
    QImage application;
    QImage pauseBadge;
};

ProgressIcons& Icons()
{
    static ProgressIcons icons;
    if (!icons.loaded) {
        const QString folder = QString::fromStdString(ResourceFolder()) + "/icons/";
        icons.application = QImage(folder + "tidewell.png");
        icons.pauseBadge = QImage(folder + "pause-badge.png");
        icons.loaded = true;
    }
    return icons;
}

}  // namespace

const QImage& ApplicationIconImage() { return Icons().application; }

const QImage& PauseBadgeImage() { return Icons().pauseBadge; }

void SetProgressIcons(const QImage& applicationIcon, const QImage& pauseBadge)
{
    ProgressIcons& icons = Icons();
    icons.application = applicationIcon;
    icons.pauseBadge = pauseBadge;
}

void ResetProgressIcons() { Icons().loaded = false; }
