// Renders the program icon into the PNG files a desktop installation needs:
// make_icons OUTDIR writes OUTDIR/<size>/kavlon2.png for every size.
#include "app/ProgramIcon.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons OUTDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QString::number(size);
        if (!out.mkpath(folder)
            || !kavlon::ProgramIconImage(size).save(
                out.filePath(folder + QStringLiteral("/kavlon2.png")))) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(out.filePath(folder)));
            return 1;
        }
    }
    return 0;
}
