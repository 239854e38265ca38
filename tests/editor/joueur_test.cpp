// A questionnaire made in the editor, saved in both card formats, is read back by the player's
// reader and played through to the end by the game engine.

#include <gtest/gtest.h>

#include "VueDialogues.h"
#include "cards/KorNatif.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"
#include "player/KorJeu.h"

namespace {

// The quiz window reduced to what a game needs: texts, the button's action, no timer.
class TVueJeu : public IVueJeu {
 public:
  std::map<EControle, std::string> Textes;
  EActionBouton Action = EActionBouton::Aucune;
  std::vector<std::string> Messages;
  void FixeTexte(EControle c, const std::string& t) override { Textes[c] = t; }
  std::string Texte(EControle c) const override {
    const auto it = Textes.find(c);
    return it == Textes.end() ? std::string() : it->second;
  }
  void FixeCouleur(EZoneCouleur, TCouleur) override {}
  void FixeJauge(int) override {}
  void FixeLegendeBouton(const std::string&) override {}
  void FixeActionBouton(EActionBouton a) override { Action = a; }
  void DonneFocus(EFocus) override {}
  void MontreMenu(EMenu, bool) override {}
  void Message(EIcone, const std::string& t) override { Messages.push_back(t); }
  bool SaisieTexte(const std::string&, const std::string&, std::string&) override { return false; }
  bool ToucheEntreeEnfoncee() const override { return false; }
  void DemarreChrono() override {}
  void ArreteChrono() override {}
  TInstant Maintenant() const override { return TInstant{}; }
  int Aleatoire(int) override { return 0; }
  void RetourAccueil() override {}
  void RapporteResultat(const TEntreesRapport&) override {}
};

class Joueur : public DossierTemporaire {};

TEST_F(Joueur, QuestionnaireFaitDansLEditeurSeJoue) {
  FixeLocale("fr_FR");
  TReglages r;
  r.TousTypes = false;
  r.TypesUtilises = "QRNLM";
  TVueDialogues v;
  TEditeur ed(v, r);
  ed.Initialise();
  ed.DemarreSansFichier();
  ed.ExecuteItem(EItem::Nouveau1);
  ASSERT_TRUE(ed.GetFichierCourant());
  const std::vector<std::array<std::string, 3>> cartes = {
      {"Europe", "Capitale de la France ?", "Paris"},
      {"Europe", "Capitale de l'Allemagne ?", "Berlin"},
      {"Afrique", "Capitale du Sénégal ?"_a, "Dakar;Dakkar"},
  };
  for (const auto& c : cartes) {
    ed.ExecuteItem(EItem::BNouveau);
    v.Tape(EChamp::ETitre, c[0]);
    v.Tape(EChamp::MQuestion, c[1] + "\r\n");
    v.Tape(EChamp::MReponse, c[2]);
  }
  // The questions in the file's order, ticked in the quiz options dialog.
  v.Options = [](TLogiqueOptions& d) {
    d.CBOrdre = true;
    d.ChangeOptions();
    return EResultatDialogue::OK;
  };
  ed.ExecuteItem(EItem::Options1);
  ASSERT_TRUE(ed.GetFichierCourant()->FSuivreOrdre);
  for (const std::string nom : {"quiz.xkqq", "quiz.kqq"}) {
    SCOPED_TRACE(nom);
    v.Sauvegardes.push_back(TChoixSauvegarde{Chemin(nom), nom == "quiz.kqq" ? 1 : 0});
    r.FormatsUtilises = "xn";
    ed.ExecuteItem(EItem::Sauversous1);
    ASSERT_TRUE(v.Messages.empty()) << v.Messages.front().Texte;
    ASSERT_EQ(ed.GetFichierCourant()->FNomFichier, Chemin(nom));
    // The editor keeps the file it edits locked: the player reads it once it is closed.
    ed.FermeFichier();

    const auto quiz = nom == "quiz.kqq"
                          ? LitFichierNatif(Chemin(nom), false, true, EVarianteModele::Questionnaire, r)
                          : LitFichierXML(Chemin(nom), false, true, EVarianteModele::Questionnaire, r);
    quiz->FFlux.reset();  // as the player does: no file stays open while playing
    ASSERT_EQ(quiz->GetNombreFiches(), 3);
    EXPECT_EQ(quiz->Fiche(2).Champ1, "Capitale du Sénégal ?"_a);
    TVueJeu vj;
    TJeu jeu(vj, r);
    jeu.OuvreQuestionnaire(*quiz);
    ASSERT_EQ(vj.Action, EActionBouton::AfficheQuestion);
    jeu.ExecuteAction(vj.Action);
    const std::map<std::string, std::string> reponses = {{"Capitale de la France ?", "paris"},
                                                         {"Capitale de l'Allemagne ?", "Berlin"},
                                                         {"Capitale du Sénégal ?"_a, "Dakkar"}};
    for (int i = 0; i < 3; ++i) {
      ASSERT_EQ(vj.Action, EActionBouton::AfficheReponse);
      vj.Textes[EControle::EReponse] = reponses.at(vj.Texte(EControle::MQuestion));
      jeu.ExecuteAction(vj.Action);
      EXPECT_TRUE(jeu.ReponseJuste()) << vj.Texte(EControle::MQuestion);
      jeu.ExecuteAction(vj.Action);
    }
    EXPECT_EQ(jeu.NbBonnesReponses(), 3);
    EXPECT_EQ(jeu.Etat(), EEtatJeu::FinDePartie);
    ASSERT_TRUE(ed.OuvreFichier(Chemin(nom), -1, true, true, true));
  }
}

}  // namespace
