#include <QtTest>

#include "gui_test_support.h"

class Placeholder : public QObject {
  Q_OBJECT
};

ZOFRIN_GUI_TEST_MAIN(Placeholder)

#include "address_commands_test.moc"
