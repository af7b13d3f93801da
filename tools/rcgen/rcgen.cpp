// Writes the Windows program's resource script and icon from the data in res/, so the .rc is
// never edited by hand. Built and run on the build machine, also when cross-compiling.
//   rcgen <script.rc> <icon.ico> <manifest> <original file name>
// The manifest is read by the resource compiler, from the path given.

#include <cstdio>
#include <fstream>
#include <string>

#include "icon_file.h"
#include "resource_script.h"

namespace {

bool WriteFile(const char* path, const char* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data, static_cast<std::streamsize>(size));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr,
                     "usage: rcgen <script.rc> <icon.ico> <manifest> <original file name>\n");
        return 2;
    }
    const auto icon = rcgen::IconFile();
    const std::string script = rcgen::ResourceScript(argv[2], argv[3], argv[4]);
    if (!WriteFile(argv[2], reinterpret_cast<const char*>(icon.data()), icon.size()) ||
        !WriteFile(argv[1], script.data(), script.size())) {
        std::fprintf(stderr, "rcgen: cannot write %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    return 0;
}
