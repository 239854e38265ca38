// Search: the locale's "contains", the test of a card, and the search steps with their
// messages; the card list's lines.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "cards/KorFichierX.h"
#include "editor/KorListeRegles.h"
#include "editor/KorRecherche.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"

namespace {

class Recherche : public ::testing::Test {
 protected:
  void SetUp() override { FixeLocale("fr_FR"); }
  void TearDown() override { FixeLocale(""); }

  // A file of type R whose card i holds "carte i" in field 1, and the text in the cards listed.
  std::unique_ptr<TFichierX> Dix(std::initializer_list<int> avecTexte, const std::string& texte = "cible") {
    auto f = std::make_unique<TFichierX>('R', 'x', EVarianteModele::Complet, Rg);
    for (int i = 0; i < 10; ++i) f->AjouteFiche("", "carte " + std::to_string(i), "corps");
    for (int i : avecTexte) f->Fiche(i).Champ2 = "avec " + texte + " dedans";
    return f;
  }
  // A search started from the shown card (Rechercher1Click's set-up).
  TEtatRecherche Demarre(int depart, const std::string& texte = "cible", bool arriere = false) {
    TEtatRecherche e;
    e.TexteRecherche = texte;
    e.TousChamps = true;
    e.RechercheArriere = arriere;
    e.RechercheActive = true;
    e.IndexDepartRecherche = depart;
    return e;
  }

  TReglages Rg;
};

TEST_F(Recherche, Contient) {
  const struct {
    const char* texte;
    const char* motif;
    bool casse;
    bool contient;
  } cas[] = {
      {"ÉCOLE", "école", false, true},
      {"Une École primaire", "ÉCOLE", false, true},
      {"ÉCOLE", "école", true, false},
      {"école", "école", true, true},
      {"ECOLE", "école", false, false},  // accents are told apart
      {"ŒUVRE", "œuvre", false, true},
      {"Ÿ", "ÿ", false, true},
      {"Çà", "çÀ", false, true},
      {"abc", "", false, true},
      {"", "a", false, false},
      {"ab", "abc", false, false},
      {"Abc", "abc", true, false},
      {"xAbcx", "bC", false, true},
      // The skipping scan: repeats, either end, one character, the whole text.
      {"aaab", "AAB", false, true},
      {"abcabd", "ABD", false, true},
      {"xyz", "Z", false, true},
      {"xyz", "X", false, true},
      {"abab", "BABA", false, false},
      {"ÀÀÉ", "àé", false, true},
      {"école", "ÉCOLE", false, true},
      {"écol", "ÉCOLE", false, false},
  };
  for (const auto& c : cas)
    EXPECT_EQ(Contient(ansi::Utf8VersAnsi(c.texte), ansi::Utf8VersAnsi(c.motif), c.casse), c.contient)
        << c.texte << " / " << c.motif << " / " << c.casse;
}

TEST_F(Recherche, MajusculesDeLaLocale) {
  EXPECT_EQ(MajusculesLocale("école à l'œuvre ÿ ß µ"_a), "ÉCOLE À L'ŒUVRE Ÿ ß µ"_a);
}

// The 10-card example: the text only in cards 3 and 7, a forward search from card 1.
TEST_F(Recherche, ExempleDesDixFiches) {
  auto f = Dix({3, 7});
  TEtatRecherche e = Demarre(1);
  TPasRecherche p = ChercheProchaine(*f, e, 1, false);
  EXPECT_EQ(p.Index, 3);
  EXPECT_EQ(p.Fin, EFinRecherche::Aucune);
  EXPECT_TRUE(e.RechercheActive);
  p = ChercheProchaine(*f, e, 3, false);
  EXPECT_EQ(p.Index, 7);
  EXPECT_EQ(p.Fin, EFinRecherche::Aucune);
  p = ChercheProchaine(*f, e, 7, false);
  EXPECT_EQ(p.Index, 1);
  EXPECT_EQ(p.Fin, EFinRecherche::NonTrouve);
  EXPECT_FALSE(e.RechercheActive);
  EXPECT_EQ(TexteFinRecherche(p.Fin), "Non trouvé !"_a);
  EXPECT_EQ(TitreEchecRecherche(), "Échec"_a);

  // Had card 1 held the text too, the last message would be "Fin de recherche.".
  f = Dix({1, 3, 7});
  e = Demarre(1);
  EXPECT_EQ(ChercheProchaine(*f, e, 1, false).Index, 3);
  EXPECT_EQ(ChercheProchaine(*f, e, 3, false).Index, 7);
  p = ChercheProchaine(*f, e, 7, false);
  EXPECT_EQ(p.Index, 1);
  EXPECT_EQ(p.Fin, EFinRecherche::Fin);
  EXPECT_EQ(TexteFinRecherche(p.Fin), "Fin de recherche.");
}

TEST_F(Recherche, SeuleLaFicheAfficheeContientLeTexte) {
  auto f = Dix({4});
  TEtatRecherche e = Demarre(4);
  const TPasRecherche p = ChercheProchaine(*f, e, 4, false);
  EXPECT_EQ(p.Index, -1);  // wrapped through the whole file back to the shown card
  EXPECT_EQ(p.Fin, EFinRecherche::Fin);
  EXPECT_FALSE(e.RechercheActive);
}

TEST_F(Recherche, EnArriereAvecRetourAuDebut) {
  auto f = Dix({8});
  TEtatRecherche e = Demarre(1, "cible", true);
  TPasRecherche p = ChercheProchaine(*f, e, 1, true);
  EXPECT_EQ(p.Index, 8);  // 0, then wraps to 9, 8
  EXPECT_EQ(p.Fin, EFinRecherche::Aucune);
}

TEST_F(Recherche, PrecedentJusquAuDepart) {
  // A forward search, then "previous" back to the start card: "Recherche terminée.".
  auto f = Dix({3});
  TEtatRecherche e = Demarre(1);
  ASSERT_EQ(ChercheProchaine(*f, e, 1, false).Index, 3);
  const TPasRecherche p = ChercheProchaine(*f, e, 3, true);
  EXPECT_EQ(p.Index, 1);
  EXPECT_EQ(p.Fin, EFinRecherche::Terminee);
  EXPECT_EQ(TexteFinRecherche(p.Fin), "Recherche terminée."_a);
}

TEST_F(Recherche, SuivanteApresLaFin) {
  // F3 once the search is over moves nothing and says "Recherche terminée.".
  auto f = Dix({3});
  TEtatRecherche e = Demarre(1);
  e.RechercheActive = false;
  const TPasRecherche p = ChercheProchaine(*f, e, 1, false);
  EXPECT_EQ(p.Index, -1);
  EXPECT_EQ(p.Fin, EFinRecherche::Terminee);
}

TEST_F(Recherche, ChampUnique) {
  // Without field 0 the index field is field 1; with field 0 it is field 0 alone.
  TFichierX r('R', 'x', EVarianteModele::Complet, Rg);
  r.AjouteFiche("", "départ", "");
  r.AjouteFiche("", "rien", "cible");
  r.AjouteFiche("", "la cible", "");
  TFichierX q('Q', 'x', EVarianteModele::Complet, Rg);
  q.AjouteFiche("", "départ", "");
  q.AjouteFiche("", "cible", "cible");
  q.AjouteFiche("la cible", "", "");
  for (TFichierX* f : {&r, &q}) {
    TEtatRecherche e = Demarre(0);
    e.TousChamps = false;
    EXPECT_EQ(ChercheProchaine(*f, e, 0, false).Index, 2) << f->FType;
    e = Demarre(0);
    EXPECT_EQ(ChercheProchaine(*f, e, 0, false).Index, 1) << f->FType;
  }
  // Every field: field 0 only when the file has one.
  TFichierX sansChamp0('R', 'x', EVarianteModele::Complet, Rg);
  sansChamp0.AjouteFiche("", "départ", "");
  sansChamp0.AjouteFiche("", "x", "y");
  sansChamp0.Fiche(1).Champ0 = "cible";
  TEtatRecherche e = Demarre(0);
  EXPECT_EQ(ChercheProchaine(sansChamp0, e, 0, false).Fin, EFinRecherche::NonTrouve);
}

TEST_F(Recherche, AccentsEtMajuscules) {
  auto f = Dix({6}, "ÉCOLE"_a);
  TEtatRecherche e = Demarre(0, "école"_a);
  EXPECT_EQ(ChercheProchaine(*f, e, 0, false).Index, 6);
  e = Demarre(0, "école"_a);
  e.RespecterCasse = true;
  EXPECT_EQ(ChercheProchaine(*f, e, 0, false).Fin, EFinRecherche::NonTrouve);
}

TEST_F(Recherche, FichierChangeSousLaRecherche) {
  // The start card was removed from under the search: the steps stay within the file and end.
  auto f = Dix({});
  TEtatRecherche e = Demarre(9);
  for (int i = 0; i < 5; ++i) f->SupprimeFiche(f->GetNombreFiches() - 1);
  TPasRecherche p = ChercheProchaine(*f, e, 2, false);
  EXPECT_EQ(p.Fin, EFinRecherche::NonTrouve);
  EXPECT_EQ(p.Index, 4);
  EXPECT_FALSE(e.RechercheActive);
  // The shown card is past the end, or the file is empty: the search ends on the spot.
  e = Demarre(0);
  p = ChercheProchaine(*f, e, 7, false);
  EXPECT_EQ(p.Index, -1);
  EXPECT_EQ(p.Fin, EFinRecherche::Terminee);
  EXPECT_FALSE(e.RechercheActive);
  TFichierX vide('R', 'x', EVarianteModele::Complet, Rg);
  e = Demarre(0);
  p = ChercheProchaine(vide, e, -1, false);
  EXPECT_EQ(p.Index, -1);
  EXPECT_EQ(p.Fin, EFinRecherche::Terminee);
  EXPECT_FALSE(e.RechercheActive);
}

// ---- The card list's lines ----

TEST_F(Recherche, LignesDUneListeDeNotes) {
  TFichierX n('N', 'x', EVarianteModele::Complet, Rg);
  for (int i = 0; i < 5; ++i) n.AjouteFiche("", "note " + std::to_string(i), "texte");
  TModeleListe m;
  m.FixeFichier(&n);
  EXPECT_EQ(m.BaseInverse(), 4);
  EXPECT_EQ(m.rowCount(), 5);
  EXPECT_EQ(m.Ligne(0), "note 4");
  EXPECT_EQ(m.Ligne(4), "note 0");
  EXPECT_EQ(LigneDeIndex(1, m.BaseInverse()), 3);
  EXPECT_EQ(m.IndexDeLigne(0), 4);
  EXPECT_EQ(m.data(m.index(1, 0)).toString(), QStringLiteral("note 3"));
}

TEST_F(Recherche, LignesDUnRepertoire) {
  TFichierX q('Q', 'x', EVarianteModele::Complet, Rg);
  q.AjouteFiche("Titre", "question 0", "");
  q.AjouteFiche("", "question 1", "");
  TModeleListe m;
  m.FixeFichier(&q);
  EXPECT_EQ(m.BaseInverse(), 0);
  EXPECT_EQ(m.Ligne(0), "Titre");
  EXPECT_EQ(m.Ligne(1), "# 2");
  EXPECT_EQ(m.IndexDeLigne(1), 1);
  EXPECT_EQ(LigneDeIndex(1, 0), 1);
}

TEST_F(Recherche, ListeDUnFichierQuiChange) {
  // Cards removed while the list is shown: no line reads past the end, no line leads past it.
  TFichierX r('R', 'x', EVarianteModele::Complet, Rg);
  for (int i = 0; i < 5; ++i) r.AjouteFiche("", "carte " + std::to_string(i), "");
  TModeleListe m;
  m.FixeFichier(&r);
  r.SupprimeFiche(4);
  r.SupprimeFiche(3);
  EXPECT_EQ(m.Ligne(4), "");
  EXPECT_FALSE(m.data(m.index(4, 0)).toString().size());
  EXPECT_EQ(m.IndexDeLigne(4), 2);
  m.Rafraichit();
  EXPECT_EQ(m.rowCount(), 3);
  while (r.GetNombreFiches()) r.SupprimeFiche(0);
  EXPECT_EQ(m.IndexDeLigne(0), -1);
  m.FixeFichier(nullptr);
  EXPECT_EQ(m.rowCount(), 0);
  EXPECT_EQ(m.IndexDeLigne(0), -1);
}

}  // namespace
