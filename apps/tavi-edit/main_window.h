// The main window of tavi-edit: one script-editor control sized with the window, the
// File, Edit, Search and Lock menus, and a status bar with notices, the caret's line and
// column and the file's format. Files are read and written by script_files.h, in the
// format they came in.
#pragma once

#include <QMainWindow>
#include <QString>

#include "shell/script_file.h"

class QAction;
class QLabel;

namespace tavi {

class TaviColorTextWidget;

class MainWindow final : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow();

  TaviColorTextWidget& editor() const { return *editor_; }
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
  void find();
  void findAgain(bool up);
  void replace();
  void replaceAll();
  void goToLine();
  void print();
  void printToPdf();
  void lock();
  void updateTitle();
  void updateStatus();
  // Asks for the text to find (and the replacement); false when cancelled.
  bool askSearch(bool withReplacement);

  TaviColorTextWidget* editor_;
  QLabel* position_;
  QAction* matchCase_ = nullptr;
  QAction* lock_ = nullptr;
  QLabel* format_;  // the file's encoding and line breaks
  QString path_;
  ScriptFormat fileFormat_;  // what saving writes: the format the file was read in
  QString saved_;            // the text the file holds, as last loaded or saved
  QString findText_;
  QString replaceText_;
};

}  // namespace tavi
