// Helpers of the framework layer that later dialogs rely on: reading an
// integer field, and the recent-file list with its settings file.
#include <QLineEdit>
#include <QTest>
#include <climits>

#include "framework/data_exchange.h"
#include "framework/recent_files.h"
#include "gui_test_support.h"

using namespace zofrin;
using namespace zofrin::test;

class FrameworkTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { UseScriptedUi(); }

  void cleanup() {
    const auto shown = MessageBoxes::TakeShown();
    QVERIFY2(shown.empty(), shown.empty() ? "" : qPrintable(shown.front().text));
  }

  void parseDialogInteger_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("value");
    QTest::newRow("digit") << "7" << true << 7;
    QTest::newRow("blanks around") << " \t7 \t" << true << 7;
    QTest::newRow("plus sign") << "+5" << true << 5;
    QTest::newRow("negative") << "-3" << true << -3;
    QTest::newRow("blanks before the sign") << "  -3" << true << -3;
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("zeros") << "00" << true << 0;
    QTest::newRow("leading zero") << "007" << true << 7;
    QTest::newRow("beyond a group size") << "40000" << true << 40000;
    QTest::newRow("largest") << "2147483647" << true << INT_MAX;
    QTest::newRow("overflow clamps") << "99999999999999" << true << INT_MAX;
    QTest::newRow("underflow clamps") << "-99999999999999" << true << INT_MIN;
    QTest::newRow("only the first 31 characters count")
        << QStringLiteral("7") + QString(30, QLatin1Char(' ')) + QStringLiteral("x") << true << 7;
    QTest::newRow("letter after digits") << "7a" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blanks only") << "   " << false << 0;
    QTest::newRow("plus zero") << "+0" << false << 0;
    QTest::newRow("minus zero") << "-0" << false << 0;
    QTest::newRow("sign alone") << "-" << false << 0;
    QTest::newRow("blank after the sign") << "- 7" << false << 0;
    QTest::newRow("two numbers") << "7 7" << false << 0;
    QTest::newRow("decimal point") << "7.0" << false << 0;
    QTest::newRow("non-breaking space") << QStringLiteral("\u00a07") << false << 0;
  }

  void parseDialogInteger() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(int, value);
    const std::optional<int> parsed = ParseDialogInteger(text);
    QCOMPARE(parsed.has_value(), accepted);
    if (accepted) QCOMPARE(*parsed, value);
  }

  // The validation helpers show their message once and put the field's text
  // up for correction.
  void validateInteger_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("in range") << "50" << "";
    QTest::newRow("not an integer") << "5x" << "Please enter an integer.";
    QTest::newRow("too large") << "40000" << "Please enter an integer between 1 and 32767.";
    QTest::newRow("zero") << "0" << "Please enter an integer between 1 and 32767.";
  }

  void validateInteger() {
    QFETCH(QString, text);
    QFETCH(QString, message);
    QWidget dialog;
    auto* field = new QLineEdit(text, &dialog);
    dialog.show();
    int value = -1;
    QCOMPARE(ValidateInteger(&dialog, field, 1, 32767, value), message.isEmpty());
    const auto shown = MessageBoxes::TakeShown();
    if (message.isEmpty()) {
      QCOMPARE(value, text.toInt());
      QVERIFY(shown.empty());
      return;
    }
    QCOMPARE(value, -1);
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].caption, QStringLiteral("Zofrin"));
    QCOMPARE(shown[0].text, message);
    QCOMPARE(shown[0].icon, QMessageBox::Warning);
    QCOMPARE(field->selectedText(), text);
  }

  void validateMaxChars() {
    QWidget dialog;
    auto* field = new QLineEdit(QString(6, QLatin1Char('x')), &dialog);
    QVERIFY(ValidateMaxChars(&dialog, field, 6));
    QVERIFY(MessageBoxes::TakeShown().empty());
    field->setText(QString(7, QLatin1Char('x')));
    QVERIFY(!ValidateMaxChars(&dialog, field, 6));
    const auto shown = MessageBoxes::TakeShown();
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].text, QStringLiteral("Please enter no more than 6 characters."));
  }

  void shorten_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("shown");
    QTest::newRow("short path") << "/home/ann/a.lse" << "/home/ann/a.lse";
    QTest::newRow("exactly 30") << "/home/ann/lists/customers1.lse"
                                << "/home/ann/lists/customers1.lse";
    QTest::newRow("31") << "/home/ann/lists/customers12.lse" << "/home/.../customers12.lse";
    QTest::newRow("deep path") << "/home/ann/projects/mail/lists/customers.lse"
                               << "/home/.../customers.lse";
    QTest::newRow("long first folder")
        << "/a-very-long-first-folder-name/x/list.lse" << ".../list.lse";
    QTest::newRow("long name") << "/home/" + QString(40, QLatin1Char('n')) + ".lse"
                               << QString(27, QLatin1Char('n')) + "...";
  }

  void shorten() {
    QFETCH(QString, path);
    QFETCH(QString, shown);
    const QString result = RecentFileList::Shorten(path, RecentFileList::kDisplayLength);
    QCOMPARE(result, shown);
    QVERIFY(result.size() <= 30);
  }

  // Four entries, newest first; the section is written exactly so, and the
  // rest of the settings file stays as it was.
  void recentFileListSettings() {
    QTemporaryDir dir;
    const QString ini = dir.filePath("zofrin/zofrin.ini");
    QDir().mkpath(dir.filePath("zofrin"));
    WriteBytes(ini, "[Window]\nx=1\n\n[Recent File List]\nFile1=/old/one.lse\n"
                    "File2=/old/two.lse\n\n[Last]\ny=2\n");
    RecentFileList recent;
    recent.Load(ini);
    QCOMPARE(recent.Paths(), QStringList({"/old/one.lse", "/old/two.lse"}));
    for (const char* path : {"/l/a.lse", "/l/b b.lse", "/l/c.lse", "/old/two.lse"}) {
      recent.Add(path);
    }
    QCOMPARE(recent.Paths(), QStringList({"/old/two.lse", "/l/c.lse", "/l/b b.lse", "/l/a.lse"}));
    QVERIFY(recent.Save(ini));
    QCOMPARE(ReadBytes(ini), QByteArray("[Window]\nx=1\n\n[Recent File List]\n"
                                        "File1=/old/two.lse\nFile2=/l/c.lse\n"
                                        "File3=/l/b b.lse\nFile4=/l/a.lse\n[Last]\ny=2\n"));
    RecentFileList again;
    again.Load(ini);
    QCOMPARE(again.Paths(), recent.Paths());
  }

  void settingsPath() {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/cfg");
    QCOMPARE(RecentFileList::SettingsPath(), QStringLiteral("/cfg/zofrin/zofrin.ini"));
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(RecentFileList::SettingsPath(), QDir::homePath() + "/.config/zofrin/zofrin.ini");
    qputenv("XDG_CONFIG_HOME", saved);
  }
};

ZOFRIN_GUI_TEST_MAIN(FrameworkTest)
#include "framework_test.moc"
