// The main window's dialogs for the commands on the whole file, the search and the card list:
// created with the window, living as long as it does.

#include "editor/fenetres/KorDlgChercher.h"
#include "editor/fenetres/KorDlgEntete.h"
#include "editor/fenetres/KorDlgEtiquettes.h"
#include "editor/fenetres/KorDlgNouveau.h"
#include "editor/fenetres/KorDlgOptions.h"
#include "editor/fenetres/KorDlgOptionsAvancees.h"
#include "editor/fenetres/KorDlgOptionsCSV.h"
#include "editor/fenetres/KorFenetreFiche.h"
#include "editor/fenetres/KorListe.h"
#include "platform/Ansi.h"
#include "platform/bureau/Aide.h"
#include "platform/bureau/Boites.h"

void TFormFiche::CreeDialogues() {
  DlgOptions = new TDlgOptions(this);
  DlgOptionsAvancees = new TDlgOptionsAvancees(this);
  DlgChercher = new TDlgChercher(this);
  Liste = new TListe(this);
  DlgEtiquettes = new TDlgEtiquettes(this);
  DlgEntete = new TDlgEntete(this);
  DlgOptionsCSV = new TDlgOptionsCSV(this);
  // F1: the help of the window at the file's type, of each dialog at its own context.
  RelieToucheAide(*this, [this] { AfficheAide(FContexteAide); });
  const auto aide = [this](QWidget& fenetre, int contexte) {
    RelieToucheAide(fenetre, [this, contexte] { AfficheAide(contexte); });
  };
  aide(*DlgNouveau, TDlgNouveau::ContexteAide);
  aide(*DlgChercher, TDlgChercher::ContexteAide);
  aide(*Liste, TListe::ContexteAide);
  for (TDlgEdition* d : std::initializer_list<TDlgEdition*>{DlgEntete, DlgOptions, DlgOptionsAvancees, DlgOptionsCSV})
    aide(*d, d->ContexteAide);
  BoiteSaisie = [this](const QString& titre, const QString& invite, QString& texte) {
    return SaisieLigne(this, titre, invite, texte);
  };
}

bool TFormFiche::DialogueEntete(TLogiqueEntete& logique) { return DlgEntete->Execute(logique); }
bool TFormFiche::DialogueOptions(TLogiqueOptions& logique) { return DlgOptions->Execute(logique); }
bool TFormFiche::DialogueOptionsAvancees(TLogiqueOptionsAvancees& logique) {
  return DlgOptionsAvancees->Execute(logique);
}
bool TFormFiche::DialogueEtiquettes(TLogiqueEtiquettes& logique) { return DlgEtiquettes->Execute(logique); }
bool TFormFiche::DialogueOptionsCSV(TLogiqueOptionsCSV& logique) { return DlgOptionsCSV->Execute(logique); }
bool TFormFiche::DialogueChercher(TLogiqueChercher& logique) { return DlgChercher->Execute(logique); }

bool TFormFiche::SaisieTexte(const std::string& titre, const std::string& invite, std::string& texte) {
  QString saisi = ansi::VersQString(texte);
  if (!BoiteSaisie(ansi::VersQString(titre), ansi::VersQString(invite), saisi)) return false;
  texte = ansi::DepuisQString(saisi);
  return true;
}

EResultatListe TFormFiche::DialogueListe(const TFichierX& fichier, int ligne,
                                         const std::function<void(int)>& selection) {
  Liste->OnSelection = selection;
  const TListe::EResultat resultat = Liste->Execute(fichier, ligne);
  Liste->OnSelection = nullptr;
  switch (resultat) {
    case TListe::OK: return EResultatListe::OK;
    case TListe::Abandon: return EResultatListe::Abandon;
    case TListe::Fermeture: break;
  }
  return EResultatListe::Fermeture;
}

void TFormFiche::ListeFichierChange(const TFichierX* fichier) { Liste->FichierChange(fichier); }
