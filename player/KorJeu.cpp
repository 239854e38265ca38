#include "player/KorJeu.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <stdexcept>

#include "cards/KorOutils.h"
#include "platform/Ansi.h"

namespace {

std::string QuestionsAPoser(int n) { return std::to_string(n) + " question(s) à poser"_a; }

std::string TexteScore(int bonnes, int posees) {
  return "Score : " + std::to_string(bonnes) + "/" + std::to_string(posees);
}

}  // namespace

const std::string& MessagesResultat(int indice) {
  static const std::array<std::string, 12> messages = {
      "Temps écoulé !"_a,      "On touche le fond !"_a, "Complètement nul !"_a, "Vraiment mauvais !"_a,
      "Encore raté !"_a,       "Réponse fausse !"_a,    "Pas d'idée ?"_a,       "Bonne réponse !"_a,
      "Encore gagné !"_a,      "Vraiment très fort !"_a, "Carrément génial !"_a, "Brillantissime !"_a};
  return messages.at(static_cast<std::size_t>(std::clamp(indice, -6, 5) + 6));
}

void TFichesAPoser::assign(const std::vector<std::unique_ptr<TFicheX>>& fiches) {
  FFiches.clear();
  FFiches.reserve(fiches.size());
  for (const auto& fiche : fiches) FFiches.push_back(fiche.get());
  const std::size_t n = FFiches.size();
  // Every card is left: each node counts its range, built bottom up in one pass.
  FArbre.assign(n + 1, 1);
  FArbre[0] = 0;
  for (std::size_t i = 1; i <= n; ++i) {
    const std::size_t parent = i + (i & (~i + 1));
    if (parent <= n) FArbre[parent] += FArbre[i];
  }
  FPasMax = n == 0 ? 0 : std::bit_floor(n);
  FNombre = static_cast<int>(n);
}

void TFichesAPoser::clear() {
  FFiches.clear();
  FArbre.clear();
  FPasMax = 0;
  FNombre = 0;
}

std::size_t TFichesAPoser::Position(int indice) const {
  if (indice < 0 || indice >= FNombre) throw std::out_of_range("TFichesAPoser");
  // Down the tree: the last position with at most `indice` cards left before it.
  std::size_t position = 0;
  int reste = indice;
  for (std::size_t pas = FPasMax; pas > 0; pas /= 2) {
    const std::size_t suivant = position + pas;
    if (suivant < FArbre.size() && FArbre[suivant] <= reste) {
      position = suivant;
      reste -= FArbre[suivant];
    }
  }
  return position;
}

const TFicheX* TFichesAPoser::at(int indice) const { return FFiches[Position(indice)]; }

void TFichesAPoser::erase(int indice) {
  for (std::size_t i = Position(indice) + 1; i < FArbre.size(); i += i & (~i + 1)) --FArbre[i];
  --FNombre;
}

TJeu::TJeu(IVueJeu& vue, const TReglages& reglages) : FVue(vue), FReglages(reglages) {}

void TJeu::OuvreQuestionnaire(const TFichierX& quiz) {
  OublieQuestionnaire();
  FQuiz = &quiz;
  FContexte = ContexteDuQuestionnaire(quiz, FReglages);
  FDureeQuestion = std::chrono::seconds(quiz.FTemps);
  FTempsEcoule = false;
  AfficheAccueil();
}

void TJeu::OublieQuestionnaire() {
  FFichesAPoser.clear();
  FFicheCourante = nullptr;
  FIndiceCourant = -1;
  FNbQuestionsPosees = 0;
  FNbQuestionsAPoser = 0;
  FQuiz = nullptr;
  FEtat = EEtatJeu::SansQuestionnaire;
}

int TJeu::NumeroFicheCourante() const {
  if (!FQuiz || !FFicheCourante) return 0;
  const auto& fiches = FQuiz->FFiches;
  for (std::size_t i = 0; i < fiches.size(); ++i)
    if (fiches[i].get() == FFicheCourante) return static_cast<int>(i);
  return 0;
}

void TJeu::FixeBouton(const std::string& legende, EActionBouton action) {
  FVue.FixeLegendeBouton(legende);
  FVue.FixeActionBouton(action);
}

void TJeu::AfficheAccueil() {
  if (!FQuiz) return;
  FVue.FixeCouleur(EZoneCouleur::Panel2, CouleurSarcelle);
  EffaceChamps();
  FVue.FixeTexte(EControle::ETitre, FQuiz->FTitre);
  FVue.FixeTexte(EControle::MQuestion, FQuiz->FDescription);
  FVue.FixeTexte(EControle::LInstruction, "Cliquez sur \"Commencer\" pour débuter la partie."_a);
  if (FReglages.BarreMenu) {
    FVue.MontreMenu(EMenu::MenuFichier, true);
    FVue.MontreMenu(EMenu::MenuPartie, FReglages.MenuPartieEnPartie);
  }
  FNbQuestionsPosees = 0;
  FFicheCourante = nullptr;
  FEtat = EEtatJeu::Accueil;
  FixeBouton("Commencer", EActionBouton::AfficheQuestion);
  FVue.DonneFocus(EFocus::Bouton);
}

void TJeu::EffaceChamps() {
  FVue.FixeTexte(EControle::MQuestion, "");
  FVue.FixeTexte(EControle::MReponse, "");
  FVue.FixeTexte(EControle::EReponse, "");
  FVue.FixeTexte(EControle::LResultat, "");
  FVue.FixeTexte(EControle::LQuestAPoser, "");
  FVue.FixeTexte(EControle::LScore, "");
  FJauge = 0;
  FVue.FixeJauge(0);
}

void TJeu::AfficheQuestion() {
  // Only from a screen that offers it: never while a question waits for its answer.
  if (!FQuiz || FEtat == EEtatJeu::Question) return;
  // With this option Enter validates an answer but never starts a game or moves on.
  if (FQuiz->FBriderEntree && FVue.ToucheEntreeEnfoncee()) return;
  if (FNbQuestionsPosees == 0) {
    if (!FReglages.HoteFeuilleNotes.empty()) {
      std::string nom = FNomCandidat;
      if (!FVue.SaisieTexte("Candidat", "Entrez votre nom :", nom)) return;
      FNomCandidat = Rogne(nom);
    }
    InitPartie();
  }
  if (FNbQuestionsAPoser > 0)
    PoseQuestion();
  else
    FinPartie();
}

void TJeu::InitPartie() {
  ++FNumeroPartie;
  FFichesAPoser.assign(FQuiz->FFiches);
  const int nombre = static_cast<int>(FFichesAPoser.size());
  FNbQuestionsAPoser = nombre;
  if (FQuiz->FNombreQuestions > 0 && FQuiz->FNombreQuestions < nombre) FNbQuestionsAPoser = FQuiz->FNombreQuestions;
  if (FReglages.BarreMenu) {
    FVue.MontreMenu(EMenu::MenuFichier, FReglages.MenuFichierEnPartie);
    FVue.MontreMenu(EMenu::MenuPartie, FReglages.MenuPartieEnPartie);
  }
  FIndiceCourant = -1;
  FSerie = 0;
  FNbBonnesReponses = 0;
  FReponseJuste = false;
  FVue.FixeTexte(EControle::LQuestAPoser, QuestionsAPoser(FNbQuestionsAPoser));
  FVue.FixeTexte(EControle::LScore, "");
  FJauge = 0;
  FVue.FixeJauge(0);
}

int TJeu::IndiceSuivant() {
  const int nombre = static_cast<int>(FFichesAPoser.size());
  if (FQuiz->FSuivreOrdre) return (FIndiceCourant + 1) % nombre;
  return FVue.Aleatoire(nombre);
}

void TJeu::PoseQuestion() {
  FIndiceCourant = IndiceSuivant();
  FFicheCourante = FFichesAPoser.at(FIndiceCourant);
  ++FNbQuestionsPosees;
  // A time-out belongs to the question it ended, never to the next one.
  FTempsEcoule = false;
  FVue.FixeCouleur(EZoneCouleur::Panel2, CouleurBleuCiel);
  FVue.FixeTexte(EControle::MQuestion, FFicheCourante->Champ1);
  FVue.FixeTexte(EControle::MReponse, "");
  FVue.FixeTexte(EControle::EReponse, "");
  FVue.FixeTexte(EControle::LInstruction, "Entrez votre réponse ci-dessous."_a);
  FVue.FixeTexte(EControle::LResultat, "");
  FEtat = EEtatJeu::Question;
  FVue.FixeActionBouton(EActionBouton::AfficheReponse);
  FVue.FixeLegendeBouton("Valider");
  FVue.DonneFocus(EFocus::EReponse);
  if (FQuiz->FTemps != 0) {
    FEcheance = FVue.Maintenant() + FDureeQuestion;
    FVue.DemarreChrono();
  }
}

void TJeu::AfficheReponse() {
  if (FEtat != EEtatJeu::Question) return;
  const std::string tapee = FVue.Texte(EControle::EReponse);
  if (FQuiz->FBriderEntree && tapee.empty() && !FTempsEcoule) {
    FVue.DonneFocus(EFocus::EReponse);
    return;
  }
  FVue.ArreteChrono();
  if (FTempsEcoule) FVue.Message(EIcone::Avertissement, "Temps écoulé !"_a);
  FReponseJuste = CompareReponse(FContexte, FFicheCourante->Champ2, tapee, FQuiz->FPhonetique,
                                 FQuiz->FDifferencierCasse, FQuiz->FMotAMot);
  FVue.FixeTexte(EControle::MReponse, ReponseAffichee(FContexte, FFicheCourante->Champ2));
  // A wrong answer under FReposerErreurs keeps its card, to be asked again later.
  if (FReponseJuste || !FQuiz->FReposerErreurs) RetireFiche();
  AfficheResultat();
}

void TJeu::RetireFiche() {
  if (FIndiceCourant < 0 || FIndiceCourant >= static_cast<int>(FFichesAPoser.size())) return;
  FFichesAPoser.erase(FIndiceCourant);
  --FIndiceCourant;
  --FNbQuestionsAPoser;
}

void TJeu::AfficheResultat() {
  if (!FQuiz) return;
  if (FReponseJuste) {
    ++FNbBonnesReponses;
    FSerie = FSerie < 0 ? 1 : FSerie + 1;
    FVue.FixeCouleur(EZoneCouleur::LResultat, CouleurLime);
    FVue.FixeCouleur(EZoneCouleur::Panel2, CouleurVert);
  } else {
    FSerie = FSerie > 0 ? -1 : FSerie - 1;
    FVue.FixeCouleur(EZoneCouleur::LResultat, CouleurRose);
    FVue.FixeCouleur(EZoneCouleur::Panel2, CouleurRouge);
  }
  FVue.FixeTexte(EControle::LResultat, MessagesResultat(IndiceMessage()));
  FJauge = FNbQuestionsPosees > 0 ? FNbBonnesReponses * 100 / FNbQuestionsPosees : 0;
  FVue.FixeJauge(FJauge);
  FVue.FixeCouleur(EZoneCouleur::Jauge, CouleurScore(FJauge, FQuiz->FScoreSatisfaisant));
  FVue.FixeTexte(EControle::LScore, TexteScore(FNbBonnesReponses, FNbQuestionsPosees));
  FVue.FixeTexte(EControle::LQuestAPoser, QuestionsAPoser(FNbQuestionsAPoser));
  FVue.FixeLegendeBouton("Continuer");
  if (FQuiz->FCorrection && !FReponseJuste) {
    FVue.FixeTexte(EControle::LInstruction, "Corrigez votre réponse et cliquez sur \"Continuer\"."_a);
    FEtat = EEtatJeu::Correction;
    FVue.FixeActionBouton(EActionBouton::VerifieCorrection);
    FVue.DonneFocus(EFocus::EReponse);
    return;
  }
  std::string instruction = "Cliquez sur \"Continuer\".";
  if (!FReponseJuste && !RetireCommentaires(FContexte, FVue.Texte(EControle::MReponse)).empty())
    instruction = "Lisez la réponse correcte ci-dessus et cliquez sur \"Continuer\"."_a;
  FVue.FixeTexte(EControle::LInstruction, instruction);
  FEtat = EEtatJeu::Verdict;
  FVue.FixeActionBouton(EActionBouton::AfficheQuestion);
  FVue.DonneFocus(EFocus::Bouton);
}

int TJeu::IndiceMessage() {
  const int signe = FSerie > 0 ? 1 : -1;
  const int b = std::min(std::abs(FSerie), 5);
  int i = b > 3 ? signe * (1 + FVue.Aleatoire(b)) : FSerie;
  if (i == -1) {
    if (FTempsEcoule)
      i = -6;
    else if (Rogne(FVue.Texte(EControle::EReponse)).empty())
      i = 0;
  }
  return i;
}

TCouleur TJeu::CouleurScore(int score, int seuil) const {
  const int m = FReglages.MargeSeuil;
  if (seuil == 0 || seuil > 100) return CouleurSarcelle;
  if (score >= seuil + m) return CouleurVert;
  if (score < seuil - m) return CouleurRouge;
  return CouleurOrange;
}

void TJeu::VerifieCorrection() {
  if (FEtat != EEtatJeu::Correction) return;
  if (CompareReponse(FContexte, FFicheCourante->Champ2, FVue.Texte(EControle::EReponse), FQuiz->FPhonetique,
                     FQuiz->FDifferencierCasse, FQuiz->FMotAMot)) {
    AfficheQuestion();
  } else {
    FVue.Message(EIcone::Avertissement, "Vous devez corriger votre réponse avant de poursuivre."_a);
    FVue.DonneFocus(EFocus::EReponse);
  }
}

std::string TJeu::Appreciation(int score, int seuil) const {
  if (seuil == 0 || seuil > 100) return {};
  // Without a middle message there is no middle band: good from the threshold up.
  const int m = FReglages.MessageMoyen.empty() ? 0 : FReglages.MargeSeuil;
  const std::string& message = score >= seuil + m   ? FReglages.MessageBon
                               : score < seuil - m ? FReglages.MessageMauvais
                                                   : FReglages.MessageMoyen;
  return " -- " + message;
}

void TJeu::FinPartie() {
  if (!FQuiz) return;
  if (FReglages.BarreMenu) FVue.MontreMenu(EMenu::MenuFichier, true);
  if (FNbQuestionsPosees == 0) {
    // A questionnaire without any card, found when its first game starts.
    FVue.Message(EIcone::Erreur, "Oups ! Il n'y a aucune question dans ce questionnaire !");
    // The window closes the questionnaire: nothing of it may be touched after this.
    FEtat = EEtatJeu::SansQuestionnaire;
    FVue.RetourAccueil();
    return;
  }
  FVue.FixeTexte(EControle::MQuestion, "");
  FVue.FixeTexte(EControle::MReponse, "");
  FVue.FixeTexte(EControle::EReponse, "");
  FVue.FixeCouleur(EZoneCouleur::LResultat, CouleurBlanc);
  FVue.FixeCouleur(EZoneCouleur::Panel2, CouleurScore(FJauge, FQuiz->FScoreSatisfaisant));
  if (FNbQuestionsAPoser == 0)
    FVue.FixeTexte(EControle::LResultat,
                   FVue.Texte(EControle::LScore) + Appreciation(FJauge, FQuiz->FScoreSatisfaisant));
  else
    FVue.FixeTexte(EControle::LResultat, "");
  FVue.FixeTexte(EControle::LQuestAPoser, "");
  FEtat = EEtatJeu::FinDePartie;
  RapporteResultat();
  FVue.FixeTexte(EControle::LInstruction, "Fin de partie !  Cliquez sur \"Rejouer\" pour recommencer.");
  FixeBouton("Rejouer", EActionBouton::AfficheQuestion);
  FVue.DonneFocus(EFocus::Bouton);
}

void TJeu::RapporteResultat() {
  FVue.ArreteChrono();
  TEntreesRapport entrees;
  entrees.NbQuestionsPosees = FNbQuestionsPosees;
  entrees.NbQuestionsAPoser = FNbQuestionsAPoser;
  entrees.NbBonnesReponses = FNbBonnesReponses;
  entrees.NomCandidat = FNomCandidat;
  if (FQuiz) entrees.NomFichier = FQuiz->FNomFichier;
  // The game is over before the report runs, so that a command arriving while it is sent
  // finds nothing left to report.
  FNbQuestionsPosees = 0;
  FVue.RapporteResultat(entrees);
}

bool TJeu::ExecuteAction(EActionBouton action) {
  switch (action) {
    case EActionBouton::AfficheQuestion:
      AfficheQuestion();
      return true;
    case EActionBouton::AfficheReponse:
      AfficheReponse();
      return true;
    case EActionBouton::VerifieCorrection:
      VerifieCorrection();
      return true;
    case EActionBouton::Aucune:
    case EActionBouton::ChoixOuvrirQuiz:
      break;
  }
  return false;
}

void TJeu::SuspendChrono() {
  if (FEtat != EEtatJeu::Question || FQuiz->FTemps == 0 || FChronoSuspendu) return;
  FVue.ArreteChrono();
  FChronoSuspendu = true;
  FResteSuspendu = FEcheance - FVue.Maintenant();
  FQuestionSuspendue = FNbQuestionsPosees;
}

void TJeu::ReprendChrono() {
  if (!FChronoSuspendu) return;
  FChronoSuspendu = false;
  // The box may have ended the game or moved to another question.
  if (FEtat != EEtatJeu::Question || FNbQuestionsPosees != FQuestionSuspendue) return;
  FEcheance = FVue.Maintenant() + FResteSuspendu;
  FVue.DemarreChrono();
}

void TJeu::ChronoTimer() {
  // A tick that comes after the validation, or while a box holds the countdown, has nothing to time.
  if (FEtat != EEtatJeu::Question || FQuiz->FTemps == 0 || FChronoSuspendu) return;
  const auto reste = FEcheance - FVue.Maintenant();
  FTempsEcoule = reste < TInstant::duration::zero();
  if (!FTempsEcoule)
    FVue.FixeTexte(EControle::LQuestAPoser,
                   std::to_string(std::chrono::duration_cast<std::chrono::seconds>(reste).count()));
  else
    AfficheReponse();
}

bool TJeu::AccepterPossible() const {
  return FReglages.CtrlAAccepte && (FEtat == EEtatJeu::Verdict || FEtat == EEtatJeu::Correction) && !FReponseJuste;
}

void TJeu::AccepteReponse() {
  if (!AccepterPossible()) return;
  FReponseJuste = true;
  // Under FReposerErreurs the card was kept to be asked again; without it, it is already gone.
  if (FQuiz->FReposerErreurs) RetireFiche();
  AfficheResultat();
}
