#include "platform/text_compare.h"

#include <QString>

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  const QString qa = QString::fromUtf8(a.data(), qsizetype(a.size()));
  const QString qb = QString::fromUtf8(b.data(), qsizetype(b.size()));
  return qa.compare(qb, Qt::CaseInsensitive) == 0;
}
