// Build step: writes the empty dbSchedules.mdb delivered with the program.
// An existing file is left exactly as it is: the one beside the built
// program may hold the timetables of whoever ran it.
#include "base/failure.h"
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
        if (!quorvane::createDeliveredDatabase(QString::fromLocal8Bit(argv[1])))
            std::printf("%s exists; kept as it is\n", argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorvane_makedb: %s\n", e.what());
        return 1;
    }
    return 0;
}
