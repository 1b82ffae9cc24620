#pragma once
#include <QString>
#include <string>

#include "foundation/lang_forms.h"

class QTabWidget;
class QWidget;

// Language texts into the controls of a form, found by their component names.

inline QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

// Sets the caption of the named label, button or check box below root; false when there is
// no such control.
bool SetControlCaption(QWidget* root, const std::string& component, const QString& text);
bool SetControlHint(QWidget* root, const std::string& component, const QString& text);
// Sets the tab text of the page named component; false when pages holds no such page.
bool SetPageCaption(QTabWidget* pages, const std::string& component, const QString& text);

// Every label of the form shows its text as it stands: names, descriptions and language texts
// come from files and sites, and are never read as markup.
void ShowLabelsAsText(QWidget* form);
// A tooltip (which Qt reads as markup when it looks like some) that shows the text as it stands.
QString PlainToolTip(const QString& text);
// A caption whose '&' stays an ampersand instead of marking a shortcut letter.
QString NoShortcut(const QString& text);

// The form's client area takes the size of its layout panel (P_Form).
void FitClientToPanel(QWidget* form, QWidget* panel);

// A form whose language texts are the window title and the captions and hints of its named
// controls; it has no menus, pages or lists.
class TWidgetLangForm : public TLangForm {
 public:
  explicit TWidgetLangForm(QWidget* form) : form_(form) {}
  void SetFormCaption(const std::string& text) override;
  void SetCaption(const std::string& component, const std::string& text) override;
  void SetHint(const std::string& component, const std::string& hint) override;
  void SetItem(const std::string&, int32_t, const std::string&) override {}
  void SetText(const std::string&, const std::string&) override {}
  std::vector<TLangMenuItem> MenuItems(const std::string&) const override { return {}; }
  std::vector<std::string> Pages(const std::string&) const override { return {}; }
  int32_t ItemCount(const std::string&) const override { return 0; }
  int32_t Position(const std::string&) const override { return 0; }

 private:
  QWidget* form_;
};
