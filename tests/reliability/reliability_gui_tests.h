// The test classes of the desktop program's reliability tests, each run by
// its own function with Qt Test's arguments.
#pragma once

namespace zofrin::test {

int RunDamagedListsGuiTest(int argc, char** argv);
int RunSaveFailuresGuiTest(int argc, char** argv);
int RunExtractFailuresGuiTest(int argc, char** argv);
int RunSoakTest(int argc, char** argv);

}  // namespace zofrin::test
