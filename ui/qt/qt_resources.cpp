#include "ui/qt/qt_resources.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>

#include <QApplication>
#include <QImage>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmap>
#include <QStringList>
#include <QTranslator>

#include "res/app_icon.h"
#include "res/resource_ids.h"
#include "res/version.h"

#include "ui/framework/dialog.h"
#include "ui/qt/app_icon_image.h"

namespace dlg {
namespace {

constexpr IconResource MAIN_ICON{res::IDR_MAINFRAME};

// The window's icons at each of its sizes, one after the other, drawn from the vector source when
// the program was built (tools/window_icons): at start they are only copied.
constexpr std::uint32_t WINDOW_ICONS[] = {
#include "ui/window_icons.inc"
};
static_assert(std::size(WINDOW_ICONS) == [] {
    std::size_t pixels = 0;
    for (const std::size_t side : res::WINDOW_ICON_SIZES) {
        pixels += side * side;
    }
    return pixels;
}());

}  // namespace

HIcon LoadIconResource(int id) {
    return id == res::IDR_MAINFRAME ? &MAIN_ICON : nullptr;
}

int GetSystemMetrics(int index) {
    return index == METRIC_ICON_WIDTH || index == METRIC_ICON_HEIGHT
               ? static_cast<int>(res::ICON_SIZE)
               : 0;
}

namespace qt {

QString ToQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QPixmap PixmapFor(HIcon icon) {
    return icon != nullptr ? QPixmap::fromImage(AppIconImage()) : QPixmap();
}

QIcon IconFor(HIcon icon) {
    // The application and each of its windows carry the same images, in several sizes so that
    // title bars and task lists at any scale get a sharp one.
    QIcon set;
    if (icon != nullptr) {
        std::span<const std::uint32_t> pixels(WINDOW_ICONS);
        for (const std::size_t side : res::WINDOW_ICON_SIZES) {
            set.addPixmap(QPixmap::fromImage(IconImageOf(pixels, side)));
            pixels = pixels.subspan(side * side);
        }
    }
    return set;
}

QFont DialogFont(std::string_view face, int pointSize) {
    QFont font;
    // Simplified Chinese faces that Debian ships stand in where the template's face is missing.
    font.setFamilies({ToQString(face), QStringLiteral("SimSun"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Droid Sans Fallback")});
    font.setPointSize(pointSize);
    return font;
}

void ConfigureApplication() {
    // No display name: Qt would add it to every title, which is the template's caption alone.
    // Named after the desktop entry, so that docks and window lists match the window to it.
    QApplication::setApplicationName(QStringLiteral(TRELLAN_APP_ID));
    QApplication::setDesktopFileName(QStringLiteral(TRELLAN_APP_ID));
    QApplication::setWindowIcon(IconFor(LoadIconResource(res::IDR_MAINFRAME)));
    QApplication::setFont(DialogFont("宋体", 9));
    // Qt's own texts (the edit fields' context menu) in the program's language, when installed.
    auto* translator = new QTranslator(qApp);
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    }
}

}  // namespace qt
}  // namespace dlg
