#include "player/KorJoueur.h"

#include <QFile>
#include <QFileInfo>

#include "cards/KorFormats.h"
#include "platform/Ansi.h"
#include "platform/Chemin.h"
#include "platform/Erreur.h"

namespace {

// This computer's name, taken once.
const std::string& NomOrdinateurDuPoste() {
  static const std::string nom = NomOrdinateur();
  return nom;
}

}  // namespace

TJoueur::TJoueur(IVueJoueur& vue, TReglages& reglages, FEnvoi envoi)
    : FVue(vue), FReglages(reglages), FEnvoiResultat(std::move(envoi)), FJeu(vue, reglages) {
  Client.DelaiConnexion = reglages.DelaiConnexion;
  Client.NomOrdinateurLocal = NomOrdinateurDuPoste();
}

// ---------------------------------------------------------------------------------------------
// Questionnaires

bool TJoueur::OuvreQuiz(const std::string& chemin) {
  if (FRapportEnCours) return false;
  const QFileInfo info(VersChemin(chemin));
  // Remembered by its full name, wherever the program was started from.
  const std::string complet = DepuisChemin(info.absoluteFilePath());
  std::unique_ptr<TFichierX> lu;
  try {
    if (info.isDir()) throw EFOpenError(ansi::Utf8VersAnsi(complet));
    // Native or XML by what the file holds; any other file is not a questionnaire.
    lu = LitFichierCarte(complet, {false, true, EVarianteModele::Questionnaire}, FReglages);
  } catch (const EFOpenError&) {
    FVue.Message(EIcone::Erreur, "Impossible d'ouvrir le fichier \"" +
                                     ansi::DepuisQString(info.fileName()) + "\" !");
    return false;
  } catch (const ErreurIdInvalide& e) {
    FVue.Message(EIcone::Erreur, e.Message());
    return false;
  }
  // No file stays open while playing.
  lu->FFlux.reset();
  if (lu->FNomFichier.empty()) lu->FNomFichier = complet;
  // Only now is the previous questionnaire closed: a failed opening leaves it as it was.
  FermeQuiz();
  FQuiz = std::move(lu);
  FVue.FixeTitre(FQuiz->FNomFichier);
  FJeu.OuvreQuestionnaire(*FQuiz);
  return true;
}

void TJoueur::FermeQuiz() {
  if (!FQuiz || FRapportEnCours) return;
  FJeu.RapporteResultat();
  TReglages& r = FReglages;
  if (FQuiz->FNomFichier != r.FichierOuvert) {
    r.FichierRecent = r.FichierOuvert;
    r.NumeroFicheRecent = r.NumeroFicheOuvert;
    r.FichierOuvert = FQuiz->FNomFichier;
  }
  r.NumeroFicheOuvert = FJeu.NumeroFicheCourante();
  // The game lets go of the cards before they are freed.
  FJeu.OublieQuestionnaire();
  FQuiz.reset();
}

bool TJoueur::PeutAbandonner() {
  return !FJeu.PartieEnCours() || FVue.Confirme("Abandonner la partie en cours ?");
}

void TJoueur::OuvreQuizConfirme(const std::string& chemin) {
  if (FRapportEnCours) return;
  // A copy: the remembered names change while the old questionnaire is closed.
  const std::string copie = chemin;
  if (PeutAbandonner()) OuvreQuiz(copie);
}

bool TJoueur::EstQuizProposable(const std::string& chemin) const {
  if (FQuiz && chemin == FQuiz->FNomFichier) return false;
  const QString extension = QFileInfo(VersChemin(chemin)).suffix().toLower();
  return !chemin.empty() && (extension == QLatin1String("xkqq") || extension == QLatin1String("kqq"));
}

std::string TJoueur::DossierOuverture() const { return ::DossierOuverture(FQuiz.get(), FReglages); }

void TJoueur::RetourAccueil() {
  FermeQuiz();
  FVue.MontreMenu(EMenu::MenuPartie, false);
  FVue.FixeTitre("");
  FVue.FixeCouleur(EZoneCouleur::Panel2, CouleurBleuCiel);
  FVue.FixeTexte(EControle::ETitre, "");
  FJeu.EffaceChamps();
  FVue.FixeTexte(EControle::LInstruction, "Bonne journée !"_a);
  FVue.FixeLegendeBouton("Ouvrir");
  FVue.FixeActionBouton(EActionBouton::ChoixOuvrirQuiz);
  FVue.DonneFocus(EFocus::Bouton);
}

// ---------------------------------------------------------------------------------------------
// The result report

void TJoueur::RapporteResultat(const TEntreesRapport& entrees) {
  const TDecisionRapport decision =
      DecideRapport(entrees.NbQuestionsPosees, entrees.NbQuestionsAPoser, entrees.NbBonnesReponses, FReglages);
  if (!decision.Du || FRapportEnCours) return;
  // The game already counts as over; until the end of the report every command waits.
  FRapportEnCours = true;
  FVue.DebutRapport();
  Client.Hote = FReglages.HoteFeuilleNotes;
  try {
    FEnvoiResultat(Client, entrees.NomCandidat, entrees.NomFichier, decision.Score, decision.Maximum);
  } catch (const EErreur& e) {
    FVue.Message(EIcone::Erreur, e.Message());
  }
  FVue.FinRapport();
  FRapportEnCours = false;
}

// ---------------------------------------------------------------------------------------------
// Menus and commands

TEtatMenuFichier TJoueur::EtatMenuFichier() const {
  return {FQuiz != nullptr, EstQuizProposable(FReglages.FichierOuvert), FReglages.FichierOuvert,
          EstQuizProposable(FReglages.FichierRecent), FReglages.FichierRecent};
}

TEtatMenuPartie TJoueur::EtatMenuPartie(const std::string& legende) const {
  return {legende == "Commencer" || legende == "Rejouer", FJeu.NbQuestionsPosees() > 0,
          FReglages.CtrlAAccepte && legende == "Continuer" && !FJeu.ReponseJuste()};
}

void TJoueur::ExecuteAction(EActionBouton action) {
  if (!FRapportEnCours) FJeu.ExecuteAction(action);
}

void TJoueur::Commencer() {
  if (!FRapportEnCours) FJeu.AfficheQuestion();
}

void TJoueur::Abandonner() {
  if (FRapportEnCours || FJeu.NbQuestionsPosees() == 0) return;
  if (PeutAbandonner()) FJeu.FinPartie();
}

void TJoueur::Accepter() {
  if (!FRapportEnCours) FJeu.AccepteReponse();
}

void TJoueur::RetourEcranAccueil() {
  if (FRapportEnCours || !FQuiz || !PeutAbandonner()) return;
  FJeu.RapporteResultat();
  FJeu.AfficheAccueil();
}

bool TJoueur::BasculeMenuPreferences(bool barreAttachee) {
  if (!FReglages.CtrlAltPBascule || !FReglages.BarreMenu || !barreAttachee) return false;
  FReglages.MenuPreferencesVisible = !FReglages.MenuPreferencesVisible;
  FVue.MontreMenuPreferences(FReglages.MenuPreferencesVisible);
  PreferencesModifiees = true;
  return true;
}

bool TJoueur::PeutFermer() {
  FReglages.FichierOuvertEnQuittant = FQuiz != nullptr;
  const bool repondu = FPartieAbandonnee == FJeu.NumeroPartie();
  FPartieAbandonnee.reset();
  return repondu || PeutAbandonner();
}

bool TJoueur::QuestionFinDeSession() {
  FPartieAbandonnee.reset();
  if (!PeutAbandonner()) return false;
  FPartieAbandonnee = FJeu.NumeroPartie();
  return true;
}

void TJoueur::Ferme() {
  FermeQuiz();
  EcritPreferences(FReglages, EPartReglages::Joueur, PreferencesModifiees);
}

// ---------------------------------------------------------------------------------------------
// The countdown under the boxes

void TJoueur::DebutBoite(EBoite genre) {
  if (genre == EBoite::LaisseChrono) {
    ++FBoitesLibres;
  } else if (FBoitesOuvertes == 0 && FVue.ChronoActif()) {
    // Held from the first box on, with the time that was left.
    FChronoSuspendu = true;
    FJeu.SuspendChrono();
  }
  ++FBoitesOuvertes;
}

void TJoueur::FinBoite(EBoite genre) {
  if (genre == EBoite::LaisseChrono) --FBoitesLibres;
  if (--FBoitesOuvertes > 0) return;
  if (FChronoSuspendu) {
    FChronoSuspendu = false;
    FJeu.ReprendChrono();
  }
  // A time-out reached under the box takes effect now.
  if (FTopEnAttente) {
    FTopEnAttente = false;
    FJeu.ChronoTimer();
  }
}

void TJoueur::ChronoTimer() {
  if (FBoitesLibres == 0) {
    FJeu.ChronoTimer();
    return;
  }
  FTopEnAttente = true;
  // The seconds left go on showing behind the box; what the end of the time does waits.
  const TFichierX* quiz = FJeu.Questionnaire();
  if (FChronoSuspendu || FJeu.Etat() != EEtatJeu::Question || !quiz || quiz->FTemps == 0) return;
  const auto reste = FJeu.Echeance() - FVue.Maintenant();
  if (reste >= TInstant::duration::zero())
    FVue.FixeTexte(EControle::LQuestAPoser,
                   std::to_string(std::chrono::duration_cast<std::chrono::seconds>(reste).count()));
}
