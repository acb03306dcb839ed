// The framework's own pane and window classes.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>

#include "app/framework/chasing_arrows.h"
#include "app/framework/class_registrar.h"
#include "app/framework/dialog.h"
#include "app/framework/grayscale_window.h"
#include "app/framework/pane.h"

namespace {

QString Caption(const SPaneSpec& spec) { return QString::fromUtf8(spec.caption != nullptr ? spec.caption : ""); }

template <class Make>
void Register(ClassIDT classID, Make make)
{
    CClassRegistrar::RegisterPane(classID, [make](const SPaneSpec& spec, QWidget* parent) {
        return std::make_unique<CPane>(spec, make(spec, parent));
    });
}

// A picture: a file path, or an icon of the desktop's theme by name.
QPixmap PictureFor(const QString& name, QWidget* widget)
{
    if (name.isEmpty()) return {};
    int side = widget->style()->pixelMetric(QStyle::PM_LargeIconSize);
    QIcon icon = name.contains('/') ? QIcon(name) : QIcon::fromTheme(name);
    return icon.pixmap(side, side);
}

}  // namespace

void RegisterStandardClasses()
{
    Register(kClassView, [](const SPaneSpec& spec, QWidget* parent) {
        auto* view = new QWidget(parent);
        view->setWindowTitle(Caption(spec));
        auto* grid = new QGridLayout(view);
        grid->setContentsMargins(0, 0, 0, 0);
        return view;
    });
    Register(kClassCaption, [](const SPaneSpec& spec, QWidget* parent) {
        auto* label = new QLabel(Caption(spec), parent);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    });
    Register(kClassEditField, [](const SPaneSpec& spec, QWidget* parent) { return new QLineEdit(Caption(spec), parent); });
    auto button = [](const SPaneSpec& spec, QWidget* parent) { return new QPushButton(Caption(spec), parent); };
    Register(kClassPushButton, button);
    Register(kClassPushButtonAlias, button);
    Register(kClassCheckBox, [](const SPaneSpec& spec, QWidget* parent) {
        auto* box = new QCheckBox(Caption(spec), parent);
        box->setChecked(spec.value != 0);
        return box;
    });
    Register(kClassPopupMenu, [](const SPaneSpec& spec, QWidget* parent) {
        auto* popup = new QComboBox(parent);
        QString items = Caption(spec);
        if (!items.isEmpty()) popup->addItems(items.split('\n'));
        if (spec.value >= 1 && spec.value <= popup->count()) popup->setCurrentIndex(spec.value - 1);
        return popup;
    });
    Register(kClassTextView, [](const SPaneSpec& spec, QWidget* parent) {
        auto* view = new QPlainTextEdit(Caption(spec), parent);
        view->setReadOnly(true);
        return view;
    });
    Register(kClassProgressBar, [](const SPaneSpec& spec, QWidget* parent) {
        auto* bar = new QProgressBar(parent);
        bar->setRange(spec.minValue, std::max(spec.minValue, spec.maxValue));
        bar->setValue(spec.value);
        bar->setTextVisible(false);
        return bar;
    });
    Register(kClassChasingArrows, [](const SPaneSpec&, QWidget* parent) { return new CChasingArrows(parent); });
    Register(kClassIconPane, [](const SPaneSpec& spec, QWidget* parent) {
        auto* picture = new QLabel(parent);
        picture->setPixmap(PictureFor(Caption(spec), picture));
        return picture;
    });
    Register(kClassSeparator, [](const SPaneSpec&, QWidget* parent) {
        auto* line = new QFrame(parent);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        return line;
    });
    Register(kClassTabGroup, [](const SPaneSpec&, QWidget* parent) { return new QTabWidget(parent); });

    CClassRegistrar::RegisterWindowClass<CWindow>(kClassWindow);
    CClassRegistrar::RegisterWindowClass<CDialog>(kClassDialog);
    CClassRegistrar::RegisterWindowClass<GGrayscaleWindow>(kClassGrayscaleWindow);
}
