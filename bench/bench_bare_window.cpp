// The baseline of the start-up benchmark: a program that links Qt Widgets
// only and builds the main window's widgets (bench/bare_window.h). It shows
// the window and waits until it is closed.
#include "bench/bare_window.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
    const std::unique_ptr<QWidget> window = quorvane::bench::makeBareWindow();
    window->show();
    return app.exec();
}
