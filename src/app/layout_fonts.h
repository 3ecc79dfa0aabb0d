#pragma once

#include <QFont>

namespace morvantide {

// The windows were laid out for Windows fonts ("Courier", "Arial", "MS Sans Serif",
// "Bastarda"). These are the nearest faces Debian ships, registered with Qt as their stand-ins;
// done once at start, before any window is made.
void SubstituteLayoutFonts();

// A font of the layout: its own family where a machine has it, else its installed stand-ins,
// at a size in pixels.
QFont LayoutFont(const char* family, int pixelSize, bool bold = false);

// The main window's face: Courier, bold.
inline QFont CourierBold(int pixelSize) {
    return LayoutFont("Courier", pixelSize, true);
}

} // namespace morvantide
