// Build step: draws the program's icon for the desktop's icon theme, one PNG
// picture per size, as FOLDER/<N>x<N>/apps/NAME.png.
#include "widgets/program_icon.h"

#include <QDir>
#include <QImage>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: quorvane_icons FOLDER NAME SIZE...\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        bool number = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&number);
        if (!number || size < 1) {
            std::fprintf(stderr, "quorvane_icons: not a size: %s\n", argv[i]);
            return 2;
        }
        const QString appsFolder = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        const QString path = appsFolder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(appsFolder) || !quorvane::programIconImage(size).save(path, "PNG")) {
            std::fprintf(stderr, "quorvane_icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
