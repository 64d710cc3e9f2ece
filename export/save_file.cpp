#include "export/save_file.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace quorvane {

bool sameFile(const QString& a, const QString& b)
{
    struct stat first
    {};
    struct stat second
    {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

QString exportRefusal(const QString& target, const QString& databasePath)
{
    if (sameFile(target, databasePath))
        return QStringLiteral("it is the program's own database");
    const QFileInfo chosen(target);
    if (chosen.exists() && !chosen.isFile())
        return QStringLiteral("it is not a regular file");
    return QString();
}

std::optional<ExportFormat> exportFormatOf(const QString& fileName)
{
    static const std::pair<QLatin1String, ExportFormat> extensions[] = {
        {QLatin1String("bmp"), ExportFormat::Bmp},   {QLatin1String("png"), ExportFormat::Png},
        {QLatin1String("pdf"), ExportFormat::Pdf},   {QLatin1String("xls"), ExportFormat::Xls},
        {QLatin1String("xlsx"), ExportFormat::Xlsx}, {QLatin1String("csv"), ExportFormat::Csv},
        {QLatin1String("ics"), ExportFormat::Ics},
    };
    const QString suffix = QFileInfo(fileName).suffix();
    for (const auto& [extension, format] : extensions)
        if (suffix.compare(extension, Qt::CaseInsensitive) == 0)
            return format;
    return std::nullopt;
}

ExportKind kindOf(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Bmp:
    case ExportFormat::Png:
    case ExportFormat::Pdf:
        return ExportKind::Picture;
    case ExportFormat::Xls:
    case ExportFormat::Xlsx:
    case ExportFormat::Csv:
        return ExportKind::Workbook;
    case ExportFormat::Ics:
        break;
    }
    return ExportKind::Calendar;
}

std::optional<ExportKind> exportKindOf(const QString& fileName)
{
    const std::optional<ExportFormat> format = exportFormatOf(fileName);
    return format ? std::optional<ExportKind>(kindOf(*format)) : std::nullopt;
}

} // namespace quorvane
