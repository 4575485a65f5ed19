#pragma once
// The maker's web pages that the settings dialog opens. Kept here alone so
// that a move of the site is a change of one line.
#include <string>

namespace kinaru {

inline std::string makerHomePage() { return "https://www.mobrek.example/"; }
// The latest-information page lies in the home page's folder.
inline std::string latestInformationPage() { return makerHomePage() + "newest.html"; }

}  // namespace kinaru
