#include <cstdio>
#include <cstdlib>
#include <string>

#include <QImage>
#include <QString>

#include "res/app_icon.h"

#include "ui/qt/app_icon_image.h"

// Writes the application icon as <folder>/<size>/<name>.png for each size given, each a whole
// multiple of the 32-pixel icon, enlarged pixel for pixel so that it stays crisp in the menus.
namespace {

bool WriteSize(const QImage& icon, const std::string& folder, const std::string& name, int size) {
    if (size <= 0 || size % static_cast<int>(res::ICON_SIZE) != 0) {
        std::fprintf(stderr, "%d is not a whole multiple of %zu\n", size, res::ICON_SIZE);
        return false;
    }
    const std::string path = folder + "/" + std::to_string(size) + "/" + name + ".png";
    // Nearest neighbour: every icon pixel becomes a square block of the same colour.
    const QImage scaled = icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (!scaled.save(QString::fromStdString(path), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s FOLDER NAME SIZE...\n", argv[0]);
        return 2;
    }
    const QImage icon = AppIconImage();
    for (int i = 3; i < argc; ++i) {
        if (!WriteSize(icon, argv[1], argv[2], std::atoi(argv[i]))) {
            return 1;
        }
    }
    return 0;
}
