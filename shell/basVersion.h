#pragma once
// The program's version as the about view shows it and the updater is told.

inline constexpr int kVersionMajor = 3;
inline constexpr int kVersionMinor = 5;
inline constexpr int kVersionRevision = 1;
