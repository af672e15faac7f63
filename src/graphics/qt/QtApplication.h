// Qt's fonts and painters need a QGuiApplication, also for headless export.
#pragma once

namespace vt {

// Makes sure a QGuiApplication exists, creating one when there is none. With
// neither DISPLAY nor WAYLAND_DISPLAY set (and no QT_QPA_PLATFORM chosen) it
// uses the offscreen platform, so export works without a display. A plain
// QCoreApplication that is already running cannot serve: EGraphicsError.
void EnsureGuiApplication();

}  // namespace vt
