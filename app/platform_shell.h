// What the window program does differently on each platform: the start-up
// steps only some platforms have, and where the about box is reached from.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace kt9 {

// Before the main window: where the platform has them, registers the program
// for restart after a crash or an update and names its settings key (nothing
// is ever stored there). Nothing elsewhere.
void PlatformStartUp();

// Makes `showAbout` reachable from `window` under the entry text `text`: the
// window's system menu where the platform has one; elsewhere the window's
// context menu and F1.
void InstallAboutEntry(QWidget& window, const QString& text, std::function<void()> showAbout);

}  // namespace kt9
