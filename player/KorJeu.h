#pragma once
// The game: one pass through the open questionnaire, one question at a time, with the score,
// the streak messages and the end of game. It runs on the window's thread and talks to the
// quiz window only through IVueJeu, so that it can be played without a window.

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cards/KorFichierX.h"
#include "cards/KorInit.h"
#include "player/IVueJeu.h"
#include "player/KorVerification.h"

// The verdict texts, from index -6 ("Temps écoulé !") to 5 ("Brillantissime !").
const std::string& MessagesResultat(int indice);

// The cards still to ask, in file order, each found by its index among them: the card at an
// index and the deletion of one take a time that grows with the logarithm of the number of
// cards (a tree of counts), so that a question of a long game costs about what a short one's
// does. Refers to the questionnaire's cards, owns none.
class TFichesAPoser {
 public:
  // Every card of the questionnaire, in file order.
  void assign(const std::vector<std::unique_ptr<TFicheX>>& fiches);
  void clear();
  int size() const { return FNombre; }
  bool empty() const { return FNombre == 0; }
  // The card at this index among those left; raises std::out_of_range outside 0 .. size() - 1.
  const TFicheX* at(int indice) const;
  // Deletes the card at this index: the following ones move down one place.
  void erase(int indice);

 private:
  // Position in file order of the card at this index among those left.
  std::size_t Position(int indice) const;

  std::vector<const TFicheX*> FFiches;  // the game's cards, in file order, deleted ones included
  // Fenwick tree over FFiches: FArbre[i] counts the cards left among positions i - (i & -i) to
  // i - 1 (i from 1; FArbre[0] unused).
  std::vector<int> FArbre;
  std::size_t FPasMax = 0;  // the largest power of two not above FFiches.size()
  int FNombre = 0;
};

class TJeu {
 public:
  explicit TJeu(IVueJeu& vue, const TReglages& reglages);
  TJeu(const TJeu&) = delete;
  TJeu& operator=(const TJeu&) = delete;

  // The questionnaire just opened (the window owns it): fills the check context, the time per
  // question, clears TempsEcoule, and shows its opening screen. Replaces any previous one,
  // whose game is dropped: report it first (RapporteResultat).
  void OuvreQuestionnaire(const TFichierX& quiz);
  // Drops every pointer to the questionnaire and its cards, and the game with them (report it
  // first); call it before freeing the questionnaire.
  void OublieQuestionnaire();
  const TFichierX* Questionnaire() const { return FQuiz; }
  // Index of FicheCourante in the questionnaire's own card order; 0 when there is none.
  int NumeroFicheCourante() const;

  void AfficheAccueil();
  void EffaceChamps();
  // Action of "Commencer", "Continuer", "Rejouer" and MenuCommencer.
  void AfficheQuestion();
  void InitPartie();
  void PoseQuestion();
  int IndiceSuivant();
  // Action of "Valider"; also the timer's when the time is over.
  void AfficheReponse();
  void RetireFiche();
  void AfficheResultat();
  int IndiceMessage();
  TCouleur CouleurScore(int score, int seuil) const;
  // Action of "Continuer" in correction mode.
  void VerifieCorrection();
  std::string Appreciation(int score, int seuil) const;
  void FinPartie();
  // Stops the timer, hands the report's inputs to the view, and ends the game (NbQuestionsPosees := 0).
  void RapporteResultat();

  // Runs a Bouton action of the game; false for the others (Aucune, ChoixOuvrirQuiz).
  bool ExecuteAction(EActionBouton action);
  // One tick of the question timer: the seconds left in LQuestAPoser, or the validation once over.
  void ChronoTimer();
  // A box opened over the question: its countdown stops where it is (ticks meanwhile are
  // ignored), and ReprendChrono goes on with the time that was left, if the same question is
  // still asked when the box closes.
  void SuspendChrono();
  void ReprendChrono();
  // Accepter: the last answer, judged wrong, counts as right. Nothing unless AccepterPossible().
  void AccepteReponse();

  EEtatJeu Etat() const { return FEtat; }
  // Bouton shows "Commencer" or "Rejouer".
  bool CommencerPossible() const { return FEtat == EEtatJeu::Accueil || FEtat == EEtatJeu::FinDePartie; }
  // CtrlAAccepte, Bouton shows "Continuer" and the last answer was judged wrong.
  bool AccepterPossible() const;
  // A game has begun and is not complete: leaving it needs a confirmation.
  bool PartieEnCours() const { return FNbQuestionsPosees > 0 && FNbQuestionsAPoser > 0; }
  // Counts the games begun in the run: a game is known by its number.
  unsigned NumeroPartie() const { return FNumeroPartie; }
  int Jauge() const { return FJauge; }

  // Game state: the window reads it, only the game changes it.
  const TFichesAPoser& FichesAPoser() const { return FFichesAPoser; }
  int IndiceCourant() const { return FIndiceCourant; }
  const TFicheX* FicheCourante() const { return FFicheCourante; }
  int NbQuestionsAPoser() const { return FNbQuestionsAPoser; }
  int NbQuestionsPosees() const { return FNbQuestionsPosees; }
  int NbBonnesReponses() const { return FNbBonnesReponses; }
  int Serie() const { return FSerie; }
  bool ReponseJuste() const { return FReponseJuste; }
  // Kept from one game and one questionnaire to the next.
  const std::string& NomCandidat() const { return FNomCandidat; }
  std::chrono::milliseconds DureeQuestion() const { return FDureeQuestion; }
  TInstant Echeance() const { return FEcheance; }
  bool TempsEcoule() const { return FTempsEcoule; }
  const TContexteVerification& Contexte() const { return FContexte; }

 private:
  void FixeBouton(const std::string& legende, EActionBouton action);

  TFichesAPoser FFichesAPoser;
  unsigned FNumeroPartie = 0;
  int FIndiceCourant = -1;
  const TFicheX* FFicheCourante = nullptr;
  int FNbQuestionsAPoser = 0;
  int FNbQuestionsPosees = 0;
  int FNbBonnesReponses = 0;
  int FSerie = 0;
  bool FReponseJuste = false;
  std::string FNomCandidat;
  std::chrono::milliseconds FDureeQuestion{0};
  TInstant FEcheance{};
  bool FTempsEcoule = false;
  TContexteVerification FContexte;

  bool FChronoSuspendu = false;
  TInstant::duration FResteSuspendu{};
  int FQuestionSuspendue = 0;  // NbQuestionsPosees when the countdown was suspended

  IVueJeu& FVue;
  const TReglages& FReglages;
  const TFichierX* FQuiz = nullptr;
  EEtatJeu FEtat = EEtatJeu::SansQuestionnaire;
  int FJauge = 0;
};
