#include "widgets/window_place.h"

#include <QEvent>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

namespace quorvane {

namespace {
const QString kGeometryKey = QStringLiteral("MainWindow/geometry");
} // namespace

WindowPlace::WindowPlace(QWidget* window, const QString& settingsFile)
    : QObject(window), m_window(window), m_file(settingsFile)
{
    const QSettings settings(m_file, QSettings::IniFormat);
    // Qt's own record of a window's place moves a window that no screen
    // shows back onto one, and refuses what it cannot read.
    if (settings.status() == QSettings::NoError)
        m_window->restoreGeometry(settings.value(kGeometryKey).toByteArray());
    window->installEventFilter(this);
}

QString WindowPlace::userSettingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/quorvane/quorvane.conf");
}

void WindowPlace::save() const
{
    QSettings settings(m_file, QSettings::IniFormat);
    settings.setValue(kGeometryKey, m_window->saveGeometry());
    settings.sync();
}

bool WindowPlace::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Close)
        save();
    return QObject::eventFilter(watched, event);
}

} // namespace quorvane
