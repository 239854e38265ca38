#pragma once
// The quiz player: the open questionnaire and its game, opening and closing questionnaires, the
// remembered files, the result report, the menu rules, the settings toggled and written at
// close, and the question's countdown under the boxes opened over the window. It talks to the
// quiz window only through IVueJoueur, so that every rule can be exercised without a window.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "cards/KorFichierX.h"
#include "cards/KorInit.h"
#include "player/IVueJeu.h"
#include "player/KorJeu.h"
#include "player/KorResultats.h"

// What the Fichier menu offers: Fermer, and the remembered files (file-system paths) not open now.
struct TEtatMenuFichier {
  bool Fermer = false;
  bool OuvertVisible = false;
  std::string Ouvert;
  bool RecentVisible = false;
  std::string Recent;
};

// The items of the Partie menu that are enabled.
struct TEtatMenuPartie {
  bool Commencer = false;
  bool Abandonner = false;
  bool Accepter = false;
};

// A box opened over the window. Those the pupil opens at will (A propos, Préférences) leave the
// question's countdown running, and so does every box opened over them; the others hold it.
enum class EBoite { RetientChrono, LaisseChrono };

class TJoueur {
 public:
  // The report's send, over the results client; raises EErreur when the failure is to be shown.
  using FEnvoi = std::function<bool(const TClientResultats& client, const std::string& candidat,
                                    const std::string& fichier, int score, int maximum)>;

  TJoueur(IVueJoueur& vue, TReglages& reglages, FEnvoi envoi = EnvoieResultat);
  TJoueur(const TJoueur&) = delete;
  TJoueur& operator=(const TJoueur&) = delete;

  TJeu& Jeu() { return FJeu; }
  const TJeu& Jeu() const { return FJeu; }
  TFichierX* QuizOuvert() const { return FQuiz.get(); }
  // The folder the open dialog starts in: the open questionnaire's, else the remembered file's
  // (open, then recent) that still exists; empty when none does (the user's home).
  std::string DossierOuverture() const;
  // A result is being sent: every command waits for its end.
  bool RapportEnCours() const { return FRapportEnCours; }

  // The score sheet's client: host set at each report, this computer's name, time-outs.
  TClientResultats Client;
  // A preference changed during the run: the preferences are written at close with the rest.
  bool PreferencesModifiees = false;

  // Opens a questionnaire (a file-system path); false when it failed, after telling why.
  // The previous questionnaire stays open, its game untouched, until the new one is loaded.
  bool OuvreQuiz(const std::string& chemin);
  // Reports the game if due, updates the remembered files and frees the questionnaire.
  void FermeQuiz();
  // True when no game is under way, or the user confirms abandoning it.
  bool PeutAbandonner();
  void OuvreQuizConfirme(const std::string& chemin);
  bool EstQuizProposable(const std::string& chemin) const;
  // The game's RetourAccueil: the questionnaire closed, the no-file screen.
  void RetourAccueil();
  // Decides whether the result is due, and sends it; the game already counts as over.
  void RapporteResultat(const TEntreesRapport& entrees);

  TEtatMenuFichier EtatMenuFichier() const;
  // legende: what Bouton shows.
  TEtatMenuPartie EtatMenuPartie(const std::string& legende) const;

  // Commands; each waits while a result is sent.
  void ExecuteAction(EActionBouton action);
  void Commencer();
  void Abandonner();
  void Accepter();
  // Ctrl+R: back to the opening screen, the game ended and reported, after a confirmation.
  void RetourEcranAccueil();
  // Ctrl+Alt+P: shows or hides Préférences when the settings allow it and the menu bar is
  // attached, and the change is saved at exit; false when nothing was done.
  bool BasculeMenuPreferences(bool barreAttachee);

  // FormCloseQuery: notes whether a questionnaire was open, and asks to abandon the game. After
  // the question of a logout, the close that ends the session asks nothing while the game
  // answered about is the one under way.
  bool PeutFermer();

  // The desktop's logout.
  // A game is under way: the close would ask to abandon it.
  bool TravailNonSauve() const { return FJeu.PartieEnCours(); }
  // The close's question, the game going on meanwhile; false for Annuler: the logout is to stop.
  bool QuestionFinDeSession();
  // The session goes on after the answer: the next close asks again.
  void FinDeSessionAbandonnee() { FPartieAbandonnee.reset(); }
  // FormClose: the questionnaire closed, the player's settings written.
  void Ferme();

  // Around every box over the window, one inside another.
  void DebutBoite(EBoite genre);
  void FinBoite(EBoite genre);
  // One tick of the question timer. Under a box that leaves the countdown running, only the
  // seconds left are shown: the tick is kept for when the last box closes, so that nothing is
  // validated behind a box.
  void ChronoTimer();

 private:
  IVueJoueur& FVue;
  TReglages& FReglages;
  FEnvoi FEnvoiResultat;
  std::unique_ptr<TFichierX> FQuiz;
  TJeu FJeu;
  bool FRapportEnCours = false;
  int FBoitesOuvertes = 0;       // boxes open over the window, one inside another
  int FBoitesLibres = 0;         // those of them that leave the countdown running
  bool FChronoSuspendu = false;  // the countdown was running when a box holding it opened
  bool FTopEnAttente = false;    // a tick came under a box that leaves the countdown running
  std::optional<unsigned> FPartieAbandonnee;  // the game whose abandon was confirmed at a logout
};
