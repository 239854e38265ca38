// Commands on the whole card file: header, quiz options, advanced options, style sheet, field
// labels and template card; and the CSV options, which are settings. Each dialog is filled
// from the file (or the settings), and what it holds is stored only when it closed with OK
// after a change, and only into the file it was filled from: a second start's command line may
// open another file while a dialog is up.

#include "editor/KorDlgEnteteRegles.h"
#include "editor/KorDlgEtiquettesRegles.h"
#include "editor/KorDlgOptionsRegles.h"
#include "editor/KorDlgOptionsAvanceesRegles.h"
#include "editor/KorDlgOptionsCSVRegles.h"
#include "editor/KorEntete.h"
#include "editor/KorFiche.h"

void TEditeur::Entete1Click() {
  if (!FichierCourant) return;
  ValideTitreFichier();
  TFichierX* fichier = FichierCourant.get();
  const unsigned numero = NumeroFichier;
  TLogiqueEntete dialogue;
  dialogue.Remplit(*fichier);
  if (!FVue.DialogueEntete(dialogue) || NumeroFichier != numero) return;
  dialogue.Stocke(*fichier);
  AfficheTitreFichier();
}

void TEditeur::Options1Click() {
  if (!FichierCourant || !FichierCourant->FQuestionnaire) return;
  TFichierX* fichier = FichierCourant.get();
  const unsigned numero = NumeroFichier;
  TLogiqueOptions dialogue;
  dialogue.Remplit(*fichier);
  if (!FVue.DialogueOptions(dialogue) || NumeroFichier != numero) return;
  dialogue.Stocke(*fichier);
}

void TEditeur::OptionsAvancees1Click() {
  if (!FichierCourant || !FichierCourant->FQuestionnaire) return;
  TFichierX* fichier = FichierCourant.get();
  const unsigned numero = NumeroFichier;
  TLogiqueOptionsAvancees dialogue;
  dialogue.Remplit(*fichier, FReglages);
  if (!FVue.DialogueOptionsAvancees(dialogue) || NumeroFichier != numero) return;
  dialogue.Stocke(*fichier);
}

void TEditeur::FeuilledeStyle1Click() {
  if (!FichierCourant || !FichierCourant->FModifiable) return;
  TFichierX* fichier = FichierCourant.get();
  const unsigned numero = NumeroFichier;
  std::string nom = fichier->FFeuilleStyle;
  if (!FVue.SaisieTexte(TitreFeuilleStyle(), InviteFeuilleStyle(), nom) || NumeroFichier != numero) return;
  fichier->FFeuilleStyle = NomFeuilleStyle(nom);
  fichier->FModifie = true;
}

void TEditeur::Etiquettes1Click() {
  if (!FichierCourant || !FichierCourant->FModifiable) return;
  TFichierX* fichier = FichierCourant.get();
  const unsigned numero = NumeroFichier;
  TLogiqueEtiquettes dialogue;
  dialogue.Remplit(*fichier);
  if (!FVue.DialogueEtiquettes(dialogue) || NumeroFichier != numero) return;
  dialogue.Stocke(*fichier);
  AfficheEtiquettes();
}

void TEditeur::Canevas1Click() {
  if (!FichierCourant || !NouvelleFicheEnCours) return;
  TFichierX& fichier = *FichierCourant;
  const unsigned numero = NumeroFichier;
  const EBouton reponse = FVue.Message(QuestionCanevas(), {}, EGenreMessage::Question, EBoutons::OuiNonAbandonner);
  if (NumeroFichier != numero) return;
  switch (reponse) {
    case EBouton::Oui:
      // The pending card stays pending; only its texts become the template.
      if (!FicheSansSaisie())
        fichier.SetCanevas(FVue.Texte(EChamp::ETitre), FVue.Texte(EChamp::MQuestion), FVue.Texte(EChamp::MReponse));
      break;
    case EBouton::Abandonner:
      if (!fichier.FAvecCanevas ||
          FVue.Message(QuestionSuppressionCanevas(), {}, EGenreMessage::Question, EBoutons::OuiNon) != EBouton::Oui ||
          NumeroFichier != numero)
        break;
      fichier.FAvecCanevas = false;
      fichier.FModifie = true;
      // An untouched pending card is a mere copy of the dropped template.
      if (!FicheModifiee()) SupprimeFiche();
      break;
    default: break;
  }
}

void TEditeur::OptionsCSVClick() {
  TLogiqueOptionsCSV dialogue;
  dialogue.Remplit(FReglages);
  // The dialog refuses a separator that no CSV line can carry; the setting stays as it was.
  if (!FVue.DialogueOptionsCSV(dialogue) || !dialogue.Refus().empty()) return;
  dialogue.Stocke(FReglages);
  ReglagesModifies = true;
}
