#pragma once

#include <QString>

#include <array>

namespace nimbrel::program {

// The sizes the icon theme gets: appIconSizes, and 256 for large views of the applications menu.
inline constexpr std::array<int, 8> themeIconSizes{16, 22, 24, 32, 48, 64, 128, 256};

// Installs the icon into an icon theme's folder (such as ~/.local/share/icons/hicolor) as
// <size>x<size>/apps/nimbrel.png for each of themeIconSizes, so that the desktop finds the
// icon the autostart entry names. Each file is replaced in one step, so that a program
// killed meanwhile leaves the old file or the new. False when a file could not be written.
bool writeIconFiles(const QString& themeDir);

// Writes those of the theme folder's icon files that are missing, empty or no picture of
// their size (left so by an earlier version killed while it wrote them); the others stay.
// False when a file could not be written.
bool repairIconFiles(const QString& themeDir);

// The user's own hicolor icon theme folder.
QString userIconTheme();

} // namespace nimbrel::program
