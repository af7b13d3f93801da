#pragma once

#include <string_view>

#include <QFont>
#include <QIcon>
#include <QString>

#include "ui/framework/messages.h"

namespace dlg {

struct IconResource {
    int id;
};

namespace qt {

QString ToQString(std::string_view utf8);

// The application icon, from the built-in pixels.
QIcon IconFor(HIcon icon);
QPixmap PixmapFor(HIcon icon);

// The font of every dialog: the template's face, or an installed CJK face standing in for it.
QFont DialogFont(std::string_view face, int pointSize);

// What every run of the toolkit needs: the dialog font, the icon, Chinese texts in Qt's own
// dialogs. Called once the application object exists (by the program and by the tests).
void ConfigureApplication();

}  // namespace qt
}  // namespace dlg
