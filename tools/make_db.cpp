// Build step: writes the empty dbSchedules.mdb delivered next to the program.
#include "store/failure.h"
#include "store/schema.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvane_makedb PATH\n");
        return 2;
    }
    try {
        quorvane::createDeliveredDatabase(QString::fromLocal8Bit(argv[1]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorvane_makedb: %s\n", e.what());
        return 1;
    }
    return 0;
}
