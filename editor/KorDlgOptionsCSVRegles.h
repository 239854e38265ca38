#pragma once
// The CSV options dialog's rules: two settings rather than file data, the encoding of CSV files
// and their column separator (typed with the escapes "\s" for a space and "\t" for a TAB).

#include <string>

#include "cards/KorInit.h"
#include "platform/Dialogue.h"

class TLogiqueOptionsCSV : public TLogiqueDialogue {
 public:
  int RGEncodage = 0;  // 0 "ANSI", 1 "UTF-8"
  std::string EComma;

  // The separator in use, escaped (the locale's list separator when none was set).
  void Remplit(const TReglages& reglages);
  // Changement: the encoding or the separator edit.
  // Why OK cannot close the dialog: the separator typed is one that no CSV line can carry
  // (the CSV writer would refuse it at the next save). Empty when OK may close it.
  std::string Refus() const;
  // OK: the encoding, and the separator trimmed, stored explicitly even when it was the
  // locale's. The caller records that a preference changed.
  void Stocke(TReglages& reglages) const;
};
