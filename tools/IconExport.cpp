// Build-time tool: writes the application icon for installation, as
// tvxmonitor.svg and as tvxmonitor-<size>.png for each size given.
//   tvx_icon_export OUTPUT_DIR SIZE...
#include "res/AppIcon.h"
#include "res/AppIconSvg.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: tvx_icon_export OUTPUT_DIR SIZE...\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::ofstream svg(dir + "/tvxmonitor.svg", std::ios::binary | std::ios::trunc);
    svg << tvx::res::IconSvg(tvx::res::kAppIconShapes);
    svg.close();
    if (!svg) {
        std::fprintf(stderr, "tvx_icon_export: cannot write %s/tvxmonitor.svg\n", dir.c_str());
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QString path = QString::fromStdString(dir) + "/tvxmonitor-" + QString::number(size) + ".png";
        if (size <= 0 || size > 1024 || !tvx::res::PaintApplicationIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "tvx_icon_export: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
