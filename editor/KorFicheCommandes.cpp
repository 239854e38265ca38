#include "editor/KorFicheCommandes.h"

#include <algorithm>
#include <utility>

#include "cards/KorFichierX.h"
#include "cards/KorInit.h"
#include "editor/KorFiche.h"
#include "platform/Ansi.h"

namespace {

const std::string CRLF = "\r\n";

}  // namespace

std::string Indente(const std::string& texte) { return "      " + texte; }

std::vector<std::string> LignesImpression(const std::string& titre,
                                          const std::vector<std::string>& lignesQuestion,
                                          const std::vector<std::string>& lignesReponse) {
  std::vector<std::string> lignes;
  lignes.reserve(lignesQuestion.size() + lignesReponse.size() + 3);
  lignes.push_back(Indente(titre));
  lignes.emplace_back();
  for (const std::string& l : lignesQuestion) lignes.push_back(Indente(l));
  lignes.emplace_back();
  for (const std::string& l : lignesReponse) lignes.push_back(Indente(l));
  return lignes;
}

std::string TexteFichePressePapiers(const std::string& titre, const std::string& question,
                                    const std::string& reponse, bool avecChamp0, bool sansChamp1) {
  std::string texte = reponse;
  if (!sansChamp1) texte = question + CRLF + CRLF + texte;
  if (avecChamp0 && !titre.empty()) texte = titre + CRLF + CRLF + texte;
  return texte;
}

std::string TexteListePressePapiers(const TFichierX& fichier) {
  std::string texte;
  for (int i = 0; i < fichier.GetNombreFiches(); ++i) texte += fichier.GetTitreFiche(i) + CRLF;
  return texte;
}

std::string TexteProprietes(const TFichierX& fichier) {
  return "Type : "_a + fichier.GetNomType() + CRLF + CRLF + "Format : "_a + fichier.GetNomFormat() +
         CRLF + CRLF + "Nombre de fiches : "_a + std::to_string(fichier.GetNombreFiches());
}

std::string TexteAPropos(char typeCourant) {
  return "Orvaline : micro Base de Données"_a + CRLF + "KorEdit, version " + VersionFormat + CRLF +
         CRLF + "Type : " + NomDeType(typeCourant);
}

int TaillePoliceAffichee(std::int32_t taille, int parDefaut) {
  if (taille <= 0) return parDefaut;
  return static_cast<int>(std::clamp<std::int32_t>(taille, TaillePoliceMin, TaillePoliceMax));
}

std::optional<TFichierDemarrage> FichierAuDemarrage(const std::vector<std::string>& arguments,
                                                    const TReglages& r, int nombreInstances) {
  if (!arguments.empty()) return TFichierDemarrage{arguments.front(), true};
  if (r.OuvrirAuDemarrage && r.FichierOuvertEnQuittant && nombreInstances == 1 && !r.FichierOuvert.empty())
    return TFichierDemarrage{r.FichierOuvert, false};
  return std::nullopt;
}

std::optional<std::string> FichierDeLigneCommande(const std::vector<std::string>& arguments,
                                                  const std::string* nomOuvert) {
  if (arguments.empty()) return std::nullopt;
  if (nomOuvert && *nomOuvert == arguments.front()) return std::nullopt;
  return arguments.front();
}

TFileLigneCommande::TFileLigneCommande(FDialogueOuvert dialogueOuvert, FExecute execute)
    : FDialogueModal(std::move(dialogueOuvert)), FExecution(std::move(execute)) {}

void TFileLigneCommande::Recoit(std::vector<std::string> arguments) {
  FEnAttente = std::move(arguments);
  Reprend();
}

void TFileLigneCommande::Reprend() {
  // A command line that comes while one is being acted on (its save question is open, for
  // instance) waits for the end of that one.
  if (FEnCours) return;
  while (FEnAttente && !FDialogueModal()) {
    const std::vector<std::string> arguments = std::move(*FEnAttente);
    FEnAttente.reset();
    struct TEnCours {
      bool& f;
      explicit TEnCours(bool& drapeau) : f(drapeau) { f = true; }
      ~TEnCours() { f = false; }
    } enCours(FEnCours);
    FExecution(arguments);
  }
}

// ---------------------------------------------------------------------------------------------
// The editor's commands

void TEditeur::Imprimer1Click() {
  // The edits as they stand, stored or not; no validation.
  if (!FichierCourant || !FVue.DialogueImpression()) return;
  const std::string erreur =
      FVue.Imprime(LignesImpression(FVue.Texte(EChamp::ETitre), FVue.LignesAffichees(EChamp::MQuestion),
                                    FVue.LignesAffichees(EChamp::MReponse)));
  if (!erreur.empty()) MessageErreur(erreur);
}

void TEditeur::PressePapiers1Click() {
  if (!FichierCourant) return;
  FVue.FixePressePapiers(TexteFichePressePapiers(FVue.Texte(EChamp::ETitre), FVue.Texte(EChamp::MQuestion),
                                                 FVue.Texte(EChamp::MReponse), FichierCourant->FAvecChamp0,
                                                 FichierCourant->FSansChamp1));
}

void TEditeur::ListeVersPressePapiers1Click() {
  if (!FichierCourant || ValideFiche()) return;
  FVue.FixePressePapiers(TexteListePressePapiers(*FichierCourant));
}

void TEditeur::ChoisitPolice(EPolice police) {
  const bool champs = police == EPolice::Champs;
  std::string nom = champs ? FReglages.PoliceChamps : FReglages.PoliceListe;
  std::int32_t taille = champs ? FReglages.TaillePoliceChamps : FReglages.TaillePoliceListe;
  if (!FVue.DialoguePolice(police, nom, taille)) return;
  // Only the name and the size are kept; the whole font serves for the run.
  (champs ? FReglages.PoliceChamps : FReglages.PoliceListe) = nom;
  (champs ? FReglages.TaillePoliceChamps : FReglages.TaillePoliceListe) = taille;
  ReglagesModifies = true;
  FVue.AppliquePoliceChoisie(police);
  if (champs) AjustePanneaux();
}

void TEditeur::Coche(EItem item, bool coche) {
  TEtatItem etat = Item(item);
  etat.Coche = coche;
  FixeItem(item, etat);
}

void TEditeur::AppliqueAvantPlan() {
  FVue.FixeAvantPlan(FReglages.AvantPlan);
  Coche(EItem::Applicationaudessus1, FReglages.AvantPlan);
}

void TEditeur::Applicationaudessus1Click() {
  FReglages.AvantPlan = !FReglages.AvantPlan;
  ReglagesModifies = true;
  AppliqueAvantPlan();
}

void TEditeur::Rouvrir1Click() {
  FReglages.OuvrirAuDemarrage = !FReglages.OuvrirAuDemarrage;
  ReglagesModifies = true;
  Coche(EItem::Rouvrir1, FReglages.OuvrirAuDemarrage);
}

void TEditeur::Instanceunique1Click() {
  // Read when the window is created: the change acts from the next start.
  FReglages.InstanceUnique = !FReglages.InstanceUnique;
  ReglagesModifies = true;
  Coche(EItem::Instanceunique1, FReglages.InstanceUnique);
}

void TEditeur::Premiere1Click() {
  if (FichierCourant && !ValideFiche()) AfficheFiche(0);
}

void TEditeur::Derniere1Click() {
  if (FichierCourant && !ValideFiche()) AfficheFiche(-1);
}

void TEditeur::PermuterChampsClick() {
  if (!FichierCourant || ValideFiche()) return;
  const TFicheX& e = FichierCourant->FEtiquettes;
  const std::string question =
      "Voulez-vous vraiment permuter les champs "_a + e.Champ1 + "/" + e.Champ2 + " de toutes les fiches ?";
  if (FVue.Message(question, {}, EGenreMessage::Question, EBoutons::OkAnnuler) != EBouton::Ok) return;
  FichierCourant->PermuteChamps();
  AfficheFiche(IndexCourant);
}

void TEditeur::Annuler1Click() {
  if (!FichierCourant) return;
  if (NouvelleFicheEnCours)
    SupprimeFiche();
  else
    AfficheFiche(IndexCourant);
}

void TEditeur::Enregistrerlafiche1Click() {
  if (FichierCourant) ValideFiche();
}

void TEditeur::Proprietes1Click() {
  if (!FichierCourant) return;
  MessageAvecTitre(TexteProprietes(*FichierCourant), "Propriétés"_a, EGenreMessage::Information, EBoutons::Ok);
}

void TEditeur::Apropos1Click() {
  MessageAvecTitre(TexteAPropos(TypeCourant), "A propos", EGenreMessage::Information, EBoutons::Ok);
}

void TEditeur::Rubriquesdaide1Click() { FVue.AfficheAide(ContexteAide(TypeCourant)); }

void TEditeur::LigneCommandeRecue(const std::vector<std::string>& arguments) {
  ++NumeroCommande;
  const std::optional<std::string> nom =
      FichierDeLigneCommande(arguments, FichierCourant ? &FichierCourant->FNomFichier : nullptr);
  // The card index is read before the open file is closed, which may change it.
  if (nom) OuvreAutreFichier(*nom, NumeroFicheMemorisee(*nom, FReglages));
}

void TEditeur::FormShow(const std::vector<std::string>& arguments, int nombreInstances) {
  FVue.AppliquePolice(EPolice::Champs, FReglages.PoliceChamps, FReglages.TaillePoliceChamps);
  FVue.AppliquePolice(EPolice::Liste, FReglages.PoliceListe, FReglages.TaillePoliceListe);
  AppliqueAvantPlan();
  Coche(EItem::Rouvrir1, FReglages.OuvrirAuDemarrage);
  Coche(EItem::Instanceunique1, FReglages.InstanceUnique);
  PremierTypeCSV = FReglages.TypesCSV.empty() ? ' ' : FReglages.TypesCSV[0];
  if (const std::optional<TFichierDemarrage> d = FichierAuDemarrage(arguments, FReglages, nombreInstances)) {
    const std::string nom = d->Nom;
    OuvreFichier(nom, NumeroFicheMemorisee(nom, FReglages), d->Rapport, true, true);
  }
  DemarreSansFichier();
}
