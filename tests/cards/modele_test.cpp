// The card file's defaults by type letter, both builds of the model, names and lifetime.
#include "cards/KorFichierX.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "platform/Ansi.h"
#include "platform/Fichier.h"

namespace {
// The settings as they are by default, for what a test here does not set itself.
const TReglages Defauts;
}  // namespace

namespace {

const std::string CRLF = "\r\n";

std::string Lisible(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 33 && u < 127 ? std::string(1, c) : "\\x" + std::to_string(u);
}

struct TDefautsType {
  char type;
  std::string id1, id2;
  bool champ0, sansChamp1, options, questionnaire;
  std::string fragmenteur, espacement;
  char genre;
};

// The nine named types, then letters that show the ranges, and characters outside A to V.
const TDefautsType DefautsParType[] = {
    {'D', "O", "C", false, false, true, false, "|", " ", 'O'},
    {'E', "O", "C", false, false, true, false, CRLF, "", 'O'},
    {'F', "A", "B", false, false, false, false, "", "", 'A'},
    {'L', "O", "C", false, true, false, false, CRLF, "", 'O'},
    {'M', "Q", "R", true, false, true, false, "===", CRLF, 'Q'},
    {'N', "O", "C", false, false, false, false, "", "", 'O'},
    {'Q', "Q", "R", true, false, true, true, ";", " ", 'Q'},
    {'R', "O", "C", false, false, false, false, "", "", 'O'},
    {'V', "O", "C", false, true, false, false, CRLF, "", 'O'},
    {'A', "O", "C", false, false, true, false, ";", " ", 'O'},
    {'B', "O", "C", false, false, true, false, CRLF, "", 'O'},
    {'C', "O", "C", false, false, true, false, "", "", 'O'},
    {'I', "A", "B", true, false, false, false, "", "", 'A'},
    {'P', "A", "B", false, false, false, false, "", "", 'A'},
    {'S', "O", "C", false, true, false, false, CRLF, "", 'O'},
    {'T', "O", "C", false, true, false, false, "", "", 'O'},
    {'W', "A", "B", false, false, false, false, "", "", 'A'},
    {'q', "A", "B", false, false, false, false, "", "", 'A'},
    // Below 'F' outside A to E: options on, with neither separator nor spacing.
    {'5', "A", "B", false, false, true, false, "", "", 'A'},
    {'\0', "A", "B", false, false, true, false, "", "", 'A'},
    // Above 127: a letter of its own, not a character below 'E' (compared unsigned).
    {'\xC9', "A", "B", false, false, false, false, "", "", 'A'},
};

TEST(Modele, DefautsParLettreDeType) {
  for (const auto& d : DefautsParType) {
    SCOPED_TRACE("type " + Lisible(d.type));
    const TFichierX f(d.type, 'n', EVarianteModele::Complet, Defauts);
    EXPECT_EQ(f.FType, d.type);
    EXPECT_EQ(f.FFormat, 'n');
    EXPECT_TRUE(f.FModifiable);
    EXPECT_FALSE(f.FModifie);
    EXPECT_EQ(f.FCodePage, 1252);
    EXPECT_EQ(f.FIdFiche, "F");
    EXPECT_EQ(f.FIdChamp0, "I");
    EXPECT_EQ(f.FIdChamp1, d.id1);
    EXPECT_EQ(f.FIdChamp2, d.id2);
    EXPECT_EQ(f.FGenreEtiquettes, d.genre);
    EXPECT_EQ(f.FAvecChamp0, d.champ0);
    EXPECT_EQ(f.FSansChamp1, d.sansChamp1);
    EXPECT_EQ(f.FAvecOptions, d.options);
    EXPECT_EQ(f.FQuestionnaire, d.questionnaire);
    EXPECT_EQ(f.FFragmenteur, d.fragmenteur);
    EXPECT_EQ(f.FEspacement, d.espacement);
    const std::string options = d.options ? "(/*%:" : std::string(5, '\0');
    EXPECT_EQ(std::string({f.FCommentaire, f.FAlternateur, f.FTroncature, f.FCategorie, f.FSeparateurTitre}),
              options);
    EXPECT_EQ(f.FOuVisible, d.questionnaire ? "ou" : "");
    EXPECT_EQ(f.FPonctuation, d.questionnaire ? "!\"',-.:;?" : "");
    EXPECT_EQ(f.FScoreSatisfaisant, d.questionnaire ? 50 : 0);
    // Everything else starts empty.
    EXPECT_TRUE(f.FFiches.empty());
    EXPECT_EQ(f.FFlux, nullptr);
    EXPECT_TRUE(f.FNomFichier.empty() && f.FTitre.empty() && f.FVersionCreation.empty() &&
                f.FMotsIgnores.empty() && f.FRetour.empty() && f.FFeuilleStyle.empty());
    EXPECT_FALSE(f.FAvecEtiquettes || f.FAvecCanevas || f.FAvecMotsIgnores || f.FSuivreOrdre ||
                 f.FMotAMot || f.FDifferencierCasse || f.FPhonetique || f.FCorrection);
    EXPECT_EQ(f.FNombreQuestions + f.FTemps, 0);
    EXPECT_EQ(f.Variante(), EVarianteModele::Complet);
  }
}

TEST(Modele, LeFormatNInflueSurAucunDefaut) {
  const TFichierX natif('L', 'n', EVarianteModele::Complet, Defauts), csv('L', 's', EVarianteModele::Complet, Defauts);
  EXPECT_EQ(csv.FFormat, 's');
  EXPECT_EQ(csv.FFragmenteur, natif.FFragmenteur);
  EXPECT_EQ(csv.FSansChamp1, natif.FSansChamp1);
}

TEST(Modele, LesReglagesDonnesServentAuxDefauts) {
  TReglages r;
  r.Conjonction = "voire";
  r.Ponctuation = ".";
  r.SeparateurQCM = "##";
  const TFichierX q('Q', 'x', EVarianteModele::Complet, r);
  EXPECT_EQ(q.FOuVisible, "voire");
  EXPECT_EQ(q.FPonctuation, ".");
  const TFichierX m('M', 'x', EVarianteModele::Complet, r);
  EXPECT_EQ(m.FFragmenteur, "##");
  EXPECT_EQ(m.FragmenteurParDefaut(r), "##");
}

// The player's build ignores the type: whatever letter it is given, the same questionnaire.
TEST(Modele, VarianteQuestionnaireIgnoreLeType) {
  TReglages r;
  r.Conjonction = "voire";
  r.Ponctuation = ",;";
  for (char type : {'Q', 'L', 'F', 'M', '5', '\xC9'}) {
    SCOPED_TRACE("type " + Lisible(type));
    const TFichierX f(type, 'x', EVarianteModele::Questionnaire, r);
    EXPECT_EQ(f.Variante(), EVarianteModele::Questionnaire);
    EXPECT_EQ(f.FType, type);
    EXPECT_EQ(f.FFormat, 'x');
    EXPECT_TRUE(f.FModifiable);
    EXPECT_EQ(f.FCodePage, 1252);
    EXPECT_EQ(f.FIdFiche + f.FIdChamp0 + f.FIdChamp1 + f.FIdChamp2, "FIQR");
    EXPECT_TRUE(f.FAvecOptions);
    EXPECT_FALSE(f.FAvecChamp0);
    EXPECT_FALSE(f.FSansChamp1);
    EXPECT_EQ(f.FFragmenteur, ";");
    EXPECT_EQ(std::string({f.FCommentaire, f.FTroncature, f.FAlternateur, f.FCategorie}), "(*/%");
    EXPECT_EQ(f.FOuVisible, "voire");
    EXPECT_EQ(f.FPonctuation, ",;");
    EXPECT_EQ(f.FScoreSatisfaisant, 50);
    // Fields the player's build lacks stay at their zero values.
    EXPECT_FALSE(f.FQuestionnaire);
    EXPECT_EQ(f.FGenreEtiquettes, '\0');
    EXPECT_EQ(f.FSeparateurTitre, '\0');
    EXPECT_TRUE(f.FEspacement.empty());
  }
}

TEST(Modele, InitNouveauFichier) {
  TReglages r;
  r.SignatureDefaut = "Anne Ménard"_a;
  r.FeuilleStyleDefaut = "cartes.xsl";
  TFichierX f('R', 'x', EVarianteModele::Complet, r);
  f.InitNouveauFichier(r);
  EXPECT_EQ(f.FVersionCreation, "7.8");
  EXPECT_EQ(f.FVersionCreation, VersionFormat);
  EXPECT_EQ(f.FSignature, "Anne Ménard"_a);
  EXPECT_EQ(f.FFeuilleStyle, "cartes.xsl");
  EXPECT_FALSE(f.FModifie);
  f.FModifie = true;
  f.InitNouveauFichier(r);
  EXPECT_TRUE(f.FModifie) << "the flag is left as it was";
}

TEST(Modele, SeparateurEtEspacementParDefaut) {
  const struct {
    char type;
    std::string fragmenteur, espacement;
  } cas[] = {{'A', ";", " "}, {'Q', ";", " "}, {'B', CRLF, ""}, {'E', CRLF, ""}, {'L', CRLF, ""},
             {'S', CRLF, ""}, {'V', CRLF, ""}, {'D', "|", " "}, {'M', "===", CRLF}, {'C', "", ""},
             {'R', "", ""},   {'Z', "", ""}};
  for (const auto& c : cas) {
    SCOPED_TRACE(std::string(1, c.type));
    const TFichierX f(c.type, 'n', EVarianteModele::Complet, Defauts);
    EXPECT_EQ(f.FragmenteurParDefaut(Defauts), c.fragmenteur);
    EXPECT_EQ(f.EspacementParDefaut(), c.espacement);
  }
}

TEST(Modele, NomsDeTypeEtDeFormat) {
  const std::pair<char, std::string> types[] = {
      {'D', "Dictionnaire"}, {'E', "Énumérations"_a}, {'F', "Fourre-tout"}, {'L', "Listes"},
      {'M', "QCM"},          {'N', "Notes"},          {'Q', "Questionnaire"}, {'R', "Répertoire"_a},
      {'V', "Cartes de visite"}, {'Z', "Z"},          {'q', "q"},           {'\xE9', "\xE9"}};
  for (const auto& [lettre, nom] : types) EXPECT_EQ(NomDeType(lettre), nom) << Lisible(lettre);
  const std::pair<char, std::string> formats[] = {
      {'c', "Cardfile"}, {'m', "Moodle"}, {'n', "Natif"}, {'s', "CSV"}, {'t', "Texte"},
      {'x', "XML"},      {'X', "X"},      {'?', "?"}};
  for (const auto& [lettre, nom] : formats) EXPECT_EQ(NomDeFormat(lettre), nom) << Lisible(lettre);
  const TFichierX f('E', 't', EVarianteModele::Complet, Defauts);
  EXPECT_EQ(f.GetNomType(), "Énumérations"_a);
  EXPECT_EQ(f.GetNomFormat(), "Texte");
}

TEST(Modele, ErreurIdInvalideEstUneErreurDeLaSuite) {
  try {
    throw ErreurIdInvalide("Ce n'est pas un fichier de cartes.");
  } catch (const EErreur& e) {
    EXPECT_EQ(e.Message(), "Ce n'est pas un fichier de cartes.");
  }
}

// The card file owns its stream: destroying it releases the file's lock.
TEST(Modele, LaDestructionFermeLeFluxTenu) {
  const std::string chemin = (std::filesystem::temp_directory_path() /
                              ("orvaline-modele-" + std::to_string(getpid()) + ".kqq"))
                                 .string();
  { TFlux::Ouvre(chemin, EModeOuverture::Creation); }
  {
    TFichierX f('Q', 'n', EVarianteModele::Complet, Defauts);
    f.FFlux = TFlux::Ouvre(chemin, EModeOuverture::LectureEcriture);
    f.AjouteFicheDeuxChamps("Capitale de la France ?", "Paris");
    EXPECT_THROW(TFlux::Ouvre(chemin, EModeOuverture::LectureEcriture), EFOpenError);
  }
  EXPECT_NO_THROW(TFlux::Ouvre(chemin, EModeOuverture::LectureEcriture));
  std::filesystem::remove(chemin);
}

}  // namespace
