#pragma once
// The labels dialog "Étiquettes des champs".

#include "editor/KorDlgEtiquettesRegles.h"
#include "editor/fenetres/KorDlgEdition.h"

class QGroupBox;
class QLineEdit;

class TDlgEtiquettes : public TDlgEditionDe<TLogiqueEtiquettes> {
  Q_OBJECT
 public:
  explicit TDlgEtiquettes(QWidget* parent = nullptr);

  QGroupBox* GBEtiquettes = nullptr;
  QLineEdit* EEtiquette0 = nullptr;
  QLineEdit* EEtiquette1 = nullptr;
  QLineEdit* EEtiquette2 = nullptr;

 protected:
  void Affiche() override;

 private:
  void EEtiquetteChange();
};
