// Validation and commit of the shown card through a scripted window: empty new cards, refused
// cards, category cards, the Notes date, the template, trimming by type, the sorted insertion,
// adding, inserting and deleting cards.

#include <gtest/gtest.h>

#include "VueDialogues.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"

namespace {

const std::string Incomplete = "La fiche est incomplète !\r\nRemplissez-la ou supprimez-la."_a;

class Validation : public ::testing::Test {
 protected:
  void SetUp() override {
    FixeLocale("fr_FR");
    Ed.Initialise();
  }
  // A card file of that type in memory, not modified.
  std::unique_ptr<TFichierX> Fichier(char type, const std::vector<std::string>& cles) {
    auto f = std::make_unique<TFichierX>(type, 'x', EVarianteModele::Complet, R);
    for (const std::string& c : cles) f->AjouteFiche("t-" + c, c, "corps " + c);
    f->FModifie = false;
    return f;
  }
  // Such a file shown at index.
  void Charge(char type, const std::vector<std::string>& cles, int index = 0) {
    Ed.MontreFichier(Fichier(type, cles), index);
  }
  std::vector<std::string> Cles() const {
    std::vector<std::string> cles;
    for (const auto& f : Ed.GetFichierCourant()->FFiches) cles.push_back(f->Champ1);
    return cles;
  }
  const TFicheX& Fiche(int i) const { return Ed.GetFichierCourant()->Fiche(i); }

  TReglages R;
  TVueDialogues V;
  TEditeur Ed{V, R};
};

TEST_F(Validation, NouvelleFicheIntouchee) {
  Charge('Q', {"a", "b"}, 1);
  Ed.ExecuteItem(EItem::BNouveau);
  ASSERT_EQ(Ed.GetIndexCourant(), 2);
  EXPECT_TRUE(Ed.GetNouvelleFicheEnCours());
  EXPECT_EQ(V.Focus, ECibleFocus::ETitre);
  EXPECT_FALSE(Ed.GetFichierCourant()->FModifie) << "adding a card does not modify the file";
  // Stepping away removes it silently, shows the card shown before it, and moves no further.
  Ed.ExecuteItem(EItem::BPrecedent);
  EXPECT_TRUE(Ed.GetFicheSansSaisieSupprimee());
  EXPECT_EQ(Ed.GetFichierCourant()->GetNombreFiches(), 2);
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  EXPECT_FALSE(Ed.GetFichierCourant()->FModifie);
  EXPECT_TRUE(V.Messages.empty());
  // "Nouvelle" on an untouched new card replaces it by a fresh one at the end.
  Ed.ExecuteItem(EItem::BNouveau);
  Ed.ExecuteItem(EItem::BNouveau);
  EXPECT_EQ(Ed.GetFichierCourant()->GetNombreFiches(), 3);
  // "Insérer" while an empty new card is pending adds nothing.
  Ed.ExecuteItem(EItem::BInserer);
  EXPECT_EQ(Ed.GetFichierCourant()->GetNombreFiches(), 3);
}

TEST_F(Validation, FicheTapeePuisEffaceeEstRefusee) {
  Charge('Q', {"a"});
  Ed.ExecuteItem(EItem::BNouveau);
  V.Tape(EChamp::MQuestion, "x");
  V.Tape(EChamp::MQuestion, "");
  V.Reponses = {EBouton::Annuler};
  Ed.ExecuteItem(EItem::BSuivant);
  ASSERT_EQ(V.Messages.size(), 1u);
  EXPECT_EQ(V.Messages[0].Texte, Incomplete);
  EXPECT_EQ(V.Messages[0].Icone, EGenreMessage::Avertissement);
  EXPECT_EQ(V.Messages[0].Boutons, EBoutons::Annuler);
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  EXPECT_TRUE(Ed.GetNouvelleFicheEnCours());
  // Every validating command stops on it: saving, closing.
  V.Reponses = {EBouton::Annuler, EBouton::Annuler};
  Ed.ExecuteItem(EItem::Sauver1);
  EXPECT_EQ(Ed.FermeFichier(), TEditeur::Abandon);
  EXPECT_TRUE(Ed.GetFichierCourant());
  // Still empty: "Supprimer" removes it without a question.
  Ed.ExecuteItem(EItem::BSupprimer);
  EXPECT_EQ(V.Messages.size(), 3u);
  EXPECT_EQ(Ed.GetFichierCourant()->GetNombreFiches(), 1);
  EXPECT_EQ(Ed.GetIndexCourant(), 0);
  EXPECT_FALSE(Ed.GetFichierCourant()->FModifie);
}

struct TCasComplet {
  const char* Nom;
  char Type;
  std::string Champ0, Champ1, Champ2;
  bool Refusee;
};

TEST_F(Validation, FicheCompleteOuNon) {
  const TCasComplet table[] = {
      {"question vide", 'Q', "t", "", "r", true},
      {"question d'espaces", 'Q', "t", "   ", "r", true},
      {"catégorie sans question", 'Q', "%Europe", "", "", false},
      {"catégorie de QCM", 'M', "%Europe", "", "", false},
      {"catégorie précédée d'un espace", 'Q', " %Europe", "", "r", true},
      {"réponse vide", 'Q', "t", "q", "", false},
      {"liste sans corps", 'L', "", "", "  \r\n", true},
      {"liste", 'L', "", "", "a", false},
      {"note sans corps", 'N', "", "titre", "", true},
      {"répertoire", 'R', "", "clé", "", false},
  };
  for (const TCasComplet& c : table) {
    SCOPED_TRACE(c.Nom);
    Charge(c.Type, {"a"});
    V.Messages.clear();
    V.Tape(EChamp::ETitre, c.Champ0);
    V.Tape(EChamp::MQuestion, c.Champ1);
    V.Tape(EChamp::MReponse, c.Champ2);
    if (c.Refusee) V.Reponses = {EBouton::Annuler};
    EXPECT_EQ(Ed.ValideFiche(), c.Refusee);
    EXPECT_EQ(V.Messages.size(), c.Refusee ? 1u : 0u);
    EXPECT_EQ(Ed.GetFichierCourant()->FModifie, !c.Refusee);
    V.Modifies = {};
  }
}

TEST_F(Validation, DateDesNotes) {
  Charge('N', {"hier"});
  Ed.ExecuteItem(EItem::BNouveau);
  EXPECT_EQ(V.Focus, ECibleFocus::MQuestion);
  V.Tape(EChamp::MReponse, "Acheter du pain");
  EXPECT_FALSE(Ed.ValideFiche());
  EXPECT_EQ(Fiche(1).Champ1, V.Date);
  EXPECT_EQ(Fiche(1).Champ2, "Acheter du pain");
  EXPECT_EQ(V.Textes[1], V.Date);
  // A title typed is kept.
  Ed.ExecuteItem(EItem::BNouveau);
  V.Tape(EChamp::MQuestion, "Rappel ");
  V.Tape(EChamp::MReponse, "x");
  Ed.ValideFiche();
  EXPECT_EQ(Fiche(2).Champ1, "Rappel");
}

TEST_F(Validation, CanevasEgalCompteCommeVide) {
  auto f = Fichier('F', {"a"});
  f->SetCanevas("", "Titre :", "Corps :");
  f->FModifie = false;
  Ed.MontreFichier(std::move(f), 0);
  Ed.ExecuteItem(EItem::BNouveau);
  EXPECT_EQ(V.Textes[1], "Titre :");
  EXPECT_TRUE(Ed.FicheSansSaisie());
  // Untouched and equal to the template: removed silently.
  Ed.ExecuteItem(EItem::BPrecedent);
  EXPECT_EQ(Ed.GetFichierCourant()->GetNombreFiches(), 1);
  EXPECT_TRUE(V.Messages.empty());
  // Touched, then edited back to the template: refused.
  Ed.ExecuteItem(EItem::BNouveau);
  V.Tape(EChamp::MReponse, "Corps : x");
  V.Tape(EChamp::MReponse, "Corps :");
  V.Reponses = {EBouton::Annuler};
  EXPECT_TRUE(Ed.ValideFiche());
  EXPECT_EQ(V.Messages.at(0).Texte, Incomplete);
  V.Tape(EChamp::MReponse, "Corps : fait");
  EXPECT_FALSE(Ed.ValideFiche());
  EXPECT_EQ(Fiche(1).Champ2, "Corps : fait");
}

struct TCasRognage {
  char Type;
  std::string Attendu0, Attendu1, Attendu2;
};

TEST_F(Validation, RognageParType) {
  const std::string c0 = " t \t", c1 = "  q  \r\n", c2 = " r \r\n\r\n";
  const TCasRognage table[] = {
      {'M', c0, c1, c2},               // a QCM keeps everything as typed
      {'Q', " t", "  q", " r"},        // trailing blanks dropped
      {'F', "", "  q", " r"},          // no field 0 stored
      {'R', "", "q", " r"},            // a sorted file also drops the leading blanks of field 1
      {'L', "", "", " r"},             // no field 1 stored
  };
  for (const TCasRognage& c : table) {
    SCOPED_TRACE(std::string("type ") + c.Type);
    Charge(c.Type, {"a"});
    V.Tape(EChamp::ETitre, c0);
    V.Tape(EChamp::MQuestion, c1);
    V.Tape(EChamp::MReponse, c2);
    ASSERT_FALSE(Ed.ValideFiche());
    const TFicheX& f = Fiche(0);
    EXPECT_EQ(f.Champ0, Ed.GetFichierCourant()->FAvecChamp0 ? c.Attendu0 : "");
    EXPECT_EQ(f.Champ1, Ed.GetFichierCourant()->FSansChamp1 ? "" : c.Attendu1);
    EXPECT_EQ(f.Champ2, c.Attendu2);
    // The edits keep what was typed, and count as not modified.
    EXPECT_EQ(V.Textes[2], c2);
    EXPECT_FALSE(V.Modifies[2]);
    EXPECT_FALSE(Ed.FicheModifiee());
  }
}

TEST_F(Validation, InsertionTriee) {
  Charge('R', {"a", "c", "e"});
  auto ajoute = [&](const std::string& cle, const std::string& corps) {
    Ed.ExecuteItem(EItem::BNouveau);
    V.Tape(EChamp::MQuestion, cle);
    V.Tape(EChamp::MReponse, corps);
    ASSERT_FALSE(Ed.ValideFiche());
  };
  ajoute("b", "1");
  EXPECT_EQ(Cles(), (std::vector<std::string>{"a", "b", "c", "e"}));
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  EXPECT_EQ(Ed.GetFicheAffichee()->Champ2, "1");
  // Equal keys: after the last one.
  ajoute("c", "2");
  EXPECT_EQ(Ed.GetIndexCourant(), 3);
  EXPECT_EQ(Fiche(3).Champ2, "2");
  ajoute("z", "3");
  EXPECT_EQ(Ed.GetIndexCourant(), 5);
  ajoute(" 0", "4");
  EXPECT_EQ(Ed.GetIndexCourant(), 0);
  EXPECT_EQ(Fiche(0).Champ1, "0");
  // "B" and "b" are placed by the locale's case-sensitive order.
  ajoute("B", "5");
  const int b = Ed.GetIndexCourant();
  EXPECT_EQ(Fiche(b).Champ1, "B");
  EXPECT_EQ(Fiche(b - 1).Champ1, CompareStringA("b", "B") == CSTR_LESS_THAN ? "b" : "a");
  for (int i = 1; i < Ed.GetFichierCourant()->GetNombreFiches(); ++i)
    EXPECT_NE(CompareStringA(Fiche(i).Champ1, Fiche(i - 1).Champ1), CSTR_LESS_THAN) << i;
  // The buttons follow the card's new place.
  Ed.AfficheFiche(0);
  EXPECT_FALSE(V.Item(EItem::BPrecedent).Actif);
}

TEST_F(Validation, FicheNonDeplaceeSiLeChamp1NEstPasModifie) {
  // Out of order, as a Cardfile file stays.
  Charge('R', {"z", "a"});
  V.Tape(EChamp::MReponse, "autre corps");
  ASSERT_FALSE(Ed.ValideFiche());
  EXPECT_EQ(Cles(), (std::vector<std::string>{"z", "a"}));
  EXPECT_EQ(Ed.GetIndexCourant(), 0);
  V.Tape(EChamp::MQuestion, "zz");
  ASSERT_FALSE(Ed.ValideFiche());
  EXPECT_EQ(Cles(), (std::vector<std::string>{"a", "zz"}));
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
}

TEST_F(Validation, ValiderDansUnFichierTrieArreteLaRecherche) {
  Charge('R', {"a", "c"});
  V.Chercher = [](TLogiqueChercher& d) {
    d.EChercher = "c";
    return true;
  };
  Ed.ExecuteItem(EItem::Rechercher1);
  ASSERT_TRUE(Ed.GetRecherche().RechercheActive);
  ASSERT_EQ(Ed.GetIndexCourant(), 1);
  V.Tape(EChamp::MQuestion, "b");
  ASSERT_FALSE(Ed.ValideFiche());
  EXPECT_FALSE(Ed.GetRecherche().RechercheActive);
}

TEST_F(Validation, Suppression) {
  struct Cas {
    std::vector<std::string> Cles;
    int Index;
    EBouton Reponse;
    std::vector<std::string> Reste;
    int Montree;
  } table[] = {
      {{"a", "b", "c"}, 2, EBouton::Oui, {"a", "b"}, 1},  // the last card: the new last card
      {{"a", "b", "c"}, 1, EBouton::Oui, {"a", "c"}, 1},  // the card that followed it
      {{"a"}, 0, EBouton::Oui, {}, -1},                   // the only card: the blank card
      {{"a", "b"}, 0, EBouton::Non, {"a", "b"}, 0},       // No: nothing
  };
  for (const Cas& c : table) {
    Charge('Q', c.Cles, c.Index);
    V.Tape(EChamp::MReponse, "dropped with the card");
    V.Messages.clear();
    V.Reponses = {c.Reponse};
    Ed.ExecuteItem(EItem::BSupprimer);
    ASSERT_EQ(V.Messages.size(), 1u);
    EXPECT_EQ(V.Messages[0].Texte, "Voulez-vous vraiment supprimer cette fiche ?");
    EXPECT_EQ(V.Messages[0].Icone, EGenreMessage::Question);
    EXPECT_EQ(Cles(), c.Reste);
    EXPECT_EQ(Ed.GetIndexCourant(), c.Montree);
    EXPECT_EQ(Ed.GetFichierCourant()->FModifie, c.Reponse == EBouton::Oui);
    if (c.Montree == -1) {
      EXPECT_EQ(V.Textes[1], "(Pas de fiche)");
    }
  }
}

TEST_F(Validation, InsererPuisSupprimer) {
  Charge('Q', {"a", "b", "c"}, 1);
  Ed.ExecuteItem(EItem::BInserer);
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  EXPECT_EQ(Cles(), (std::vector<std::string>{"a", "", "b", "c"}));
  Ed.ExecuteItem(EItem::BSupprimer);  // still empty: no question
  EXPECT_TRUE(V.Messages.empty());
  EXPECT_EQ(Cles(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(Ed.GetIndexCourant(), 1);
  EXPECT_EQ(V.Textes[1], "b");
  EXPECT_FALSE(Ed.GetFichierCourant()->FModifie);
  // A new card in an empty file, removed: the blank card again.
  Charge('Q', {});
  Ed.ExecuteItem(EItem::BNouveau);
  EXPECT_EQ(Ed.GetIndexCourant(), 0);
  Ed.ExecuteItem(EItem::BSupprimer);
  EXPECT_EQ(Ed.GetIndexCourant(), -1);
  EXPECT_EQ(V.Textes[1], "(Pas de fiche)");
}

TEST_F(Validation, FichierLectureSeuleSansNouvelleFiche) {
  auto f = Fichier('Q', {"a"});
  f->FModifiable = false;
  Ed.MontreFichier(std::move(f), 0);
  Ed.ExecuteItem(EItem::BNouveau);
  EXPECT_EQ(Ed.GetFichierCourant()->GetNombreFiches(), 1);
  Ed.ExecuteItem(EItem::BSupprimer);
  EXPECT_EQ(Ed.GetFichierCourant()->GetNombreFiches(), 1);
}

}  // namespace
