#include "recent_files.h"

#include <QFileInfo>

namespace tavi {

namespace {

const QString kKey = QStringLiteral("recentFiles");

}  // namespace

QStringList RecentFiles::entries() {
  const QStringList stored = settings_.value(kKey).toStringList();
  QStringList existing;
  for (const QString& path : stored)
    if (QFileInfo(path).isFile()) existing << path;
  if (existing != stored) store(existing);
  return existing;
}

void RecentFiles::add(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  QStringList list = settings_.value(kKey).toStringList();
  list.removeAll(absolute);
  list.prepend(absolute);
  store(list.mid(0, kMaxEntries));
}

void RecentFiles::remove(const QString& path) {
  QStringList list = settings_.value(kKey).toStringList();
  list.removeAll(QFileInfo(path).absoluteFilePath());
  store(list);
}

void RecentFiles::store(const QStringList& entries) {
  settings_.setValue(kKey, entries);
  settings_.sync();
}

}  // namespace tavi
