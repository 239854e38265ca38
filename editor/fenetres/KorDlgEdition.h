#pragma once
// What the editor's editing dialogs share on screen: the OK and "Annuler" buttons, the help
// context, and the link to the dialog's rules (platform/Dialogue.h). A dialog draws the state
// of its rules, filled by the caller before it is shown, and forwards each change the user
// makes; its own drawing of that state never counts as a change.

#include <QDialog>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/Dialogue.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

class TDlgEdition : public QDialog {
  Q_OBJECT
 public:
  // boutonsParDefaut: OK answers Enter and "Annuler" Esc; otherwise neither, and Esc leaves the
  // dialog open.
  TDlgEdition(QWidget* parent, const QString& titre, int contexteAide, bool boutonsParDefaut = true);

  QPushButton* BOK = nullptr;
  QPushButton* BAnnuler = nullptr;
  const int ContexteAide;  // 0: none
  // Shows a warning with an OK button (tests replace it).
  std::function<void(const QString& texte)> Avertissement;

 protected:
  // The controls go here, above the buttons.
  QVBoxLayout* Corps() const { return FCorps; }
  // The controls in their tab order, the buttons coming after them; the first one that can take
  // the focus has it when the dialog opens.
  void OrdreDesControles(std::initializer_list<QWidget*> controles);
  // Shows the dialog modally over the rules' state; true when it closed with OK and a change.
  bool ExecuteSur(TLogiqueDialogue& logique);
  // Draws the rules' state into the controls (texts, checks, enabled states).
  virtual void Affiche() = 0;
  // Why OK may not close the dialog; empty when it may.
  virtual std::string Refus() const { return {}; }

  void showEvent(QShowEvent* event) override;
  void done(int resultat) override;
  void keyPressEvent(QKeyEvent* event) override;

  // Drawing helpers: the text is set only when it differs, so that the cursor stays put while
  // the user types.
  static void FixeTexte(QLineEdit* edition, const std::string& texte);
  static void FixeTexte(QPlainTextEdit* memo, const std::string& texte);

 private:
  QVBoxLayout* FCorps = nullptr;
  TLogiqueDialogue* FEnCours = nullptr;  // the rules of the showing
  std::vector<QWidget*> FControles;
  const bool FBoutonsParDefaut;
};

// A dialog over the rules of type L: Execute fills nothing, it shows the state the caller filled
// and keeps the typed rules at hand for the dialog's drawing and change handlers.
template <class L>
class TDlgEditionDe : public TDlgEdition {
 public:
  using TDlgEdition::TDlgEdition;
  // Shows the dialog over the filled rules; true when the caller is to store them.
  bool Execute(L& logique) {
    FLogique = &logique;
    const bool ok = ExecuteSur(logique);
    FLogique = nullptr;
    return ok;
  }

 protected:
  L* FLogique = nullptr;
};
