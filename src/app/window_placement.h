#pragma once

class QWidget;

namespace morvantide {

class SettingsFile;

// Puts a window where the settings file says: "WindowTop" and "WindowLeft" in section
// "Settings", each against the primary screen's size; moving a window moves its outer frame and
// keeps its size. Call it once, before the window is first shown.
//
// A missing key keeps the window system's default place for that coordinate. On X11 that place
// is chosen by the window manager when the window is first mapped, so it is unknown before. With
// both keys the window appears where they say; with neither it is left alone; with one, the
// window is shown at its default place and then moved along the set coordinate only.
void PlaceWindowFromSettings(QWidget& window, const SettingsFile& settings);

} // namespace morvantide
