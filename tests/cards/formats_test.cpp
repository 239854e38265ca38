// The card formats' rows in the table of formats, and the read of a file in a card format found
// by its content, as the player reads a questionnaire.
#include "cards/KorFormats.h"

#include <gtest/gtest.h>

#include "cards/KorNatif.h"
#include "cards/KorXml.h"
#include "platform/Ansi.h"
#include "tests/Outils.h"

namespace {

class FormatsDeCartes : public DossierTemporaire {
 protected:
  TReglages R;
  // A questionnaire of two cards, or a file of another type, written in a card format.
  std::string Ecrit(const std::string& nom, char type, char format) {
    TFichierX f(type, format, EVarianteModele::Complet, R);
    f.AjouteFiche("", "Capitale de la France ?", "Paris");
    f.AjouteFiche("", "Fleuve de Paris ?", "la Seine");
    const std::string chemin = Chemin(nom);
    FormatCarte(format)->Ecrit(f, chemin, true, R);
    return chemin;
  }
};

TEST_F(FormatsDeCartes, LesLettresDesFormatsDeCartes) {
  for (char c : std::string("cmst?X ")) EXPECT_EQ(FormatCarte(c), nullptr) << c;
  for (const TFormat& f : FormatsCartes()) {
    EXPECT_EQ(FormatCarte(f.Lettre()), &f);
    EXPECT_EQ(&f.Identite, IdentiteFormat(f.Lettre()));
    EXPECT_NE(f.Lit, nullptr);
    EXPECT_TRUE(f.Permis(TFichierX('R', f.Lettre(), EVarianteModele::Complet, R), R)) << "every type may use them";
    EXPECT_FALSE(f.Exportable(TFichierX('Q', f.Lettre(), EVarianteModele::Complet, R), R));
  }
  EXPECT_EQ(FormatCarte('n')->Identite.Motif, "kq*");
  EXPECT_EQ(FormatCarte('x')->Identite.Nom, "XML");
}

TEST_F(FormatsDeCartes, LeJoueurLitUnQuestionnaireDeChaqueFormatDeCartes) {
  for (const char format : {'n', 'x'}) {
    const std::string chemin = Ecrit(std::string("q.") + (format == 'n' ? "kqq" : "xkqq"), 'Q', format);
    const auto lu = LitFichierCarte(chemin, {false, true, EVarianteModele::Questionnaire}, R);
    ASSERT_NE(lu, nullptr);
    EXPECT_EQ(lu->FFormat, format);
    EXPECT_EQ(lu->Variante(), EVarianteModele::Questionnaire);
    ASSERT_EQ(lu->GetNombreFiches(), 2);
    EXPECT_EQ(lu->Fiche(1).Champ1, "Fleuve de Paris ?");
    EXPECT_EQ(lu->Fiche(1).Champ2, "la Seine");
    EXPECT_FALSE(lu->FModifiable) << "the player never writes";
    // A template load of the editor: no stream kept.
    const auto modele = LitFichierCarte(chemin, {false, false, EVarianteModele::Complet}, R);
    EXPECT_EQ(modele->FFlux, nullptr);
    EXPECT_EQ(modele->FType, 'Q');
  }
}

TEST_F(FormatsDeCartes, UnFichierQuiNEstPasDansUnFormatDeCartesEstRefuse) {
  R.SeparateurCSV = ',';
  struct Cas {
    std::string nom, octets;
  };
  const Cas cas[] = {
      {"quiz.xml", "<?xml version=\"1.0\"?>\n<quiz>\n</quiz>\n"},
      {"liste.csv", "a,b\r\n"},
      {"cartes.crd", "MGC\x01\x00"},
      {"autre.txt", "du texte"},
      {"vide.kqq", ""},
  };
  for (const Cas& c : cas) {
    EcritOctets(Chemin(c.nom), c.octets);
    for (const auto& [variante, message] :
         {std::pair{EVarianteModele::Questionnaire, std::string("Ce fichier n'est pas un questionnaire !")},
          std::pair{EVarianteModele::Complet, std::string("Fichier non reconnu !")}}) {
      try {
        LitFichierCarte(Chemin(c.nom), {false, true, variante}, R);
        ADD_FAILURE() << c.nom;
      } catch (const ErreurIdInvalide& e) {
        EXPECT_EQ(e.Message(), message) << c.nom;
      }
    }
  }
  // The reader's own refusal passes through: a list is no questionnaire for the player either.
  const std::string liste = Ecrit("liste.xkql", 'L', 'x');
  EXPECT_THROW(LitFichierCarte(liste, {false, true, EVarianteModele::Questionnaire}, R), ErreurIdInvalide);
  EXPECT_EQ(LitFichierCarte(liste, {false, true, EVarianteModele::Complet}, R)->FType, 'L');
  EXPECT_THROW(LitFichierCarte(Chemin("absent.kqq"), {}, R), EFOpenError);
}

}  // namespace
