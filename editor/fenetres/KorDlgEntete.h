#pragma once
// The header dialog "En-téte du fichier": title, description and author of the card file.

#include "editor/KorDlgEnteteRegles.h"
#include "editor/fenetres/KorDlgEdition.h"

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;

class TDlgEntete : public TDlgEditionDe<TLogiqueEntete> {
  Q_OBJECT
 public:
  explicit TDlgEntete(QWidget* parent = nullptr);

  QGroupBox* GBEntete = nullptr;
  QLineEdit* ETitre = nullptr;
  QPlainTextEdit* MDescription = nullptr;
  QLineEdit* ESignature = nullptr;

 protected:
  void Affiche() override;

 private:
  void ChangeEntete();
};
