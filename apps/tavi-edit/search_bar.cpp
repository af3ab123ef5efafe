#include "search_bar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace tavi {

namespace {

// A row of the bar: a label of the same width in both rows, then the field and buttons.
QHBoxLayout* row(QWidget* owner, const QString& caption, QLineEdit* field, int labelWidth) {
  auto* layout = new QHBoxLayout(owner);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* label = new QLabel(caption, owner);
  label->setBuddy(field);
  label->setFixedWidth(labelWidth);
  layout->addWidget(label);
  layout->addWidget(field, 1);
  return layout;
}

}  // namespace

SearchBar::SearchBar(QWidget* parent)
    : QWidget(parent),
      find_(new QLineEdit(this)),
      replace_(new QLineEdit(this)),
      matchCase_(new QCheckBox(tr("Match &case"), this)),
      replaceButton_(new QPushButton(tr("&Replace"), this)),
      replaceAllButton_(new QPushButton(tr("Replace &All"), this)),
      replaceRow_(new QWidget(this)) {
  const int labelWidth = fontMetrics().horizontalAdvance(tr("Replace with:")) + 8;
  auto* findRow = new QWidget(this);
  QHBoxLayout* findLayout = row(findRow, tr("Find:"), find_, labelWidth);
  auto* previous = new QPushButton(tr("&Previous"), findRow);
  auto* next = new QPushButton(tr("&Next"), findRow);
  auto* close = new QToolButton(findRow);
  close->setText(QStringLiteral("\u2715"));
  close->setToolTip(tr("Close the search bar (Escape)"));
  close->setAutoRaise(true);
  findLayout->addWidget(previous);
  findLayout->addWidget(next);
  findLayout->addWidget(matchCase_);
  findLayout->addWidget(close);

  replace_->setParent(replaceRow_);
  QHBoxLayout* replaceLayout = row(replaceRow_, tr("Replace with:"), replace_, labelWidth);
  replaceButton_->setParent(replaceRow_);
  replaceAllButton_->setParent(replaceRow_);
  replaceLayout->addWidget(replaceButton_);
  replaceLayout->addWidget(replaceAllButton_);
  replaceLayout->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(4);
  layout->addWidget(findRow);
  layout->addWidget(replaceRow_);

  find_->setPlaceholderText(tr("Text to find"));
  find_->setClearButtonEnabled(true);
  connect(find_, &QLineEdit::textChanged, this, &SearchBar::searchChanged);
  connect(matchCase_, &QCheckBox::toggled, this, &SearchBar::searchChanged);
  connect(previous, &QPushButton::clicked, this, [this] { emit findRequested(true); });
  connect(next, &QPushButton::clicked, this, [this] { emit findRequested(false); });
  connect(replaceButton_, &QPushButton::clicked, this, &SearchBar::replaceRequested);
  connect(replaceAllButton_, &QPushButton::clicked, this, &SearchBar::replaceAllRequested);
  connect(close, &QToolButton::clicked, this, &SearchBar::dismiss);
  hide();
}

QString SearchBar::findText() const { return find_->text(); }
QString SearchBar::replaceText() const { return replace_->text(); }
bool SearchBar::matchCase() const { return matchCase_->isChecked(); }

void SearchBar::open(bool withReplace) {
  replaceRow_->setVisible(withReplace);
  show();
  find_->setFocus(Qt::ShortcutFocusReason);
  find_->selectAll();
}

void SearchBar::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Escape:
      dismiss();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (replace_->hasFocus())
        emit replaceRequested();
      else
        emit findRequested(e->modifiers().testFlag(Qt::ShiftModifier));
      return;
    default:
      QWidget::keyPressEvent(e);
  }
}

void SearchBar::dismiss() {
  hide();
  emit closed();
}

}  // namespace tavi
