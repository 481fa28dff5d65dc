#pragma once

#include <QString>

// Where users reach us: the support mail of the window and of the import warnings, and the web
// site.
namespace ApplicationInfo {
inline const QString kSupportAddress = QStringLiteral("marquee-support@example.org");
inline const QString kWebsite = QStringLiteral("https://example.org/marquee");
} // namespace ApplicationInfo
