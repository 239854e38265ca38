// The sample card files of samples/: built here with our own writers, read back with the
// player's readers, and checked to exercise what the checker tolerates.
// ORVALINE_REGENERE_EXEMPLES=1 writes them anew into samples/ before the checks.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "cards/KorFichierX.h"
#include "cards/KorNatif.h"
#include "cards/KorXml.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"
#include "player/KorVerification.h"

namespace {

const std::string Dossier = std::string(ORVALINE_SOURCE_DIR) + "/samples/";
const std::string Capitales = Dossier + "Capitales.xkqq";
const std::string Fleuves = Dossier + "Fleuves.kqq";
const std::string Departements = Dossier + "Departements.xkql";

const TReglages& Defauts() {
  static const TReglages r;
  return r;
}

// In XML: alternatives (/), a hidden answer (;), remarks in brackets, truncation (*), the
// file's own ignored words, the visible conjunction and a minute per question, in random order.
std::unique_ptr<TFichierX> FaitCapitales() {
  auto f = std::make_unique<TFichierX>('Q', 'x', EVarianteModele::Complet, Defauts());
  f->InitNouveauFichier(Defauts());
  f->SetTitre("Les capitales du monde"_a);
  f->FSignature = "Orvaline";
  f->FDescription = "Donnez la capitale de chaque pays.\r\n"
                    "Une orthographe locale est souvent admise, et l'article peut être omis."_a;
  f->FTemps = 60;
  f->FScoreSatisfaisant = 60;
  f->FAvecMotsIgnores = true;
  f->FMotsIgnores = "le la les l de du des";
  const std::vector<std::pair<std::string, std::string>> cartes = {
      {"Quelle est la capitale de la France ?"_a, "Paris (depuis 508)"_a},
      {"Quelle est la capitale de la Belgique ?"_a, "Bruxelles/Brussel"_a},
      {"Quelle est la capitale de l'Allemagne ?"_a, "Berlin"_a},
      {"Quelle est la capitale des Pays-Bas ?"_a, "Amsterdam;La Haye"_a},
      {"Quelle est la capitale du Burkina Faso ?"_a, "Ouagadou*"_a},
      {"Quelle est la capitale de Malte ?"_a, "La Valette"_a},
      {"Quelle est la capitale de l'Australie ?"_a, "Canberra (et non Sydney)"_a},
      {"Quelle est la capitale de la Suisse ?"_a, "Berne ou Bern"_a},
      {"Quelle est la capitale du Brésil ?"_a, "Brasilia/Brasília"_a},
      {"Quelle est la capitale du Japon ?"_a, "Tokyo/Tokio"_a},
  };
  for (const auto& [q, r] : cartes) f->AjouteFicheDeuxChamps(q, r);
  return f;
}

// In the native format (which keeps no description): the same tolerances, in file order, five questions drawn from eight,
// a wrong answer asked again and corrected, 45 seconds per question.
std::unique_ptr<TFichierX> FaitFleuves() {
  auto f = std::make_unique<TFichierX>('Q', 'n', EVarianteModele::Complet, Defauts());
  f->InitNouveauFichier(Defauts());
  f->SetTitre("Fleuves et rivières de France"_a);
  f->FSignature = "Orvaline";
  f->FSuivreOrdre = true;
  f->FNombreQuestions = 5;
  f->FReposerErreurs = true;
  f->FCorrection = true;
  f->FTemps = 45;
  f->FScoreSatisfaisant = 50;
  f->FAvecMotsIgnores = true;
  f->FMotsIgnores = "le la les l un une";
  const std::vector<std::pair<std::string, std::string>> cartes = {
      {"Quel fleuve traverse Paris ?"_a, "la Seine"_a},
      {"Quel fleuve se jette dans la Méditerranée à l'ouest de Marseille ?"_a, "le Rhône"_a},
      {"Quel est le plus long fleuve de France ?"_a, "la Loire (1 006 km)"_a},
      {"Quel fleuve traverse Bordeaux ?"_a, "la Garonne"_a},
      {"Quelle rivière rejoint le Rhône à Lyon ?"_a, "la Saône"_a},
      {"Quel fleuve passe à Strasbourg ?"_a, "le Rhin/Rhein"_a},
      {"Dans quelle mer se jette le Rhône ?"_a, "la Méditerranée;Mare Nostrum"_a},
      {"Comment appelle-t-on l'embouchure évasée d'un fleuve ?"_a, "un estuair*"_a},
  };
  for (const auto& [q, r] : cartes) f->AjouteFicheDeuxChamps(q, r);
  return f;
}

// A card file of another type, which the player refuses.
std::unique_ptr<TFichierX> FaitDepartements() {
  auto f = std::make_unique<TFichierX>('L', 'x', EVarianteModele::Complet, Defauts());
  f->InitNouveauFichier(Defauts());
  f->SetTitre("Départements d'Occitanie"_a);
  f->AjouteFicheDeuxChamps("Ariège"_a, "09\r\nFoix"_a);
  f->AjouteFicheDeuxChamps("Aude"_a, "11\r\nCarcassonne"_a);
  f->AjouteFicheDeuxChamps("Hérault"_a, "34\r\nMontpellier"_a);
  return f;
}

class Environnement : public ::testing::Environment {
 public:
  void SetUp() override {
    FixeLocale("fr_FR");
    const char* regenere = std::getenv("ORVALINE_REGENERE_EXEMPLES");
    if (regenere && std::string(regenere) == "1") {
      EcritFichierXML(*FaitCapitales(), Capitales, true, Defauts());
      EcritFichierNatif(*FaitFleuves(), Fleuves, true, Defauts());
      EcritFichierXML(*FaitDepartements(), Departements, true, Defauts());
    }
  }
};
const auto* const environnement = ::testing::AddGlobalTestEnvironment(new Environnement);

std::unique_ptr<TFichierX> LitJoueur(const std::string& chemin) {
  if (chemin.ends_with(".kqq")) return LitFichierNatif(chemin, false, true, EVarianteModele::Questionnaire, Defauts());
  return LitFichierXML(chemin, false, true, EVarianteModele::Questionnaire, Defauts());
}

void VerifieCommeConstruit(const TFichierX& lu, const TFichierX& attendu) {
  EXPECT_EQ(lu.FType, 'Q');
  EXPECT_EQ(lu.FTitre, attendu.FTitre);
  EXPECT_EQ(lu.FDescription, attendu.FDescription);
  EXPECT_EQ(lu.FTemps, attendu.FTemps);
  EXPECT_EQ(lu.FSuivreOrdre, attendu.FSuivreOrdre);
  EXPECT_EQ(lu.FNombreQuestions, attendu.FNombreQuestions);
  EXPECT_EQ(lu.FReposerErreurs, attendu.FReposerErreurs);
  EXPECT_EQ(lu.FCorrection, attendu.FCorrection);
  EXPECT_EQ(lu.FScoreSatisfaisant, attendu.FScoreSatisfaisant);
  EXPECT_EQ(lu.GetMotsIgnores(Defauts()), attendu.GetMotsIgnores(Defauts()));
  ASSERT_EQ(lu.GetNombreFiches(), attendu.GetNombreFiches());
  for (int i = 0; i < lu.GetNombreFiches(); ++i) {
    EXPECT_EQ(lu.Fiche(i).Champ1, attendu.Fiche(i).Champ1) << i;
    EXPECT_EQ(lu.Fiche(i).Champ2, attendu.Fiche(i).Champ2) << i;
  }
}

struct Essai {
  int Carte;
  std::string Tape;
  bool Juste;
};

void VerifieEssais(const TFichierX& quiz, const std::vector<Essai>& essais) {
  const TContexteVerification c = ContexteDuQuestionnaire(quiz, Defauts());
  for (const Essai& e : essais)
    EXPECT_EQ(CompareReponse(c, quiz.Fiche(e.Carte).Champ2, e.Tape, quiz.FPhonetique, quiz.FDifferencierCasse,
                             quiz.FMotAMot),
              e.Juste)
        << e.Carte << " " << e.Tape;
}

TEST(Exemples, CapitalesLuesParLeJoueurEtTolerantes) {
  const auto quiz = LitJoueur(Capitales);
  VerifieCommeConstruit(*quiz, *FaitCapitales());
  VerifieEssais(*quiz, {{0, "paris", true},               // remark not to be typed
                        {1, "Brussel", true},             // alternative
                        {1, "Bruxelle", false},
                        {3, "la haye", true},             // hidden answer, ignored article
                        {4, "Ouagadougou", true},         // truncation
                        {4, "Ouaga", false},
                        {5, "Valette", true},             // ignored word
                        {7, "Bern", true},                // visible conjunction
                        {8, "Brasília"_a, true},
                        {9, "Kyoto", false}});
  const TContexteVerification c = ContexteDuQuestionnaire(*quiz, Defauts());
  EXPECT_EQ(ReponseAffichee(c, quiz->Fiche(3).Champ2), "Amsterdam");
}

TEST(Exemples, FleuvesNatifLusParLeJoueurEtTolerants) {
  const auto quiz = LitJoueur(Fleuves);
  VerifieCommeConstruit(*quiz, *FaitFleuves());
  VerifieEssais(*quiz, {{0, "Seine", true},
                        {2, "la loire", true},
                        {5, "Rhein", true},
                        {6, "Mare Nostrum", true},
                        {7, "estuaires", true},
                        {3, "Dordogne", false}});
}

TEST(Exemples, FichierDUnAutreTypeRefuse) {
  try {
    LitFichierXML(Departements, false, true, EVarianteModele::Questionnaire, Defauts());
    FAIL() << "a list was read as a questionnaire";
  } catch (const ErreurIdInvalide& e) {
    EXPECT_EQ(e.Message(), "Ce fichier n'est pas un questionnaire !");
  }
  // The editor's reader takes it.
  const auto liste = LitFichierXML(Departements, false, true, EVarianteModele::Complet, Defauts());
  EXPECT_EQ(liste->FType, 'L');
  EXPECT_EQ(liste->GetNombreFiches(), 3);
}

}  // namespace
