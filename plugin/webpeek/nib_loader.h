// A nib is a Qt Designer file, "<name>.ui", holding one top-level window.
#pragma once

#include <memory>

#include <QString>

class QWidget;

namespace webpeek {

// The nib's file: beside the host executable, then in $WEBPEEK_NIB_PATH,
// then among the plug-in's built-in nibs. Empty when none is found or the
// name is not a plain file name.
QString FindNibFile(const QString& nibName);

// The nib's top-level widget when it is named windowName; null otherwise.
std::unique_ptr<QWidget> LoadNibWindow(const QString& nibName, const QString& windowName);

}  // namespace webpeek
