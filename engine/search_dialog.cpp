// The preview's find dialog.
#include "engine/search_dialog.h"
#include "engine/resource_text.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "report/resources.h"

namespace engine {

TqdrSearchDialog::TqdrSearchDialog(const std::string& lastText, QWidget* parent) : QDialog(parent) {
  setWindowTitle(Res(300));
  auto* label = new QLabel(Res(301), this);
  text_ = new QLineEdit(QString::fromStdString(lastText), this);
  text_->selectAll();
  label->setBuddy(text_);
  auto* options = new QGroupBox(Res(302), this);
  fromFirst_ = new QCheckBox(Res(304), options);
  caseSensitive_ = new QCheckBox(Res(305), options);
  auto* optionsLayout = new QVBoxLayout(options);
  optionsLayout->addWidget(fromFirst_);
  optionsLayout->addWidget(caseSensitive_);
  ok_ = new QPushButton(Res(1), this);
  ok_->setDefault(true);
  auto* cancel = new QPushButton(Res(2), this);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(text_);
  layout->addWidget(options);
  layout->addLayout(buttons);
  setFixedWidth(280);
  text_->setFocus();
}

std::string TqdrSearchDialog::Text() const {
  return text_->text().toStdString();
}

bool TqdrSearchDialog::FromFirstPage() const {
  return fromFirst_->isChecked();
}

bool TqdrSearchDialog::CaseSensitive() const {
  return caseSensitive_->isChecked();
}

void TqdrSearchDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    if (OnHelp) OnHelp();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace engine
