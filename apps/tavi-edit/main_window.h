// The main window of tavi-edit: one script-editor control sized with the window, the
// search bar under it, the File, Edit, View and Search menus, and a status bar with
// notices, the caret's line and column and the file's format. Files are read and written
// by script_files.h, in the format they came in.
#pragma once

#include <QMainWindow>
#include <QString>

#include <memory>

#include "recent_files.h"
#include "shell/script_file.h"

class QAction;
class QLabel;
class QMenu;
class QSettings;

namespace tavi {

class SearchBar;
class TaviColorTextWidget;
class ViewMarks;

class MainWindow final : public QMainWindow {
  Q_OBJECT

 public:
  // `settings` keeps the recent files; the application's own settings when none is given.
  explicit MainWindow(QSettings* settings = nullptr);
  ~MainWindow() override;

  TaviColorTextWidget& editor() const { return *editor_; }
  SearchBar& searchBar() const { return *searchBar_; }
  const ViewMarks& marks() const { return *marks_; }
  // Loads the script at `path` through the control's Text, the whole of it: the control's
  // Length is raised for a long file. A missing file gives an empty editor titled with its
  // name (saving creates it). False, with `error` naming the file, when the file cannot be
  // read or is no text; nothing changes then.
  bool loadFile(const QString& path, QString& error);
  // loadFile, telling the person why not.
  bool openFile(const QString& path);
  // A message box with the application's title and a warning sign.
  void reportError(const QString& message);
  bool isModified() const;
  // Prints the script's listing to a PDF file without asking; true when the file was
  // written.
  bool printPdf(const QString& path);

  // The search bar's commands (Find Next, Replace, ...), as its buttons and the menu run
  // them. Each tells the person when the bar's search text is empty.
  void findAgain(bool up);
  // Replaces the selection when it is a match of the search text (with the search's case
  // rule) and selects the next match; otherwise only selects the next match, so that
  // Replace never overwrites text the person has not seen found.
  void replaceOnce();
  void replaceAll();
  // Locks (DisableControl) or unlocks (Unlock) the script; Edit > Lock.
  void setLocked(bool locked);

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void buildMenus();
  void open();
  bool save();
  bool saveAs();
  bool writeFile(const QString& path);
  // Asks before unsaved changes would be lost; false when the user cancels.
  bool confirmDiscard();
  // False, with a message, when the search bar has no text to find.
  bool haveSearchText();
  void goToLine();
  void print();
  void printToPdf();
  void colourAll();
  // Zooms the text and the gutter's numbers by `steps` (0: back to the usual size).
  void zoom(int steps);
  void fillRecentMenu();
  void updateTitle();
  void updateStatus();

  TaviColorTextWidget* editor_;
  SearchBar* searchBar_;
  ViewMarks* marks_;
  QLabel* notice_;  // what opening the file brought to light
  QLabel* position_;
  QLabel* format_;  // the file's encoding and line breaks
  std::unique_ptr<QSettings> ownSettings_;
  RecentFiles recent_;
  QMenu* recentMenu_ = nullptr;
  QAction* lock_ = nullptr;
  QList<QAction*> editActions_;  // the commands a locked script refuses
  int zoom_ = 0;                 // steps from the usual text size
  QString path_;
  ScriptFormat fileFormat_;  // what saving writes: the format the file was read in
  QString saved_;            // the text the file holds, as last loaded or saved
};

}  // namespace tavi
