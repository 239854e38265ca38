#pragma once
// The advanced quiz options dialog "Options avancées du Questionnaire".

#include "editor/KorDlgOptionsAvanceesRegles.h"
#include "editor/fenetres/KorDlgEdition.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;

class TDlgOptionsAvancees : public TDlgEditionDe<TLogiqueOptionsAvancees> {
  Q_OBJECT
 public:
  explicit TDlgOptionsAvancees(QWidget* parent = nullptr);

  QGroupBox* GBOptions = nullptr;
  QLineEdit* EOu = nullptr;
  QLineEdit* ECarOu = nullptr;
  QLineEdit* EXDelim = nullptr;
  QLabel* LMIg = nullptr;
  QCheckBox* CBMIgDefaut = nullptr;
  QLineEdit* EMotsIgnores = nullptr;

 protected:
  void Affiche() override;

 private:
  void Lit();
  void ChangeOptionsAvancees();
  void CBMIgDefautClick();
};
