// The player's rules through a scripted window: opening questionnaires and its failures, the
// remembered files, the open dialog's folder, the result report with a send of the test's own,
// Ctrl+Alt+P, the close and its question asked at a logout, and the countdown under the boxes.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cards/KorInit.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"
#include "platform/Registre.h"
#include "player/KorJoueur.h"
#include "ReponsesCapitales.h"
#include "EnFrancais.h"

namespace {

using namespace std::chrono_literals;

// The quiz window, as a script: it keeps what it is told to show and answers what it is asked.
class TVueJoueur : public IVueJoueur {
 public:
  TJoueur* Joueur = nullptr;
  std::map<EControle, std::string> Textes;
  std::string Legende;
  EActionBouton Action = EActionBouton::Aucune;
  std::vector<std::pair<EIcone, std::string>> Messages;
  std::vector<std::string> Confirmations;
  bool ReponseConfirmation = true;
  std::string Titre = "?";
  std::vector<bool> MenusPreferences;
  bool Chrono = false;
  TInstant Horloge{std::chrono::hours(1)};
  std::vector<std::string> Evenements;  // "debut", "fin" of the reports
  std::function<void()> PendantFinRapport;

  void FixeTexte(EControle controle, const std::string& texte) override { Textes[controle] = texte; }
  std::string Texte(EControle controle) const override {
    const auto it = Textes.find(controle);
    return it == Textes.end() ? std::string() : it->second;
  }
  void FixeCouleur(EZoneCouleur, TCouleur) override {}
  void FixeJauge(int) override {}
  void FixeLegendeBouton(const std::string& legende) override { Legende = legende; }
  void FixeActionBouton(EActionBouton action) override { Action = action; }
  void DonneFocus(EFocus) override {}
  void MontreMenu(EMenu, bool) override {}
  void Message(EIcone icone, const std::string& texte) override { Messages.emplace_back(icone, texte); }
  bool SaisieTexte(const std::string&, const std::string&, std::string& texte) override {
    texte = "Alice";
    return true;
  }
  bool ToucheEntreeEnfoncee() const override { return false; }
  void DemarreChrono() override { Chrono = true; }
  void ArreteChrono() override { Chrono = false; }
  TInstant Maintenant() const override { return Horloge; }
  int Aleatoire(int) override { return 0; }
  void RetourAccueil() override { Joueur->RetourAccueil(); }
  void RapporteResultat(const TEntreesRapport& entrees) override { Joueur->RapporteResultat(entrees); }
  void FixeTitre(const std::string& chemin) override { Titre = chemin; }
  bool Confirme(const std::string& question) override {
    Confirmations.push_back(question);
    return ReponseConfirmation;
  }
  void MontreMenuPreferences(bool visible) override { MenusPreferences.push_back(visible); }
  bool ChronoActif() const override { return Chrono; }
  void DebutRapport() override { Evenements.push_back("debut"); }
  void FinRapport() override {
    if (PendantFinRapport) PendantFinRapport();
    Evenements.push_back("fin");
  }
};

// What the test's send received.
struct TEnvoi {
  std::string Hote, Ordinateur, Candidat, Fichier;
  int Score = 0, Maximum = 0;
  friend bool operator==(const TEnvoi&, const TEnvoi&) = default;
};

class Joueur : public ::testing::Test {
 protected:
  QTemporaryDir Dossier;
  TReglages R;
  TVueJoueur Vue;
  std::vector<TEnvoi> Envois;
  std::function<void()> PendantEnvoi;
  TJoueur J{Vue, R, [this](const TClientResultats& client, const std::string& candidat, const std::string& fichier,
                           int score, int maximum) {
              Envois.push_back({client.Hote, client.NomOrdinateurLocal, candidat, fichier, score, maximum});
              if (PendantEnvoi) PendantEnvoi();
              return true;
            }};

  Joueur() {
    Vue.Joueur = &J;
    for (const QString nom : {"Capitales.xkqq", "Fleuves.kqq", "Departements.xkql"})
      QFile::copy(QStringLiteral(ORVALINE_SOURCE_DIR "/samples/") + nom, Dossier.filePath(nom));
    // A settings file of each test's own: the tests of this program run side by side.
    setenv("ORVALINE_REGISTRE", QFile::encodeName(Dossier.filePath("Orvaline.ini")).constData(), 1);
    J.Client.NomOrdinateurLocal = "POSTE1";
  }

  std::string Echantillon(const QString& nom) const { return QFile::encodeName(Dossier.filePath(nom)).toStdString(); }
  void Clic() { J.ExecuteAction(Vue.Action); }
  void Valide(const std::string& reponse) {
    ASSERT_EQ(Vue.Action, EActionBouton::AfficheReponse);
    Vue.Textes[EControle::EReponse] = reponse;
    Clic();
  }
  // The right answer to the question of Capitales shown (1252).
  std::string Bonne() const {
    const std::string question = ansi::AnsiVersUtf8(Vue.Texte(EControle::MQuestion));
    for (const auto& [mot, reponse] : ReponsesCapitales)
      if (question.find(mot) != std::string::npos) return ansi::Utf8VersAnsi(reponse);
    return {};
  }
  static bool ValeurEcrite(const std::string& nom) {
    TRegistre reg;
    return reg.OuvreCle("Software\\Orvaline", false) && reg.ValeurExiste(nom);
  }
};

// ---------------------------------------------------------------------------------------------
// Opening

struct EchecOuverture {
  const char* Nom;
  const char* Fichier;
  QByteArray Contenu;  // empty: the file is not created
  const char* Message;
};

// The parameterised cases print as their names: gtest's messages, and the tests' names through
// PrintToStringParamName, tell the case rather than its bytes.
void PrintTo(const EchecOuverture& cas, std::ostream* os) { *os << cas.Nom; }

class EchecsOuverture : public Joueur, public ::testing::WithParamInterface<EchecOuverture> {};

TEST_P(EchecsOuverture, LaissentLeQuestionnaireOuvertEtSaPartie) {
  const EchecOuverture& cas = GetParam();
  const QString nom = QString::fromUtf8(cas.Fichier);
  if (nom == QLatin1String("dossier.kqq")) {
    ASSERT_TRUE(QDir(Dossier.path()).mkpath(nom));
  }
  if (!cas.Contenu.isEmpty()) {
    QFile f(Dossier.filePath(nom));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(cas.Contenu);
  }
  ASSERT_TRUE(J.OuvreQuiz(Echantillon("Capitales.xkqq")));
  Clic();  // Commencer
  Valide(Bonne());
  const TFichierX* avant = J.QuizOuvert();
  const int posees = J.Jeu().NbQuestionsPosees();
  const std::string legende = Vue.Legende;
  // The game under way asks to be abandoned first.
  J.OuvreQuizConfirme(Echantillon(nom));
  EXPECT_EQ(Vue.Confirmations, std::vector<std::string>{"Abandonner la partie en cours ?"});
  ASSERT_EQ(Vue.Messages.size(), 1u);
  EXPECT_EQ(Vue.Messages[0].first, EIcone::Erreur);
  EXPECT_EQ(Vue.Messages[0].second, ansi::Utf8VersAnsi(cas.Message));
  EXPECT_EQ(J.QuizOuvert(), avant);
  EXPECT_EQ(J.Jeu().NbQuestionsPosees(), posees);
  EXPECT_EQ(Vue.Legende, legende);
  EXPECT_EQ(Vue.Titre, Echantillon("Capitales.xkqq"));
  EXPECT_TRUE(R.FichierOuvert.empty());
}

const QByteArray EnteteNatif = QByteArray(61, '\0') + QByteArray("\x05\xC7Q\x07", 4) + QByteArray(60, '\0');

INSTANTIATE_TEST_SUITE_P(
    Cas, EchecsOuverture,
    ::testing::Values(
        EchecOuverture{"Absent", "absent.xkqq", {}, "Impossible d'ouvrir le fichier \"absent.xkqq\" !"},
        EchecOuverture{"Dossier", "dossier.kqq", {}, "Impossible d'ouvrir le fichier \"dossier.kqq\" !"},
        EchecOuverture{"Liste", "Departements.xkql", {}, "Ce fichier n'est pas un questionnaire !"},
        EchecOuverture{"Texte", "notes.txt", "Paris;Lyon\n", "Ce fichier n'est pas un questionnaire !"},
        EchecOuverture{"Moodle", "moodle.xml", "<?xml version=\"1.0\"?><quiz></quiz>",
                       "Ce fichier n'est pas un questionnaire !"},
        EchecOuverture{"NatifFaux", "faux.kqq", EnteteNatif, "Pas un fichier natif d'Orvaline valide !"},
        EchecOuverture{"XmlCasse", "casse.xkqq", "<?xml version=\"1.0\"?><ORVALINE><TITRE>x</ORVALINE",
                       "Erreur dans l'écriture du code XML !"},
        EchecOuverture{"RacineEtrangere", "racine.xkqq", "<?xml version=\"1.0\"?><ORVAL/>",
                       "Pas un fichier XML d'Orvaline valide !"}),
    ::testing::PrintToStringParamName());

TEST_F(Joueur, QuizProposables) {
  ASSERT_TRUE(J.OuvreQuiz(Echantillon("Fleuves.kqq")));
  const std::string ouvert = Echantillon("Fleuves.kqq");
  for (const auto& [chemin, propose] : std::vector<std::pair<std::string, bool>>{
           {"", false}, {"/q/Capitales.XKQQ", true}, {"/q/a.Kqq", true}, {"/q/liste.xkql", false},
           {"/q/notes.txt", false}, {"/q.xkqq/sans", false}, {ouvert, false}}) {
    EXPECT_EQ(J.EstQuizProposable(chemin), propose) << chemin;
  }
}

TEST_F(Joueur, FichiersRetenus) {
  const std::string capitales = Echantillon("Capitales.xkqq");
  const std::string fleuves = Echantillon("Fleuves.kqq");
  R.FichierOuvert = capitales;
  R.NumeroFicheOuvert = 3;
  R.FichierRecent = fleuves;
  R.NumeroFicheRecent = 2;
  TEtatMenuFichier menu = J.EtatMenuFichier();
  EXPECT_TRUE(menu.OuvertVisible);
  EXPECT_EQ(menu.Ouvert, capitales);
  EXPECT_FALSE(menu.Fermer);
  J.OuvreQuizConfirme(R.FichierOuvert);
  const TFichierX* premier = J.QuizOuvert();
  ASSERT_NE(premier, nullptr);
  EXPECT_EQ(Vue.Titre, capitales);
  // The open questionnaire is not offered; the other one is.
  menu = J.EtatMenuFichier();
  EXPECT_FALSE(menu.OuvertVisible);
  EXPECT_TRUE(menu.RecentVisible);
  EXPECT_TRUE(menu.Fermer);
  Clic();
  Valide("Paris");
  Clic();
  EXPECT_EQ(J.Jeu().NbQuestionsPosees(), 2);
  const int derniere = J.Jeu().NumeroFicheCourante();

  // The same questionnaire again: reloaded, the remembered names unchanged.
  J.OuvreQuizConfirme(capitales);
  EXPECT_EQ(Vue.Confirmations.size(), 1u);  // the game under way
  ASSERT_NE(J.QuizOuvert(), nullptr);
  EXPECT_EQ(Vue.Legende, "Commencer");
  EXPECT_EQ(J.Jeu().NbQuestionsPosees(), 0);
  EXPECT_EQ(R.FichierOuvert, capitales);
  EXPECT_EQ(R.NumeroFicheOuvert, derniere);
  EXPECT_EQ(R.FichierRecent, fleuves);
  EXPECT_EQ(R.NumeroFicheRecent, 2);

  // Another one: the first becomes the recent one, with the card last asked.
  ASSERT_TRUE(J.OuvreQuiz(fleuves));
  EXPECT_EQ(R.FichierOuvert, capitales);
  EXPECT_EQ(R.NumeroFicheOuvert, 0);  // closed from its opening screen

  // Closing: Fleuves from its opening screen becomes `open`.
  ASSERT_TRUE(J.PeutFermer());
  J.Ferme();
  EXPECT_EQ(J.QuizOuvert(), nullptr);
  // No pointer to the freed cards remains.
  EXPECT_EQ(J.Jeu().FicheCourante(), nullptr);
  EXPECT_TRUE(J.Jeu().FichesAPoser().empty());
  TReglages lus;
  LitPreferences(lus, EPartReglages::Joueur);
  EXPECT_EQ(lus.FichierOuvert, fleuves);
  EXPECT_EQ(lus.NumeroFicheOuvert, 0);
  EXPECT_EQ(lus.FichierRecent, capitales);
  EXPECT_EQ(lus.NumeroFicheRecent, 0);
  EXPECT_TRUE(ValeurEcrite("opened"));
  EXPECT_TRUE(R.FichierOuvertEnQuittant);
  // No preference was changed: none is written.
  EXPECT_FALSE(ValeurEcrite("good"));
  EXPECT_FALSE(ValeurEcrite("foname"));
}

// The folder the open dialog starts in, from what is open and what is remembered.
struct CasDossier {
  const char* Nom;
  bool QuizOuvert;       // Capitales open from folder A
  const char* Ouvert;    // `open`'s folder: "B", "disparu" (never made), "" (none)
  const char* Recent;    // `recent`'s folder, the same way
  const char* Attendu;   // "A", "B", "C", or "" for none (the user's home)
};

void PrintTo(const CasDossier& cas, std::ostream* os) { *os << cas.Nom; }

class DossiersOuverture : public Joueur, public ::testing::WithParamInterface<CasDossier> {};

TEST_P(DossiersOuverture, QuizOuvertPuisFichiersRetenus) {
  const CasDossier& cas = GetParam();
  QTemporaryDir racine;
  for (const char* nom : {"A", "B", "C"}) ASSERT_TRUE(QDir(racine.path()).mkpath(nom));
  const QString capitales = racine.filePath("A/Capitales.xkqq");
  ASSERT_TRUE(QFile::copy(Dossier.filePath("Capitales.xkqq"), capitales));
  if (cas.QuizOuvert) {
    ASSERT_TRUE(J.OuvreQuiz(QFile::encodeName(capitales).toStdString()));
  }
  const auto dans = [&](const char* dossier) {
    return *dossier ? QFile::encodeName(racine.filePath(QString::fromUtf8(dossier) + "/q.xkqq")).toStdString()
                    : std::string();
  };
  R.FichierOuvert = dans(cas.Ouvert);
  R.FichierRecent = dans(cas.Recent);
  const std::string attendu = *cas.Attendu ? QFile::encodeName(racine.filePath(cas.Attendu)).toStdString() : "";
  EXPECT_EQ(J.DossierOuverture(), attendu);
}

INSTANTIATE_TEST_SUITE_P(Cas, DossiersOuverture,
                         ::testing::Values(CasDossier{"DuQuizOuvert", true, "B", "C", "A"},
                                           CasDossier{"DeLOuvert", false, "B", "C", "B"},
                                           CasDossier{"DuRecentSiLOuvertADisparu", false, "disparu", "C", "C"},
                                           CasDossier{"AccueilSiTousOntDisparu", false, "disparu", "disparu", ""},
                                           CasDossier{"AccueilSansFichierRetenu", false, "", "", ""}),
                         ::testing::PrintToStringParamName());

TEST_F(Joueur, RetourAccueilFermeLeQuestionnaire) {
  ASSERT_TRUE(J.OuvreQuiz(Echantillon("Fleuves.kqq")));
  Clic();
  Valide("Seine");
  Clic();
  Valide("Rhône"_a);
  J.RetourAccueil();
  EXPECT_EQ(J.QuizOuvert(), nullptr);
  EXPECT_EQ(J.Jeu().FicheCourante(), nullptr);
  EXPECT_EQ(R.NumeroFicheOuvert, 1);
  EXPECT_EQ(Vue.Titre, "");
  EXPECT_EQ(Vue.Texte(EControle::LInstruction), "Bonne journée !"_a);
  EXPECT_EQ(Vue.Legende, "Ouvrir");
  EXPECT_EQ(Vue.Action, EActionBouton::ChoixOuvrirQuiz);
}

TEST_F(Joueur, FermetureRefuseePendantUnePartie) {
  ASSERT_TRUE(J.OuvreQuiz(Echantillon("Capitales.xkqq")));
  Clic();
  Vue.ReponseConfirmation = false;
  EXPECT_FALSE(J.PeutFermer());
  EXPECT_TRUE(R.FichierOuvertEnQuittant);
  EXPECT_EQ(Vue.Legende, "Valider");
  EXPECT_FALSE(ValeurEcrite("opened"));
  Vue.ReponseConfirmation = true;
  EXPECT_TRUE(J.PeutFermer());
  J.Ferme();
  EXPECT_TRUE(ValeurEcrite("opened"));
}

// ---------------------------------------------------------------------------------------------
// The report

struct CasRapport {
  const char* Nom;
  bool RapporteInterrompues;
  bool NoteSur100;
  int Justes;   // right answers, one question each
  bool Complete;  // all ten questions of Capitales asked, else abandoned after `Justes`
  std::vector<std::pair<int, int>> Envoye;  // score, maximum; empty: nothing sent
};

void PrintTo(const CasRapport& cas, std::ostream* os) { *os << cas.Nom; }

class Rapports : public Joueur, public ::testing::WithParamInterface<CasRapport> {};

TEST_P(Rapports, DecisionEtEnvoi) {
  const CasRapport& cas = GetParam();
  R.HoteFeuilleNotes = "127.0.0.1";
  R.RapporteInterrompues = cas.RapporteInterrompues;
  R.NoteSur100 = cas.NoteSur100;
  ASSERT_TRUE(J.OuvreQuiz(Echantillon("Capitales.xkqq")));
  Clic();
  const int posees = cas.Complete ? 10 : cas.Justes + 1;
  for (int i = 0; i < posees; ++i) {
    Valide(i < cas.Justes ? Bonne() : "Lyon");
    if (i + 1 < posees) Clic();
  }
  if (cas.Complete)
    Clic();  // the end of the game
  else
    J.Abandonner();
  std::vector<TEnvoi> attendus;
  for (const auto& [score, maximum] : cas.Envoye)
    attendus.push_back({"127.0.0.1", "POSTE1", "Alice", Echantillon("Capitales.xkqq"), score, maximum});
  EXPECT_EQ(Envois, attendus);
  const std::vector<std::string> evenements =
      cas.Envoye.empty() ? std::vector<std::string>() : std::vector<std::string>{"debut", "fin"};
  EXPECT_EQ(Vue.Evenements, evenements);
}

INSTANTIATE_TEST_SUITE_P(Cas, Rapports,
                         ::testing::Values(CasRapport{"Finie", false, false, 7, true, {{7, 10}}},
                                           CasRapport{"FinieSur100", false, true, 7, true, {{70, 100}}},
                                           CasRapport{"AbandonneeRapportee", true, true, 1, false, {{1, 2}}},
                                           CasRapport{"AbandonneeSansRapport", false, false, 1, false, {}}),
                         ::testing::PrintToStringParamName());

// While the result is sent, every command waits: nothing is sent twice, nothing is closed.
TEST_F(Joueur, RapportProtegeDesCommandes) {
  R.HoteFeuilleNotes = "127.0.0.1";
  R.RapporteInterrompues = true;
  ASSERT_TRUE(J.OuvreQuiz(Echantillon("Fleuves.kqq")));
  Clic();
  Valide("Seine");
  PendantEnvoi = [this] {
    EXPECT_TRUE(J.RapportEnCours());
    J.RetourEcranAccueil();
    J.FermeQuiz();
    J.Commencer();
    EXPECT_FALSE(J.OuvreQuiz(Echantillon("Capitales.xkqq")));
  };
  Vue.PendantFinRapport = [this] { EXPECT_TRUE(J.RapportEnCours()); };
  J.Abandonner();
  EXPECT_FALSE(J.RapportEnCours());
  EXPECT_EQ(Envois.size(), 1u);
  EXPECT_EQ(Vue.Evenements, (std::vector<std::string>{"debut", "fin"}));
  ASSERT_NE(J.QuizOuvert(), nullptr);
  EXPECT_EQ(Vue.Titre, Echantillon("Fleuves.kqq"));
  EXPECT_EQ(Vue.Legende, "Rejouer");
}

TEST_F(Joueur, EchecDEnvoiDit) {
  TJoueur joueur(Vue, R, [](const TClientResultats&, const std::string&, const std::string&, int, int) -> bool {
    throw EErreurResultats(EGenreEchec::FermetureServeur, "La Feuille de Notes a fermé la connexion."_a);
  });
  Vue.Joueur = &joueur;
  R.HoteFeuilleNotes = "127.0.0.1";
  joueur.RapporteResultat({3, 0, 2, "Alice", "/q/Capitales.xkqq"});
  ASSERT_EQ(Vue.Messages.size(), 1u);
  EXPECT_EQ(Vue.Messages[0], std::make_pair(EIcone::Erreur, "La Feuille de Notes a fermé la connexion."_a));
  EXPECT_EQ(Vue.Evenements, (std::vector<std::string>{"debut", "fin"}));
  EXPECT_FALSE(joueur.RapportEnCours());
}

// ---------------------------------------------------------------------------------------------
// Ctrl+Alt+P

struct CasBascule {
  const char* Nom;
  bool CtrlAltP, BarreMenu, Attachee, Bascule;
};
void PrintTo(const CasBascule& cas, std::ostream* os) { *os << cas.Nom; }
class Bascules : public Joueur, public ::testing::WithParamInterface<CasBascule> {};

TEST_P(Bascules, MenuPreferences) {
  const CasBascule& cas = GetParam();
  R.CtrlAltPBascule = cas.CtrlAltP;
  R.BarreMenu = cas.BarreMenu;
  const bool avant = R.MenuPreferencesVisible;
  EXPECT_EQ(J.BasculeMenuPreferences(cas.Attachee), cas.Bascule);
  EXPECT_EQ(J.PreferencesModifiees, cas.Bascule);
  EXPECT_EQ(R.MenuPreferencesVisible, cas.Bascule ? !avant : avant);
  EXPECT_EQ(Vue.MenusPreferences, cas.Bascule ? std::vector<bool>(1, !avant) : std::vector<bool>());
  if (cas.Bascule) {
    J.BasculeMenuPreferences(cas.Attachee);
    EXPECT_EQ(R.MenuPreferencesVisible, avant);
  }
}

INSTANTIATE_TEST_SUITE_P(Cas, Bascules,
                         ::testing::Values(CasBascule{"Bascule", true, true, true, true},
                                           CasBascule{"SansCtrlAltP", false, true, true, false},
                                           CasBascule{"SansBarreMenu", true, false, true, false},
                                           CasBascule{"BarreDetachee", true, true, false, false}),
                         ::testing::PrintToStringParamName());

// ---------------------------------------------------------------------------------------------
// The desktop's logout

TEST_F(Joueur, TravailNonSauvePendantUnePartie) {
  EXPECT_FALSE(J.TravailNonSauve()) << "no questionnaire";
  ASSERT_TRUE(J.OuvreQuiz(Echantillon("Capitales.xkqq")));
  EXPECT_FALSE(J.TravailNonSauve()) << "its opening screen";
  Clic();  // Commencer
  EXPECT_TRUE(J.TravailNonSauve());
  J.Abandonner();
  EXPECT_EQ(Vue.Legende, "Rejouer");
  EXPECT_FALSE(J.TravailNonSauve()) << "the game over";
}

// The answer to the close's question at the logout. Either way the game goes on, unreported. OK:
// the close that ends the session asks nothing, and reports the game as any close does; Cancel
// stops the logout, and the close that follows asks again.
struct CasReponse {
  const char* Nom;
  bool Ok;
};
void PrintTo(const CasReponse& cas, std::ostream* os) { *os << cas.Nom; }
class ReponsesFinDeSession : public Joueur, public ::testing::WithParamInterface<CasReponse> {};

TEST_P(ReponsesFinDeSession, PartieEnCours) {
  const CasReponse& cas = GetParam();
  R.HoteFeuilleNotes = "127.0.0.1";
  R.RapporteInterrompues = true;
  ASSERT_TRUE(J.OuvreQuiz(Echantillon("Capitales.xkqq")));
  Clic();
  Valide(Bonne());
  Clic();
  Vue.ReponseConfirmation = cas.Ok;
  EXPECT_EQ(J.QuestionFinDeSession(), cas.Ok);
  EXPECT_EQ(Vue.Confirmations, std::vector<std::string>{"Abandonner la partie en cours ?"});
  EXPECT_TRUE(J.Jeu().PartieEnCours());
  EXPECT_EQ(J.Jeu().NbQuestionsPosees(), 2);
  EXPECT_EQ(Vue.Legende, "Valider");
  EXPECT_TRUE(Envois.empty());
  // A question now would keep the window open.
  Vue.ReponseConfirmation = false;
  EXPECT_EQ(J.PeutFermer(), cas.Ok);
  EXPECT_EQ(Vue.Confirmations.size(), cas.Ok ? 1u : 2u);
  if (!cas.Ok) return;
  J.Ferme();
  EXPECT_EQ(Envois.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Cas, ReponsesFinDeSession,
                         ::testing::Values(CasReponse{"OK", true}, CasReponse{"Annuler", false}),
                         ::testing::PrintToStringParamName());

// After OK, what makes the close ask again.
struct CasRedemande {
  const char* Nom;
  void (*Depuis)(TJoueur&, TVueJoueur&);
};
void PrintTo(const CasRedemande& cas, std::ostream* os) { *os << cas.Nom; }
class FinsDeSessionRedemandees : public Joueur, public ::testing::WithParamInterface<CasRedemande> {};

TEST_P(FinsDeSessionRedemandees, ALaFermeture) {
  ASSERT_TRUE(J.OuvreQuiz(Echantillon("Capitales.xkqq")));
  Clic();
  ASSERT_TRUE(J.QuestionFinDeSession());
  GetParam().Depuis(J, Vue);
  ASSERT_TRUE(J.Jeu().PartieEnCours());
  const std::size_t demandees = Vue.Confirmations.size();
  Vue.ReponseConfirmation = false;
  EXPECT_FALSE(J.PeutFermer());
  EXPECT_EQ(Vue.Confirmations.size(), demandees + 1);
  EXPECT_EQ(Vue.Legende, "Valider");
}

INSTANTIATE_TEST_SUITE_P(
    Cas, FinsDeSessionRedemandees,
    ::testing::Values(CasRedemande{"NouvellePartie",
                                   [](TJoueur& j, TVueJoueur& v) {
                                     j.Abandonner();
                                     j.ExecuteAction(v.Action);  // Rejouer
                                   }},
                      CasRedemande{"SessionPoursuivie", [](TJoueur& j, TVueJoueur&) { j.FinDeSessionAbandonnee(); }}),
    ::testing::PrintToStringParamName());

// ---------------------------------------------------------------------------------------------
// The countdown under the boxes

TEST_F(Joueur, ChronoSousLesBoites) {
  ASSERT_TRUE(J.OuvreQuiz(Echantillon("Capitales.xkqq")));
  Clic();
  ASSERT_TRUE(Vue.Chrono);
  // Held under a box that holds it, a free box inside changing nothing.
  J.DebutBoite(EBoite::RetientChrono);
  EXPECT_FALSE(Vue.Chrono);
  Vue.Horloge += 5min;
  J.ChronoTimer();
  J.FinBoite(EBoite::RetientChrono);
  EXPECT_TRUE(Vue.Chrono);
  J.ChronoTimer();
  EXPECT_EQ(Vue.Texte(EControle::LQuestAPoser), "60");
  // Running under a free box, and a box over it does not hold it; the time-out waits for the
  // last box to close.
  J.DebutBoite(EBoite::LaisseChrono);
  J.DebutBoite(EBoite::RetientChrono);
  EXPECT_TRUE(Vue.Chrono);
  // The seconds left still shown there.
  Vue.Horloge += 10s;
  J.ChronoTimer();
  EXPECT_EQ(Vue.Texte(EControle::LQuestAPoser), "50");
  EXPECT_EQ(Vue.Legende, "Valider");
  Vue.Horloge += 51s;
  J.ChronoTimer();
  J.FinBoite(EBoite::RetientChrono);
  EXPECT_EQ(Vue.Legende, "Valider");
  EXPECT_TRUE(Vue.Messages.empty());
  J.FinBoite(EBoite::LaisseChrono);
  EXPECT_EQ(Vue.Messages, (std::vector<std::pair<EIcone, std::string>>{{EIcone::Avertissement, "Temps écoulé !"_a}}));
  EXPECT_EQ(Vue.Legende, "Continuer");
  EXPECT_FALSE(Vue.Chrono);
}

}  // namespace
