// The recent-file list: the four list files last opened or saved, newest
// first, kept in the settings file's "[Recent File List]" section as File1
// to File4. The file is read and written by a small INI reader of our own,
// since the section name holds blanks that a general settings class would
// escape; other sections of the file are kept as they are.
#pragma once

#include <QString>
#include <QStringList>

namespace zofrin {

class RecentFileList {
 public:
  static constexpr int kSize = 4;
  static constexpr int kDisplayLength = 30;

  // Moves `path` to the front, dropping the oldest beyond four.
  void Add(const QString& path);
  void Remove(int index);
  const QStringList& Paths() const { return m_paths; }
  int Count() const { return static_cast<int>(m_paths.size()); }

  // The menu's name for entry `index`, shortened to 30 characters.
  QString DisplayName(int index) const;
  static QString Shorten(const QString& path, int length);

  // The settings file: $XDG_CONFIG_HOME/zofrin/zofrin.ini, or
  // ~/.config/zofrin/zofrin.ini when that is not set.
  static QString SettingsPath();
  void Load(const QString& settingsPath);
  // Answers false when the file could not be written.
  bool Save(const QString& settingsPath) const;

 private:
  QStringList m_paths;
};

}  // namespace zofrin
