// Search and the card list: the search dialog's command, the next occurrence, abandoning the
// search, the search step, and the list of cards from which a card is chosen.

#include "editor/KorFiche.h"
#include "editor/KorListeRegles.h"
#include "editor/KorRecherche.h"

void TEditeur::Rechercher1Click() {
  if (!FichierCourant || ValideFiche()) return;
  const unsigned numero = NumeroFichier;
  if (!FVue.DialogueChercher(DlgChercher)) return;
  // Another file may have been opened while the dialog was up (a second start's command line).
  if (NumeroFichier != numero) return;
  DlgChercher.Demarre(Recherche);
  Recherche.RechercheActive = !Recherche.TexteRecherche.empty() && IndexCourant != -1;
  if (!Recherche.RechercheActive) {
    MetAJourBoutons();
    return;
  }
  Recherche.IndexDepartRecherche = IndexCourant;
  ChercheProchaine(Recherche.RechercheArriere);
}

void TEditeur::ChercheProchaine(bool arriere) {
  if (!FichierCourant) {
    Recherche.RechercheActive = false;
    return;
  }
  const TPasRecherche pas = ::ChercheProchaine(*FichierCourant, Recherche, IndexCourant, arriere);
  if (pas.Index >= 0)
    AfficheFiche(pas.Index);
  else
    MetAJourBoutons();
  switch (pas.Fin) {
    case EFinRecherche::Aucune: break;
    case EFinRecherche::Terminee:
      MessageAvecTitre(TexteFinRecherche(pas.Fin), {}, EGenreMessage::Avertissement, EBoutons::Ok);
      break;
    case EFinRecherche::Fin:
      MessageAvecTitre(TexteFinRecherche(pas.Fin), {}, EGenreMessage::Information, EBoutons::Ok);
      break;
    case EFinRecherche::NonTrouve:
      MessageAvecTitre(TexteFinRecherche(pas.Fin), TitreEchecRecherche(), EGenreMessage::Erreur, EBoutons::Ok);
      break;
  }
}

void TEditeur::Rechsuivant1Click() {
  if (!FichierCourant || ValideFiche()) return;
  ChercheProchaine(Recherche.RechercheArriere);
}

void TEditeur::AbandonRech1Click() {
  if (!FichierCourant || ValideFiche() || !Recherche.RechercheActive) return;
  Recherche.RechercheActive = false;
  MetAJourBoutons();
  MessageAvecTitre(TexteFinRecherche(EFinRecherche::Terminee), {}, EGenreMessage::Information, EBoutons::Ok);
}

void TEditeur::Listedesfiches1Click() {
  if (!FichierCourant || ValideFiche() || IndexCourant == -1) return;
  const TFichierX* fichier = FichierCourant.get();
  const unsigned numero = NumeroFichier;
  const int ancien = IndexCourant;
  const int ligne = LigneDeIndex(IndexCourant, BaseInverseListe(*fichier));
  // Each line chosen shows its card at once, as long as the list's file is the one open.
  const auto selection = [this, numero](int index) {
    if (NumeroFichier == numero) AfficheFiche(index);
  };
  if (FVue.DialogueListe(*fichier, ligne, selection) == EResultatListe::Abandon && NumeroFichier == numero)
    AfficheFiche(ancien);
}
