// The editor's display: modes, the file and the card shown, labels, read-only and modified
// states, the menu items and buttons, the caption, the no-file state and stepping.

#include "editor/KorFiche.h"

#include "cards/KorOutils.h"
#include "platform/Ansi.h"

namespace {

const std::string TitreApplication = "KorEdit";

// A file-system path (UTF-8) as the window shows it.
std::string NomAffiche(const std::string& chemin) { return ansi::Utf8VersAnsi(chemin); }

}  // namespace

int ContexteAide(char type) {
  switch (type) {
    case 'Q': return 21;
    case 'M': return 31;
    default: return 1;
  }
}

TEditeur::TEditeur(IVueFiche& vue, TReglages& reglages) : FVue(vue), FReglages(reglages) {
  FicheVierge.Champ1 = "(Pas de fiche)";
  NettoieListesLettres(FReglages);
  PremierTypeCSV = FReglages.TypesCSV.empty() ? ' ' : FReglages.TypesCSV[0];
  // The items' first states: the buttons disabled, the Edition menu and the items that need a
  // file hidden.
  for (EItem b : {EItem::BPrecedent, EItem::BSuivant, EItem::BNouveau, EItem::BInserer, EItem::BSupprimer,
                  EItem::BChercher})
    EtatItem(b).Actif = false;
  for (EItem item : {EItem::Edition1, EItem::FeuilledeStyle1, EItem::Exporter1, EItem::OptionsCSV})
    EtatItem(item).Visible = false;
}

void TEditeur::Initialise() {
  // At creation: the edits disabled and read-only; every item given to the window.
  for (EChamp champ : {EChamp::ETitre, EChamp::MQuestion, EChamp::MReponse}) {
    FVue.FixeActif(champ, false);
    FVue.FixeLectureSeule(champ, true);
  }
  for (std::size_t i = 0; i < NombreItems; ++i) FVue.FixeItem(static_cast<EItem>(i), FItems[i]);
  FVue.FixeTitreFenetre("Orvaline : micro Base de Données"_a);
  FVue.FixeContexteAide(1);
}

TEditeur::~TEditeur() = default;

void TEditeur::FixeItem(EItem item, const TEtatItem& etat) {
  TEtatItem& courant = EtatItem(item);
  if (courant == etat) return;
  courant = etat;
  FVue.FixeItem(item, etat);
}

void TEditeur::FixeItem(EItem item, bool visible, bool actif) {
  TEtatItem etat = Item(item);
  etat.Visible = visible;
  etat.Actif = actif;
  FixeItem(item, etat);
}

void TEditeur::ExecuteItem(EItem item) {
  // Counted at its start and at its end: a logout's question answered while the command's dialog
  // was up does not hold for what the command does after it.
  ++NumeroCommande;
  switch (item) {
    case EItem::Nouveau1: Nouveau1Click(); break;
    case EItem::Ouvrir1: Ouvrir1Click(true); break;
    case EItem::Modele1: Ouvrir1Click(false); break;
    case EItem::Ouvert1: Ouvert1Click(); break;
    case EItem::Recent1: Recent1Click(); break;
    case EItem::Sauver1: Sauver1Click(); break;
    case EItem::Sauversous1: Sauversous1Click(false); break;
    case EItem::Exporter1: Sauversous1Click(true); break;
    case EItem::Fermer1: Fermer1Click(); break;
    case EItem::Quitter1: FVue.FermeFenetre(); break;
    case EItem::Precedente1:
    case EItem::BPrecedent: BPrecedentClick(); break;
    case EItem::Suivante1:
    case EItem::BSuivant: BSuivantClick(); break;
    case EItem::Nouvelle1:
    case EItem::BNouveau: BNouveauClick(); break;
    case EItem::Inserer1:
    case EItem::BInserer: BInsererClick(); break;
    case EItem::Supprimer1:
    case EItem::BSupprimer: BSupprimerClick(); break;
    case EItem::Imprimer1: Imprimer1Click(); break;
    case EItem::PressePapiers1: PressePapiers1Click(); break;
    case EItem::ListeVersPressepapiers1: ListeVersPressePapiers1Click(); break;
    case EItem::Champs1: Police1Click(); break;
    case EItem::Liste1: Police2Click(); break;
    case EItem::Applicationaudessus1: Applicationaudessus1Click(); break;
    case EItem::Rouvrir1: Rouvrir1Click(); break;
    case EItem::Instanceunique1: Instanceunique1Click(); break;
    case EItem::Premiere1: Premiere1Click(); break;
    case EItem::Derniere1: Derniere1Click(); break;
    case EItem::PermuterChamps: PermuterChampsClick(); break;
    case EItem::Annuler1: Annuler1Click(); break;
    case EItem::Enregistrerlafiche1: Enregistrerlafiche1Click(); break;
    case EItem::Proprietes1: Proprietes1Click(); break;
    case EItem::Apropos1: Apropos1Click(); break;
    case EItem::Rubriquesdaide1: Rubriquesdaide1Click(); break;
    case EItem::Entete1: Entete1Click(); break;
    case EItem::Options1: Options1Click(); break;
    case EItem::OptionsAvancees1: OptionsAvancees1Click(); break;
    case EItem::FeuilledeStyle1: FeuilledeStyle1Click(); break;
    case EItem::Etiquettes1: Etiquettes1Click(); break;
    case EItem::Canevas1: Canevas1Click(); break;
    case EItem::OptionsCSV: OptionsCSVClick(); break;
    case EItem::Rechercher1:
    case EItem::BChercher: Rechercher1Click(); break;
    case EItem::Rechsuivant1: Rechsuivant1Click(); break;
    case EItem::AbandonRech1: AbandonRech1Click(); break;
    case EItem::Listedesfiches1: Listedesfiches1Click(); break;
    default: break;
  }
  ++NumeroCommande;
}

void TEditeur::DemarreSansFichier() {
  if (FichierCourant) return;
  TypeCourant = FReglages.TypesUtilises.empty() ? TypesParDefaut[0] : FReglages.TypesUtilises[0];
  DetermineModes();
  AjustePanneaux();
}

EBouton TEditeur::MessageAvecTitre(const std::string& texte, const std::string& titre, EGenreMessage icone,
                                   EBoutons boutons) {
  return FVue.Message(texte, titre, icone, boutons);
}

void TEditeur::MessageErreur(const std::string& texte) {
  FVue.Message(texte, {}, EGenreMessage::Erreur, EBoutons::Ok);
}

// ---------------------------------------------------------------------------------------------
// Modes and layout

void TEditeur::DetermineModes() {
  if (FichierCourant) {
    const TFichierX& f = *FichierCourant;
    Modes.ChampUneLigne = f.FGenreEtiquettes == 'O';
    Modes.FichierTrie = f.EstTypeTrie();
    Modes.Notes = f.FType == 'N';
    Modes.Exportable = !ListeFormatsExport().empty();
    Modes.Permutable = f.FType == 'Q' || f.FType == 'P';
  } else {
    Modes.ChampUneLigne = TypeCourant == 'R' || TypeCourant == 'N' || TypeCourant == 'L';
  }
  if (!Modes.ChampUneLigne) Modes.RatioQuestion = TypeCourant == 'F' ? 11 : TypeCourant == 'M' ? 4 : 9;
}

void TEditeur::AjustePanneaux() {
  TDisposition d;
  d.TitreVisible = !FichierCourant || FichierCourant->FAvecChamp0 || FichierCourant->FFormat == 'x' ||
                   FichierCourant->FFormat == 'n';
  d.ChampUneLigne = Modes.ChampUneLigne;
  d.RatioQuestion = Modes.RatioQuestion;
  FVue.FixeDisposition(d);
}

// ---------------------------------------------------------------------------------------------
// A file, a card

void TEditeur::MontreFichier(std::unique_ptr<TFichierX> fichier, int index) {
  LibereFichier();
  FichierCourant = std::move(fichier);
  TypeCourant = FichierCourant->FType;
  DetermineModes();
  AfficheFichier(index);
}

void TEditeur::AfficheFichier(int index) {
  TFichierX& f = *FichierCourant;
  FixeItem(EItem::Edition1, true, true);
  FixeItem(EItem::Options1, f.FQuestionnaire, Item(EItem::Options1).Actif);
  FixeItem(EItem::OptionsAvancees1, f.FQuestionnaire, Item(EItem::OptionsAvancees1).Actif);
  FixeItem(EItem::Entete1, f.FFormat == 'x', Item(EItem::Entete1).Actif);
  const bool liste = (Modes.ChampUneLigne && !f.FSansChamp1) || f.FAvecChamp0;
  FixeItem(EItem::Listedesfiches1, liste, Item(EItem::Listedesfiches1).Actif);
  FixeItem(EItem::ListeVersPressepapiers1, liste, Item(EItem::ListeVersPressepapiers1).Actif);
  FVue.FixeContexteAide(ContexteAide(f.FType));
  if (!f.FAvecEtiquettes) f.EtiquettesParDefaut();
  if (f.FFormat == 'm') f.CanevasQCM(FReglages);
  AfficheEtiquettes();
  AjustePanneaux();
  AfficheTitreFichier();
  FixeLectureSeule();
  Recherche.RechercheActive = false;
  DlgChercher.PrepareFichier(f, Modes.ChampUneLigne, Modes.Notes, FReglages.ChercheArriere);
  AfficheTitreFenetre();
  IndexCourant = (index >= 0 || Modes.Notes) ? index : 0;
  NouvelleFicheEnCours = false;
  if (FReglages.NouvelleFicheSiNouveauFichier && f.FNomFichier.empty()) {
    NouvelleFiche(-1);
    return;
  }
  AfficheFiche(IndexCourant);
  FVue.DonneFocus(ECibleFocus::Boutons);
}

void TEditeur::AfficheFiche(int i) {
  const TFichierX& f = *FichierCourant;
  const int n = f.GetNombreFiches();
  IndexPrecedent = IndexCourant;
  IndexCourant = (i >= 0 && i < n) ? i : n - 1;
  const bool montree = IndexCourant != -1;
  FicheAffichee = montree ? FichierCourant->FFiches[static_cast<std::size_t>(IndexCourant)].get() : &FicheVierge;
  if (f.FAvecChamp0) {
    FVue.FixeTexte(EChamp::ETitre, FicheAffichee->Champ0);
    FVue.FixeModifie(EChamp::ETitre, false);
  }
  FVue.FixeTexte(EChamp::MQuestion,
                 f.FSansChamp1 && montree ? std::to_string(IndexCourant + 1) : FicheAffichee->Champ1);
  FVue.FixeTexte(EChamp::MReponse, FicheAffichee->Champ2);
  FVue.FixeModifie(EChamp::MQuestion, false);
  FVue.FixeModifie(EChamp::MReponse, false);
  FVue.FixeActif(EChamp::ETitre, montree || !f.FAvecChamp0);
  FVue.FixeActif(EChamp::MQuestion, montree);
  FVue.FixeActif(EChamp::MReponse, montree);
  MetAJourBoutons();
}

void TEditeur::AfficheEtiquettes() {
  const TFichierX& f = *FichierCourant;
  FVue.FixeEtiquette(EChamp::ETitre, f.FEtiquettes.Champ0);
  FVue.FixeEtiquette(EChamp::MQuestion, f.FEtiquettes.Champ1);
  FVue.FixeEtiquette(EChamp::MReponse, f.FEtiquettes.Champ2);
  DlgChercher.PrepareEtiquettes(f);
}

void TEditeur::AfficheTitreFichier() {
  if (FichierCourant->FAvecChamp0) return;
  // The title is not a card's text: the edit keeps its own modified state.
  const bool modifie = FVue.Modifie(EChamp::ETitre);
  FVue.FixeTexte(EChamp::ETitre, FichierCourant->FTitre);
  FVue.FixeModifie(EChamp::ETitre, modifie);
}

void TEditeur::ValideTitreFichier() {
  if (!FichierCourant || FichierCourant->FAvecChamp0 || !FVue.Modifie(EChamp::ETitre)) return;
  FichierCourant->SetTitre(FVue.Texte(EChamp::ETitre));
  FVue.FixeModifie(EChamp::ETitre, false);
}

void TEditeur::FixeLectureSeule() {
  const TFichierX& f = *FichierCourant;
  FVue.FixeLectureSeule(EChamp::ETitre, !f.FModifiable);
  FVue.FixeLectureSeule(EChamp::MQuestion, f.FSansChamp1 || !f.FModifiable);
  FVue.FixeLectureSeule(EChamp::MReponse, !f.FModifiable);
}

void TEditeur::EffaceModifications() {
  FVue.FixeModifie(EChamp::MQuestion, false);
  FVue.FixeModifie(EChamp::MReponse, false);
  if (FichierCourant && FichierCourant->FAvecChamp0) FVue.FixeModifie(EChamp::ETitre, false);
}

// ---------------------------------------------------------------------------------------------
// Buttons, menus, caption

void TEditeur::MetAJourBoutons() {
  const bool s = IndexCourant != -1;
  const int n = FichierCourant ? FichierCourant->GetNombreFiches() : 0;
  const bool modifiable = FichierCourant && FichierCourant->FModifiable;
  FixeItem(EItem::BSuivant, true, s && (IndexCourant < n - 1 || Recherche.RechercheActive));
  FixeItem(EItem::BPrecedent, true, s && (IndexCourant > 0 || Recherche.RechercheActive));
  FixeItem(EItem::BNouveau, true, modifiable);
  FixeItem(EItem::BInserer, true, s && !Modes.FichierTrie && modifiable);
  FixeItem(EItem::BSupprimer, true, s && modifiable);
  FixeItem(EItem::BChercher, true, s);
}

void TEditeur::MetAJourMenus() {
  const TReglages& r = FReglages;
  const std::string nomOuvert = FichierCourant ? FichierCourant->FNomFichier : std::string();
  auto proposable = [&](const std::string& nom) { return !nom.empty() && (!FichierCourant || nom != nomOuvert); };
  TEtatItem ouvert = Item(EItem::Ouvert1);
  ouvert.Visible = proposable(r.FichierOuvert);
  ouvert.Legende = NomAffiche(NomAvecVolume(r.FichierOuvert));
  FixeItem(EItem::Ouvert1, ouvert);
  TEtatItem recent = Item(EItem::Recent1);
  recent.Visible = proposable(r.FichierRecent);
  recent.Legende = NomAffiche(NomAvecVolume(r.FichierRecent));
  FixeItem(EItem::Recent1, recent);
  FixeItem(EItem::Modele1, TypeCourant == 'Q', Item(EItem::Modele1).Actif);
  FixeItem(EItem::OptionsCSV, EstTypeCSV(TypeCourant), Item(EItem::OptionsCSV).Actif);

  auto actif = [&](EItem item, bool etat) { FixeItem(item, Item(item).Visible, etat); };
  auto visible = [&](EItem item, bool etat) { FixeItem(item, etat, Item(item).Actif); };
  const EItem derniereLigne[] = {EItem::Rechercher1, EItem::Rechsuivant1, EItem::AbandonRech1, EItem::Imprimer1,
                                 EItem::PressePapiers1, EItem::ListeVersPressepapiers1, EItem::Listedesfiches1};
  if (!FichierCourant) {
    for (EItem item : {EItem::Sauver1, EItem::Sauversous1, EItem::Fermer1, EItem::Proprietes1,
                       EItem::Enregistrerlafiche1, EItem::Precedente1, EItem::Suivante1, EItem::Nouvelle1,
                       EItem::Entete1, EItem::Options1, EItem::OptionsAvancees1, EItem::Annuler1,
                       EItem::FeuilledeStyle1})
      actif(item, false);
    for (EItem item : derniereLigne) actif(item, false);
    visible(EItem::Exporter1, false);
    return;
  }
  const TFichierX& f = *FichierCourant;
  const bool s = IndexCourant != -1;
  const int n = f.GetNombreFiches();
  const bool modifiee = FicheModifiee();
  actif(EItem::Sauver1, TravailNonSauve());
  for (EItem item : {EItem::Sauversous1, EItem::Fermer1, EItem::Proprietes1, EItem::Entete1}) actif(item, true);
  visible(EItem::Exporter1, Modes.Exportable);
  actif(EItem::Premiere1, s);
  actif(EItem::Derniere1, s);
  actif(EItem::Enregistrerlafiche1, modifiee);
  actif(EItem::Suivante1, s && (IndexCourant < n - 1 || Recherche.RechercheActive));
  actif(EItem::Precedente1, s && (IndexCourant > 0 || Recherche.RechercheActive));
  actif(EItem::Nouvelle1, f.FModifiable);
  actif(EItem::Options1, f.FQuestionnaire);
  actif(EItem::OptionsAvancees1, f.FQuestionnaire);
  actif(EItem::Inserer1, s && !Modes.FichierTrie && f.FModifiable);
  actif(EItem::Supprimer1, s && f.FModifiable);
  actif(EItem::Canevas1, NouvelleFicheEnCours);
  visible(EItem::Rechsuivant1, Recherche.RechercheActive);
  visible(EItem::AbandonRech1, Recherche.RechercheActive);
  actif(EItem::Annuler1, modifiee || NouvelleFicheEnCours);
  visible(EItem::Etiquettes1, f.FFormat == 'x' && f.FModifiable);
  visible(EItem::PermuterChamps, Modes.Permutable && s && f.FModifiable);
  actif(EItem::FeuilledeStyle1, f.FModifiable);
  for (EItem item : derniereLigne) actif(item, s);
}

void TEditeur::AfficheTitreFenetre() {
  const std::string& nom = FichierCourant->FNomFichier;
  FVue.FixeTitreFenetre(TitreApplication + " - " + (nom.empty() ? std::string("(Nouveau fichier)") : NomAffiche(nom)));
}

void TEditeur::VideFenetre() {
  FVue.FixeTitreFenetre(TitreApplication);
  FixeItem(EItem::Edition1, false, true);
  FVue.FixeTexte(EChamp::ETitre, "(Pas de fichier chargé)"_a);
  FVue.FixeActif(EChamp::ETitre, false);
  for (EChamp champ : {EChamp::MQuestion, EChamp::MReponse}) {
    FVue.FixeTexte(champ, {});
    FVue.FixeActif(champ, false);
  }
  // Nothing typed before survives the file.
  for (EChamp champ : {EChamp::ETitre, EChamp::MQuestion, EChamp::MReponse}) FVue.FixeModifie(champ, false);
  for (EItem b : {EItem::BPrecedent, EItem::BSuivant, EItem::BNouveau, EItem::BInserer, EItem::BSupprimer,
                  EItem::BChercher})
    FixeItem(b, true, false);
  FicheAffichee = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Stepping

void TEditeur::BSuivantClick() {
  if (!FichierCourant || ValideFiche()) return;
  if (Recherche.RechercheActive)
    ChercheProchaine(false);
  else if (!FicheSansSaisieSupprimee)
    AfficheFiche(IndexCourant + 1);
}

void TEditeur::BPrecedentClick() {
  if (!FichierCourant || ValideFiche()) return;
  if (Recherche.RechercheActive)
    ChercheProchaine(true);
  else if (IndexCourant > 0 && !FicheSansSaisieSupprimee)
    AfficheFiche(IndexCourant - 1);
}

