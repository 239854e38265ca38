#pragma once
// The quiz options dialog "Options du Questionnaire".

#include "editor/KorDlgOptionsRegles.h"
#include "editor/fenetres/KorDlgEdition.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;

class TDlgOptions : public TDlgEditionDe<TLogiqueOptions> {
  Q_OBJECT
 public:
  explicit TDlgOptions(QWidget* parent = nullptr);

  QGroupBox* GBOptions = nullptr;
  QCheckBox* CBRepose = nullptr;
  QCheckBox* CBOrdre = nullptr;
  QCheckBox* CBBriderEntree = nullptr;
  QCheckBox* CBMotAMot = nullptr;
  QCheckBox* CBDiffMaj = nullptr;
  QCheckBox* CBPhonetique = nullptr;
  QCheckBox* CBCorrection = nullptr;
  QLineEdit* ETemps = nullptr;
  QLineEdit* ENbreQuestions = nullptr;
  QLineEdit* ESeuil = nullptr;

 protected:
  void Affiche() override;

 private:
  void Lit();
  void ChangeOptions();
  void CBPhonetiqueClick();
};
