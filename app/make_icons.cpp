// Writes the program's and the list files' icons as PNG files, one folder
// per size, for installing into the desktop's icon theme.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "framework/icons.h"

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: zofrin_make_icons FOLDER\n");
    return 2;
  }
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const QString folder = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/%1").arg(size);
    QDir().mkpath(folder);
    if (!zofrin::ProgramPixmap(size).save(folder + QStringLiteral("/zofrin.png")) ||
        !zofrin::ListFilePixmap(size).save(folder +
                                           QStringLiteral("/application-x-zofrin-list.png"))) {
      std::fprintf(stderr, "zofrin_make_icons: cannot write %s\n", qPrintable(folder));
      return 1;
    }
  }
  return 0;
}
