#include <QApplication>
#include <cstdio>
#include <string_view>

#include "app/zofrin_app.h"
#include "resources/texts.h"

int main(int argc, char** argv) {
  // Without a display there is nothing to show a window on: say so plainly
  // instead of the toolkit's abort.
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    bool platformArgument = false;
    for (int i = 1; i < argc; ++i) platformArgument |= std::string_view(argv[i]) == "-platform";
    if (!platformArgument) {
      std::fprintf(stderr, "%s\n", zofrin::texts::kNoDisplay);
      return 1;
    }
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zofrin"));
  QApplication::setApplicationVersion(QStringLiteral("1.0.0.1"));
  QApplication::setDesktopFileName(QStringLiteral("zofrin"));
  zofrin::CZofrinApp app;
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  if (!app.InitInstance(arguments)) return app.ExitCode();
  return QApplication::exec();
}
