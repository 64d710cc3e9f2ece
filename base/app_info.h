#pragma once

#include <QString>

namespace quorvane {

inline const QString kProductName = QStringLiteral("Quorvane");
inline const QString kVersion = QStringLiteral(QUORVANE_VERSION);
// The licence, as an SPDX expression.
inline const QString kLicence = QStringLiteral("GPL-3.0-or-later");
// Where users send a screenshot of an error box.
inline const QString kSupportAddress = QStringLiteral("support@quorvane.example");

// The title of every message box given none of its own.
QString applicationTitle();
void setApplicationTitle(const QString& title);

// The product name cut back at blanks, at least once, until it is at most 40
// characters; a name without a blank serves as it is.
QString cutAppTitle(const QString& productName);
void SetAppTitle();

// True when the file's date and time can be read; never raises.
bool FileExists(const QString& path);

} // namespace quorvane
