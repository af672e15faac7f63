#include "graphics/qt/QtApplication.h"

#include <QGuiApplication>
#include <cstdlib>

#include "graphics/Graphics.h"

namespace vt {

inline constexpr const char* SNoGuiApplication =
    "A non-graphical Qt application is running; pictures need a QGuiApplication";

namespace {

bool EnvironmentSet(const char* Name) {
  const char* V = std::getenv(Name);
  return V != nullptr && *V != '\0';
}

}  // namespace

void EnsureGuiApplication() {
  if (QCoreApplication* App = QCoreApplication::instance()) {
    if (!qobject_cast<QGuiApplication*>(App)) throw EGraphicsError(SNoGuiApplication);
    return;
  }
  if (!EnvironmentSet("QT_QPA_PLATFORM") && !EnvironmentSet("DISPLAY") && !EnvironmentSet("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt keeps references to argc and argv for the application's lifetime; the
  // application itself lives until the process ends (destroying it during
  // static destruction would race Qt's own globals).
  static int Argc = 1;
  static char Name[] = "varntree";
  static char* Argv[] = {Name, nullptr};
  static QGuiApplication* App = new QGuiApplication(Argc, Argv);
  (void)App;
}

}  // namespace vt

#if defined(__SANITIZE_ADDRESS__)
// fontconfig keeps its caches until the process ends and never frees them;
// the leak checker would report them in every program that draws text.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
#endif
