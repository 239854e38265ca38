// The table of formats as the editor looks it up: every letter's row, which card files each
// format may hold or receive as an export, and a write and read back through each row.
#include "exchange/KorFormatsEchange.h"

#include <gtest/gtest.h>

#include "Outils.h"

namespace {

TEST(TableDesFormats, ChaqueLettreASaLigne) {
  for (const auto& identite : IdentitesFormats) {
    const TFormat* f = ChercheFormat(identite.Lettre);
    ASSERT_NE(f, nullptr) << identite.Lettre;
    EXPECT_EQ(&f->Identite, &identite);
    EXPECT_EQ(NomDeFormat(identite.Lettre), identite.Nom);
  }
  for (char c : std::string("?X \0a", 5)) EXPECT_EQ(ChercheFormat(c), nullptr) << int(c);
  EXPECT_EQ(FormatsCartes().size() + FormatsEchange().size(), std::size(IdentitesFormats));
  EXPECT_EQ(ChercheFormat('t')->Lit, nullptr) << "plain text is only exported";
}

TEST(TableDesFormats, TypesPermisEtExports) {
  TReglages r;
  r.TypesCSV = "LN";
  struct Cas {
    char type;
    const char* fragmenteur;  // null: the type's own
    const char* permis;       // the letters it may be saved in
    const char* exports;      // the letters it may be exported to
  };
  const Cas cas[] = {
      {'Q', nullptr, "nx", "m"},      {'Q', "", "nx", "mt"},     {'M', nullptr, "mnx", ""},
      {'R', nullptr, "cnx", "t"},     {'L', nullptr, "nsx", "t"}, {'N', "\r\n", "nsx", "t"},
      {'V', nullptr, "nx", "t"},      {'D', nullptr, "cnx", ""},  {'D', "\r\n", "cnx", "t"},
  };
  for (const Cas& c : cas) {
    TFichierX f(c.type, 'x', EVarianteModele::Complet, r);
    if (c.fragmenteur) f.FFragmenteur = c.fragmenteur;
    std::string permis, exports;
    for (const auto& identite : IdentitesFormats) {
      const TFormat& format = *ChercheFormat(identite.Lettre);
      if (format.Permis(f, r)) permis += identite.Lettre;
      if (format.Exportable(f, r)) exports += identite.Lettre;
    }
    EXPECT_EQ(permis, c.permis) << c.type;
    EXPECT_EQ(exports, c.exports) << c.type;
  }
}

class AllerRetour : public DossierTemporaire {};

TEST_F(AllerRetour, ChaqueFormatRelitCeQuIlAEcrit) {
  TReglages r;
  r.SeparateurCSV = ';';
  r.SeparateurQCM = "===";
  for (const auto& identite : IdentitesFormats) {
    const TFormat& format = *ChercheFormat(identite.Lettre);
    if (!format.Lit) continue;
    // A type the format may hold.
    const char type = identite.Lettre == 'm' ? 'M' : identite.Lettre == 's' ? 'L' : 'R';
    TFichierX f(type, 'x', EVarianteModele::Complet, r);
    if (type == 'M')
      f.AjouteFiche("Q1", "(*multichoice*) Laquelle ?", "(*) oui\r\n===\r\nnon");
    else
      f.AjouteFiche("", "Dupont", "Rue des Écoles, Paris"_a);
    const std::string chemin = Chemin(std::string("f.") + identite.Lettre);
    format.Ecrit(f, chemin, true, r);
    EXPECT_EQ(f.FFormat, identite.Lettre);
    f.FFlux.reset();  // the file written is let go, to be opened locked again
    const auto lu = format.Lit(chemin, {true, true, EVarianteModele::Complet, type}, r);
    ASSERT_EQ(lu->GetNombreFiches(), 1) << identite.Lettre;
    EXPECT_EQ(lu->FFormat, identite.Lettre);
    EXPECT_EQ(lu->FType, type);
    EXPECT_EQ(lu->Fiche(0).Champ2, f.Fiche(0).Champ2) << identite.Lettre;
    EXPECT_TRUE(lu->FModifiable);
    EXPECT_NE(lu->FFlux, nullptr);
  }
}

}  // namespace
