#pragma once
// The program's own pictures (tool bar, speech bubble, application icon), drawn from SVGs that
// are compiled into the executable.

#include <QIcon>
#include <QImage>
#include <QStringList>

// Every picture name, in tool-bar order, followed by the speech bubble and the application icon.
const QStringList& AppIconNames();

// The named picture as an icon with pixmaps at 16, 24, 32, 48 and 64 pixels; built once, then
// cached. An unknown name gives an empty icon. Needs the application object (pixmaps).
QIcon AppIcon(const QString& name);

// One square rendering of the named picture, transparent around it; a null image for an unknown
// name or a size below 1.
QImage RenderAppIcon(const QString& name, int size);
