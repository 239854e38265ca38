// Whole games played through a scripted view, with a generator and a clock of the test's own.

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "cards/KorFichierX.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"
#include "player/KorJeu.h"
#include "EnFrancais.h"

namespace {

using namespace std::chrono_literals;

// The window, as a script: it keeps what the game shows and answers what the game asks.
class TVueScriptee : public IVueJeu {
 public:
  TJeu* Jeu = nullptr;

  std::map<EControle, std::string> Textes;
  std::map<EZoneCouleur, TCouleur> Couleurs;
  std::map<EMenu, bool> Menus;
  int NbMontreMenu = 0;
  int ValeurJauge = -1;
  std::string Legende;
  EActionBouton Action = EActionBouton::Aucune;
  std::optional<EFocus> Focus;
  std::vector<std::pair<EIcone, std::string>> Messages;
  // Answers of the name box, in order; nullopt is Cancel.
  std::deque<std::optional<std::string>> Saisies;
  std::vector<std::string> SaisiesDemandees;  // "title|prompt|pre-filled text"
  bool EntreeEnfoncee = false;
  bool ChronoActif = false;
  TInstant Horloge{std::chrono::hours(1)};
  std::deque<int> TiragesImposes;  // taken first, then the seeded generator
  std::vector<int> BornesTirees;
  std::vector<int> Tirages;  // what Aleatoire returned, in order
  std::uint64_t Graine = 20240917;
  int NbRetourAccueil = 0;
  std::vector<TEntreesRapport> Rapports;

  void FixeTexte(EControle controle, const std::string& texte) override { Textes[controle] = texte; }
  std::string Texte(EControle controle) const override {
    const auto it = Textes.find(controle);
    return it == Textes.end() ? std::string() : it->second;
  }
  void FixeCouleur(EZoneCouleur zone, TCouleur couleur) override { Couleurs[zone] = couleur; }
  void FixeJauge(int valeur) override { ValeurJauge = valeur; }
  void FixeLegendeBouton(const std::string& legende) override { Legende = legende; }
  void FixeActionBouton(EActionBouton action) override { Action = action; }
  void DonneFocus(EFocus cible) override { Focus = cible; }
  void MontreMenu(EMenu menu, bool visible) override {
    Menus[menu] = visible;
    ++NbMontreMenu;
  }
  void Message(EIcone icone, const std::string& texte) override { Messages.emplace_back(icone, texte); }
  bool SaisieTexte(const std::string& titre, const std::string& invite, std::string& texte) override {
    SaisiesDemandees.push_back(titre + "|" + invite + "|" + texte);
    EXPECT_FALSE(Saisies.empty()) << "unexpected name box";
    if (Saisies.empty()) return false;
    const auto reponse = Saisies.front();
    Saisies.pop_front();
    if (!reponse) return false;
    texte = *reponse;
    return true;
  }
  bool ToucheEntreeEnfoncee() const override { return EntreeEnfoncee; }
  void DemarreChrono() override { ChronoActif = true; }
  void ArreteChrono() override { ChronoActif = false; }
  TInstant Maintenant() const override { return Horloge; }
  int Aleatoire(int n) override {
    BornesTirees.push_back(n);
    int v = 0;
    if (!TiragesImposes.empty()) {
      v = TiragesImposes.front();
      TiragesImposes.pop_front();
    } else {
      Graine = Graine * 6364136223846793005ULL + 1442695040888963407ULL;
      v = static_cast<int>((Graine >> 33) % static_cast<std::uint64_t>(n));
    }
    Tirages.push_back(v);
    return v;
  }
  // As the window does it: the report, then the questionnaire is dropped.
  void RetourAccueil() override {
    ++NbRetourAccueil;
    Jeu->RapporteResultat();
    Jeu->OublieQuestionnaire();
  }
  void RapporteResultat(const TEntreesRapport& entrees) override { Rapports.push_back(entrees); }
};

class Partie : public ::testing::Test {
 protected:
  Partie() { Vue.Jeu = &Jeu; }

  // A questionnaire of n cards "Qk" / "Rk" (k from 1), in file order unless told otherwise.
  void Ouvre(int n, bool suivreOrdre = true) {
    Quiz = std::make_unique<TFichierX>('Q', 'x', EVarianteModele::Questionnaire, R);
    Quiz->FNomFichier = "/tmp/quiz/capitales.xkqq";
    Quiz->FTitre = "Capitales";
    Quiz->FDescription = "Les capitales d'Europe";
    for (int k = 1; k <= n; ++k) Quiz->AjouteFicheDeuxChamps("Q" + std::to_string(k), "R" + std::to_string(k));
    Quiz->FSuivreOrdre = suivreOrdre;
  }
  void Commence() { Jeu.OuvreQuestionnaire(*Quiz); }

  void Clic() { Jeu.ExecuteAction(Vue.Action); }
  void Valide(const std::string& reponse) {
    ASSERT_EQ(Vue.Action, EActionBouton::AfficheReponse);
    Vue.Textes[EControle::EReponse] = reponse;
    Clic();
  }
  std::string Question() const { return Vue.Texte(EControle::MQuestion); }
  // The right answer to the question shown: "Qk" is answered "rk".
  void Juste() { Valide("r" + Question().substr(1)); }
  void Faux() { Valide("faux"); }
  std::string Verdict() const { return Vue.Texte(EControle::LResultat); }
  std::string Instruction() const { return Vue.Texte(EControle::LInstruction); }
  // Plays the script: J right, F wrong, V nothing typed; "Continuer" after each answer.
  std::vector<std::string> Joue(const std::string& script) {
    std::vector<std::string> posees;
    for (char c : script) {
      posees.push_back(Question());
      if (c == 'J') Juste();
      else if (c == 'F') Faux();
      else Valide("");
      Clic();
    }
    return posees;
  }

  TReglages R;
  std::unique_ptr<TFichierX> Quiz;
  TVueScriptee Vue;
  TJeu Jeu{Vue, R};
};

TEST_F(Partie, OpeningScreen) {
  Ouvre(3);
  Vue.Textes[EControle::LScore] = "old";
  Commence();
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::Accueil);
  EXPECT_EQ(Vue.Couleurs[EZoneCouleur::Panel2], CouleurSarcelle);
  EXPECT_EQ(Vue.Texte(EControle::ETitre), "Capitales");
  EXPECT_EQ(Question(), "Les capitales d'Europe");
  EXPECT_EQ(Vue.Texte(EControle::LScore), "");
  EXPECT_EQ(Vue.ValeurJauge, 0);
  EXPECT_EQ(Instruction(), "Cliquez sur \"Commencer\" pour débuter la partie."_a);
  EXPECT_EQ(Vue.Legende, "Commencer");
  EXPECT_EQ(Vue.Action, EActionBouton::AfficheQuestion);
  EXPECT_EQ(Vue.Focus, EFocus::Bouton);
  EXPECT_TRUE(Jeu.CommencerPossible());
  EXPECT_TRUE(Vue.Menus[EMenu::MenuFichier]);
  EXPECT_TRUE(Vue.Menus[EMenu::MenuPartie]);
  EXPECT_EQ(Jeu.NbQuestionsPosees(), 0);
  EXPECT_EQ(Jeu.FicheCourante(), nullptr);
}

TEST_F(Partie, CompleteGame) {
  Ouvre(5);
  Commence();
  Clic();
  EXPECT_TRUE(Vue.SaisiesDemandees.empty());  // no score sheet: no name asked
  EXPECT_EQ(Question(), "Q1");
  EXPECT_EQ(Vue.Legende, "Valider");
  EXPECT_EQ(Vue.Focus, EFocus::EReponse);
  EXPECT_EQ(Vue.Couleurs[EZoneCouleur::Panel2], CouleurBleuCiel);
  EXPECT_EQ(Instruction(), "Entrez votre réponse ci-dessous."_a);
  EXPECT_EQ(Vue.Texte(EControle::LQuestAPoser), "5 question(s) à poser"_a);
  EXPECT_FALSE(Vue.Menus[EMenu::MenuFichier]);  // MenuFichierEnPartie is off by default
  EXPECT_FALSE(Vue.ChronoActif);                // no time limit

  Juste();
  EXPECT_EQ(Verdict(), "Bonne réponse !"_a);
  EXPECT_EQ(Vue.Couleurs[EZoneCouleur::LResultat], CouleurLime);
  EXPECT_EQ(Vue.Couleurs[EZoneCouleur::Panel2], CouleurVert);
  EXPECT_EQ(Vue.Texte(EControle::MReponse), "R1");
  EXPECT_EQ(Vue.Texte(EControle::LScore), "Score : 1/1");
  EXPECT_EQ(Vue.Texte(EControle::LQuestAPoser), "4 question(s) à poser"_a);
  EXPECT_EQ(Instruction(), "Cliquez sur \"Continuer\".");
  EXPECT_EQ(Vue.Legende, "Continuer");
  EXPECT_EQ(Vue.Action, EActionBouton::AfficheQuestion);
  EXPECT_EQ(Vue.Focus, EFocus::Bouton);
  EXPECT_EQ(Vue.ValeurJauge, 100);
  EXPECT_EQ(Vue.Couleurs[EZoneCouleur::Jauge], CouleurVert);
  // A second validation of the same answer (a late Enter, a late tick) counts nothing.
  Jeu.AfficheReponse();
  Jeu.VerifieCorrection();
  EXPECT_EQ(Jeu.NbBonnesReponses(), 1);
  EXPECT_EQ(Jeu.Serie(), 1);
  Clic();

  EXPECT_EQ(Joue("J"), (std::vector<std::string>{"Q2"}));
  EXPECT_EQ(Question(), "Q3");
  Faux();
  EXPECT_EQ(Verdict(), "Réponse fausse !"_a);
  EXPECT_EQ(Vue.Couleurs[EZoneCouleur::LResultat], CouleurRose);
  EXPECT_EQ(Vue.Couleurs[EZoneCouleur::Panel2], CouleurRouge);
  EXPECT_EQ(Vue.Texte(EControle::MReponse), "R3");
  EXPECT_EQ(Instruction(), "Lisez la réponse correcte ci-dessus et cliquez sur \"Continuer\"."_a);
  EXPECT_EQ(Vue.ValeurJauge, 66);  // 2 of 3, rounded down
  Clic();

  EXPECT_EQ(Joue("JJ"), (std::vector<std::string>{"Q4", "Q5"}));
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::FinDePartie);
  EXPECT_EQ(Verdict(), "Score : 4/5 -- Félicitations !"_a);
  EXPECT_EQ(Vue.Couleurs[EZoneCouleur::LResultat], CouleurBlanc);
  EXPECT_EQ(Vue.Couleurs[EZoneCouleur::Panel2], CouleurVert);
  EXPECT_EQ(Question(), "");
  EXPECT_EQ(Vue.Texte(EControle::MReponse), "");
  EXPECT_EQ(Vue.Texte(EControle::EReponse), "");
  EXPECT_EQ(Vue.Texte(EControle::LQuestAPoser), "");
  EXPECT_EQ(Instruction(), "Fin de partie !  Cliquez sur \"Rejouer\" pour recommencer.");
  EXPECT_EQ(Vue.Legende, "Rejouer");
  EXPECT_EQ(Vue.Action, EActionBouton::AfficheQuestion);
  EXPECT_TRUE(Vue.Menus[EMenu::MenuFichier]);
  EXPECT_TRUE(Jeu.CommencerPossible());

  ASSERT_EQ(Vue.Rapports.size(), 1u);
  const auto& rapport = Vue.Rapports[0];
  EXPECT_EQ(rapport.NbQuestionsPosees, 5);
  EXPECT_EQ(rapport.NbQuestionsAPoser, 0);
  EXPECT_EQ(rapport.NbBonnesReponses, 4);
  EXPECT_EQ(rapport.NomCandidat, "");
  EXPECT_EQ(rapport.NomFichier, "/tmp/quiz/capitales.xkqq");
  EXPECT_EQ(Jeu.NbQuestionsPosees(), 0);

  // Rejouer: a new game from the first card.
  Clic();
  EXPECT_EQ(Question(), "Q1");
  EXPECT_EQ(Jeu.NbQuestionsPosees(), 1);
  EXPECT_EQ(Jeu.Serie(), 0);
  EXPECT_EQ(Vue.Texte(EControle::LScore), "");
  EXPECT_EQ(Vue.Texte(EControle::LQuestAPoser), "5 question(s) à poser"_a);
}

TEST_F(Partie, WrongAnswersComeBackAfterTheFollowingCards) {
  Ouvre(5);
  Quiz->FReposerErreurs = true;
  Commence();
  Clic();
  const auto posees = Joue("JFJFJFJJ");
  EXPECT_EQ(posees, (std::vector<std::string>{"Q1", "Q2", "Q3", "Q4", "Q5", "Q2", "Q4", "Q2"}));
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::FinDePartie);
  EXPECT_EQ(Verdict(), "Score : 5/8 -- Félicitations !"_a);  // 62 %
  ASSERT_EQ(Vue.Rapports.size(), 1u);
  EXPECT_EQ(Vue.Rapports[0].NbQuestionsPosees, 8);
  EXPECT_EQ(Vue.Rapports[0].NbBonnesReponses, 5);
  EXPECT_EQ(Vue.Rapports[0].NbQuestionsAPoser, 0);
}

TEST_F(Partie, WithoutRepeatEveryCardIsAskedOnce) {
  Ouvre(4, false);
  Commence();
  Clic();
  const auto posees = Joue("FFFF");
  EXPECT_EQ(std::set<std::string>(posees.begin(), posees.end()).size(), 4u);
  EXPECT_EQ(Verdict(), "Score : 0/4 -- Pas terrible, hum ?..."_a);
  // The cards drawn among those left; the fourth miss in a row draws its text among four.
  EXPECT_EQ(Vue.BornesTirees, (std::vector<int>{4, 3, 2, 1, 4}));
}

// The cards left behave as a list in file order from which the card answered is deleted: the
// same cards for the same draws, in both orders, a missed card kept under FReposerErreurs.
TEST_F(Partie, CardsLeftAsAPlainList) {
  constexpr int n = 150;
  for (const bool suivreOrdre : {true, false}) {
    for (const bool reposer : {false, true}) {
      SCOPED_TRACE(std::string(suivreOrdre ? "file order" : "random") + (reposer ? ", repeat" : ""));
      Ouvre(n, suivreOrdre);
      Quiz->FReposerErreurs = reposer;
      Vue.Tirages.clear();
      Commence();
      Clic();
      std::vector<int> liste(n);
      for (int k = 0; k < n; ++k) liste[static_cast<std::size_t>(k)] = k + 1;
      std::vector<int> fois(n + 1, 0);
      int indice = -1;
      std::size_t tirage = 0;
      // Right and wrong in turn: streaks stay short, so every draw is a card's.
      for (bool juste = false; Jeu.Etat() == EEtatJeu::Question; juste = !juste) {
        const int taille = static_cast<int>(liste.size());
        ASSERT_EQ(Jeu.FichesAPoser().size(), taille);
        indice = suivreOrdre ? (indice + 1) % taille : Vue.Tirages.at(tirage++);
        const int carte = liste.at(static_cast<std::size_t>(indice));
        ASSERT_EQ(Question(), "Q" + std::to_string(carte));
        ++fois[static_cast<std::size_t>(carte)];
        if (juste) Juste(); else Faux();
        if (juste || !reposer) {
          liste.erase(liste.begin() + indice);
          --indice;
        }
        Clic();
      }
      EXPECT_TRUE(liste.empty());
      EXPECT_EQ(Jeu.Etat(), EEtatJeu::FinDePartie);
      EXPECT_EQ(tirage, Vue.Tirages.size());
      // Every card asked: once without repeat, until it is answered right with it.
      for (int k = 1; k <= n; ++k) {
        if (reposer)
          EXPECT_GE(fois[static_cast<std::size_t>(k)], 1) << k;
        else
          EXPECT_EQ(fois[static_cast<std::size_t>(k)], 1) << k;
      }
    }
  }
}

// The list of cards left against a plain vector: the card at each index after every deletion.
TEST(TFichesAPoser, AsAPlainVector) {
  TReglages r;
  std::mt19937 tirage(7);
  for (int n : {0, 1, 2, 3, 5, 8, 13, 64, 100}) {
    TFichierX quiz('Q', 'x', EVarianteModele::Questionnaire, r);
    for (int k = 0; k < n; ++k) quiz.AjouteFicheDeuxChamps("Q" + std::to_string(k), "R");
    std::vector<const TFicheX*> modele;
    for (const auto& f : quiz.FFiches) modele.push_back(f.get());
    TFichesAPoser fiches;
    fiches.assign(quiz.FFiches);
    for (;;) {
      ASSERT_EQ(fiches.size(), static_cast<int>(modele.size())) << n;
      EXPECT_EQ(fiches.empty(), modele.empty());
      for (int i = 0; i < fiches.size(); ++i) ASSERT_EQ(fiches.at(i), modele[static_cast<std::size_t>(i)]) << n;
      EXPECT_THROW(fiches.at(fiches.size()), std::out_of_range);
      EXPECT_THROW(fiches.at(-1), std::out_of_range);
      if (modele.empty()) break;
      const int i = static_cast<int>(tirage() % modele.size());
      fiches.erase(i);
      modele.erase(modele.begin() + i);
    }
    fiches.assign(quiz.FFiches);
    EXPECT_EQ(fiches.size(), n);
    fiches.clear();
    EXPECT_TRUE(fiches.empty());
  }
}

TEST_F(Partie, SubsetOfTheCards) {
  Ouvre(10, false);
  Quiz->FNombreQuestions = 3;
  Commence();
  Clic();
  EXPECT_EQ(Vue.Texte(EControle::LQuestAPoser), "3 question(s) à poser"_a);
  const auto posees = Joue("JJJ");
  EXPECT_EQ(std::set<std::string>(posees.begin(), posees.end()).size(), 3u);
  // Each card is drawn among all those left, not among the first three.
  EXPECT_EQ(Vue.BornesTirees, (std::vector<int>{10, 9, 8}));
  EXPECT_EQ(Verdict(), "Score : 3/3 -- Félicitations !"_a);

  // In file order: the first three; 0 or a number not below the count asks every card.
  Ouvre(10);
  Quiz->FNombreQuestions = 3;
  Commence();
  Clic();
  EXPECT_EQ(Joue("JJJ"), (std::vector<std::string>{"Q1", "Q2", "Q3"}));
  for (int nombre : {0, 10, 200}) {
    Ouvre(10);
    Quiz->FNombreQuestions = static_cast<std::uint8_t>(nombre);
    Commence();
    Clic();
    EXPECT_EQ(Jeu.NbQuestionsAPoser(), 10) << nombre;
  }
}

TEST_F(Partie, StreakTexts) {
  Ouvre(20);
  Commence();
  Clic();
  std::vector<std::string> verdicts;
  auto note = [&](char c) {
    if (c == 'J') Juste();
    else if (c == 'F') Faux();
    verdicts.push_back(Verdict());
    Clic();
  };
  // From the fourth answer in a row, a text of the same side drawn from 1..4, then 1..5.
  Vue.TiragesImposes = {3, 4, 0, 3, 4};
  for (char c : std::string("JJJJJJFFFFF")) note(c);
  EXPECT_EQ(verdicts, (std::vector<std::string>{
                          "Bonne réponse !"_a, "Encore gagné !"_a, "Vraiment très fort !"_a, "Carrément génial !"_a,
                          "Brillantissime !"_a, "Bonne réponse !"_a, "Réponse fausse !"_a, "Encore raté !"_a,
                          "Vraiment mauvais !"_a, "Complètement nul !"_a, "On touche le fond !"_a}));
  EXPECT_EQ(Vue.BornesTirees, (std::vector<int>{4, 5, 5, 4, 5}));
  EXPECT_EQ(Jeu.Serie(), -5);

  // A right answer after a losing streak starts a new winning streak; nothing typed, or only
  // blanks, is "Pas d'idée ?" where "Réponse fausse !" would be.
  Juste();
  EXPECT_EQ(Jeu.Serie(), 1);
  EXPECT_EQ(Verdict(), "Bonne réponse !"_a);
  Clic();
  Valide("");
  EXPECT_EQ(Verdict(), "Pas d'idée ?"_a);
  EXPECT_EQ(Jeu.Serie(), -1);
  Clic();
  Valide(" \t ");
  EXPECT_EQ(Verdict(), "Encore raté !"_a);
  Clic();
  Juste();
  Clic();
  Valide(" \t\r\n");
  EXPECT_EQ(Verdict(), "Pas d'idée ?"_a);
}

TEST_F(Partie, LongStreakWithTheSeededGenerator) {
  Ouvre(30);
  Commence();
  Clic();
  std::set<std::string> vus;
  for (int i = 1; i <= 30; ++i) {
    Juste();
    if (i >= 5) vus.insert(Verdict());
    if (i == 4) {
      EXPECT_NE(Verdict(), "Brillantissime !"_a);
    }
    Clic();
  }
  // The fifth answer and later ones give any of the five texts of the winning side.
  EXPECT_EQ(vus, (std::set<std::string>{"Bonne réponse !"_a, "Encore gagné !"_a, "Vraiment très fort !"_a,
                                        "Carrément génial !"_a, "Brillantissime !"_a}));
}

TEST_F(Partie, TimeLimit) {
  Ouvre(3);
  Quiz->FTemps = 10;
  Commence();
  EXPECT_EQ(Jeu.DureeQuestion(), 10s);
  Clic();
  EXPECT_TRUE(Vue.ChronoActif);
  EXPECT_EQ(Jeu.Echeance(), Vue.Horloge + 10s);

  Vue.Horloge += 3500ms;
  Jeu.ChronoTimer();
  EXPECT_EQ(Vue.Texte(EControle::LQuestAPoser), "6");
  Vue.Horloge += 6500ms;  // exactly at the deadline: not over yet
  Jeu.ChronoTimer();
  EXPECT_EQ(Vue.Texte(EControle::LQuestAPoser), "0");
  EXPECT_FALSE(Jeu.TempsEcoule());
  Vue.Horloge += 1ms;
  Jeu.ChronoTimer();
  EXPECT_TRUE(Jeu.TempsEcoule());
  EXPECT_FALSE(Vue.ChronoActif);
  ASSERT_EQ(Vue.Messages.size(), 1u);
  EXPECT_EQ(Vue.Messages[0], std::make_pair(EIcone::Avertissement, "Temps écoulé !"_a));
  EXPECT_EQ(Verdict(), "Temps écoulé !"_a);
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::Verdict);
  // A late tick has nothing to time.
  Jeu.ChronoTimer();
  EXPECT_EQ(Vue.Messages.size(), 1u);
  EXPECT_EQ(Vue.Texte(EControle::LQuestAPoser), "2 question(s) à poser"_a);

  // The next question starts with a fresh time-out flag: a quick answer is judged as it is.
  Clic();
  EXPECT_FALSE(Jeu.TempsEcoule());
  EXPECT_EQ(Jeu.Echeance(), Vue.Horloge + 10s);
  Vue.Horloge += 2s;
  Jeu.ChronoTimer();
  Faux();
  EXPECT_EQ(Verdict(), "Encore raté !"_a);
  EXPECT_EQ(Vue.Messages.size(), 1u);
  Clic();
  Juste();
  Clic();
  EXPECT_EQ(Verdict(), "Score : 1/3 -- Pas terrible, hum ?..."_a);
}

TEST_F(Partie, TimeOutAfterATimeOutIsNotCarriedOver) {
  Ouvre(3);
  Quiz->FTemps = 5;
  Commence();
  Clic();
  Vue.Horloge += 6s;
  Jeu.ChronoTimer();
  EXPECT_EQ(Verdict(), "Temps écoulé !"_a);
  Clic();
  Juste();
  Clic();
  Faux();  // a plain wrong answer, in time
  EXPECT_EQ(Verdict(), "Réponse fausse !"_a);
  EXPECT_EQ(Vue.Messages.size(), 1u);
}

TEST_F(Partie, TimeOutValidatesWhatIsTyped) {
  Ouvre(2);
  Quiz->FTemps = 5;
  Commence();
  Clic();
  Vue.Textes[EControle::EReponse] = "r1";
  Vue.Horloge += 5001ms;
  Jeu.ChronoTimer();
  EXPECT_TRUE(Jeu.ReponseJuste());
  EXPECT_EQ(Verdict(), "Bonne réponse !"_a);
}

TEST_F(Partie, EnterIsRestrained) {
  Ouvre(4);
  Quiz->FBriderEntree = true;
  Quiz->FTemps = 5;
  Commence();
  Vue.EntreeEnfoncee = true;
  Clic();  // Enter cannot start a game
  EXPECT_EQ(Jeu.NbQuestionsPosees(), 0);
  EXPECT_EQ(Vue.Legende, "Commencer");
  Vue.EntreeEnfoncee = false;
  Clic();
  EXPECT_EQ(Question(), "Q1");

  // An empty answer is not validated; one of spaces is.
  Vue.Focus.reset();
  Valide("");
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::Question);
  EXPECT_EQ(Vue.Focus, EFocus::EReponse);
  EXPECT_TRUE(Vue.ChronoActif);
  Vue.EntreeEnfoncee = true;  // Enter validates an answer
  Valide("  ");
  EXPECT_EQ(Verdict(), "Pas d'idée ?"_a);
  Clic();  // but does not go on
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::Verdict);
  Vue.EntreeEnfoncee = false;
  Clic();
  EXPECT_EQ(Question(), "Q2");
  Juste();
  Clic();

  // When the time runs out, the empty answer goes through.
  EXPECT_EQ(Question(), "Q3");
  Vue.Horloge += 6s;
  Jeu.ChronoTimer();
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::Verdict);
  EXPECT_EQ(Verdict(), "Temps écoulé !"_a);
  // The next question is not timed out: its empty answer is held back again.
  Clic();
  EXPECT_EQ(Question(), "Q4");
  Valide("");
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::Question);
  EXPECT_EQ(Vue.Messages.size(), 1u);
}

struct Bande {
  int Score;
  int Seuil;
  TCouleur Couleur;
  const char* AvecMoyen;  // comment with MessageMoyen "Passable."
  const char* SansMoyen;  // comment with MessageMoyen empty
};

TEST_F(Partie, ScoreColoursAndComments) {
  const Bande bandes[] = {
      {100, 50, CouleurVert, " -- Félicitations !", " -- Félicitations !"},
      {56, 50, CouleurVert, " -- Félicitations !", " -- Félicitations !"},
      {55, 50, CouleurOrange, " -- Passable.", " -- Félicitations !"},
      {50, 50, CouleurOrange, " -- Passable.", " -- Félicitations !"},
      {49, 50, CouleurOrange, " -- Passable.", " -- Pas terrible, hum ?..."},
      {44, 50, CouleurOrange, " -- Passable.", " -- Pas terrible, hum ?..."},
      {43, 50, CouleurRouge, " -- Pas terrible, hum ?...", " -- Pas terrible, hum ?..."},
      {0, 50, CouleurRouge, " -- Pas terrible, hum ?...", " -- Pas terrible, hum ?..."},
      {0, 1, CouleurOrange, " -- Passable.", " -- Pas terrible, hum ?..."},
      {100, 100, CouleurOrange, " -- Passable.", " -- Félicitations !"},
      {0, 0, CouleurSarcelle, "", ""},
      {100, 0, CouleurSarcelle, "", ""},
      {100, 101, CouleurSarcelle, "", ""},
      {50, 255, CouleurSarcelle, "", ""},
  };
  for (const Bande& b : bandes) {
    SCOPED_TRACE(std::to_string(b.Score) + " / " + std::to_string(b.Seuil));
    R.MessageMoyen = "Passable.";
    EXPECT_EQ(Jeu.CouleurScore(b.Score, b.Seuil), b.Couleur);
    EXPECT_EQ(Jeu.Appreciation(b.Score, b.Seuil), ansi::Utf8VersAnsi(b.AvecMoyen));
    R.MessageMoyen.clear();
    EXPECT_EQ(Jeu.CouleurScore(b.Score, b.Seuil), b.Couleur);
    EXPECT_EQ(Jeu.Appreciation(b.Score, b.Seuil), ansi::Utf8VersAnsi(b.SansMoyen));
  }
  // An empty chosen message still gives its separator.
  R.MessageBon.clear();
  EXPECT_EQ(Jeu.Appreciation(90, 50), " -- ");
}

TEST_F(Partie, EndOfGameInTheMiddleBand) {
  Ouvre(2);
  Commence();
  Clic();
  Joue("JF");
  EXPECT_EQ(Verdict(), "Score : 1/2 -- Passable.");
  EXPECT_EQ(Vue.Couleurs[EZoneCouleur::Panel2], CouleurOrange);
  EXPECT_EQ(Vue.Couleurs[EZoneCouleur::Jauge], CouleurOrange);

  R.MessageMoyen.clear();
  Clic();
  Joue("JF");
  EXPECT_EQ(Verdict(), "Score : 1/2 -- Félicitations !"_a);
  EXPECT_EQ(Vue.Couleurs[EZoneCouleur::Panel2], CouleurOrange);
}

TEST_F(Partie, ThresholdsWithoutComment) {
  for (int seuil : {0, 101}) {
    Ouvre(3);
    Quiz->FScoreSatisfaisant = static_cast<std::uint8_t>(seuil);
    Commence();
    Clic();
    Joue("F");
    EXPECT_EQ(Vue.Couleurs[EZoneCouleur::Jauge], CouleurSarcelle);
    Joue("JJ");
    EXPECT_EQ(Verdict(), "Score : 2/3");
    EXPECT_EQ(Vue.Couleurs[EZoneCouleur::Panel2], CouleurSarcelle);
  }
}

TEST_F(Partie, AcceptWithoutRepeat) {
  Ouvre(3);
  Commence();
  EXPECT_FALSE(Jeu.AccepterPossible());
  Clic();
  EXPECT_FALSE(Jeu.AccepterPossible());
  Faux();
  EXPECT_TRUE(Jeu.AccepterPossible());
  EXPECT_EQ(Jeu.NbQuestionsAPoser(), 2);
  Jeu.AccepteReponse();
  EXPECT_EQ(Jeu.NbBonnesReponses(), 1);
  EXPECT_EQ(Jeu.NbQuestionsPosees(), 1);
  EXPECT_EQ(Jeu.NbQuestionsAPoser(), 2);
  EXPECT_EQ(Jeu.Serie(), 1);
  EXPECT_EQ(Verdict(), "Bonne réponse !"_a);
  EXPECT_EQ(Vue.Couleurs[EZoneCouleur::Panel2], CouleurVert);
  EXPECT_EQ(Vue.Texte(EControle::LScore), "Score : 1/1");
  // A second Accepter on the same answer does nothing.
  EXPECT_FALSE(Jeu.AccepterPossible());
  Jeu.AccepteReponse();
  EXPECT_EQ(Jeu.NbBonnesReponses(), 1);
  Clic();
  EXPECT_EQ(Joue("JJ"), (std::vector<std::string>{"Q2", "Q3"}));
  EXPECT_EQ(Verdict(), "Score : 3/3 -- Félicitations !"_a);

  // Not when the setting forbids it.
  R.CtrlAAccepte = false;
  Clic();
  Faux();
  EXPECT_FALSE(Jeu.AccepterPossible());
  Jeu.AccepteReponse();
  EXPECT_EQ(Jeu.NbBonnesReponses(), 0);
}

TEST_F(Partie, AcceptWithRepeat) {
  Ouvre(3);
  Quiz->FReposerErreurs = true;
  Commence();
  Clic();
  Faux();
  EXPECT_EQ(Jeu.NbQuestionsAPoser(), 3);  // kept to be asked again
  Jeu.AccepteReponse();
  EXPECT_EQ(Jeu.NbQuestionsAPoser(), 2);
  EXPECT_EQ(Jeu.FichesAPoser().size(), 2);
  EXPECT_EQ(Vue.Texte(EControle::LQuestAPoser), "2 question(s) à poser"_a);
  Clic();
  EXPECT_EQ(Joue("JJ"), (std::vector<std::string>{"Q2", "Q3"}));
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::FinDePartie);
  EXPECT_EQ(Vue.Rapports.back().NbQuestionsPosees, 3);
  EXPECT_EQ(Vue.Rapports.back().NbBonnesReponses, 3);
}

TEST_F(Partie, CorrectionMode) {
  Ouvre(3);
  Quiz->FCorrection = true;
  Commence();
  Clic();
  Faux();
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::Correction);
  EXPECT_EQ(Instruction(), "Corrigez votre réponse et cliquez sur \"Continuer\"."_a);
  EXPECT_EQ(Vue.Legende, "Continuer");
  EXPECT_EQ(Vue.Action, EActionBouton::VerifieCorrection);
  EXPECT_EQ(Vue.Focus, EFocus::EReponse);
  EXPECT_EQ(Vue.Texte(EControle::EReponse), "faux");  // left for editing
  EXPECT_EQ(Vue.Texte(EControle::MReponse), "R1");

  Vue.Focus.reset();
  Clic();
  ASSERT_EQ(Vue.Messages.size(), 1u);
  EXPECT_EQ(Vue.Messages[0],
            std::make_pair(EIcone::Avertissement, "Vous devez corriger votre réponse avant de poursuivre."_a));
  EXPECT_EQ(Vue.Focus, EFocus::EReponse);
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::Correction);

  Vue.Textes[EControle::EReponse] = "R1";
  Clic();
  EXPECT_EQ(Question(), "Q2");
  EXPECT_EQ(Jeu.NbBonnesReponses(), 0);  // still counted wrong
  Juste();
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::Verdict);  // a right answer needs no correction
  EXPECT_EQ(Vue.Texte(EControle::LScore), "Score : 1/2");
  Clic();

  // Accepter from the correction screen: counted right, and on to the next question.
  Faux();
  EXPECT_TRUE(Jeu.AccepterPossible());
  Jeu.AccepteReponse();
  EXPECT_EQ(Vue.Action, EActionBouton::AfficheQuestion);
  EXPECT_EQ(Instruction(), "Cliquez sur \"Continuer\".");
  EXPECT_EQ(Vue.Texte(EControle::LScore), "Score : 2/3");
}

TEST_F(Partie, CorrectionUnderRestrainedEnter) {
  Ouvre(2);
  Quiz->FCorrection = true;
  Quiz->FBriderEntree = true;
  Commence();
  Clic();
  Faux();
  Vue.Textes[EControle::EReponse] = "R1";
  Vue.EntreeEnfoncee = true;
  Clic();
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::Correction);
  EXPECT_TRUE(Vue.Messages.empty());
  Vue.EntreeEnfoncee = false;
  Clic();
  EXPECT_EQ(Question(), "Q2");
}

TEST_F(Partie, ShownAnswerWithoutTextToRead) {
  Ouvre(0);
  Quiz->AjouteFicheDeuxChamps("Q1", "(rien)");
  Quiz->AjouteFicheDeuxChamps("Q2", "R2 ; R2bis");
  Commence();
  Clic();
  Faux();
  EXPECT_EQ(Vue.Texte(EControle::MReponse), "(rien)");
  EXPECT_EQ(Instruction(), "Cliquez sur \"Continuer\".");
  Clic();
  Valide("r2bis");
  EXPECT_TRUE(Jeu.ReponseJuste());
  EXPECT_EQ(Vue.Texte(EControle::MReponse), "R2");
}

TEST_F(Partie, QuestionnaireWithoutCards) {
  Ouvre(0);
  Commence();
  Clic();
  ASSERT_EQ(Vue.Messages.size(), 1u);
  EXPECT_EQ(Vue.Messages[0], std::make_pair(EIcone::Erreur, std::string("Oups ! Il n'y a aucune question dans ce questionnaire !")));
  EXPECT_EQ(Vue.NbRetourAccueil, 1);
  EXPECT_EQ(Jeu.Questionnaire(), nullptr);
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::SansQuestionnaire);
  ASSERT_EQ(Vue.Rapports.size(), 1u);
  EXPECT_EQ(Vue.Rapports[0].NbQuestionsPosees, 0);  // nothing to report
  Quiz.reset();
  Clic();  // a late click finds no questionnaire
  EXPECT_EQ(Vue.Messages.size(), 1u);
}

TEST_F(Partie, QuestionnaireWithoutCardsAsksTheNameFirst) {
  R.HoteFeuilleNotes = "127.0.0.1";
  Ouvre(0);
  Commence();
  Vue.Saisies = {std::nullopt, std::string("Alice")};
  Clic();  // Cancel: nothing happens
  EXPECT_TRUE(Vue.Messages.empty());
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::Accueil);
  Clic();
  EXPECT_EQ(Vue.Messages.size(), 1u);
  EXPECT_EQ(Vue.NbRetourAccueil, 1);
}

TEST_F(Partie, CandidateName) {
  R.HoteFeuilleNotes = "127.0.0.1";
  Ouvre(1);
  Commence();
  Vue.Saisies = {std::string(" \tAlice Martin \r\n")};
  Clic();
  EXPECT_EQ(Vue.SaisiesDemandees, (std::vector<std::string>{"Candidat|Entrez votre nom :|"}));
  EXPECT_EQ(Jeu.NomCandidat(), "Alice Martin");
  Joue("J");
  ASSERT_EQ(Vue.Rapports.size(), 1u);
  EXPECT_EQ(Vue.Rapports[0].NomCandidat, "Alice Martin");

  // Rejouer asks again, pre-filled; Cancel leaves the end screen as it is.
  Vue.Saisies = {std::nullopt};
  Clic();
  EXPECT_EQ(Vue.SaisiesDemandees.back(), "Candidat|Entrez votre nom :|Alice Martin");
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::FinDePartie);
  EXPECT_EQ(Vue.Legende, "Rejouer");

  // The name survives the questionnaire; it may be emptied.
  Ouvre(1);
  Commence();
  Vue.Saisies = {std::string("   ")};
  Clic();
  EXPECT_EQ(Vue.SaisiesDemandees.back(), "Candidat|Entrez votre nom :|Alice Martin");
  EXPECT_EQ(Jeu.NomCandidat(), "");
  EXPECT_EQ(Question(), "Q1");
}

TEST_F(Partie, InterruptedGames) {
  Ouvre(4);
  Quiz->FTemps = 30;
  Commence();
  Clic();
  // Abandoned while its first question is shown: one question asked, none right.
  EXPECT_TRUE(Jeu.PartieEnCours());
  Jeu.FinPartie();
  EXPECT_FALSE(Vue.ChronoActif);
  EXPECT_EQ(Verdict(), "");
  EXPECT_EQ(Vue.Texte(EControle::LQuestAPoser), "");
  EXPECT_EQ(Vue.Legende, "Rejouer");
  ASSERT_EQ(Vue.Rapports.size(), 1u);
  EXPECT_EQ(Vue.Rapports[0].NbQuestionsPosees, 1);
  EXPECT_EQ(Vue.Rapports[0].NbQuestionsAPoser, 4);
  EXPECT_EQ(Vue.Rapports[0].NbBonnesReponses, 0);
  EXPECT_FALSE(Jeu.PartieEnCours());

  // Abandoned on a verdict after two answers.
  Clic();
  Joue("J");
  Juste();
  Jeu.FinPartie();
  EXPECT_EQ(Verdict(), "");
  EXPECT_EQ(Vue.Couleurs[EZoneCouleur::Panel2], CouleurVert);
  EXPECT_EQ(Vue.Rapports[1].NbQuestionsPosees, 2);
  EXPECT_EQ(Vue.Rapports[1].NbQuestionsAPoser, 2);
  EXPECT_EQ(Vue.Rapports[1].NbBonnesReponses, 2);

  // The last answer validated, "Continuer" not yet clicked: the game is complete.
  Clic();
  Joue("JJJ");
  Juste();
  EXPECT_FALSE(Jeu.PartieEnCours());
  Jeu.FinPartie();
  EXPECT_EQ(Verdict(), "Score : 4/4 -- Félicitations !"_a);
  EXPECT_EQ(Vue.Rapports[2].NbQuestionsAPoser, 0);
}

TEST_F(Partie, ReportEndsTheGameBeforeItIsSent) {
  Ouvre(3);
  Commence();
  Clic();
  Juste();
  // As Ctrl+R does it: the report, then the opening screen.
  Jeu.RapporteResultat();
  EXPECT_EQ(Vue.Rapports.back().NbQuestionsPosees, 1);
  EXPECT_EQ(Jeu.NbQuestionsPosees(), 0);
  Jeu.RapporteResultat();  // a second one has nothing left to report
  EXPECT_EQ(Vue.Rapports.back().NbQuestionsPosees, 0);
  Jeu.AfficheAccueil();
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::Accueil);
  EXPECT_EQ(Jeu.NumeroFicheCourante(), 0);
  Clic();
  EXPECT_EQ(Question(), "Q1");
}

TEST_F(Partie, DroppingTheQuestionnaireLeavesNoCardBehind) {
  Ouvre(6, false);
  Commence();
  Vue.TiragesImposes = {4};
  Clic();
  EXPECT_EQ(Question(), "Q5");
  EXPECT_EQ(Jeu.NumeroFicheCourante(), 4);
  Juste();
  Clic();
  const int numero = Jeu.NumeroFicheCourante();
  EXPECT_EQ(Quiz->FFiches[static_cast<std::size_t>(numero)]->Champ1, Question());

  Jeu.RapporteResultat();
  Jeu.OublieQuestionnaire();
  EXPECT_EQ(Jeu.Questionnaire(), nullptr);
  EXPECT_EQ(Jeu.FicheCourante(), nullptr);
  EXPECT_TRUE(Jeu.FichesAPoser().empty());
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::SansQuestionnaire);
  EXPECT_EQ(Jeu.NumeroFicheCourante(), 0);
  Quiz.reset();
  // Whatever arrives now touches no freed card.
  Jeu.ExecuteAction(EActionBouton::AfficheQuestion);
  Jeu.ChronoTimer();
  Jeu.AccepteReponse();
  Jeu.AfficheAccueil();
  EXPECT_EQ(Jeu.Etat(), EEtatJeu::SansQuestionnaire);
  EXPECT_FALSE(Jeu.ExecuteAction(EActionBouton::ChoixOuvrirQuiz));
}

TEST_F(Partie, Menus) {
  R.MenuFichierEnPartie = true;
  R.MenuPartieEnPartie = false;
  Ouvre(1);
  Commence();
  EXPECT_TRUE(Vue.Menus[EMenu::MenuFichier]);
  EXPECT_FALSE(Vue.Menus[EMenu::MenuPartie]);
  Clic();
  EXPECT_TRUE(Vue.Menus[EMenu::MenuFichier]);
  R.MenuFichierEnPartie = false;
  Joue("J");
  EXPECT_TRUE(Vue.Menus[EMenu::MenuFichier]);  // shown again at the end

  // Without a menu bar no menu is touched.
  R.BarreMenu = false;
  Vue.NbMontreMenu = 0;
  Commence();
  Clic();
  Joue("J");
  EXPECT_EQ(Vue.NbMontreMenu, 0);
}

TEST_F(Partie, CheckOptionsOfTheQuestionnaire) {
  Ouvre(0);
  Quiz->AjouteFicheDeuxChamps("Capitale de la France ?", "Paris");
  Quiz->AjouteFicheDeuxChamps("Couleurs ?", "rouge et noir");
  Quiz->FDifferencierCasse = true;
  Quiz->FMotAMot = true;
  Commence();
  Clic();
  Valide("paris");
  EXPECT_FALSE(Jeu.ReponseJuste());
  Clic();
  // Word by word the default ignored words do not apply (MotsIgnoresParDefaut is empty).
  Valide("rouge noir");
  EXPECT_FALSE(Jeu.ReponseJuste());

  Quiz->FDifferencierCasse = false;
  Quiz->FMotAMot = false;
  Quiz->FPhonetique = true;
  Commence();
  Clic();
  Valide("parice");
  EXPECT_TRUE(Jeu.ReponseJuste());
  Clic();
  Valide("noire rouje");
  EXPECT_TRUE(Jeu.ReponseJuste());
}

}  // namespace
