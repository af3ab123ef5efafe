// The main window of tavi-edit: one script-editor control sized with the window, the
// File, Edit, Search and Lock menus, and a status bar with the caret's line and column.
#pragma once

#include <QMainWindow>
#include <QString>

class QAction;
class QLabel;

namespace tavi {

class TaviColorTextWidget;

class MainWindow final : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow();

  TaviColorTextWidget& editor() const { return *editor_; }
  // Loads a script through the control's Text; false (with a message) when unreadable.
  bool openFile(const QString& path);
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
  QString path_;
  QString saved_;  // the text as last loaded or saved
  QString findText_;
  QString replaceText_;
};

}  // namespace tavi
