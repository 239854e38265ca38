#pragma once
// The game: one pass through the open questionnaire, one question at a time, with the score,
// the streak messages and the end of game. It runs on the window's thread and talks to the
// quiz window only through IVueJeu, so that it can be played without a window.

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "cards/KorFichierX.h"
#include "cards/KorInit.h"
#include "player/IVueJeu.h"
#include "player/KorVerification.h"

// The verdict texts, from index -6 ("Temps écoulé !") to 5 ("Brillantissime !").
const std::string& MessagesResultat(int indice);

class TJeu {
 public:
  explicit TJeu(IVueJeu& vue, const TReglages& reglages = Reglages());
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
  bool PartieEnCours() const { return NbQuestionsPosees > 0 && NbQuestionsAPoser > 0; }
  int Jauge() const { return FJauge; }

  // Game state, read by the window.
  std::vector<const TFicheX*> FichesAPoser;  // cards still to ask; the questionnaire owns them
  int IndiceCourant = -1;
  const TFicheX* FicheCourante = nullptr;
  int NbQuestionsAPoser = 0;
  int NbQuestionsPosees = 0;
  int NbBonnesReponses = 0;
  int Serie = 0;
  bool ReponseJuste = false;
  std::string NomCandidat;  // kept from one game and one questionnaire to the next
  std::chrono::milliseconds DureeQuestion{0};
  TInstant Echeance{};
  bool TempsEcoule = false;
  TContexteVerification Contexte;

 private:
  void FixeBouton(const std::string& legende, EActionBouton action);

  bool FChronoSuspendu = false;
  TInstant::duration FResteSuspendu{};
  int FQuestionSuspendue = 0;  // NbQuestionsPosees when the countdown was suspended

  IVueJeu& FVue;
  const TReglages& FReglages;
  const TFichierX* FQuiz = nullptr;
  EEtatJeu FEtat = EEtatJeu::SansQuestionnaire;
  int FJauge = 0;
};
