#include <QtTest>

#include "gui_test_support.h"

class Placeholder : public QObject {
  Q_OBJECT
};

ZOFRIN_GUI_TEST_MAIN(Placeholder)

#include "extract_dialog_test.moc"
