#include "app/form1.h"
#include "app/qt_prompts.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    quorvane::QtPrompts prompts;
    quorvane::Form1 window(QCoreApplication::applicationDirPath(), prompts);
    if (!window.Form_Load())
        return 0;
    QObject::connect(&window, &quorvane::Form1::unloaded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();
    return app.exec();
}
