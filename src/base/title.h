#pragma once

namespace kinaru {
// The application title: the caption of message and error boxes.
inline constexpr const char* kApplicationTitle = "Kinaru Version 2.5 Prerelease.";
}  // namespace kinaru
