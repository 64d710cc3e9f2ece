#include "base/app_info.h"

#include <QDateTime>
#include <QFileInfo>

namespace quorvane {

namespace {
QString& titleStorage()
{
    static QString title = kProductName;
    return title;
}
} // namespace

QString applicationTitle()
{
    return titleStorage();
}

void setApplicationTitle(const QString& title)
{
    titleStorage() = title;
}

QString cutAppTitle(const QString& productName)
{
    QString text = productName;
    do {
        const int blank = text.lastIndexOf(QLatin1Char(' '));
        if (blank < 0)
            break;
        text = text.left(blank);
    } while (text.size() > 40);
    return text;
}

void SetAppTitle()
{
    setApplicationTitle(cutAppTitle(kProductName));
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && info.lastModified().isValid();
}

} // namespace quorvane
