#pragma once
// The CSV options dialog "Options des fichiers CSV": the encoding and the column separator.

#include "editor/KorDlgOptionsCSVRegles.h"
#include "editor/fenetres/KorDlgEdition.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QRadioButton;

class TDlgOptionsCSV : public TDlgEditionDe<TLogiqueOptionsCSV> {
  Q_OBJECT
 public:
  explicit TDlgOptionsCSV(QWidget* parent = nullptr);

  QGroupBox* RGEncodage = nullptr;
  QRadioButton* RBAnsi = nullptr;
  QRadioButton* RBUtf8 = nullptr;
  QGroupBox* GBComma = nullptr;
  QLineEdit* EComma = nullptr;

 protected:
  void Affiche() override;
  std::string Refus() const override;

 private:
  void Changement();
  QButtonGroup* FGroupe = nullptr;
};
