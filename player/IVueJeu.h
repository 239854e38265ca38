#pragma once
// The quiz window as the game (TJeu) and the player (TJoueur) see it, and the types they talk
// to it in. Texts are 1252 bytes, line breaks CR LF.

#include <chrono>
#include <cstdint>
#include <string>

struct TCouleur {
  std::uint8_t Rouge = 0;
  std::uint8_t Vert = 0;
  std::uint8_t Bleu = 0;
  friend bool operator==(const TCouleur&, const TCouleur&) = default;
};

inline constexpr TCouleur CouleurSarcelle{0, 128, 128};   // opening screen; score without threshold
inline constexpr TCouleur CouleurBleuCiel{166, 202, 240}; // question asked; window background
inline constexpr TCouleur CouleurVert{0, 128, 0};         // right answer; score at or above the band
inline constexpr TCouleur CouleurRouge{255, 0, 0};        // wrong answer; score below the band
inline constexpr TCouleur CouleurOrange{255, 128, 0};     // score within the band
inline constexpr TCouleur CouleurLime{0, 255, 0};         // verdict text of a right answer
inline constexpr TCouleur CouleurRose{255, 153, 255};     // verdict text of a wrong answer
inline constexpr TCouleur CouleurBlanc{255, 255, 255};    // final result text

// The window's controls that show a text.
enum class EControle { ETitre, MQuestion, MReponse, EReponse, LInstruction, LResultat, LQuestAPoser, LScore };
enum class EFocus { Bouton, EReponse };
// What shows a colour: the middle panel, the verdict text (LResultat), the gauge's bar.
enum class EZoneCouleur { Panel2, LResultat, Jauge };
enum class EMenu { MenuFichier, MenuPartie };
// Icon of a message box; every box of the game has only an OK button.
enum class EIcone { Avertissement, Erreur };
// What a click on Bouton runs. The window's own action (ChoixOuvrirQuiz) is set by the window.
enum class EActionBouton { Aucune, ChoixOuvrirQuiz, AfficheQuestion, AfficheReponse, VerifieCorrection };
// Where the game is; the window's menu rules read it.
enum class EEtatJeu { SansQuestionnaire, Accueil, Question, Verdict, Correction, FinDePartie };

using TInstant = std::chrono::steady_clock::time_point;

// What the result report's decision needs, handed over when a game ends, is reported, or is dropped.
struct TEntreesRapport {
  int NbQuestionsPosees = 0;   // 0: no question was asked, nothing to report
  int NbQuestionsAPoser = 0;   // 0: the game is complete, else it was interrupted
  int NbBonnesReponses = 0;
  std::string NomCandidat;     // as typed in the name box (1252), may be empty
  std::string NomFichier;      // the questionnaire's FNomFichier: a UTF-8 path, folder included
};

// The quiz window as the game sees it. Texts are 1252 bytes, line breaks CR LF.
class IVueJeu {
 public:
  virtual ~IVueJeu() = default;
  // Shows a text in one of the text controls (for EReponse, replaces what is typed).
  virtual void FixeTexte(EControle controle, const std::string& texte) = 0;
  // The text a control holds now; for EReponse, the candidate's answer as typed.
  virtual std::string Texte(EControle controle) const = 0;
  // Colour of the middle panel, of the verdict text or of the gauge's bar.
  virtual void FixeCouleur(EZoneCouleur zone, TCouleur couleur) = 0;
  // The gauge's value, a whole per cent from 0 to 100.
  virtual void FixeJauge(int valeur) = 0;
  // Bouton's caption.
  virtual void FixeLegendeBouton(const std::string& legende) = 0;
  // What a click on Bouton (Enter, space, MenuCommencer) runs from now on: see TJeu::ExecuteAction.
  virtual void FixeActionBouton(EActionBouton action) = 0;
  // Gives the keyboard focus to Bouton or to EReponse.
  virtual void DonneFocus(EFocus cible) = 0;
  // Shows or hides the Fichier or the Partie menu; called only when the menu bar is shown.
  virtual void MontreMenu(EMenu menu, bool visible) = 0;
  // A modal message box with this icon, the text and an OK button.
  virtual void Message(EIcone icone, const std::string& texte) = 0;
  // The one-line input box, pre-filled with texte; true and texte := the typed text on OK, false on Cancel.
  virtual bool SaisieTexte(const std::string& titre, const std::string& invite, std::string& texte) = 0;
  // Whether the Enter key is held down at this moment.
  virtual bool ToucheEntreeEnfoncee() const = 0;
  // Starts the question timer: about every 50 ms it calls TJeu::ChronoTimer until stopped.
  virtual void DemarreChrono() = 0;
  // Stops the question timer (nothing when it is not running).
  virtual void ArreteChrono() = 0;
  // The clock the time limits are measured on.
  virtual TInstant Maintenant() const = 0;
  // A pseudo-random integer from 0 to n - 1 (n >= 1), from one generator seeded at start.
  virtual int Aleatoire(int n) = 0;
  // The player's RetourAccueil, which the window forwards: closes the questionnaire (the report,
  // then TJeu::OublieQuestionnaire) and shows the no-file screen. The game touches nothing of
  // the questionnaire after it.
  virtual void RetourAccueil() = 0;
  // The player's report, which the window forwards: decides whether the result is due, and
  // sends it; the game already counts as over.
  virtual void RapporteResultat(const TEntreesRapport& entrees) = 0;
};

// What the player (TJoueur) asks of the window besides the game's view.
class IVueJoueur : public IVueJeu {
 public:
  // The caption names the open questionnaire (a file-system path); empty: no questionnaire.
  virtual void FixeTitre(const std::string& chemin) = 0;
  // A modal question with OK and Cancel; true on OK.
  virtual bool Confirme(const std::string& question) = 0;
  // Shows or hides the Préférences item of the Fichier menu.
  virtual void MontreMenuPreferences(bool visible) = 0;
  // Whether the question timer started by DemarreChrono runs now.
  virtual bool ChronoActif() const = 0;
  // A result is being sent: every command is blocked until FinRapport.
  virtual void DebutRapport() = 0;
  // The send is over: what was clicked or typed meanwhile is handled (and runs nothing, the
  // report still being under way), then the commands are unblocked.
  virtual void FinRapport() = 0;
};
