#pragma once
// The header dialog "En-téte du fichier": title, description and author of the card file.

#include "editor/KorDlgEntete.h"
#include "editor/fenetres/KorDlgEdition.h"

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;

class TDlgEntete : public TDlgEdition {
  Q_OBJECT
 public:
  explicit TDlgEntete(QWidget* parent = nullptr);
  // Shows the dialog over the filled rules; true when the caller is to store them.
  bool Execute(TLogiqueEntete& logique);

  QGroupBox* GBEntete = nullptr;
  QLineEdit* ETitre = nullptr;
  QPlainTextEdit* MDescription = nullptr;
  QLineEdit* ESignature = nullptr;

 protected:
  void Affiche() override;

 private:
  void ChangeEntete();
  TLogiqueEntete* FLogique = nullptr;
};
