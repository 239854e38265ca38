// The editor's sample card files of samples/: a sorted Répertoire and a Notes file, built here
// with our own writers and opened by the editor as a teacher would.
// ORVALINE_REGENERE_EXEMPLES=1 writes them anew into samples/ before the checks.

#include <gtest/gtest.h>

#include <cstdlib>

#include "VueScriptee.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"

namespace {

const std::string Dossier = std::string(ORVALINE_SOURCE_DIR) + "/samples/";
const std::string Repertoire = Dossier + "Repertoire.xkqr";
const std::string Notes = Dossier + "Notes.xkqn";

void FaitExemples() {
  TReglages r;
  TFichierX rep('R', 'x', EVarianteModele::Complet, r);
  rep.InitNouveauFichier(r);
  rep.SetTitre("Carnet d'adresses de la classe"_a);
  rep.FSignature = "Orvaline";
  const std::pair<const char*, const char*> contacts[] = {
      {"Bertrand, Chloé", "12 rue des Lilas\r\n31000 Toulouse\r\n05 61 00 00 01"},
      {"Durand, Émile", "3 place du Marché\r\n11000 Carcassonne\r\n04 68 00 00 02"},
      {"durand, Ève", "7 chemin des Vignes\r\n34000 Montpellier\r\n04 67 00 00 03"},
      {"Martin, André", "1 avenue de la Gare\r\n09000 Foix\r\n05 61 00 00 04"},
      {"Œuvre, Yann", "22 quai de la Garonne\r\n31000 Toulouse\r\n05 61 00 00 05"},
      {"Zola, Jeanne", "5 rue Haute\r\n46000 Cahors\r\n05 65 00 00 06"},
  };
  for (const auto& [nom, adresse] : contacts)
    rep.AjouteFiche("", ansi::Utf8VersAnsi(nom), ansi::Utf8VersAnsi(adresse));
  rep.Trie();
  EcritFichierXML(rep, Repertoire, true, r);

  TFichierX notes('N', 'x', EVarianteModele::Complet, r);
  notes.InitNouveauFichier(r);
  notes.SetTitre("Notes de cours"_a);
  notes.AjouteFiche("", "02/09/2026 08:30:00", "Rentrée : distribuer les questionnaires de révision."_a);
  notes.AjouteFiche("", "15/09/2026 17:05:12", "Préparer un QCM sur les fleuves de France."_a);
  notes.AjouteFiche("", "01/10/2026 10:00:00", "Envoyer les résultats de la Feuille de Notes aux parents."_a);
  EcritFichierXML(notes, Notes, true, r);
}

class Environnement : public ::testing::Environment {
 public:
  void SetUp() override {
    FixeLocale("fr_FR");
    const char* regenere = std::getenv("ORVALINE_REGENERE_EXEMPLES");
    if (regenere && std::string(regenere) == "1") FaitExemples();
  }
};
const auto* const environnement = ::testing::AddGlobalTestEnvironment(new Environnement);

TEST(Exemples, RepertoireTrieOuvertSurSaPremiereFiche) {
  TReglages r;
  TVueScriptee v;
  TEditeur ed(v, r);
  ed.Initialise();
  ASSERT_TRUE(ed.OuvreFichier(Repertoire, -1, true, true, false));
  EXPECT_TRUE(ed.GetFichierCourant()->EstTrie());
  EXPECT_EQ(ed.GetFichierCourant()->GetNombreFiches(), 6);
  EXPECT_EQ(v.Textes[0], "Carnet d'adresses de la classe");
  EXPECT_EQ(v.Textes[1], "Bertrand, Chloé"_a);
  EXPECT_FALSE(v.Item(EItem::BInserer).Actif);
}

TEST(Exemples, NotesOuvertesSurLaDerniere) {
  TReglages r;
  TVueScriptee v;
  TEditeur ed(v, r);
  ed.Initialise();
  ASSERT_TRUE(ed.OuvreFichier(Notes, -1, true, true, false));
  EXPECT_EQ(ed.GetIndexCourant(), 2);
  EXPECT_EQ(v.Textes[1], "01/10/2026 10:00:00");
  EXPECT_TRUE(v.Disposition.ChampUneLigne);
}

}  // namespace
