// Validation and commit of the shown card: whether it was touched, refusing an incomplete card,
// removing a new card left empty, storing with the trimming rules of the type, the sorted
// insertion, adding and deleting cards.

#include "cards/KorOutils.h"
#include "editor/KorFiche.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"

bool TEditeur::FicheModifiee() const {
  if (!FichierCourant) return false;
  return FVue.Modifie(EChamp::MQuestion) || FVue.Modifie(EChamp::MReponse) ||
         (FichierCourant->FAvecChamp0 && FVue.Modifie(EChamp::ETitre));
}

bool TEditeur::FicheEgaleCanevas() const {
  const TFichierX& f = *FichierCourant;
  if (FVue.Texte(EChamp::MReponse) != f.FCanevas.Champ2) return false;
  if (!f.FSansChamp1 && FVue.Texte(EChamp::MQuestion) != f.FCanevas.Champ1) return false;
  if (f.FAvecChamp0 && FVue.Texte(EChamp::ETitre) != f.FCanevas.Champ0) return false;
  return true;
}

bool TEditeur::FicheSansSaisie() const {
  if (!NouvelleFicheEnCours || !FichierCourant) return false;
  const TFichierX& f = *FichierCourant;
  if (f.FAvecCanevas) return FicheEgaleCanevas();
  return FVue.Texte(EChamp::MReponse).empty() && (f.FSansChamp1 || FVue.Texte(EChamp::MQuestion).empty()) &&
         (!f.FAvecChamp0 || FVue.Texte(EChamp::ETitre).empty());
}

bool TEditeur::ValideFiche() {
  // Without a card shown there is nothing to validate.
  if (!FichierCourant || IndexCourant == -1) {
    FicheSansSaisieSupprimee = false;
    return false;
  }
  const TFichierX& f = *FichierCourant;
  if (!FicheModifiee()) {
    FicheSansSaisieSupprimee = FicheSansSaisie();
    if (FicheSansSaisieSupprimee) SupprimeFiche();
    return false;
  }
  FicheSansSaisieSupprimee = false;
  bool incomplete;
  if (f.FSansChamp1 || Modes.Notes)
    incomplete = Rogne(FVue.Texte(EChamp::MReponse)).empty();
  else
    incomplete = Rogne(FVue.Texte(EChamp::MQuestion)).empty() &&
                 !(f.FAvecChamp0 && f.EstCategorie(FVue.Texte(EChamp::ETitre)));
  if (!incomplete && f.FAvecCanevas && FicheEgaleCanevas()) incomplete = true;
  if (incomplete) {
    FVue.Message("La fiche est incomplète !\r\nRemplissez-la ou supprimez-la."_a, {}, EGenreMessage::Avertissement,
                 EBoutons::Annuler);
    return true;
  }
  if (Modes.Notes && Rogne(FVue.Texte(EChamp::MQuestion)).empty()) {
    FVue.FixeTexte(EChamp::MQuestion, FVue.DateHeure());
  }
  EnregistreFiche();
  return false;
}

void TEditeur::EnregistreFiche() {
  TFichierX& f = *FichierCourant;
  std::string champ0, champ1, champ2;
  if (f.FType == 'M') {
    champ0 = FVue.Texte(EChamp::ETitre);
    champ1 = FVue.Texte(EChamp::MQuestion);
    champ2 = FVue.Texte(EChamp::MReponse);
  } else {
    if (f.FAvecChamp0) champ0 = RogneDroite(FVue.Texte(EChamp::ETitre));
    if (!f.FSansChamp1) {
      const std::string q = FVue.Texte(EChamp::MQuestion);
      champ1 = Modes.FichierTrie ? Rogne(q) : RogneDroite(q);
    }
    champ2 = RogneDroite(FVue.Texte(EChamp::MReponse));
  }
  f.SetFiche(IndexCourant, champ0, champ1, champ2);
  if (Modes.FichierTrie && (NouvelleFicheEnCours || FVue.Modifie(EChamp::MQuestion))) ClasseFiche();
  NouvelleFicheEnCours = false;
  EffaceModifications();
}

void TEditeur::ClasseFiche() {
  TFichierX& f = *FichierCourant;
  const int n = f.GetNombreFiches();
  if (n <= 1) return;
  if (IndexCourant != n - 1) f.DeplaceFiche(IndexCourant, n - 1);
  const std::string& cle = f.FFiches[static_cast<std::size_t>(n - 1)]->Champ1;
  auto avant = [&](int i) {
    return CompareStringA(cle, f.FFiches[static_cast<std::size_t>(i)]->Champ1) == CSTR_LESS_THAN;
  };
  int lo = 0, hi = n - 1;
  while (lo < hi - 1) {
    const int mid = (lo + hi) / 2;
    if (avant(mid))
      hi = mid;
    else
      lo = mid;
  }
  const int place = avant(lo) ? lo : hi;
  IndexCourant = place;
  if (place != n - 1) f.DeplaceFiche(n - 1, place);
  FicheAffichee = f.FFiches[static_cast<std::size_t>(IndexCourant)].get();
  Recherche.RechercheActive = false;
  MetAJourBoutons();
}

void TEditeur::NouvelleFiche(int index) {
  if (!FichierCourant) return;
  if (index < 0 || !FicheSansSaisie()) {
    if (!ValideFiche()) AjouteFiche(index);
  }
  const TFichierX& f = *FichierCourant;
  FVue.DonneFocus(f.FSansChamp1   ? ECibleFocus::MReponse
                  : f.FAvecChamp0 ? ECibleFocus::ETitre
                                  : ECibleFocus::MQuestion);
}

void TEditeur::AjouteFiche(int index) {
  if (!FichierCourant->FModifiable) return;
  FichierCourant->InsereFiche(index);
  NouvelleFicheEnCours = true;
  Recherche.RechercheActive = false;
  AfficheFiche(index);
}

void TEditeur::SupprimeFiche() {
  FichierCourant->SupprimeFiche(IndexCourant);
  const int index = NouvelleFicheEnCours ? IndexPrecedent : IndexCourant;
  NouvelleFicheEnCours = false;
  Recherche.RechercheActive = false;
  EffaceModifications();
  AfficheFiche(index);
}

void TEditeur::BSupprimerClick() {
  if (!FichierCourant || IndexCourant == -1 || !FichierCourant->FModifiable) return;
  if (FicheSansSaisie()) {
    SupprimeFiche();
    return;
  }
  if (FVue.Message("Voulez-vous vraiment supprimer cette fiche ?", {}, EGenreMessage::Question, EBoutons::OuiNon) !=
      EBouton::Oui)
    return;
  SupprimeFiche();
  FichierCourant->FModifie = true;
}
