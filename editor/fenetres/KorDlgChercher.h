#pragma once
// The search dialog "Chercher". It keeps what was typed and checked between searches.

#include <QDialog>

#include "editor/KorDlgChercherRegles.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

class TDlgChercher : public QDialog {
  Q_OBJECT
 public:
  explicit TDlgChercher(QWidget* parent = nullptr);
  // Draws the rules' state, shows the dialog modally and reads the controls back into it
  // (whatever the result); true on "Chercher".
  bool Execute(TLogiqueChercher& logique);
  // The controls as the rules hold them (also when the labels or the file change between searches).
  void Affiche(const TLogiqueChercher& logique);

  QLineEdit* EChercher = nullptr;
  QCheckBox* CBDifferencier = nullptr;
  QCheckBox* CBChampUnique = nullptr;
  QCheckBox* CBArriere = nullptr;
  QPushButton* BChercher = nullptr;
  QPushButton* BAnnuler = nullptr;
  static constexpr int ContexteAide = 4;

 protected:
  void showEvent(QShowEvent* event) override;  // FormShow

 private:
  void Lit(TLogiqueChercher& logique) const;
};
