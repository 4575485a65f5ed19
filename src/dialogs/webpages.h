#pragma once
// The maker's web pages that the settings dialog opens. Kept here alone so
// that a move of the site is a change of one line.
#include <QString>

namespace kinaru {

inline QString makerHomePage() { return QStringLiteral("https://www.mobrek.example/"); }
// The latest-information page lies in the home page's folder.
inline QString latestInformationPage() { return makerHomePage() + QStringLiteral("newest.html"); }

}  // namespace kinaru
