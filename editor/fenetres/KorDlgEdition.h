#pragma once
// What the editor's editing dialogs share on screen: the OK and "Annuler" buttons, the help
// context, and the link to the dialog's rules (platform/Dialogue.h). A dialog draws the state
// of its rules, filled by the caller before it is shown, and forwards each change the user
// makes; its own drawing of that state never counts as a change.

#include <QDialog>

#include <functional>
#include <string>

#include "platform/Dialogue.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

class TDlgEdition : public QDialog {
  Q_OBJECT
 public:
  // boutonsParDefaut: OK answers Enter and "Annuler" Esc.
  TDlgEdition(QWidget* parent, const QString& titre, int contexteAide, bool boutonsParDefaut = true);

  QPushButton* BOK = nullptr;
  QPushButton* BAnnuler = nullptr;
  const int ContexteAide;  // 0: none
  // Shows a warning with an OK button (tests replace it).
  std::function<void(const QString& texte)> Avertissement;

 protected:
  // The controls go here, above the buttons.
  QVBoxLayout* Corps() const { return FCorps; }
  // Shows the dialog modally over the rules' state; true when it closed with OK and a change.
  bool Execute(TLogiqueDialogue& logique);
  // Draws the rules' state into the controls (texts, checks, enabled states).
  virtual void Affiche() = 0;
  // Why OK may not close the dialog; empty when it may.
  virtual std::string Refus() const { return {}; }

  void showEvent(QShowEvent* event) override;
  void done(int resultat) override;

  // Drawing helpers: the text is set only when it differs, so that the cursor stays put while
  // the user types.
  static void FixeTexte(QLineEdit* edition, const std::string& texte);
  static void FixeTexte(QPlainTextEdit* memo, const std::string& texte);

 private:
  QVBoxLayout* FCorps = nullptr;
  TLogiqueDialogue* FLogique = nullptr;
};
