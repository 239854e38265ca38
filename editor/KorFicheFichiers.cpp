// The file commands: new, open, new from a model, save, save as, export, close; the letter
// lists in most-recently-used order, the extensions and dialog filters, the reader and writer
// of each format, and the questions on the way.

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "cards/KorOutils.h"
#include "editor/KorFiche.h"
#include "exchange/KorCommun.h"
#include "exchange/KorCsv.h"
#include "exchange/KorFormatsEchange.h"
#include "platform/Ansi.h"
#include "platform/Chemin.h"
#include "platform/Fichier.h"

namespace {

// The file's name without its folder, as a message shows it.
std::string NomAffiche(const std::string& chemin) { return ansi::Utf8VersAnsi(NomSansDossier(chemin)); }

std::string Filtrees(const std::string& liste, bool (*garde)(char), const std::string& defaut) {
  std::string resultat;
  for (char c : liste)
    if (garde(c)) resultat += c;
  return resultat.empty() ? defaut : resultat;
}

bool EstLettreType(char c) { return c >= 'A' && c <= 'Z'; }
bool EstLettreFormat(char c) { return c != 0 && ChercheFormat(c) != nullptr; }

// The row of a format letter that the editor holds; a letter no format has cannot be read or written.
const TFormat& FormatDe(char lettre) {
  const TFormat* format = ChercheFormat(lettre);
  if (!format) throw ErreurIdInvalide("Fichier non reconnu !");
  return *format;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Letter lists, extensions, filters

void PlaceEnTete(char lettre, std::string& liste, std::size_t maximum) {
  if (!liste.empty() && liste[0] == lettre) return;
  const auto position = liste.find(lettre);
  if (position != std::string::npos) liste.erase(position, 1);
  liste.insert(liste.begin(), lettre);
  liste.resize(std::min({liste.size(), std::size_t{254}, maximum}));
}

std::string TypesUtilisables(const std::string& liste) { return Filtrees(liste, EstLettreType, TypesParDefaut); }

std::string FormatsUtilisables(const std::string& liste) {
  return Filtrees(liste, EstLettreFormat, FormatsParDefaut);
}

void NettoieListesLettres(TReglages& r) {
  r.TypesUtilises = TypesUtilisables(r.TypesUtilises);
  r.FormatsUtilises = FormatsUtilisables(r.FormatsUtilises);
}

std::string MotifExtension(char format) {
  const TIdentiteFormat* identite = IdentiteFormat(format);
  return identite ? std::string(identite->Motif) : std::string();
}

std::string ExtensionFichier(char type, char format) { return ExtensionDuMotif(MotifExtension(format), type); }

bool FormatNatif(char format) { return FormatCarte(format) != nullptr; }

TFiltre FiltreOuverture(char type, const TReglages& r) {
  TFiltre f{NomDeType(type), {"*." + ExtensionFichier(type, 'x'), "*." + ExtensionFichier(type, 'n')}};
  if (type == 'M' || type == 'N' || type == 'R') f.Motifs.push_back("*.xml");
  if (type == 'R') f.Motifs.push_back("*.crd");
  if (type != ' ' && r.TypesCSV.find(type) != std::string::npos) f.Motifs.push_back("*.csv");
  return f;
}

TFiltre FiltreSauvegarde(char type, char format) {
  return {NomDeFormat(format), {"*." + ExtensionFichier(type, format)}};
}

std::string TexteFiltre(const TFiltre& filtre) {
  std::string texte = filtre.Description + "|";
  for (std::size_t i = 0; i < filtre.Motifs.size(); ++i) texte += (i ? ";" : "") + filtre.Motifs[i];
  if (texte.size() > 255) texte.resize(255);
  return texte;
}

int NumeroFicheMemorisee(const std::string& nom, const TReglages& r) {
  if (nom == r.FichierOuvert) return r.NumeroFicheOuvert;
  if (nom == r.FichierRecent) return r.NumeroFicheRecent;
  return -1;
}

std::string TEditeur::ListeTypes() const {
  std::string liste = TypesUtilisables(FReglages.TypesUtilises);
  if (TypeCourant != '?') PlaceEnTete(TypeCourant, liste);
  return liste;
}

bool TEditeur::EstTypeCSV(char type) const { return ::EstTypeCSV(type, FReglages); }

bool TEditeur::FormatExportable(char format) const {
  const TFormat* f = ChercheFormat(format);
  return f && f->Exportable(*FichierCourant, FReglages);
}

std::string TEditeur::ListeFormatsExport() const {
  std::string liste;
  for (char c : FormatsUtilisables(FReglages.FormatsUtilises))
    if (FormatExportable(c)) liste += c;
  return liste;
}

bool TEditeur::FormatPermis(char format) const {
  const TFormat* f = ChercheFormat(format);
  return f && f->Permis(*FichierCourant, FReglages);
}

std::string TEditeur::ListeFormatsSauvegarde() const {
  std::string liste = FormatsUtilisables(FReglages.FormatsUtilises);
  PlaceEnTete(FichierCourant->FFormat, liste);
  std::string resultat(1, liste[0]);
  for (std::size_t i = 1; i < liste.size(); ++i)
    if (FormatPermis(liste[i])) resultat += liste[i];
  return resultat;
}

char TEditeur::FormatParDefaut() const {
  if (TypeCourant == TypeMoodle) return 'm';
  if (TypeCourant == PremierTypeCSV) return 's';
  return 'x';
}

std::vector<TFiltre> TEditeur::FiltresOuverture(const std::string& types) const {
  std::vector<TFiltre> filtres{FiltreOuverture(types[0], FReglages)};
  if (FReglages.TousTypes) {
    for (std::size_t i = 1; i < types.size(); ++i) filtres.push_back(FiltreOuverture(types[i], FReglages));
    filtres.push_back({"Tous", {"*.*"}});
  }
  return filtres;
}

char TEditeur::TypeCSVParDefaut(const std::string& nom) const {
  if (TypeCourant != '?') return TypeCourant;
  const std::string types = TypesUtilisables(FReglages.TypesUtilises);
  const std::string csv = Filtrees(FReglages.TypesCSV, EstLettreType, {});
  if (nom == FReglages.FichierOuvert || csv.empty()) return types[0];
  return csv[0];
}

// ---------------------------------------------------------------------------------------------
// Opening

bool TEditeur::OuvreFichier(const std::string& nom, int index, bool rapport, bool normal, bool editable) {
  try {
    const char format = DetecteFormat(nom, EVarianteDetection::Complete, FReglages);
    if (!normal && !FormatNatif(format))
      throw ErreurIdInvalide("Ce fichier ne peut pas être utilisé comme modèle\u00a0!"_a);
    // The read-only attribute, or a file this user may not write.
    if (EstLectureSeule(nom) || ::access(nom.c_str(), W_OK) != 0) editable = false;
    const TFormat& lecteur = FormatDe(format);
    if (!lecteur.Lit) throw ErreurIdInvalide("Fichier non reconnu !");
    std::unique_ptr<TFichierX> lu =
        lecteur.Lit(nom, {editable, normal, EVarianteModele::Complet, TypeCSVParDefaut(nom)}, FReglages);
    FichierCourant = std::move(lu);
    TypeCourant = FichierCourant->FType;
    DetermineModes();
    if (Modes.FichierTrie && format != 'c' && !FichierCourant->EstTrie()) FichierCourant->Trie();
    AfficheFichier(index);
    return true;
  } catch (const EErreur& e) {
    // Whatever was read is dropped: the editor is without a file.
    if (FichierCourant) {
      FicheAffichee = nullptr;
      FichierCourant.reset();
      VideFenetre();
    }
    if (rapport) {
      if (nom == FReglages.FichierOuvert)
        FReglages.FichierOuvert.clear();
      else if (nom == FReglages.FichierRecent)
        FReglages.FichierRecent.clear();
      MessageErreur(e.Message());
    }
    return false;
  }
}

// ---------------------------------------------------------------------------------------------
// Saving

int TEditeur::SauveFichier(const std::string& nomDemande, bool demande, bool exporte) {
  TFichierX& f = *FichierCourant;
  const char type = f.FType;
  char format = f.FFormat;
  std::string nom = nomDemande;
  if (demande) {
    const std::string liste = exporte ? ListeFormatsExport() : ListeFormatsSauvegarde();
    if (liste.empty()) return Abandon;
    format = liste[0];
    std::vector<TFiltre> filtres;
    for (char c : liste) filtres.push_back(FiltreSauvegarde(type, c));
    // Proposed in the open file's folder.
    std::string propose = nom;
    const std::filesystem::path dossier = std::filesystem::path(f.FNomFichier).parent_path();
    if (!dossier.empty() && std::filesystem::path(nom).parent_path().empty()) propose = (dossier / nom).string();
    TChoixSauvegarde choix;
    if (!FVue.DialogueSauver(filtres, ExtensionFichier(type, format), propose, choix)) return Abandon;
    if (choix.Filtre >= 0 && static_cast<std::size_t>(choix.Filtre) < liste.size()) format = liste[choix.Filtre];
    nom = choix.Nom;
    try {
      // An export never goes onto the file being edited, whatever its state.
      if (exporte) echange::VerifieCibleExport(f, nom);
    } catch (const EErreur& e) {
      MessageErreur(e.Message());
      return Abandon;
    }
    if (nom != f.FNomFichier && FichierExiste(nom)) {
      const std::string question =
          "Le fichier \"" + NomAffiche(nom) + "\" existe déjà.\r\nVoulez-vous l'écraser ?"_a;
      if (FVue.Message(question, {}, EGenreMessage::Avertissement, EBoutons::OkAnnuler) != EBouton::Ok) return Abandon;
    }
    if (nom == f.FNomFichier) {
      if (!f.FModifie) return Abandon;
      demande = false;
    }
  }
  try {
    FormatDe(format).Ecrit(f, nom, demande, FReglages);
  } catch (const EErreur& e) {
    MessageErreur(e.Message());
    return Abandon;
  }
  PlaceEnTete(format, FReglages.FormatsUtilises);
  if (demande) {
    AfficheTitreFenetre();
    FixeLectureSeule();
    MetAJourBoutons();
  }
  return Sauve;
}

int TEditeur::DemandeSauvegarde() {
  if (!FichierCourant) return Sauve;
  if (ValideFiche()) return Abandon;
  ValideTitreFichier();
  TFichierX& f = *FichierCourant;
  if (!f.FModifie) return Sauve;
  const std::string question =
      "Le fichier \"" + (f.FNomFichier.empty() ? std::string() : NomAffiche(f.FNomFichier)) +
      "\" a été modifié.\r\nVoulez-vous le sauver ?"_a;
  switch (FVue.Message(question, {}, EGenreMessage::Avertissement, EBoutons::OuiNonAnnuler)) {
    case EBouton::Oui: return SauveFichier(f.FNomFichier, f.FNomFichier.empty(), false);
    case EBouton::Non: return SansSauver;
    default: return Abandon;
  }
}

// ---------------------------------------------------------------------------------------------
// Forgetting, closing

void TEditeur::LibereFichier() {
  if (!FichierCourant) return;
  const TFichierX& f = *FichierCourant;
  if (!f.FNomFichier.empty()) {
    TReglages& r = FReglages;
    PlaceEnTete(f.FType, r.TypesUtilises);
    if (f.FNomFichier != r.FichierOuvert) {
      r.FichierRecent = r.FichierOuvert;
      r.NumeroFicheRecent = r.NumeroFicheOuvert;
      r.FichierOuvert = f.FNomFichier;
    }
    r.NumeroFicheOuvert = IndexCourant;
  }
  FicheAffichee = nullptr;
  NouvelleFicheEnCours = false;
  Recherche.RechercheActive = false;
  FVue.ListeFichierChange(nullptr);
  FichierCourant.reset();
  ++NumeroFichier;
  VideFenetre();
}

int TEditeur::FermeFichier() {
  const int resultat = DemandeSauvegarde();
  if (resultat != Abandon) LibereFichier();
  return resultat;
}

bool TEditeur::PeutFermer() {
  FReglages.FichierOuvertEnQuittant = FichierCourant != nullptr;
  if (ReponseFinDeSessionTient()) {
    // Answered at the logout: the file is forgotten as the close forgets it, unasked.
    FReponseFinDeSession.reset();
    LibereFichier();
    return true;
  }
  return FermeFichier() != Abandon;
}

// ---------------------------------------------------------------------------------------------
// The desktop's logout

bool TEditeur::TravailNonSauve() const {
  return FichierCourant && (FichierCourant->FModifie || SaisieNonValidee());
}

bool TEditeur::QuestionFinDeSession() {
  FReponseFinDeSession.reset();
  if (DemandeSauvegarde() == Abandon) return false;
  FReponseFinDeSession = TReponseFinDeSession{NumeroFichier, NumeroCommande};
  return true;
}

bool TEditeur::ReponseFinDeSessionTient() const {
  return FReponseFinDeSession && *FReponseFinDeSession == TReponseFinDeSession{NumeroFichier, NumeroCommande} &&
         !SaisieNonValidee();
}

void TEditeur::OuvreAutreFichier(std::string nom, int index) {
  if (nom.empty() || FermeFichier() == Abandon) return;
  TypeCourant = '?';
  OuvreFichier(nom, index, true, true, true);
}

// ---------------------------------------------------------------------------------------------
// Commands

void TEditeur::Nouveau1Click() {
  if (DemandeSauvegarde() == Abandon) return;
  const std::string types = ListeTypes();
  std::vector<std::string> noms;
  for (char c : types) noms.push_back(NomDeType(c));
  int index = 0;
  if (FReglages.TousTypes && types.size() > 1) {
    if (!FVue.DialogueNouveau(noms, index)) return;
    index = std::clamp(index, 0, static_cast<int>(types.size()) - 1);
  }
  TypeCourant = types[static_cast<std::size_t>(index)];
  auto fichier = std::make_unique<TFichierX>(TypeCourant, FormatParDefaut(), EVarianteModele::Complet, FReglages);
  fichier->InitNouveauFichier(FReglages);
  MontreFichier(std::move(fichier), -1);
}

void TEditeur::Ouvrir1Click(bool normal) {
  if (DemandeSauvegarde() == Abandon) return;
  const std::string types = ListeTypes();
  TChoixOuverture choix;
  if (!FVue.DialogueOuvrir(FiltresOuverture(types), ExtensionFichier(types[0], FormatParDefaut()),
                           DossierOuverture(FichierCourant.get(), FReglages), choix))
    return;
  const bool parType = FReglages.TousTypes ? choix.Filtre >= 0 && static_cast<std::size_t>(choix.Filtre) < types.size()
                                           : true;
  TypeCourant = parType ? types[FReglages.TousTypes ? static_cast<std::size_t>(choix.Filtre) : 0] : '?';
  LibereFichier();
  OuvreFichier(choix.Nom, NumeroFicheMemorisee(choix.Nom, FReglages), true, normal, !choix.LectureSeule);
}

void TEditeur::Sauver1Click() {
  if (!FichierCourant || ValideFiche()) return;
  ValideTitreFichier();
  SauveFichier(FichierCourant->FNomFichier, FichierCourant->FNomFichier.empty(), false);
}

void TEditeur::Sauversous1Click(bool exporte) {
  if (!FichierCourant || ValideFiche()) return;
  ValideTitreFichier();
  SauveFichier(NomSansExtension(FichierCourant->FNomFichier), true, exporte);
}

void TEditeur::Ouvert1Click() { OuvreAutreFichier(FReglages.FichierOuvert, FReglages.NumeroFicheOuvert); }

void TEditeur::Recent1Click() { OuvreAutreFichier(FReglages.FichierRecent, FReglages.NumeroFicheRecent); }
