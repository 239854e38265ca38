// The editor's display through a scripted window: the modes of the nine types, how a file opens
// and which card it shows, the buttons and menu items by type and state, the caption, stepping.

#include <gtest/gtest.h>

#include "VueDialogues.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"

namespace {

class Affichage : public DossierTemporaire {
 protected:
  void SetUp() override {
    DossierTemporaire::SetUp();
    FixeLocale("fr_FR");
    Ed.Initialise();
  }
  // A new, unnamed card file of that type shown as the editor shows a file just created.
  void Cree(TEditeur& ed, char type) {
    ed.MontreFichier(std::make_unique<TFichierX>(type, 'x', EVarianteModele::Complet, R), -1);
  }
  std::string Fichier(char type, int nombre, const std::string& nom = "f.xkq") {
    std::vector<std::array<std::string, 3>> fiches;
    for (int i = 0; i < nombre; ++i)
      fiches.push_back({"t" + std::to_string(i), "cle" + std::to_string(i), "corps" + std::to_string(i)});
    const std::string chemin = Chemin(nom + static_cast<char>(std::tolower(type)));
    EcritFichierEssai(chemin, type, fiches, R);
    return chemin;
  }
  bool Actif(EItem item) { return V.Item(item).Actif; }
  bool Visible(EItem item) { return V.Item(item).Visible; }

  TReglages R;
  TVueDialogues V;
  TEditeur Ed{V, R};
};

struct TModes {
  char Type;
  bool ChampUneLigne, FichierTrie, Notes, Permutable, AvecChamp0, SansChamp1;
  int Ratio;  // 6: unchanged from the start value
};

TEST_F(Affichage, ModesDesNeufTypes) {
  const TModes table[] = {
      {'D', true, true, false, false, false, false, 6},  {'E', true, false, false, false, false, false, 6},
      {'F', false, false, false, false, false, false, 11}, {'L', true, false, false, false, false, true, 6},
      {'M', false, false, false, false, true, false, 4},  {'N', true, false, true, false, false, false, 6},
      {'Q', false, false, false, true, true, false, 9},   {'R', true, true, false, false, false, false, 6},
      {'V', true, false, false, false, false, true, 6},
  };
  for (const TModes& m : table) {
    SCOPED_TRACE(std::string("type ") + m.Type);
    // A fresh editor: the share of field 1 starts at 6 twelfths.
    TEditeur ed{V, R};
    ed.Initialise();
    Cree(ed, m.Type);
    EXPECT_EQ(ed.GetModes().ChampUneLigne, m.ChampUneLigne);
    EXPECT_EQ(ed.GetModes().FichierTrie, m.FichierTrie);
    EXPECT_EQ(ed.GetModes().Notes, m.Notes);
    EXPECT_EQ(ed.GetModes().Permutable, m.Permutable);
    EXPECT_EQ(ed.GetFichierCourant()->FAvecChamp0, m.AvecChamp0);
    EXPECT_EQ(ed.GetFichierCourant()->FSansChamp1, m.SansChamp1);
    EXPECT_EQ(ed.GetModes().RatioQuestion, m.Ratio);
    EXPECT_EQ(V.Disposition.ChampUneLigne, m.ChampUneLigne);
    EXPECT_EQ(V.Disposition.RatioQuestion, m.Ratio);
    EXPECT_EQ(V.ContexteAide, m.Type == 'Q' ? 21 : m.Type == 'M' ? 31 : 1);
    // Field 1 of types L and V shows the card number and is never typed into.
    EXPECT_EQ(V.LecturesSeules[1], m.SansChamp1);
    EXPECT_EQ(Visible(EItem::Options1), m.Type == 'Q');
    EXPECT_TRUE(Visible(EItem::Edition1));
  }
}

TEST_F(Affichage, SansFichierLeTypeProposeDonneLaDisposition) {
  R.TypesUtilises = "FQ";
  Ed.Initialise();
  Ed.DemarreSansFichier();
  EXPECT_EQ(Ed.GetTypeCourant(), 'F');
  EXPECT_FALSE(V.Disposition.ChampUneLigne);
  EXPECT_EQ(V.Disposition.RatioQuestion, 11);
  EXPECT_FALSE(Visible(EItem::Edition1));
  EXPECT_FALSE(V.Actifs[0]);
  EXPECT_TRUE(V.LecturesSeules[2]);
  EXPECT_EQ(V.TitreFenetre, "Orvaline : micro Base de Données"_a);
}

TEST_F(Affichage, OuvertureSurLaBonneFiche) {
  struct Cas {
    char Type;
    int Nombre;
    int Index;
    int Attendu;
  } table[] = {
      {'N', 3, -1, 2},  // a Notes file opens on its newest (last) card
      {'Q', 3, -1, 0},  // any other on its first
      {'Q', 3, 1, 1},   // a remembered card
      {'Q', 3, 10, 2},  // a remembered index past the end shows the last card
      {'R', 0, -1, -1}, // an empty file shows the blank card
  };
  for (const Cas& c : table) {
    SCOPED_TRACE(std::string("type ") + c.Type + " index " + std::to_string(c.Index));
    Ed.LibereFichier();
    ASSERT_TRUE(Ed.OuvreFichier(Fichier(c.Type, c.Nombre), c.Index, true, true, true));
    EXPECT_EQ(Ed.GetIndexCourant(), c.Attendu);
    if (c.Attendu >= 0) {
      EXPECT_EQ(V.Textes[2], "corps" + std::to_string(c.Attendu));
    }
    EXPECT_EQ(V.Focus, ECibleFocus::Boutons);
  }
}

TEST_F(Affichage, FichierVideMontreLaFicheVierge) {
  ASSERT_TRUE(Ed.OuvreFichier(Fichier('R', 0), -1, true, true, true));
  EXPECT_EQ(Ed.GetFicheAffichee(), &Ed.GetFicheVierge());
  EXPECT_EQ(V.Textes[1], "(Pas de fiche)");
  EXPECT_TRUE(V.Actifs[0]) << "the file's title stays editable for a type without field 0";
  EXPECT_FALSE(V.Actifs[1]);
  EXPECT_FALSE(V.Actifs[2]);
  for (EItem b : {EItem::BPrecedent, EItem::BSuivant, EItem::BInserer, EItem::BSupprimer, EItem::BChercher})
    EXPECT_FALSE(Actif(b));
  EXPECT_TRUE(Actif(EItem::BNouveau));
  Ed.LibereFichier();
  ASSERT_TRUE(Ed.OuvreFichier(Fichier('Q', 0), -1, true, true, true));
  EXPECT_FALSE(V.Actifs[0]) << "field 0 of a questionnaire is a card's";
}

TEST_F(Affichage, NumeroDeFichePourLesTypesSansChamp1) {
  ASSERT_TRUE(Ed.OuvreFichier(Fichier('L', 2), -1, true, true, true));
  EXPECT_EQ(V.Textes[1], "1");
  Ed.ExecuteItem(EItem::BSuivant);
  EXPECT_EQ(V.Textes[1], "2");
  EXPECT_EQ(V.Etiquettes[1], "Numéro"_a);
}

TEST_F(Affichage, BoutonsEtMenusParEtat) {
  struct Cas {
    const char* Nom;
    char Type;
    bool Editable;
    bool Recherche;
    bool Nouvelle;
    int Index;
  };
  const Cas table[] = {
      {"questionnaire", 'Q', true, false, false, 1}, {"lecture seule", 'Q', false, false, false, 1},
      {"trié", 'R', true, false, false, 0},          {"recherche", 'Q', true, true, false, 2},
      {"nouvelle fiche", 'F', true, false, true, 0},
  };
  for (const Cas& c : table) {
    SCOPED_TRACE(c.Nom);
    Ed.LibereFichier();
    ASSERT_TRUE(Ed.OuvreFichier(Fichier(c.Type, 3), c.Index, true, true, c.Editable));
    if (c.Recherche) {
      // A search that goes on: another card holds the text.
      V.Chercher = [](TLogiqueChercher& d) {
        d.EChercher = "corps";
        d.CBChampUnique = false;
        return true;
      };
      Ed.ExecuteItem(EItem::Rechercher1);
      ASSERT_TRUE(Ed.GetRecherche().RechercheActive);
    }
    if (c.Nouvelle) Ed.ExecuteItem(EItem::BNouveau);
    Ed.MetAJourMenus();
    const int n = Ed.GetFichierCourant()->GetNombreFiches();
    const int i = Ed.GetIndexCourant();
    EXPECT_EQ(Actif(EItem::BSuivant), i < n - 1 || c.Recherche);
    EXPECT_EQ(Actif(EItem::Suivante1), i < n - 1 || c.Recherche);
    EXPECT_EQ(Actif(EItem::BPrecedent), i > 0 || c.Recherche);
    EXPECT_EQ(Actif(EItem::BNouveau), c.Editable);
    EXPECT_EQ(Actif(EItem::Nouvelle1), c.Editable);
    EXPECT_EQ(Actif(EItem::BInserer), c.Editable && c.Type != 'R');
    EXPECT_EQ(Actif(EItem::Inserer1), c.Editable && c.Type != 'R');
    EXPECT_EQ(Actif(EItem::BSupprimer), c.Editable);
    EXPECT_EQ(Visible(EItem::PermuterChamps), c.Editable && c.Type == 'Q');
    EXPECT_EQ(Visible(EItem::Etiquettes1), c.Editable);
    EXPECT_EQ(Actif(EItem::FeuilledeStyle1), c.Editable);
    EXPECT_FALSE(Visible(EItem::FeuilledeStyle1));
    EXPECT_TRUE(Actif(EItem::Sauversous1));
    EXPECT_EQ(Visible(EItem::Rechsuivant1), c.Recherche);
    EXPECT_EQ(Visible(EItem::AbandonRech1), c.Recherche);
    EXPECT_EQ(Actif(EItem::Canevas1), c.Nouvelle);
    EXPECT_EQ(Actif(EItem::Annuler1), c.Nouvelle);
    EXPECT_FALSE(Actif(EItem::Sauver1));
    EXPECT_FALSE(Actif(EItem::Enregistrerlafiche1));
    EXPECT_EQ(V.LecturesSeules[2], !c.Editable);
    // A keystroke makes the card, and so the file, savable.
    V.Tape(EChamp::MReponse, "x");
    Ed.MetAJourMenus();
    EXPECT_TRUE(Actif(EItem::Sauver1));
    EXPECT_TRUE(Actif(EItem::Enregistrerlafiche1));
    EXPECT_TRUE(Actif(EItem::Annuler1));
    V.Modifies = {};
    if (c.Nouvelle) Ed.SupprimeFiche();
  }
}

TEST_F(Affichage, SansFichierLesCommandesSontInactives) {
  ASSERT_TRUE(Ed.OuvreFichier(Fichier('Q', 2), 0, true, true, true));
  Ed.MetAJourMenus();
  ASSERT_TRUE(Actif(EItem::Fermer1));
  Ed.FermeFichier();
  Ed.MetAJourMenus();
  for (EItem item : {EItem::Sauver1, EItem::Sauversous1, EItem::Fermer1, EItem::Proprietes1,
                     EItem::Enregistrerlafiche1, EItem::Precedente1, EItem::Suivante1, EItem::Nouvelle1,
                     EItem::Entete1, EItem::Options1, EItem::OptionsAvancees1, EItem::Annuler1,
                     EItem::FeuilledeStyle1, EItem::Rechercher1, EItem::Imprimer1, EItem::PressePapiers1,
                     EItem::Listedesfiches1})
    EXPECT_FALSE(Actif(item)) << static_cast<int>(item);
  EXPECT_FALSE(Visible(EItem::Exporter1));
  EXPECT_FALSE(Visible(EItem::Edition1));
  EXPECT_EQ(V.TitreFenetre, "KorEdit");
  EXPECT_EQ(V.Textes[0], "(Pas de fichier chargé)"_a);
  EXPECT_FALSE(V.Actifs[0]);
  EXPECT_EQ(Ed.GetFicheAffichee(), nullptr);
  // The file just closed is offered again, the type proposed is the file's.
  EXPECT_TRUE(Visible(EItem::Ouvert1));
  EXPECT_EQ(V.Item(EItem::Ouvert1).Legende, "f.xkqq");
  EXPECT_TRUE(Visible(EItem::Modele1));
}

TEST_F(Affichage, OuvertCacheTantQueLeFichierEstOuvert) {
  const std::string a = Fichier('Q', 1, "a.xkq");
  ASSERT_TRUE(Ed.OuvreFichier(a, -1, true, true, true));
  R.FichierOuvert = a;
  Ed.MetAJourMenus();
  EXPECT_FALSE(Visible(EItem::Ouvert1));
  R.FichierOuvert = Chemin("A.XKQQ");  // case-sensitive comparison
  Ed.MetAJourMenus();
  EXPECT_TRUE(Visible(EItem::Ouvert1));
  EXPECT_FALSE(Visible(EItem::Recent1));
}

TEST_F(Affichage, TitreDeLaFenetre) {
  Cree(Ed, 'Q');
  EXPECT_EQ(V.TitreFenetre, "KorEdit - (Nouveau fichier)");
  Ed.LibereFichier();
  const std::string chemin = Fichier('Q', 1, "Géographie.xkq");
  ASSERT_TRUE(Ed.OuvreFichier(chemin, -1, true, true, true));
  EXPECT_EQ(V.TitreFenetre, "KorEdit - " + ansi::Utf8VersAnsi(chemin));
}

TEST_F(Affichage, PasAPas) {
  ASSERT_TRUE(Ed.OuvreFichier(Fichier('Q', 3), -1, true, true, true));
  const std::pair<EItem, int> pas[] = {{EItem::BPrecedent, 0}, {EItem::BSuivant, 1}, {EItem::BSuivant, 2},
                                        {EItem::BSuivant, 2},   {EItem::BPrecedent, 1}};
  for (const auto& [commande, attendu] : pas) {
    Ed.ExecuteItem(commande);
    EXPECT_EQ(Ed.GetIndexCourant(), attendu);
    EXPECT_EQ(V.Textes[0], "t" + std::to_string(attendu));
    EXPECT_EQ(V.Textes[1], "cle" + std::to_string(attendu));
  }
  // The menu items run the same commands.
  Ed.ExecuteItem(EItem::Suivante1);
  EXPECT_EQ(Ed.GetIndexCourant(), 2);
  Ed.ExecuteItem(EItem::BPrecedent);
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
}

TEST_F(Affichage, TitreDuFichierPourUnTypeSansChamp0) {
  ASSERT_TRUE(Ed.OuvreFichier(Fichier('R', 2), -1, true, true, true));
  EXPECT_EQ(V.Textes[0], "");
  V.Tape(EChamp::ETitre, "  Mon carnet ");
  // Stepping keeps the title typed, and it counts for saving.
  Ed.ExecuteItem(EItem::BSuivant);
  EXPECT_EQ(V.Textes[0], "  Mon carnet ");
  Ed.MetAJourMenus();
  EXPECT_TRUE(Actif(EItem::Sauver1));
  Ed.ValideTitreFichier();
  EXPECT_EQ(Ed.GetFichierCourant()->FTitre, "Mon carnet");
  EXPECT_TRUE(Ed.GetFichierCourant()->FModifie);
  EXPECT_FALSE(V.Modifies[0]);
}

}  // namespace
