#include "cards/KorFichierX.h"

#include <algorithm>
#include <filesystem>

#include "cards/KorFormats.h"
#include "cards/KorOutils.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"

namespace {

const std::string CRLF = "\r\n";

unsigned char Code(char c) { return static_cast<unsigned char>(c); }

bool EstLettreAscii(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

TFichierX::TFichierX(char type, char format, EVarianteModele variante, const TReglages& reglages)
    : FType(type), FFormat(format), FCodePage(ansi::GetACP()), FIdFiche("F"), FIdChamp0("I"),
      FVariante(variante) {
  if (variante == EVarianteModele::Questionnaire) {
    // The player plays questionnaires only: the type sets nothing.
    // One-character names are assigned by count: g++ 12 sees a false overlap in operator=(const char*).
    FIdChamp1.assign(1, 'Q');
    FIdChamp2.assign(1, 'R');
    FAvecOptions = true;
    FFragmenteur.assign(1, ';');
    FCommentaire = '(';
    FTroncature = '*';
    FAlternateur = '/';
    FCategorie = '%';
    FOuVisible = reglages.Conjonction;
    FPonctuation = reglages.Ponctuation;
    FScoreSatisfaisant = 50;
    return;
  }

  const unsigned char t = Code(type);
  char nom1 = 'A', nom2 = 'B';
  switch (type) {
    case 'F': case 'G': case 'H': case 'I': case 'J': case 'K': case 'P':
      break;
    case 'M': case 'Q':
      nom1 = 'Q';
      nom2 = 'R';
      break;
    default:
      if (t >= 'A' && t <= 'V') {
        nom1 = 'O';
        nom2 = 'C';
      }
  }
  FIdChamp1.assign(1, nom1);
  FIdChamp2.assign(1, nom2);
  FGenreEtiquettes = FIdChamp1[0];
  FAvecChamp0 = FGenreEtiquettes == 'Q' || type == 'I';
  FSansChamp1 = FGenreEtiquettes == 'O' && (type == 'L' || t > 'R');
  FAvecOptions = FGenreEtiquettes == 'Q' || t <= 'E';
  if (FAvecOptions || FSansChamp1) FFragmenteur = FragmenteurParDefaut(reglages);
  if (FAvecOptions) {
    FCommentaire = '(';
    FTroncature = '*';
    FAlternateur = '/';
    FCategorie = '%';
    FSeparateurTitre = ':';
    FQuestionnaire = type == 'Q';
    if (FQuestionnaire) {
      FOuVisible = reglages.Conjonction;
      FPonctuation = reglages.Ponctuation;
      FScoreSatisfaisant = 50;
    }
    FEspacement = EspacementParDefaut();
  }
}

TFichierX::~TFichierX() {
  FFlux.reset();
  while (!FFiches.empty()) FFiches.pop_back();
}

void TFichierX::InitNouveauFichier(const TReglages& r) {
  FVersionCreation = VersionFormat;
  FSignature = r.SignatureDefaut;
  FFeuilleStyle = r.FeuilleStyleDefaut;
}

std::string TFichierX::FragmenteurParDefaut(const TReglages& r) const {
  switch (FType) {
    case 'A': case 'Q': return ";";
    case 'B': case 'E': case 'L': case 'S': case 'V': return CRLF;
    case 'D': return "|";
    case 'M': return r.SeparateurQCM;
    default: return {};
  }
}

std::string TFichierX::EspacementParDefaut() const {
  switch (FType) {
    case 'A': case 'D': case 'Q': return " ";
    case 'M': return CRLF;
    default: return {};
  }
}

std::string TFichierX::GetNomType() const { return NomDeType(FType); }
std::string TFichierX::GetNomFormat() const { return NomDeFormat(FFormat); }

// Cards

void TFichierX::VerifieIndex(int index, int limite) const {
  if (index < 0 || index >= limite)
    throw EListError("Index de liste hors limites (" + std::to_string(index) + ")");
}

TFicheX& TFichierX::Fiche(int index) {
  VerifieIndex(index, GetNombreFiches());
  return *FFiches[static_cast<std::size_t>(index)];
}

const TFicheX& TFichierX::Fiche(int index) const {
  VerifieIndex(index, GetNombreFiches());
  return *FFiches[static_cast<std::size_t>(index)];
}

void TFichierX::CreeFiche(int index) {
  if (index != -1) VerifieIndex(index, GetNombreFiches() + 1);
  auto fiche = FAvecCanevas ? std::make_unique<TFicheX>(FCanevas) : std::make_unique<TFicheX>();
  if (index == -1)
    FFiches.push_back(std::move(fiche));
  else
    FFiches.insert(FFiches.begin() + index, std::move(fiche));
}

void TFichierX::SetFiche(int index, const std::string& champ0, const std::string& champ1,
                         const std::string& champ2) {
  TFicheX& f = Fiche(index);
  if (FAvecChamp0) f.Champ0 = champ0;
  if (!FSansChamp1) f.Champ1 = champ1;
  f.Champ2 = champ2;
  FModifie = true;
}

void TFichierX::AjouteFiche(const std::string& champ0, const std::string& champ1, const std::string& champ2) {
  FFiches.push_back(std::make_unique<TFicheX>());
  SetFiche(GetNombreFiches() - 1, champ0, champ1, champ2);
}

void TFichierX::AjouteFicheDeuxChamps(const std::string& champ1, const std::string& champ2) {
  AjouteFiche(std::string(), champ1, champ2);
}

void TFichierX::DeplaceFiche(int de, int vers) {
  VerifieIndex(vers, GetNombreFiches());
  VerifieIndex(de, GetNombreFiches());
  if (de == vers) return;
  auto fiche = std::move(FFiches[static_cast<std::size_t>(de)]);
  FFiches.erase(FFiches.begin() + de);
  FFiches.insert(FFiches.begin() + vers, std::move(fiche));
}

void TFichierX::SupprimeFiche(int index) {
  VerifieIndex(index, GetNombreFiches());
  FFiches.erase(FFiches.begin() + index);
}

void TFichierX::PermuteChamps() {
  for (auto& f : FFiches) std::swap(f->Champ1, f->Champ2);
  FModifie = true;
}

std::string TFichierX::GetTitreFiche(int index) const {
  const TFicheX& f = Fiche(index);
  const std::string& titre = FAvecChamp0 ? f.Champ0 : f.Champ1;
  if (!titre.empty()) return titre;
  return "# " + std::to_string(index + 1);
}

// Sorting

int CompareFiches(const TFicheX& a, const TFicheX& b, TComparaisonLocale comparaison) {
  const int r = comparaison(a.Champ1, b.Champ1, false);
  if (r < CSTR_LESS_THAN || r > CSTR_GREATER_THAN) return -2;
  return r - 2;
}

int CompareFiches(const TFicheX& a, const TFicheX& b) { return CompareFiches(a, b, CompareStringA); }

void TFichierX::Trie() {
  // The locale's order by collation keys computed once per card: the same order as the
  // comparison, in the time of a plain sort.
  std::vector<std::string_view> cles;
  cles.reserve(FFiches.size());
  for (const auto& f : FFiches) cles.push_back(f->Champ1);
  const std::vector<std::size_t> ordre = OrdreLocale(cles);
  std::vector<std::unique_ptr<TFicheX>> triees;
  triees.reserve(FFiches.size());
  for (std::size_t i : ordre) triees.push_back(std::move(FFiches[i]));
  FFiches = std::move(triees);
}

void TFichierX::Trie(TComparaisonLocale comparaison) {
  // A failed comparison answers -2 ("less") both ways, which is no order at all, and a sort
  // given no order may run off the list. Such a pair is ordered by the texts' codes instead.
  // Stable, so that cards of equal keys keep their file order.
  std::stable_sort(FFiches.begin(), FFiches.end(),
                   [comparaison](const std::unique_ptr<TFicheX>& a, const std::unique_ptr<TFicheX>& b) {
                     const int r = comparaison(a->Champ1, b->Champ1, false);
                     if (r >= CSTR_LESS_THAN && r <= CSTR_GREATER_THAN) return r == CSTR_LESS_THAN;
                     return std::lexicographical_compare(
                         a->Champ1.begin(), a->Champ1.end(), b->Champ1.begin(), b->Champ1.end(),
                         [](char x, char y) { return Code(x) < Code(y); });
                   });
}

bool TFichierX::EstTrie() const {
  for (std::size_t i = 1; i < FFiches.size(); ++i)
    if (CompareFiches(*FFiches[i], *FFiches[i - 1]) < 0) return false;
  return true;
}

bool TFichierX::EstTypeTrie() const { return FType == 'R' || Code(FType) <= 'D'; }

// Header and element names

void TFichierX::SetTitre(const std::string& titre) {
  FTitre = Rogne(titre);
  FModifie = true;
}

std::string TFichierX::GetVersionCreation() const {
  return FVersionCreation == VersionFormat ? std::string() : FVersionCreation;
}

void AssigneIdentificateur(std::string& cible, const std::string& nom) {
  if (nom.empty() || !(EstLettreAscii(nom[0]) || nom[0] == '_')) return;
  for (char c : nom)
    if (!(EstLettreAscii(c) || (c >= '0' && c <= '9') || c == '_')) return;
  cible = nom;
}

void TFichierX::SetIdChamp0(const std::string& nom) {
  FAvecChamp0 = !nom.empty();
  if (FAvecChamp0) AssigneIdentificateur(FIdChamp0, nom);
}

void TFichierX::SetIdChamp1(const std::string& nom) {
  if (FVariante == EVarianteModele::Complet) {
    FSansChamp1 = FSansChamp1 && nom.empty();
    if (FSansChamp1) return;
  }
  AssigneIdentificateur(FIdChamp1, nom);
}

std::string TFichierX::GetIdChamp0() const { return FAvecChamp0 ? FIdChamp0 : std::string(); }
std::string TFichierX::GetIdChamp1() const { return FSansChamp1 ? std::string() : FIdChamp1; }

// Option characters

void TFichierX::SetFragmenteur(char c) {
  switch (c) {
    case ';': case '#': case '|': FFragmenteur = std::string(1, c); break;
    case ' ': FFragmenteur.clear(); break;
    default: break;
  }
}

char TFichierX::GetFragmenteur() const {
  if (FFragmenteur.empty()) return ' ';
  return FFragmenteur.size() == 1 ? FFragmenteur[0] : '\0';
}

void TFichierX::SetAlternateur(char c) {
  if (c == '/' || c == '|' || c == ' ') FAlternateur = c;
}

void TFichierX::SetCommentaire(char c) {
  if (c == '(' || c == '[' || c == ' ') FCommentaire = c;
}

void TFichierX::SetTroncature(char c) {
  if (c == '*' || c == '^' || c == ' ') FTroncature = c;
}

void TFichierX::DelimiteursCommentaire(char& ouvrant, char& fermant) const {
  ouvrant = FCommentaire;
  switch (FCommentaire) {
    case '(': fermant = ')'; break;
    case '[': fermant = ']'; break;
    case '{': fermant = '}'; break;
    default: break;  // no pair: the caller's closing character stays
  }
}

bool TFichierX::EstCategorie(const std::string& texte) const {
  return !texte.empty() && texte[0] == FCategorie;
}

// Ignored words

std::string TFichierX::MotsIgnoresParDefaut(const TReglages& r) const {
  return FMotAMot ? std::string() : r.MotsIgnores;
}

std::string TFichierX::GetMotsIgnores(const TReglages& r) const {
  return FAvecMotsIgnores ? FMotsIgnores : MotsIgnoresParDefaut(r);
}

// Labels and template

void TFichierX::SetEtiquettes(const std::string& e0, const std::string& e1, const std::string& e2) {
  FEtiquettes.Champ0 = e0;
  FEtiquettes.Champ1 = e1;
  FEtiquettes.Champ2 = e2;
  FAvecEtiquettes = true;
  FModifie = true;
}

void TFichierX::EtiquettesParDefaut() {
  FEtiquettes.Champ0 = FAvecChamp0 ? "Intitulé"_a : "Titre";
  switch (FGenreEtiquettes) {
    case 'O':
      FEtiquettes.Champ1 = FSansChamp1 ? "Numéro"_a : "Onglet";
      FEtiquettes.Champ2 = "Corps";
      break;
    case 'Q':
      FEtiquettes.Champ1 = "Question";
      FEtiquettes.Champ2 = "Réponse"_a;
      break;
    default:
      FEtiquettes.Champ1 = FIdChamp1;
      FEtiquettes.Champ2 = FIdChamp2;
  }
}

void TFichierX::SetCanevas(const std::string& c0, const std::string& c1, const std::string& c2) {
  if (FAvecChamp0) FCanevas.Champ0 = c0;
  if (!FSansChamp1) FCanevas.Champ1 = c1;
  FCanevas.Champ2 = c2;
  FAvecCanevas = true;
  FModifie = true;
}

void TFichierX::CanevasQCM(const TReglages& r) {
  // The count comes from the settings file: bounded, so that no stored value can exhaust memory.
  const int n = std::min(r.NombreSeparateursQCM, MaxSeparateursQCM);
  if (n < 1) return;
  const std::string separateur = FEspacement + FFragmenteur + FEspacement;
  FCanevas.Champ2.reserve(FCanevas.Champ2.size() + separateur.size() * static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) FCanevas.Champ2 += separateur;
  FAvecCanevas = true;
}

// Names

std::string NomDeType(char type) {
  switch (type) {
    case 'D': return "Dictionnaire";
    case 'E': return "Énumérations"_a;
    case 'F': return "Fourre-tout";
    case 'L': return "Listes";
    case 'M': return "QCM";
    case 'N': return "Notes";
    case 'Q': return "Questionnaire";
    case 'R': return "Répertoire"_a;
    case 'V': return "Cartes de visite";
    default: return std::string(1, type);
  }
}

std::string NomDeFormat(char format) {
  const TIdentiteFormat* identite = IdentiteFormat(format);
  return identite ? std::string(identite->Nom) : std::string(1, format);
}

std::string DossierOuverture(const TFichierX* ouvert, const TReglages& r) {
  for (const std::string* nom : {ouvert ? &ouvert->FNomFichier : nullptr, &r.FichierOuvert, &r.FichierRecent}) {
    if (!nom || nom->empty()) continue;
    const std::filesystem::path dossier = std::filesystem::path(*nom).parent_path();
    std::error_code erreur;
    if (!dossier.empty() && std::filesystem::is_directory(dossier, erreur)) return dossier.string();
  }
  return {};
}
