#include "ui/dialogs/form_texts.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QTabWidget>
#include <QTextDocument>
#include <QWidget>

bool SetControlCaption(QWidget* root, const std::string& component, const QString& text) {
  QWidget* w = root->findChild<QWidget*>(Q(component));
  if (!w) return false;
  if (auto* label = qobject_cast<QLabel*>(w))
    label->setText(text);
  else if (auto* button = qobject_cast<QAbstractButton*>(w))
    button->setText(text);
  else if (auto* group = qobject_cast<QGroupBox*>(w))
    group->setTitle(text);
  else
    return false;
  return true;
}

bool SetControlHint(QWidget* root, const std::string& component, const QString& text) {
  QWidget* w = root->findChild<QWidget*>(Q(component));
  if (!w) return false;
  w->setToolTip(PlainToolTip(text));
  return true;
}

void ShowLabelsAsText(QWidget* form) {
  for (QLabel* label : form->findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
}

QString PlainToolTip(const QString& text) {
  return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

QString NoShortcut(const QString& text) { return QString(text).replace(u'&', QStringLiteral("&&")); }

bool SetPageCaption(QTabWidget* pages, const std::string& component, const QString& text) {
  for (int i = 0; i < pages->count(); ++i)
    if (pages->widget(i)->objectName() == Q(component)) {
      pages->setTabText(i, text);
      return true;
    }
  return false;
}

void FitClientToPanel(QWidget* form, QWidget* panel) {
  // A panel laid out by hand keeps the size its form gave it.
  if (panel->layout()) {
    panel->layout()->activate();
    panel->adjustSize();
  }
  panel->move(0, 0);
  form->setFixedSize(panel->size());
}

void TWidgetLangForm::SetFormCaption(const std::string& text) { form_->setWindowTitle(Q(text)); }
void TWidgetLangForm::SetCaption(const std::string& component, const std::string& text) {
  SetControlCaption(form_, component, Q(text));
}
void TWidgetLangForm::SetHint(const std::string& component, const std::string& hint) {
  SetControlHint(form_, component, Q(hint));
}
