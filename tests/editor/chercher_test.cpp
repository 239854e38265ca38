// Search and the card list through a scripted window: the search command and its messages, the
// next occurrence, abandoning, previous and next during a search, the list of a Notes file, and
// a file that changes or closes under the list or the search.

#include <gtest/gtest.h>

#include "VueDialogues.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"

namespace {

class Chercher : public ::testing::Test {
 protected:
  void SetUp() override {
    FixeLocale("fr_FR");
    Ed.Initialise();
  }
  // A card file in memory of that type, with a card per field-1 text, shown at index; the cards
  // listed in avec hold "cible" in field 2. Fichier is the file handed to the editor, which a
  // test may change behind the editor's back.
  void Charge(char type, int nombre, std::initializer_list<int> avec, int index) {
    auto f = std::make_unique<TFichierX>(type, 'x', EVarianteModele::Complet, R);
    for (int i = 0; i < nombre; ++i) f->AjouteFiche("", "carte " + std::to_string(i), "corps");
    for (int i : avec) f->Fiche(i).Champ2 = "une cible";
    f->FModifie = false;
    Fichier = f.get();
    Ed.MontreFichier(std::move(f), index);
  }
  // The search dialog answers with that text (and "Chercher").
  void Cherche(const std::string& texte, bool arriere = false) {
    V.Chercher = [texte, arriere](TLogiqueChercher& d) {
      d.EChercher = texte;
      d.CBArriere = arriere;
      return true;
    };
    Ed.ExecuteItem(EItem::Rechercher1);
  }
  void Reponses(std::size_t n) { V.Reponses.assign(n, EBouton::Ok); }
  const TVueScriptee::TMessage& Dernier() const { return V.Messages.back(); }

  TReglages R;
  TVueDialogues V;
  TEditeur Ed{V, R};
  TFichierX* Fichier = nullptr;
};

TEST_F(Chercher, ExempleDesDixFiches) {
  Charge('F', 10, {3, 7}, 1);
  Cherche("CIBLE");
  EXPECT_EQ(Ed.GetIndexCourant(), 3);
  EXPECT_TRUE(Ed.GetRecherche().RechercheActive);
  EXPECT_EQ(Ed.GetRecherche().IndexDepartRecherche, 1);
  Ed.MetAJourMenus();
  EXPECT_TRUE(V.Item(EItem::Rechsuivant1).Visible);
  EXPECT_TRUE(V.Item(EItem::AbandonRech1).Visible);
  Ed.ExecuteItem(EItem::Rechsuivant1);
  EXPECT_EQ(Ed.GetIndexCourant(), 7);
  EXPECT_TRUE(V.Messages.empty());
  Reponses(1);
  Ed.ExecuteItem(EItem::Rechsuivant1);
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  EXPECT_FALSE(Ed.GetRecherche().RechercheActive);
  ASSERT_EQ(V.Messages.size(), 1u);
  EXPECT_EQ(Dernier().Texte, "Non trouvé !"_a);
  EXPECT_EQ(Dernier().Titre, "Échec"_a);
  EXPECT_EQ(Dernier().Icone, EGenreMessage::Erreur);
  EXPECT_EQ(Dernier().Boutons, EBoutons::Ok);
  // F3 after the end: nothing moves, "Recherche terminée." (warning); Ctrl+F3 then does nothing.
  Reponses(1);
  Ed.ExecuteItem(EItem::Rechsuivant1);
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  EXPECT_EQ(Dernier().Texte, "Recherche terminée."_a);
  EXPECT_EQ(Dernier().Icone, EGenreMessage::Avertissement);
  Ed.ExecuteItem(EItem::AbandonRech1);
  EXPECT_EQ(V.Messages.size(), 2u);
}

TEST_F(Chercher, FinDeRechercheSurLaFicheDeDepart) {
  Charge('F', 10, {1, 3}, 1);
  Cherche("cible");
  ASSERT_EQ(Ed.GetIndexCourant(), 3);
  Reponses(1);
  Ed.ExecuteItem(EItem::BSuivant);  // next continues the search
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  EXPECT_EQ(Dernier().Texte, "Fin de recherche.");
  Charge('F', 10, {1}, 1);
  Reponses(1);
  Cherche("cible");
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  EXPECT_EQ(Dernier().Texte, "Fin de recherche.");
  EXPECT_EQ(Dernier().Icone, EGenreMessage::Information);
}

TEST_F(Chercher, TexteBlancNeDemarreRien) {
  Charge('F', 10, {3}, 1);
  Cherche("   ");
  EXPECT_FALSE(Ed.GetRecherche().RechercheActive);
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  EXPECT_TRUE(V.Messages.empty());
  // The dialog keeps what was typed for the next search.
  EXPECT_EQ(Ed.GetDlgChercher().EChercher, "   ");
}

TEST_F(Chercher, AbandonEtPrecedentJusquAuDepart) {
  Charge('F', 10, {3, 7}, 1);
  Cherche("cible");
  // While the search is active, "Suivante" stays enabled on the last card and "Précédente" on the first.
  Ed.AfficheFiche(9);
  EXPECT_TRUE(V.Item(EItem::BSuivant).Actif);
  Ed.AfficheFiche(3);
  Reponses(1);
  Ed.ExecuteItem(EItem::AbandonRech1);
  EXPECT_FALSE(Ed.GetRecherche().RechercheActive);
  EXPECT_EQ(Dernier().Texte, "Recherche terminée."_a);
  EXPECT_EQ(Dernier().Icone, EGenreMessage::Information);
  // Forwards, then previous back to the start card.
  Charge('F', 10, {3}, 1);
  Cherche("cible");
  ASSERT_EQ(Ed.GetIndexCourant(), 3);
  Reponses(1);
  Ed.ExecuteItem(EItem::BPrecedent);
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  EXPECT_EQ(Dernier().Texte, "Recherche terminée."_a);
  EXPECT_EQ(Dernier().Icone, EGenreMessage::Avertissement);
}

TEST_F(Chercher, AccentsEtMajuscules) {
  Charge('F', 5, {}, 0);
  Fichier->Fiche(3).Champ1 = "L'ÉCOLE DES FEMMES"_a;
  Cherche("école"_a);
  EXPECT_EQ(Ed.GetIndexCourant(), 3);
  V.Chercher = [](TLogiqueChercher& d) {
    EXPECT_EQ(d.EChercher, "école"_a);  // kept between searches
    d.CBDifferencier = true;
    return true;
  };
  Reponses(1);
  Ed.ExecuteItem(EItem::Rechercher1);
  EXPECT_EQ(Dernier().Texte, "Non trouvé !"_a);
}

TEST_F(Chercher, CarteRefuseeNiDialogueNiListe) {
  Charge('F', 3, {}, 0);
  V.Tape(EChamp::MQuestion, "");
  Reponses(2);
  Ed.ExecuteItem(EItem::Rechercher1);
  Ed.ExecuteItem(EItem::Listedesfiches1);
  EXPECT_EQ(V.Dialogues, 0);
  EXPECT_EQ(V.Messages.size(), 2u);
}

TEST_F(Chercher, ListeDesNotes) {
  // A Notes file of 5 cards showing card 1: card 4 first, line 3 selected; clicking line 0
  // shows card 4; Esc shows card 1 again.
  Charge('N', 5, {}, 1);
  V.Liste = [&](const TFichierX& f, int ligne, const std::function<void(int)>& selection) {
    EXPECT_EQ(&f, Ed.GetFichierCourant());
    EXPECT_EQ(ligne, 3);
    selection(4);
    EXPECT_EQ(Ed.GetIndexCourant(), 4);
    EXPECT_EQ(V.Textes[1], "carte 4");
    return EResultatListe::Abandon;
  };
  Ed.ExecuteItem(EItem::Listedesfiches1);
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  // Enter (or F12, a double-click, the close box) keeps the last card chosen.
  for (EResultatListe fin : {EResultatListe::OK, EResultatListe::Fermeture}) {
    Ed.AfficheFiche(1);
    V.Liste = [fin](const TFichierX&, int, const std::function<void(int)>& selection) {
      selection(2);
      return fin;
    };
    Ed.ExecuteItem(EItem::Listedesfiches1);
    EXPECT_EQ(Ed.GetIndexCourant(), 2);
  }
}

TEST_F(Chercher, ListeDUnFichierFermeOuRemplace) {
  // The file is closed while the list is up: the list hears of it, and neither a click nor Esc
  // touches the editor afterwards.
  Charge('R', 5, {}, 2);
  V.Liste = [&](const TFichierX&, int ligne, const std::function<void(int)>& selection) {
    EXPECT_EQ(ligne, 2);
    Ed.LibereFichier();
    EXPECT_EQ(V.ListesChangees, std::vector<const TFichierX*>{nullptr});
    selection(4);
    return EResultatListe::Abandon;
  };
  Ed.ExecuteItem(EItem::Listedesfiches1);
  EXPECT_FALSE(Ed.GetFichierCourant());
  // Replaced by a smaller file: the former index is never shown in it.
  Charge('R', 5, {}, 4);
  V.Liste = [&](const TFichierX&, int, const std::function<void(int)>& selection) {
    Charge('R', 2, {}, 0);
    selection(4);
    return EResultatListe::Abandon;
  };
  Ed.ExecuteItem(EItem::Listedesfiches1);
  EXPECT_EQ(Ed.GetIndexCourant(), 0);
}

TEST_F(Chercher, RechercheSurUnFichierQuiAChange) {
  // Cards removed from under an active search (the start card among them): the next steps stay
  // within the file and the search ends.
  Charge('F', 10, {2}, 8);
  Cherche("cible");
  ASSERT_EQ(Ed.GetIndexCourant(), 2);
  ASSERT_TRUE(Ed.GetRecherche().RechercheActive);
  for (int i = 0; i < 6; ++i) Fichier->SupprimeFiche(Fichier->GetNombreFiches() - 1);
  Reponses(1);
  Ed.ExecuteItem(EItem::Rechsuivant1);
  EXPECT_FALSE(Ed.GetRecherche().RechercheActive);
  EXPECT_EQ(Ed.GetIndexCourant(), 3);  // the start card, past the end now, taken as the last card
  EXPECT_EQ(Dernier().Texte, "Non trouvé !"_a);
  // A search left active on an emptied file ends on the spot.
  Charge('F', 3, {1}, 0);
  Cherche("cible");
  ASSERT_TRUE(Ed.GetRecherche().RechercheActive);
  while (Fichier->GetNombreFiches()) Fichier->SupprimeFiche(0);
  Ed.AfficheFiche(0);
  Reponses(1);
  Ed.ExecuteItem(EItem::Rechsuivant1);
  EXPECT_FALSE(Ed.GetRecherche().RechercheActive);
  EXPECT_EQ(Ed.GetIndexCourant(), -1);
}

TEST_F(Chercher, DialogueDuFichier) {
  // The dialog's boxes follow the file shown, and its single-field box the labels.
  R.ChercheArriere = true;
  Charge('N', 3, {}, 0);
  EXPECT_TRUE(Ed.GetDlgChercher().CBChampUnique);
  EXPECT_TRUE(Ed.GetDlgChercher().CBArriere);
  EXPECT_EQ(Ed.GetDlgChercher().LegendeChampUnique, "Chercher seulement dans le champ \"Onglet\"");
  Charge('Q', 3, {}, 0);
  EXPECT_FALSE(Ed.GetDlgChercher().CBChampUnique);
  EXPECT_FALSE(Ed.GetDlgChercher().CBArriere);
  EXPECT_EQ(Ed.GetDlgChercher().LegendeChampUnique, "Chercher seulement dans le champ \"Intitulé\""_a);
}

}  // namespace
