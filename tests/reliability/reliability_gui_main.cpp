// The desktop program's reliability tests share one program; the first
// argument names the test class to run, the rest go to Qt Test.
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <vector>

#include "gui_test_support.h"
#include "reliability_gui_tests.h"

int main(int argc, char** argv) {
  zofrin::test::IsolateEnvironment();
  QApplication application(argc, argv);
  struct Entry {
    const char* name;
    int (*run)(int, char**);
  };
  const Entry tests[] = {
      {"damaged", zofrin::test::RunDamagedListsGuiTest},
      {"save", zofrin::test::RunSaveFailuresGuiTest},
      {"extract", zofrin::test::RunExtractFailuresGuiTest},
      {"soak", zofrin::test::RunSoakTest},
  };
  if (argc >= 2) {
    for (const Entry& test : tests) {
      if (std::strcmp(argv[1], test.name) != 0) continue;
      std::vector<char*> rest = {argv[0]};
      rest.insert(rest.end(), argv + 2, argv + argc);
      return test.run(static_cast<int>(rest.size()), rest.data());
    }
  }
  std::fprintf(stderr, "usage: %s damaged|save|extract|soak [Qt Test options]\n", argv[0]);
  return 2;
}
