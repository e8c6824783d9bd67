#pragma once

#include "services/translation_table.h"

// Whether two tables hold the same entries in the same order.
inline bool SameEntries(const torvel::TTranslationTable& a, const torvel::TTranslationTable& b) {
  if (a.Count() != b.Count()) {
    return false;
  }
  for (int i = 0; i < a.Count(); ++i) {
    if (a.Entry(i).English != b.Entry(i).English ||
        a.Entry(i).Translation != b.Entry(i).Translation) {
      return false;
    }
  }
  return true;
}
