#pragma once
// The scripted window with the dialogs of the whole-file commands, the search dialog, the input
// box and the card list: each dialog runs a script the test sets, as a user would (the program's
// filling first, then FormShow, the user's changes, and the button pressed). A dialog shown
// without a script fails the test.

#include <functional>
#include <string>
#include <vector>

#include "VueScriptee.h"
#include "editor/KorDlgEnteteRegles.h"
#include "editor/KorDlgEtiquettesRegles.h"
#include "editor/KorDlgOptionsRegles.h"
#include "editor/KorDlgOptionsAvanceesRegles.h"
#include "editor/KorDlgOptionsCSVRegles.h"

class TVueDialogues : public TVueScriptee {
 public:
  template <class L>
  using TScript = std::function<EResultatDialogue(L&)>;

  TScript<TLogiqueEntete> Entete;
  TScript<TLogiqueOptions> Options;
  TScript<TLogiqueOptionsAvancees> OptionsAvancees;
  TScript<TLogiqueEtiquettes> DlgEtiquettes;
  TScript<TLogiqueOptionsCSV> OptionsCSV;
  std::function<bool(TLogiqueChercher&)> Chercher;
  std::function<bool(std::string& texte)> Saisie;
  // The list: its file and selected line, the selection callback to call as the user's clicks.
  std::function<EResultatListe(const TFichierX&, int ligne, const std::function<void(int)>& selection)> Liste;
  std::vector<std::string> Refus;  // the warnings of the CSV dialog
  std::vector<const TFichierX*> ListesChangees;
  int Dialogues = 0;

  bool DialogueEntete(TLogiqueEntete& l) override { return Joue(Entete, l); }
  bool DialogueOptions(TLogiqueOptions& l) override { return Joue(Options, l); }
  bool DialogueOptionsAvancees(TLogiqueOptionsAvancees& l) override { return Joue(OptionsAvancees, l); }
  bool DialogueEtiquettes(TLogiqueEtiquettes& l) override { return Joue(DlgEtiquettes, l); }
  bool DialogueOptionsCSV(TLogiqueOptionsCSV& l) override {
    const bool ok = Joue(OptionsCSV, l);
    // As the dialog does: OK with a separator it refuses says so and stores nothing.
    if (ok && !l.Refus().empty()) {
      Refus.push_back(l.Refus());
      return false;
    }
    return ok;
  }
  bool DialogueChercher(TLogiqueChercher& l) override {
    ++Dialogues;
    if (!Chercher) {
      ADD_FAILURE() << "unexpected search dialog";
      return false;
    }
    return Chercher(l);
  }
  bool SaisieTexte(const std::string&, const std::string&, std::string& texte) override {
    ++Dialogues;
    if (!Saisie) {
      ADD_FAILURE() << "unexpected input box";
      return false;
    }
    return Saisie(texte);
  }
  EResultatListe DialogueListe(const TFichierX& f, int ligne, const std::function<void(int)>& selection) override {
    ++Dialogues;
    if (!Liste) {
      ADD_FAILURE() << "unexpected card list";
      return EResultatListe::Fermeture;
    }
    return Liste(f, ligne, selection);
  }
  void ListeFichierChange(const TFichierX* f) override { ListesChangees.push_back(f); }

 private:
  template <class L>
  bool Joue(const TScript<L>& script, L& logique) {
    ++Dialogues;
    if (!script) {
      ADD_FAILURE() << "unexpected dialog";
      return false;
    }
    logique.FormShow();
    return logique.FormCloseQuery(script(logique)) == EResultatDialogue::OK;
  }
};
