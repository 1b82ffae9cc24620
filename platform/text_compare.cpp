#include "platform/text_compare.h"

#include <QCollator>
#include <QLocale>
#include <QString>

namespace {
QString FromUtf8(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
}  // namespace

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  return FromUtf8(a).compare(FromUtf8(b), Qt::CaseInsensitive) == 0;
}

int CollateIgnoringCase(std::string_view a, std::string_view b) {
  thread_local QCollator collator = [] {
    QLocale locale;
    // The "C" locale has no language order of its own; the common one serves it.
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator c(locale);
    c.setCaseSensitivity(Qt::CaseInsensitive);
    return c;
  }();
  return collator.compare(FromUtf8(a), FromUtf8(b));
}
