#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace quorvane {

// Keeps a window's size and place, maximised or not, from one run to the
// next in a settings file: restored when made, written when the window
// closes. A missing or unreadable file, or a place that no screen shows, is
// ignored, and a file that cannot be written costs nothing but the place.
class WindowPlace : public QObject
{
    Q_OBJECT
public:
    // Restores the place the file holds for the window, if any.
    WindowPlace(QWidget* window, const QString& settingsFile);

    // The program's settings file in the user's configuration folder
    // ($XDG_CONFIG_HOME, else ~/.config): quorvane/quorvane.conf.
    static QString userSettingsFile();

    void save() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    QString m_file;
};

} // namespace quorvane
