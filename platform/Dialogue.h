#pragma once
// What the editing dialogs of the editor (header, quiz options, advanced options, labels, CSV
// options) and of the player (preferences) share: the flag Modifie, cleared when the dialog is
// shown and set by every change the user makes to a control. A dialog closed with OK while it
// is clear counts as cancelled, so the caller stores nothing. The caller's filling of the
// controls comes before the showing and never counts as a change.
//
// Each dialog's rules live in a class derived from this one that holds what its controls show;
// the Qt dialog draws that state and forwards the user's changes to it, and tests drive it
// without a window.

#include <string>

// How a dialog closes.
enum class EResultatDialogue { OK, Annuler };

class TLogiqueDialogue {
 public:
  virtual ~TLogiqueDialogue() = default;

  // FormShow: after the filling, before the user acts.
  virtual void FormShow() { FModifie = false; }
  // The change handler of the dialog's editing controls.
  void Changement() { FModifie = true; }
  bool Modifie() const { return FModifie; }
  // FormCloseQuery: the modal result once the dialog closes with that result; OK without a
  // change becomes Annuler.
  EResultatDialogue FormCloseQuery(EResultatDialogue resultat) const {
    return resultat == EResultatDialogue::OK && !FModifie ? EResultatDialogue::Annuler : resultat;
  }

 private:
  bool FModifie = false;
};
