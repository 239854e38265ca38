#pragma once
// The card file in memory: TFicheX (one card, three texts) and TFichierX (the cards, the header,
// the XML element names, the labels and template cards and the quiz options).
// Other modules read and write the fields directly; the field names are part of the contract.
// Texts are 1252 bytes; a line break inside a text is CR LF. Characters compare as unsigned char.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "KorInit.h"
#include "platform/Erreur.h"
#include "platform/Fichier.h"

// Version of the card formats this system writes.
inline const std::string VersionFormat = "7.8";

// CanevasQCM appends at most this many separators, whatever the setting mcqnor holds.
inline constexpr int MaxSeparateursQCM = 255;

// Raised by every reader when a file is not of the kind it reads.
class ErreurIdInvalide : public EErreur {
 public:
  using EErreur::EErreur;
};

// An index outside the card list: "Index de liste hors limites (%d)".
class EListError : public EErreur {
 public:
  using EErreur::EErreur;
};

struct TFicheX {
  std::string Champ0;  // index or title field
  std::string Champ1;  // tab, number or question; the sort key
  std::string Champ2;  // body or answer; may hold items joined by the file's separator
};

// A locale comparison as CompareStringA gives it: 1 less, 2 equal, 3 greater, 0 when it fails.
using TComparaisonLocale = int (*)(std::string_view, std::string_view, bool);

// The player carries a questionnaire-only build of the model: its constructor ignores the
// type for every default and its SetIdChamp1 only assigns the name.
enum class EVarianteModele { Complet, Questionnaire };

class TFichierX {
 public:
  TFichierX(char type, char format, EVarianteModele variante,
            const TReglages& reglages);
  ~TFichierX();
  TFichierX(const TFichierX&) = delete;
  TFichierX& operator=(const TFichierX&) = delete;

  std::string FNomFichier;                 // file-system path (UTF-8)
  std::unique_ptr<TFlux> FFlux;            // kept open after a full load or a save
  std::vector<std::unique_ptr<TFicheX>> FFiches;
  bool FModifiable = true;
  bool FModifie = false;
  char FType = 0;
  char FFormat = 0;
  std::uint16_t FCodePage = 0;
  std::string FIdFiche;
  std::string FIdChamp0;
  std::string FIdChamp1;
  std::string FIdChamp2;
  std::string FRetour;
  std::string FEspaceXml;
  std::string FBalisesControles;
  bool FAvecChamp0 = false;
  bool FSansChamp1 = false;
  bool FAvecOptions = false;
  bool FQuestionnaire = false;
  char FGenreEtiquettes = 0;
  std::string FVersionCreation;
  std::string FFeuilleStyle;
  TFicheX FEtiquettes;
  bool FAvecEtiquettes = false;
  TFicheX FCanevas;
  bool FAvecCanevas = false;
  std::string FTitre;
  std::string FSignature;
  std::string FDescription;
  std::string FFragmenteur;
  std::string FEspacement;
  std::string FOuVisible;
  std::string FPonctuation;
  std::string FMotsIgnores;
  bool FSuivreOrdre = false;
  bool FMotAMot = false;
  bool FDifferencierCasse = false;
  bool FPhonetique = false;
  bool FBriderEntree = false;
  bool FReposerErreurs = false;
  bool FCorrection = false;
  bool FAvecMotsIgnores = false;
  std::uint8_t FNombreQuestions = 0;
  std::uint8_t FScoreSatisfaisant = 0;
  std::uint8_t FTemps = 0;
  char FCommentaire = 0;
  char FAlternateur = 0;
  char FTroncature = 0;
  char FSeparateurTitre = 0;
  char FCategorie = 0;

  EVarianteModele Variante() const { return FVariante; }

  void InitNouveauFichier(const TReglages& r);
  std::string FragmenteurParDefaut(const TReglages& r) const;
  std::string EspacementParDefaut() const;
  std::string GetNomType() const;
  std::string GetNomFormat() const;

  // Cards
  int GetNombreFiches() const { return static_cast<int>(FFiches.size()); }
  void CreeFiche(int index);
  void InsereFiche(int index) { CreeFiche(index); }
  void SetFiche(int index, const std::string& champ0, const std::string& champ1, const std::string& champ2);
  void AjouteFiche(const std::string& champ0, const std::string& champ1, const std::string& champ2);
  void AjouteFicheDeuxChamps(const std::string& champ1, const std::string& champ2);
  void DeplaceFiche(int de, int vers);
  void SupprimeFiche(int index);
  void PermuteChamps();
  std::string GetTitreFiche(int index) const;
  TFicheX& Fiche(int index);  // checked access
  const TFicheX& Fiche(int index) const;

  // Sorting
  void Trie();
  // Sorted with that comparison (the locale's by default); for tests of a failing comparison.
  void Trie(TComparaisonLocale comparaison);
  bool EstTrie() const;
  bool EstTypeTrie() const;

  // Header and element names
  void SetTitre(const std::string& titre);
  std::string GetVersionCreation() const;
  void SetIdChamp0(const std::string& nom);
  void SetIdChamp1(const std::string& nom);
  std::string GetIdChamp0() const;
  std::string GetIdChamp1() const;

  // Option characters (a space = none; other characters are ignored)
  void SetFragmenteur(char c);
  char GetFragmenteur() const;
  void SetAlternateur(char c);
  void SetCommentaire(char c);
  void SetTroncature(char c);
  void DelimiteursCommentaire(char& ouvrant, char& fermant) const;
  bool EstCategorie(const std::string& texte) const;

  // Ignored words
  std::string MotsIgnoresParDefaut(const TReglages& r) const;
  std::string GetMotsIgnores(const TReglages& r) const;

  // Labels and template
  void SetEtiquettes(const std::string& e0, const std::string& e1, const std::string& e2);
  void EtiquettesParDefaut();
  void SetCanevas(const std::string& c0, const std::string& c1, const std::string& c2);
  void CanevasQCM(const TReglages& r);

 private:
  void VerifieIndex(int index, int limite) const;
  EVarianteModele FVariante;
};

// Assigns nom to cible only when it is a valid identifier ([A-Za-z_][A-Za-z0-9_]*).
void AssigneIdentificateur(std::string& cible, const std::string& nom);
// Locale comparison of field 1 (case-sensitive): negative, 0, positive; -2 when it fails.
int CompareFiches(const TFicheX& a, const TFicheX& b);
int CompareFiches(const TFicheX& a, const TFicheX& b, TComparaisonLocale comparaison);
std::string NomDeType(char type);
std::string NomDeFormat(char format);
// The folder an open dialog starts in: the open file's, else the remembered file's (open, then
// recent), the first that still exists; empty when none does (the dialog shows the user's home).
std::string DossierOuverture(const TFichierX* ouvert, const TReglages& r);
