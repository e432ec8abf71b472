// Shared set-up of the GUI tests: an isolated home for settings and desktop
// files, scripted message boxes and file dialogs, and small helpers for
// list files and list contents.
#pragma once

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <unistd.h>

#include "address/address_set.h"
#include "address/list_file.h"
#include "address/sorted_list.h"
#include "framework/file_dialogs.h"
#include "framework/message_box.h"

namespace zofrin::test {

// Settings and desktop files go to a temporary folder removed at exit, so a
// test run never touches the real home; the offscreen platform is the
// default when nothing else is asked for.
inline void IsolateEnvironment() {
  static QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/config")));
  qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + QStringLiteral("/data")));
  qputenv("ZOFRIN_NO_REGISTER", "1");
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

inline QString SettingsFile() {
  return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/zofrin/zofrin.ini");
}

inline bool RunningAsRoot() { return ::geteuid() == 0; }

// No box or dialog is shown: each is recorded and answered from a queue.
inline void UseScriptedUi() {
  MessageBoxes::SetScripted(true);
  FileDialogs::SetScripted(true);
}

inline AddressSet MakeSet(const QStringList& addresses) {
  AddressSet set;
  for (const QString& address : addresses) set.Store(address.toStdString());
  return set;
}

inline QByteArray ListBytes(const QStringList& addresses) {
  const std::string bytes = WriteListBytes(MakeSet(addresses));
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline QByteArray SetBytes(const AddressSet& set) {
  const std::string bytes = WriteListBytes(set);
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
  QCOMPARE(file.write(bytes), bytes.size());
}

inline QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QByteArray("<cannot read>");
  return file.readAll();
}

// The texts of a list, top to bottom.
inline QStringList Texts(const SortedAddressList& list) {
  QStringList texts;
  for (std::size_t i = 0; i < list.Count(); ++i) {
    const std::string_view text = list.Text(i);
    texts << QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  }
  return texts;
}

// The keys of a set, sorted, so that they compare with a list's texts.
inline QStringList SortedKeys(const AddressSet& set) {
  QStringList keys;
  set.ForEach([&](std::string_view key, std::string_view) {
    keys << QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
  });
  std::sort(keys.begin(), keys.end(), [](const QString& a, const QString& b) {
    return CompareDisplay(a.toStdString(), b.toStdString()) < 0;
  });
  return keys;
}

inline QList<int> SelectedIndexes(const SortedAddressList& list) {
  QList<int> selected;
  for (std::size_t index : list.SelectedIndexes()) selected << static_cast<int>(index);
  return selected;
}

// The entries of a folder, to show that nothing was left behind in it.
inline QStringList FolderEntries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                    QDir::NoDotAndDotDot,
                                QDir::Name);
}

}  // namespace zofrin::test

// A test program's main(): the environment is isolated before the
// application object exists.
#define ZOFRIN_GUI_TEST_MAIN(TestClass)          \
  int main(int argc, char** argv) {              \
    zofrin::test::IsolateEnvironment();          \
    QApplication application(argc, argv);        \
    TestClass test;                              \
    return QTest::qExec(&test, argc, argv);      \
  }
