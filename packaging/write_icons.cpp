#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <QImage>
#include <QString>

#include "res/app_icon.h"

#include "ui/qt/app_icon_image.h"

// Writes the application icon for the hicolor theme: <folder>/<size>/<name>.png for each size
// given, and the vector source as <folder>/scalable/<name>.svg.
namespace {

bool WritePng(const std::string& folder, const std::string& name, int size) {
    if (size <= 0 || size > 1024) {
        std::fprintf(stderr, "%d is not an icon size\n", size);
        return false;
    }
    const std::string path = folder + "/" + std::to_string(size) + "/" + name + ".png";
    if (!AppIconImage(static_cast<std::size_t>(size)).save(QString::fromStdString(path), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool WriteSvg(const std::string& folder, const std::string& name) {
    const std::string path = folder + "/scalable/" + name + ".svg";
    std::ofstream file(path, std::ios::binary);
    file << res::AppIconSvg();
    if (!file.flush()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FOLDER NAME SIZE...\n", argv[0]);
        return 2;
    }
    if (!WriteSvg(argv[1], argv[2])) {
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        if (!WritePng(argv[1], argv[2], std::atoi(argv[i]))) {
            return 1;
        }
    }
    return 0;
}
