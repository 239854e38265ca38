// The editor's remaining commands without a window: printed lines, clipboard texts, properties,
// readable font sizes and the queue of a later start's command lines.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cards/KorFichierX.h"
#include "editor/KorFicheCommandes.h"
#include "platform/Ansi.h"

namespace {

using Lignes = std::vector<std::string>;

TEST(Impression, LaFicheDeSixLignes) {
  const Lignes attendu = {"      Mot", "", "      Une question", "", "      Ligne une", "      Ligne deux"};
  EXPECT_EQ(LignesImpression("Mot", {"Une question"}, {"Ligne une", "Ligne deux"}), attendu);
}

TEST(Impression, ChampsVidesEtLignesRepliees) {
  // An empty title still prints its indented line; memo lines come as the memo shows them.
  const Lignes attendu = {"      ", "", "      3", "", "      un long texte ", "      replié"};
  EXPECT_EQ(LignesImpression("", {"3"}, {"un long texte ", "replié"}), attendu);
  EXPECT_EQ(LignesImpression("T", {}, {}), (Lignes{"      T", "", ""}));
}

struct CasPressePapiers {
  const char* nom;
  std::string titre, question, reponse;
  bool avecChamp0, sansChamp1;
  std::string attendu;
};

// The case's name, not its bytes, in the test's name.
void PrintTo(const CasPressePapiers& c, std::ostream* os) { *os << c.nom; }

class PressePapiers : public ::testing::TestWithParam<CasPressePapiers> {};

TEST_P(PressePapiers, TexteDeLaFiche) {
  const CasPressePapiers& c = GetParam();
  EXPECT_EQ(TexteFichePressePapiers(c.titre, c.question, c.reponse, c.avecChamp0, c.sansChamp1), c.attendu);
}

INSTANTIATE_TEST_SUITE_P(
    Cas, PressePapiers,
    ::testing::Values(
        CasPressePapiers{"TroisChamps", "Titre", "Q", "R", true, false, "Titre\r\n\r\nQ\r\n\r\nR"},
        CasPressePapiers{"Champ0Vide", "", "Q", "R", true, false, "Q\r\n\r\nR"},
        CasPressePapiers{"SansChamp0", "Titre du fichier", "Q", "R\r\nR2", false, false, "Q\r\n\r\nR\r\nR2"},
        CasPressePapiers{"Champ1Vide", "", "", "R", false, false, "\r\n\r\nR"},
        CasPressePapiers{"SansChamp1", "", "7", "R", false, true, "R"},
        CasPressePapiers{"ToutVide", "", "", "", true, false, "\r\n\r\n"}),
    [](const auto& info) { return std::string(info.param.nom); });

TEST(PressePapiers, ListeDesNotesDansLOrdreDuFichier) {
  TReglages r;
  TFichierX notes('N', 'x', EVarianteModele::Complet, r);
  notes.AjouteFiche("", "10/12/2026 10:00:00", "première");
  notes.AjouteFiche("", "11/12/2026 09:00:00", "deuxième");
  notes.AjouteFiche("", "", "sans date");
  EXPECT_EQ(TexteListePressePapiers(notes), "10/12/2026 10:00:00\r\n11/12/2026 09:00:00\r\n# 3\r\n");
  TFichierX vide('R', 'x', EVarianteModele::Complet, r);
  EXPECT_EQ(TexteListePressePapiers(vide), "");
}

TEST(Proprietes, TypeFormatEtNombre) {
  TReglages r;
  TFichierX f('R', 'n', EVarianteModele::Complet, r);
  f.AjouteFiche("", "a", "b");
  f.AjouteFiche("", "c", "d");
  EXPECT_EQ(TexteProprietes(f), "Type : Répertoire\r\n\r\nFormat : Natif\r\n\r\nNombre de fiches : 2"_a);
  EXPECT_NE(TexteAPropos('Q').find("Questionnaire"), std::string::npos);
}

TEST(Polices, TaillesLisibles) {
  struct {
    std::int32_t taille;
    int attendu;
  } cas[] = {{10, 10}, {6, 6}, {72, 72}, {0, 12}, {-5, 12}, {1, 6}, {5, 6}, {73, 72}, {2000000000, 72}};
  for (const auto& c : cas) EXPECT_EQ(TaillePoliceAffichee(c.taille, 12), c.attendu) << c.taille;
}

TEST(LigneCommande, FichierAOuvrir) {
  const std::string ouvert = "/d/Mots.xkqr";
  EXPECT_EQ(FichierDeLigneCommande({}, &ouvert), std::nullopt);
  EXPECT_EQ(FichierDeLigneCommande({"/d/Mots.xkqr"}, &ouvert), std::nullopt);
  EXPECT_EQ(FichierDeLigneCommande({"/d/mots.xkqr"}, &ouvert), "/d/mots.xkqr");  // case counts
  EXPECT_EQ(FichierDeLigneCommande({"/d/Autre.xkqq", "x"}, &ouvert), "/d/Autre.xkqq");
  EXPECT_EQ(FichierDeLigneCommande({"/d/Mots.xkqr"}, nullptr), "/d/Mots.xkqr");
}

TEST(Demarrage, FichierAOuvrir) {
  TReglages r;
  r.FichierOuvert = "/d/Dernier.xkqr";
  r.FichierOuvertEnQuittant = true;
  r.OuvrirAuDemarrage = true;
  using D = TFichierDemarrage;
  EXPECT_EQ(FichierAuDemarrage({"/d/Arg.xkqq"}, r, 3), (D{"/d/Arg.xkqq", true}));
  EXPECT_EQ(FichierAuDemarrage({}, r, 1), (D{"/d/Dernier.xkqr", false}));
  EXPECT_EQ(FichierAuDemarrage({}, r, 2), std::nullopt);  // another editor runs
  r.FichierOuvertEnQuittant = false;
  EXPECT_EQ(FichierAuDemarrage({}, r, 1), std::nullopt);
  r.FichierOuvertEnQuittant = true;
  r.OuvrirAuDemarrage = false;
  EXPECT_EQ(FichierAuDemarrage({}, r, 1), std::nullopt);
  r.OuvrirAuDemarrage = true;
  r.FichierOuvert.clear();
  EXPECT_EQ(FichierAuDemarrage({}, r, 1), std::nullopt);
}

struct FileEssai {
  bool modal = false;
  std::vector<Lignes> executees;
  std::function<void(const Lignes&)> pendant;
  TFileLigneCommande file{[this] { return modal; },
                          [this](const Lignes& a) {
                            executees.push_back(a);
                            if (pendant) pendant(a);
                          }};
};

TEST(LigneCommande, SansDialogueAgitAussitot) {
  FileEssai e;
  e.file.Recoit({"/a"});
  EXPECT_EQ(e.executees, (std::vector<Lignes>{{"/a"}}));
  EXPECT_FALSE(e.file.EnAttente());
}

TEST(LigneCommande, AttendLaFinDuDialogueEtLaPlusRecenteRemplace) {
  FileEssai e;
  e.modal = true;
  e.file.Recoit({"/a"});
  e.file.Recoit({"/b"});
  e.file.Reprend();
  EXPECT_TRUE(e.executees.empty());
  EXPECT_TRUE(e.file.EnAttente());
  e.modal = false;
  e.file.Reprend();
  e.file.Reprend();
  EXPECT_EQ(e.executees, (std::vector<Lignes>{{"/b"}}));  // once, the newer one
  EXPECT_FALSE(e.file.EnAttente());
}

TEST(LigneCommande, UneLigneArriveePendantLActionPasseApres) {
  FileEssai e;
  // The first one asks its save question: meanwhile a second start hands its line over.
  e.pendant = [&e](const Lignes& a) {
    if (a.front() != "/a") return;
    e.modal = true;
    e.file.Recoit({"/b"});
    EXPECT_EQ(e.executees.size(), 1u);
    e.modal = false;
  };
  e.file.Recoit({"/a"});
  EXPECT_EQ(e.executees, (std::vector<Lignes>{{"/a"}, {"/b"}}));
}

}  // namespace
