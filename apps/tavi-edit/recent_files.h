// File > Open Recent: the scripts opened or saved last, most recent first, at most eight,
// kept in the application's settings (QSettings) from one run to the next.
#pragma once

#include <QSettings>
#include <QStringList>

namespace tavi {

class RecentFiles {
 public:
  static constexpr int kMaxEntries = 8;

  explicit RecentFiles(QSettings& settings) : settings_(settings) {}

  // The list with files that no longer exist dropped (and forgotten).
  QStringList entries();
  // Puts `path` first (once).
  void add(const QString& path);
  void remove(const QString& path);

 private:
  void store(const QStringList& entries);

  QSettings& settings_;
};

}  // namespace tavi
