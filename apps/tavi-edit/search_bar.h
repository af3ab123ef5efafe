// The search bar under tavi-edit's editor: the text to find, its replacement, Match Case
// and the buttons. It only gathers what the person wants; the main window searches.
// Enter finds the next match, Shift+Enter the previous one, Escape closes the bar.
#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tavi {

class SearchBar final : public QWidget {
  Q_OBJECT

 public:
  explicit SearchBar(QWidget* parent = nullptr);

  QString findText() const;
  QString replaceText() const;
  bool matchCase() const;
  // Shows the bar with the replacement row or without it, the focus in the find field.
  void open(bool withReplace);
  // Hides the bar (Escape, its close button) and says so.
  void dismiss();

  QLineEdit* findField() const { return find_; }
  QLineEdit* replaceField() const { return replace_; }
  QCheckBox* matchCaseBox() const { return matchCase_; }
  QPushButton* replaceButton() const { return replaceButton_; }
  QPushButton* replaceAllButton() const { return replaceAllButton_; }

 signals:
  void findRequested(bool up);
  void replaceRequested();
  void replaceAllRequested();
  // The text to find or the case rule changed: the marks of the matches follow.
  void searchChanged();
  void closed();

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  QLineEdit* find_;
  QLineEdit* replace_;
  QCheckBox* matchCase_;
  QPushButton* replaceButton_;
  QPushButton* replaceAllButton_;
  QWidget* replaceRow_;
};

}  // namespace tavi
