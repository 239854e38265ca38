#include "editor/KorDlgOptionsCSVRegles.h"

#include "cards/KorOutils.h"
#include "exchange/KorCsv.h"

void TLogiqueOptionsCSV::Remplit(const TReglages& reglages) {
  RGEncodage = reglages.CSVUtf8 ? 1 : 0;
  EComma = Echappe(std::string(1, reglages.SeparateurCSV));
}

std::string TLogiqueOptionsCSV::Refus() const {
  TReglages essai;
  FixeSeparateurCSV(Rogne(EComma), essai);
  return SeparateurCSVRefuse(essai.SeparateurCSV) ? MessageSeparateurCSVRefuse() : std::string();
}

void TLogiqueOptionsCSV::Stocke(TReglages& reglages) const {
  reglages.CSVUtf8 = RGEncodage == 1;
  FixeSeparateurCSV(Rogne(EComma), reglages);
}
