// The quiz window and its preferences dialog on the offscreen platform: whole games played by
// keyboard with a score sheet of our own on 127.0.0.1 receiving the results, opening failures,
// the open dialog's folder, the command line, the shortcuts with and without the menu bar, the
// timer on a clock of the test's own, the preferences dialog with its connection test, and the
// settings written at closing. Keys that the window must see first are sent through its native
// window, as the system sends them; typed text goes to the answer edit.

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "cards/KorInit.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"
#include "platform/Registre.h"
#include "player/fenetres/KorFenetreJeu.h"
#include "player/fenetres/KorPref.h"
#include "scoresheet/KorServeur.h"
#include "../scoresheet/ReseauTest.h"
#include "ReponsesCapitales.h"

using namespace std::chrono_literals;

namespace {

struct Boite {
  QMessageBox::Icon Icone;
  QString Texte;
};

using TLigne = std::vector<std::string>;

// A score sheet on a free port of 127.0.0.1 that keeps the parameters of every result.
class TFeuille {
 public:
  TFeuille()
      : FServeur([this](const std::vector<std::string>& p) {
          std::lock_guard<std::mutex> verrou(FVerrou);
          FLignes.push_back(p);
        }, TOptionsServeur{.Port = 0}) {
    FServeur.Ecoute();
  }
  std::uint16_t Port() const { return FServeur.Port(); }
  std::vector<TLigne> Lignes() const {
    std::lock_guard<std::mutex> verrou(FVerrou);
    return FLignes;
  }

 private:
  mutable std::mutex FVerrou;
  std::vector<TLigne> FLignes;
  TServeurResultats FServeur;
};

}  // namespace

class TestFenetreJeu : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir Dossier;
  TReglages R;  // the window's settings, as they are by default at each test's start
  std::unique_ptr<TForm1> Fenetre;
  QList<Boite> Boites;
  QMessageBox::StandardButton Reponse = QMessageBox::Ok;
  std::optional<QString> NomSaisi;
  int Saisies = 0;
  QString FichierChoisi;
  int Dialogues = 0;
  QString DossierDialogue;  // the folder the last open dialog started in
  std::function<QString(const QString&)> DialogueStandard;  // the window's own open dialog
  TInstant Temps{std::chrono::hours(10)};

  std::string Echantillon(const QString& nom) const {
    return QFile::encodeName(Dossier.filePath(nom)).toStdString();
  }

  // Boxes noted in Boites and answered with Reponse.
  FBoiteMessage BoitesNotees() {
    return [this](QMessageBox::Icon icone, const QString&, const QString& texte, QMessageBox::StandardButtons) {
      Boites.append({icone, texte});
      return Reponse;
    };
  }

  void Cree(const QStringList& arguments = {}) {
    Fenetre = std::make_unique<TForm1>(arguments, R);
    Fenetre->BoiteMessage = BoitesNotees();
    Fenetre->BoiteSaisie = [this](const QString&, const QString&, QString& texte) {
      ++Saisies;
      if (!NomSaisi) return false;
      texte = *NomSaisi;
      return true;
    };
    DialogueStandard = Fenetre->DialogueOuvrir;
    Fenetre->DialogueOuvrir = [this](const QString& dossier) {
      ++Dialogues;
      DossierDialogue = dossier;
      return FichierChoisi;
    };
    Fenetre->Horloge = [this] { return Temps; };
    Fenetre->Joueur.Client.NomOrdinateurLocal = "POSTE1";
    Fenetre->show();
    QVERIFY(QTest::qWaitForWindowExposed(Fenetre.get()));
    Fenetre->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Fenetre.get()));
  }

  void Ouvre(const QString& nom) { QVERIFY(Fenetre->Joueur.OuvreQuiz(Echantillon(nom))); }

  // A key as the system delivers it: to the window first.
  void Touche(Qt::Key cle, Qt::KeyboardModifiers modificateurs = Qt::NoModifier) {
    QTest::keyClick(Fenetre->windowHandle(), cle, modificateurs);
  }

  // Typed into the answer edit, one key a character (accents included).
  void Tape(const QString& texte) {
    for (const QChar c : texte)
      QTest::sendKeyEvent(QTest::Click, Fenetre->EReponse, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }

  QString Bonne() const {
    const QString question = Fenetre->MQuestion->toPlainText();
    for (const auto& [mot, reponse] : ReponsesCapitales)
      if (question.contains(QString::fromStdString(mot))) return QString::fromStdString(reponse);
    return {};
  }

  void Repond(const QString& texte) {
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Valider"));
    Tape(texte);
    Touche(Qt::Key_Return);
  }

  // A game of Capitales: `justes` right answers, then wrong ones, Continuer by Enter each time.
  void JoueCapitales(int justes) {
    Touche(Qt::Key_Return);  // Commencer
    for (int i = 0; i < 10; ++i) {
      Repond(i < justes ? Bonne() : QStringLiteral("Lyon"));
      QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Continuer"));
      Touche(Qt::Key_Return);
    }
  }

  static TLigne Ligne(const std::string& candidat, const std::string& fichier, int score, int maximum) {
    return {"POSTE1", candidat, fichier, std::to_string(score), std::to_string(maximum)};
  }

  bool Preferences(const std::function<void(TFormPreferences&)>& action) {
    TFormPreferences& d = *Fenetre->FormPreferences;
    QTimer::singleShot(0, &d, [&d, action] {
      action(d);
      if (d.isVisible()) d.reject();
    });
    return Fenetre->ExecutePreferences();
  }

  // The first question of Capitales asked, 40 of its 60 seconds left.
  void QuestionA40Secondes() {
    Cree();
    Ouvre("Capitales.xkqq");
    Touche(Qt::Key_Return);
    Temps += 20s;
    Fenetre->ChronoTimer();
    QCOMPARE(Fenetre->LQuestAPoser->text(), QStringLiteral("40"));
  }

  static bool ValeurEcrite(const std::string& nom) {
    TRegistre reg;
    return reg.OuvreCle("Software\\Orvaline", false) && reg.ValeurExiste(nom);
  }

 private slots:
  void initTestCase() {
    FixeLocale("fr_FR");
    QVERIFY(Dossier.isValid());
    for (const QString nom : {"Capitales.xkqq", "Fleuves.kqq", "Departements.xkql"})
      QVERIFY(QFile::copy(QStringLiteral(ORVALINE_SOURCE_DIR "/samples/") + nom, Dossier.filePath(nom)));
  }

  void init() {
    QFile::remove(QString::fromStdString(TRegistre::CheminFichier()));
    R = TReglages();
    Boites.clear();
    Reponse = QMessageBox::Ok;
    NomSaisi = QStringLiteral("  Alice \t");
    Saisies = 0;
    FichierChoisi.clear();
    Dialogues = 0;
    DossierDialogue.clear();
  }

  void cleanup() {
    if (Fenetre) Fenetre->FormPreferences->hide();
    Fenetre.reset();
  }

  void PartieCompleteAuClavier_data() {
    QTest::addColumn<bool>("sur100");
    QTest::addColumn<int>("score");
    QTest::addColumn<int>("maximum");
    QTest::newRow("sur 100") << true << 70 << 100;
    QTest::newRow("brut") << false << 7 << 10;
  }
  void PartieCompleteAuClavier() {
    QFETCH(bool, sur100);
    QFETCH(int, score);
    QFETCH(int, maximum);
    TFeuille feuille;
    R.HoteFeuilleNotes = "127.0.0.1";
    R.NoteSur100 = sur100;
    Cree();
    Fenetre->Joueur.Client.Port = feuille.Port();
    Ouvre("Capitales.xkqq");
    QCOMPARE(Fenetre->windowTitle(), QStringLiteral("Orvaline - Capitales.xkqq"));
    QCOMPARE(Fenetre->ETitre->text(), QStringLiteral("Les capitales du monde"));
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Commencer"));
    QCOMPARE(Fenetre->Panel2->palette().color(QPalette::Window), QColor(0, 128, 128));

    Touche(Qt::Key_Return);
    QCOMPARE(Saisies, 1);
    QCOMPARE(Fenetre->Joueur.Jeu().NomCandidat(), std::string("Alice"));
    QCOMPARE(Fenetre->LInstruction->text(), QStringLiteral("Entrez votre réponse ci-dessous."));
    QCOMPARE(Fenetre->Panel2->palette().color(QPalette::Window), QColor(166, 202, 240));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Fenetre->EReponse));
    // The first answer, right, and its verdict.
    Repond(Bonne());
    QCOMPARE(Fenetre->LResultat->text(), QStringLiteral("Bonne réponse !"));
    QCOMPARE(Fenetre->Panel2->palette().color(QPalette::Window), QColor(0, 128, 0));
    QCOMPARE(Fenetre->LResultat->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    QCOMPARE(Fenetre->LScore->text(), QStringLiteral("Score : 1/1"));
    QCOMPARE(Fenetre->LQuestAPoser->text(), QStringLiteral("9 question(s) à poser"));
    QCOMPARE(Fenetre->Gauge->Valeur(), 100);
    Touche(Qt::Key_Return);
    for (int i = 1; i < 10; ++i) {
      Repond(i < 7 ? Bonne() : QStringLiteral("Lyon"));
      if (i == 7) {
        QCOMPARE(Fenetre->LResultat->text(), QStringLiteral("Réponse fausse !"));
        QCOMPARE(Fenetre->Panel2->palette().color(QPalette::Window), QColor(255, 0, 0));
        QVERIFY(!Fenetre->MReponse->toPlainText().isEmpty());
      }
      Touche(Qt::Key_Return);
    }
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Rejouer"));
    QCOMPARE(Fenetre->LResultat->text(), QStringLiteral("Score : 7/10 -- Félicitations !"));
    QCOMPARE(Fenetre->LResultat->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    QCOMPARE(Fenetre->Panel2->palette().color(QPalette::Window), QColor(0, 128, 0));
    QCOMPARE(Fenetre->LInstruction->text(), QStringLiteral("Fin de partie !  Cliquez sur \"Rejouer\" pour recommencer."));
    QVERIFY(Fenetre->Bouton->isEnabled());
    QCOMPARE(feuille.Lignes(), std::vector<TLigne>{Ligne("Alice", "Capitales.xkqq", score, maximum)});
    QVERIFY(Boites.isEmpty());

    // Rejouer asks the name again, pre-filled with the last one; a cancel starts nothing.
    NomSaisi.reset();
    Touche(Qt::Key_Return);
    QCOMPARE(Saisies, 2);
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Rejouer"));
  }

  void PartieInterrompue_data() {
    QTest::addColumn<bool>("rapporteInterrompues");
    QTest::newRow("rapportee") << true;
    QTest::newRow("perdue") << false;
  }
  void PartieInterrompue() {
    QFETCH(bool, rapporteInterrompues);
    TFeuille feuille;
    R.HoteFeuilleNotes = "127.0.0.1";
    R.RapporteInterrompues = rapporteInterrompues;
    NomSaisi = QString();
    Cree();
    Fenetre->Joueur.Client.Port = feuille.Port();
    Ouvre("Capitales.xkqq");
    Touche(Qt::Key_Return);
    Repond(Bonne());
    Touche(Qt::Key_Return);
    Repond(QStringLiteral("Lyon"));
    Touche(Qt::Key_Return);
    // The third question is shown: abandoned by Ctrl+C after the confirmation.
    Touche(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(Boites.size(), 1);
    QCOMPARE(Boites[0].Icone, QMessageBox::Question);
    QCOMPARE(Boites[0].Texte, QStringLiteral("Abandonner la partie en cours ?"));
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Rejouer"));
    QCOMPARE(Fenetre->LResultat->text(), QString());
    // Interrupted: never on 100, the questions asked as the maximum; the empty name as "anonyme".
    const std::vector<TLigne> attendu =
        rapporteInterrompues ? std::vector<TLigne>{Ligne("anonyme", "Capitales.xkqq", 1, 3)} : std::vector<TLigne>{};
    QCOMPARE(feuille.Lignes(), attendu);
  }

  // A report handles the window's pending events: a Ctrl+R, a Fermer and a close arriving
  // then neither send the result again nor close the questionnaire twice.
  void RapportProtegeDesEvenementsEnAttente() {
    TFeuille feuille;
    R.HoteFeuilleNotes = "127.0.0.1";
    Cree();
    Fenetre->Joueur.Client.Port = feuille.Port();
    Ouvre("Capitales.xkqq");
    Touche(Qt::Key_Return);
    for (int i = 0; i < 10; ++i) {
      Repond(Bonne());
      if (i < 9) Touche(Qt::Key_Return);
    }
    QCOMPARE(Fenetre->Joueur.Jeu().NbQuestionsAPoser(), 0);
    QWindow* fenetre = Fenetre->windowHandle();
    QCoreApplication::postEvent(fenetre, new QKeyEvent(QEvent::KeyPress, Qt::Key_R, Qt::ControlModifier));
    QCoreApplication::postEvent(fenetre, new QKeyEvent(QEvent::KeyRelease, Qt::Key_R, Qt::ControlModifier));
    QMetaObject::invokeMethod(Fenetre.get(), "MenuFermerClick", Qt::QueuedConnection);
    QMetaObject::invokeMethod(Fenetre.get(), "close", Qt::QueuedConnection);
    QMetaObject::invokeMethod(Fenetre.get(), "BoutonClick", Qt::QueuedConnection);
    Fenetre->BoutonClick();  // Continuer: the end of the game and its report
    QVERIFY(!Fenetre->RapportEnCours());
    QCOMPARE(feuille.Lignes(), std::vector<TLigne>{Ligne("Alice", "Capitales.xkqq", 100, 100)});
    QVERIFY(Fenetre->Joueur.QuizOuvert() != nullptr);
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Rejouer"));
    QCOMPARE(Saisies, 1);
    // The close asked for meanwhile comes once the report is over.
    QTRY_VERIFY(!Fenetre->isVisible());
    QVERIFY(Fenetre->Joueur.QuizOuvert() == nullptr);
    QCOMPARE(feuille.Lignes().size(), std::size_t(1));
    TReglages lus;
    LitPreferences(lus, EPartReglages::Joueur);
    QCOMPARE(lus.FichierOuvert, Echantillon("Capitales.xkqq"));
  }

  // Ctrl+O during a game: the confirmation, the dialog, the refusal told over the window, which
  // shows the previous questionnaire as it was. (Every kind of refusal: joueur_test.)
  void EchecOuvertureParLeMenu() {
    R.HoteFeuilleNotes.clear();
    Cree();
    Ouvre("Capitales.xkqq");
    Touche(Qt::Key_Return);
    Repond(Bonne());
    FichierChoisi = Dossier.filePath("Departements.xkql");
    Touche(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(Dialogues, 1);
    QCOMPARE(Boites.size(), 2);
    QCOMPARE(Boites[0].Icone, QMessageBox::Question);
    QCOMPARE(Boites[1].Icone, QMessageBox::Critical);
    QCOMPARE(Boites[1].Texte, QStringLiteral("Ce fichier n'est pas un questionnaire !"));
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Continuer"));
    QCOMPARE(Fenetre->windowTitle(), QStringLiteral("Orvaline - Capitales.xkqq"));
  }

  void LigneDeCommande() {
    Cree({Dossier.filePath("absent.xkqq")});
    QTRY_COMPARE(Boites.size(), 1);
    QCOMPARE(Boites[0].Texte, QStringLiteral("Impossible d'ouvrir le fichier \"absent.xkqq\" !"));
    QVERIFY(Fenetre->Joueur.QuizOuvert() == nullptr);
    QCOMPARE(Fenetre->windowTitle(), QStringLiteral("Orvaline : le Quiz"));
    QCOMPARE(Fenetre->LInstruction->text(),
             QStringLiteral("Bienvenue !  Cliquez sur \"Ouvrir\" pour choisir un questionnaire."));
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Ouvrir"));
    Fenetre.reset();

    // A relative name is opened and remembered by its full path; a second argument is ignored.
    Boites.clear();
    const QString ici = QDir::currentPath();
    QDir::setCurrent(Dossier.path());
    Cree({QStringLiteral("Fleuves.kqq"), QStringLiteral("Capitales.xkqq")});
    QTRY_VERIFY(Fenetre->Joueur.QuizOuvert() != nullptr);
    QDir::setCurrent(ici);
    QVERIFY(Boites.isEmpty());
    QCOMPARE(Fenetre->windowTitle(), QStringLiteral("Orvaline - Fleuves.kqq"));
    QCOMPARE(Fenetre->Joueur.QuizOuvert()->FNomFichier, Echantillon("Fleuves.kqq"));
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Commencer"));
  }

  // The remembered files in the Fichier menu, by their names. (What is remembered: joueur_test.)
  void FichiersRetenus() {
    R.FichierOuvert = Echantillon("Capitales.xkqq");
    R.FichierRecent = Echantillon("Fleuves.kqq");
    Cree();
    Fenetre->MenuFichierClick();
    QVERIFY(Fenetre->Ouvert1->isVisible());
    QCOMPARE(Fenetre->Ouvert1->text(), QStringLiteral("Capitales.xkqq"));
    QVERIFY(!Fenetre->MenuFermer->isEnabled());
    Fenetre->Ouvert1->trigger();
    QVERIFY(Fenetre->Joueur.QuizOuvert() != nullptr);
    QCOMPARE(Fenetre->windowTitle(), QStringLiteral("Orvaline - Capitales.xkqq"));
    // The open questionnaire is not offered; the other one is.
    Fenetre->MenuFichierClick();
    QVERIFY(!Fenetre->Ouvert1->isVisible());
    QVERIFY(Fenetre->Recent1->isVisible());
    QCOMPARE(Fenetre->Recent1->text(), QStringLiteral("Fleuves.kqq"));
    QVERIFY(Fenetre->MenuFermer->isEnabled());
    Fenetre->Recent1->trigger();
    QCOMPARE(Fenetre->windowTitle(), QStringLiteral("Orvaline - Fleuves.kqq"));
    // Closing the window writes what is remembered.
    Fenetre->close();
    QVERIFY(!Fenetre->isVisible());
    TReglages lus;
    LitPreferences(lus, EPartReglages::Joueur);
    QCOMPARE(lus.FichierOuvert, Echantillon("Fleuves.kqq"));
    QCOMPARE(lus.FichierRecent, Echantillon("Capitales.xkqq"));
  }

  void FermerApresUnePartieGardeLaFiche() {
    Cree();
    Ouvre("Fleuves.kqq");
    Touche(Qt::Key_Return);
    Repond(QStringLiteral("Seine"));
    Touche(Qt::Key_Return);
    Repond(QStringLiteral("Rhône"));
    // Fermer during the game: confirmed, then the no-file screen.
    Reponse = QMessageBox::Cancel;
    Fenetre->MenuFermerClick();
    QVERIFY(Fenetre->Joueur.QuizOuvert() != nullptr);
    Reponse = QMessageBox::Ok;
    Fenetre->MenuFermerClick();
    QVERIFY(Fenetre->Joueur.QuizOuvert() == nullptr);
    QVERIFY(Fenetre->Joueur.Jeu().FicheCourante() == nullptr);
    QVERIFY(Fenetre->Joueur.Jeu().FichesAPoser().empty());
    QCOMPARE(R.NumeroFicheOuvert, 1);
    QCOMPARE(Fenetre->windowTitle(), QStringLiteral("Orvaline"));
    QCOMPARE(Fenetre->LInstruction->text(), QStringLiteral("Bonne journée !"));
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Ouvrir"));
    QCOMPARE(Fenetre->ActionBouton(), EActionBouton::ChoixOuvrirQuiz);
    QVERIFY(!Fenetre->MenuPartie->menuAction()->isVisible());
    QCOMPARE(Fenetre->Panel2->palette().color(QPalette::Window), QColor(166, 202, 240));
    // Enter now runs Ouvrir.
    Touche(Qt::Key_Return);
    QCOMPARE(Dialogues, 1);
  }

  // The open dialog starts in the user's home, then in the remembered file's folder, then in the
  // open questionnaire's (every case of the order: joueur_test); the window's own dialog shows it.
  void DossierDuDialogueOuvrir() {
    QTemporaryDir autre;
    Cree();
    Touche(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(QDir(DossierDialogue).canonicalPath(), QDir::home().canonicalPath());
    R.FichierOuvert = QFile::encodeName(autre.filePath(QStringLiteral("q.xkqq"))).toStdString();
    Fenetre->BoutonClick();  // Ouvrir
    QCOMPARE(QDir(DossierDialogue).canonicalPath(), QDir(autre.path()).canonicalPath());
    Ouvre("Capitales.xkqq");
    Touche(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(Dialogues, 3);
    QCOMPARE(QDir(DossierDialogue).canonicalPath(), QDir(Dossier.path()).canonicalPath());

    Fenetre->DialogueOuvrir = DialogueStandard;
    QString depart;
    QTimer::singleShot(0, Fenetre.get(), [&] {
      auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(d);
      depart = d->directory().canonicalPath();
      d->reject();
    });
    Fenetre->MenuOuvrir->trigger();
    QCOMPARE(depart, QDir(Dossier.path()).canonicalPath());
    QVERIFY(Fenetre->Joueur.QuizOuvert());  // cancelled: Capitales stays open
  }

  void Raccourcis_data() {
    QTest::addColumn<bool>("barre");
    QTest::newRow("barre de menus") << true;
    QTest::newRow("sans barre") << false;
  }
  void Raccourcis() {
    QFETCH(bool, barre);
    R.BarreMenu = barre;
    Cree();
    QCOMPARE(Fenetre->centralWidget()->size(), QSize(568, 482));
    QCOMPARE(Fenetre->size(), QSize(568, barre ? 502 : 482));
    QCOMPARE(Fenetre->menuBar() == Fenetre->MenuPrinc, barre);

    // Ctrl+A through the never-visible Accepter, in correction mode where the answer edit has
    // the focus and would take Ctrl+A for itself.
    Ouvre("Fleuves.kqq");
    Touche(Qt::Key_Return);
    Repond(QStringLiteral("Loire"));
    QCOMPARE(Fenetre->ActionBouton(), EActionBouton::VerifieCorrection);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Fenetre->EReponse));
    QCOMPARE(Fenetre->LScore->text(), QStringLiteral("Score : 0/1"));
    Touche(Qt::Key_A, Qt::ControlModifier);
    if (barre) {
      QCOMPARE(Fenetre->LScore->text(), QStringLiteral("Score : 1/1"));
      QCOMPARE(Fenetre->LResultat->text(), QStringLiteral("Bonne réponse !"));
      QCOMPARE(Fenetre->ActionBouton(), EActionBouton::AfficheQuestion);
      QCOMPARE(Fenetre->Joueur.Jeu().NbQuestionsAPoser(), 4);
      Touche(Qt::Key_A, Qt::ControlModifier);  // disabled now
      QCOMPARE(Fenetre->LScore->text(), QStringLiteral("Score : 1/1"));
      Touche(Qt::Key_Return);
    } else {
      QCOMPARE(Fenetre->LScore->text(), QStringLiteral("Score : 0/1"));
      QCOMPARE(Fenetre->EReponse->selectedText(), QStringLiteral("Loire"));
      Tape(QStringLiteral("Seine"));  // the correction, over the selection
      Touche(Qt::Key_Return);
    }
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Valider"));

    // Ctrl+C abandons after the confirmation; Cancel keeps the game exactly as it was.
    Reponse = QMessageBox::Cancel;
    Touche(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(Boites.size(), barre ? 1 : 0);
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Valider"));
    Reponse = QMessageBox::Ok;
    Touche(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(Fenetre->Bouton->text(), barre ? QStringLiteral("Rejouer") : QStringLiteral("Valider"));

    // Ctrl+R works with or without the bar: the game ends, the opening screen returns.
    Boites.clear();
    Touche(Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(Boites.size(), barre ? 0 : 1);  // a game under way asks first
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Commencer"));
    QCOMPARE(Fenetre->Joueur.Jeu().NbQuestionsPosees(), 0);
    QCOMPARE(Fenetre->MQuestion->toPlainText(), QString());  // Fleuves has no description

    // Ctrl+Alt+P shows or hides Préférences and counts as a change of preference.
    if (barre) QVERIFY(Fenetre->MenuPreferences->isVisible());
    Touche(Qt::Key_P, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(Fenetre->Joueur.PreferencesModifiees, barre);
    QCOMPARE(R.MenuPreferencesVisible, !barre);
    if (barre) {
      QVERIFY(!Fenetre->MenuPreferences->isVisible());
      Touche(Qt::Key_P, Qt::ControlModifier | Qt::AltModifier);
      QVERIFY(Fenetre->MenuPreferences->isVisible());
    }

    // Ctrl+O opens the dialog.
    Touche(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(Dialogues, barre ? 1 : 0);
  }

  void MenusSelonLEtat() {
    R.MenuFichierEnPartie = false;
    R.MenuPartieEnPartie = true;
    R.CtrlAAccepte = false;
    Cree();
    QVERIFY(!Fenetre->MenuPartie->menuAction()->isVisible());
    Ouvre("Capitales.xkqq");
    Fenetre->MenuPartieClick();
    QVERIFY(Fenetre->MenuPartie->menuAction()->isVisible());
    QVERIFY(Fenetre->MenuCommencer->isEnabled());
    QVERIFY(!Fenetre->MenuAbandonner->isEnabled());
    Fenetre->MenuCommencer->trigger();
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Valider"));
    QVERIFY(!Fenetre->MenuFichier->menuAction()->isVisible());
    Fenetre->MenuPartieClick();
    QVERIFY(!Fenetre->MenuCommencer->isEnabled());
    QVERIFY(Fenetre->MenuAbandonner->isEnabled());
    Repond(QStringLiteral("Lyon"));
    Fenetre->MenuPartieClick();
    QVERIFY(!Fenetre->MenuAccepter->isEnabled());  // ctrla off
    Touche(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(Fenetre->LScore->text(), QStringLiteral("Score : 0/1"));
    // The Fichier menu's shortcut works while the menu is hidden.
    Touche(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(Dialogues, 1);
  }

  void SupprEffaceLaReponse() {
    Cree();
    Ouvre("Capitales.xkqq");
    Touche(Qt::Key_Return);
    Tape(QStringLiteral("Pari"));
    Fenetre->EReponse->setCursorPosition(0);
    Touche(Qt::Key_Delete);
    QCOMPARE(Fenetre->EReponse->text(), QString());
  }

  void EntreeBridee() {
    Cree();
    Ouvre("Capitales.xkqq");
    Fenetre->Joueur.QuizOuvert()->FBriderEntree = true;
    Touche(Qt::Key_Return);
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Commencer"));
    // The space bar on the button does it.
    QTest::keyClick(Fenetre->Bouton, Qt::Key_Space);
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Valider"));
    // An empty answer is not validated; a typed one is, by Enter.
    Touche(Qt::Key_Return);
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Valider"));
    Tape(Bonne());
    Touche(Qt::Key_Return);
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Continuer"));
    Touche(Qt::Key_Return);
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Continuer"));
    QTest::mouseClick(Fenetre->Bouton, Qt::LeftButton);
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Valider"));
  }

  void Chronometre() {
    Cree();
    Ouvre("Capitales.xkqq");
    Touche(Qt::Key_Return);
    QVERIFY(Fenetre->Chrono->isActive());
    QCOMPARE(Fenetre->Chrono->interval(), 50);
    Fenetre->ChronoTimer();
    QCOMPARE(Fenetre->LQuestAPoser->text(), QStringLiteral("60"));
    Temps += 2500ms;
    Fenetre->ChronoTimer();
    QCOMPARE(Fenetre->LQuestAPoser->text(), QStringLiteral("57"));
    Temps += 57400ms;
    Fenetre->ChronoTimer();
    QCOMPARE(Fenetre->LQuestAPoser->text(), QStringLiteral("0"));
    QVERIFY(Boites.isEmpty());
    // Past the limit: the answer typed so far (nothing) is validated.
    Temps += 200ms;
    Fenetre->ChronoTimer();
    QVERIFY(!Fenetre->Chrono->isActive());
    QCOMPARE(Boites.size(), 1);
    QCOMPARE(Boites[0].Icone, QMessageBox::Warning);
    QCOMPARE(Boites[0].Texte, QStringLiteral("Temps écoulé !"));
    QCOMPARE(Fenetre->LResultat->text(), QStringLiteral("Temps écoulé !"));
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Continuer"));
    QCOMPARE(Fenetre->LQuestAPoser->text(), QStringLiteral("9 question(s) à poser"));

    // The next question: a right answer typed before the end counts as right.
    Touche(Qt::Key_Return);
    QVERIFY(Fenetre->Chrono->isActive());
    Tape(Bonne());
    Temps += 61s;
    Fenetre->ChronoTimer();
    QCOMPARE(Fenetre->LResultat->text(), QStringLiteral("Bonne réponse !"));
    QCOMPARE(Fenetre->LScore->text(), QStringLiteral("Score : 1/2"));
    // A validated answer stops the countdown.
    Touche(Qt::Key_Return);
    Tape(Bonne());
    Touche(Qt::Key_Return);
    QVERIFY(!Fenetre->Chrono->isActive());
  }

  // While the abandon confirmation is open over a question, its countdown is held: the time
  // left when the box closes on Cancel is the time left when it opened, whatever the timer did
  // meanwhile.
  void ChronometreRetenuParLaConfirmation() {
    QuestionA40Secondes();
    const QString question = Fenetre->MQuestion->toPlainText();
    // The box stays open five minutes, the timer firing all along.
    bool chronoArreteDerriere = true;
    Fenetre->BoiteMessage = [&](QMessageBox::Icon icone, const QString&, const QString& texte, QMessageBox::StandardButtons) {
      Boites.append({icone, texte});
      chronoArreteDerriere = chronoArreteDerriere && !Fenetre->Chrono->isActive();
      for (int i = 0; i < 10; ++i) {
        Temps += 30s;
        Fenetre->ChronoTimer();
      }
      return QMessageBox::Cancel;
    };
    Fenetre->MenuAbandonnerClick();
    Fenetre->BoiteMessage = BoitesNotees();
    QVERIFY(chronoArreteDerriere);
    QCOMPARE(Boites.size(), 1);
    QCOMPARE(Boites[0].Texte, QStringLiteral("Abandonner la partie en cours ?"));
    // The game exactly as it was, the countdown going on from where it stood.
    QVERIFY(Fenetre->Chrono->isActive());
    QCOMPARE(Fenetre->MQuestion->toPlainText(), question);
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Valider"));
    QCOMPARE(Fenetre->LResultat->text(), QString());
    QCOMPARE(Fenetre->Joueur.Jeu().NbQuestionsPosees(), 1);
    Fenetre->ChronoTimer();
    QCOMPARE(Fenetre->LQuestAPoser->text(), QStringLiteral("40"));
    Temps += 39s;
    Fenetre->ChronoTimer();
    QCOMPARE(Fenetre->LQuestAPoser->text(), QStringLiteral("1"));
    QCOMPARE(Boites.size(), 1);
    // Then it runs out as usual.
    Temps += 1001ms;
    Fenetre->ChronoTimer();
    QCOMPARE(Boites.size(), 2);
    QCOMPARE(Boites[1].Texte, QStringLiteral("Temps écoulé !"));
    QVERIFY(!Fenetre->Chrono->isActive());
    QCOMPARE(Fenetre->LScore->text(), QStringLiteral("Score : 0/1"));
  }

  // The boxes a pupil opens at will leave the countdown running, and so does a box opened over
  // them (the connection test's message over Préférences). A time-out reached there is never
  // validated behind the box: it takes effect as soon as the box closes.
  void ChronometreSousLesBoitesLibres_data() {
    QTest::addColumn<bool>("preferences");  // else A propos
    QTest::addColumn<int>("secondes");      // how long the box stays open
    QTest::addColumn<QString>("reste");     // LQuestAPoser once it is closed; empty: timed out
    QTest::newRow("a propos, le temps court") << false << 30 << QStringLiteral("10");
    QTest::newRow("a propos, le temps s'ecoule") << false << 45 << QString();
    QTest::newRow("preferences, le temps court") << true << 30 << QStringLiteral("10");
    QTest::newRow("preferences, le temps s'ecoule") << true << 45 << QString();
  }
  void ChronometreSousLesBoitesLibres() {
    QFETCH(bool, preferences);
    QFETCH(int, secondes);
    QFETCH(QString, reste);
    QuestionA40Secondes();
    bool chronoActifDerriere = false;
    bool valideDerriere = false;
    QString afficheDerriere;
    Fenetre->BoiteMessage = [&](QMessageBox::Icon icone, const QString&, const QString& texte, QMessageBox::StandardButtons) {
      Boites.append({icone, texte});
      if (Boites.size() == 1) {
        chronoActifDerriere = Fenetre->Chrono->isActive();
        for (int i = 1; i <= secondes; ++i) {
          Temps += 1s;
          Fenetre->ChronoTimer();
          // The seconds left go on showing behind the box, the answer still open.
          if (i == 5) afficheDerriere = Fenetre->LQuestAPoser->text() + Fenetre->Bouton->text();
        }
        valideDerriere = Fenetre->Bouton->text() != QLatin1String("Valider") || Boites.size() > 1;
      }
      return QMessageBox::Ok;
    };
    if (preferences) {
      TFormPreferences& d = *Fenetre->FormPreferences;
      QTimer::singleShot(0, &d, [&d] {
        d.EHost->clear();
        d.BTestCon->click();
        d.reject();
      });
      Fenetre->MenuPreferencesClick();
    } else {
      Fenetre->MenuAProposClick();
    }
    Fenetre->BoiteMessage = BoitesNotees();
    QVERIFY(chronoActifDerriere);
    QVERIFY(!valideDerriere);
    QCOMPARE(afficheDerriere, QStringLiteral("35Valider"));
    QCOMPARE(Boites[0].Icone, preferences ? QMessageBox::Warning : QMessageBox::Information);
    if (!reste.isEmpty()) {
      QCOMPARE(Boites.size(), 1);
      QCOMPARE(Fenetre->LQuestAPoser->text(), reste);
      QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Valider"));
      QVERIFY(Fenetre->Chrono->isActive());
    } else {
      QCOMPARE(Boites.size(), 2);
      QCOMPARE(Boites[1].Texte, QStringLiteral("Temps écoulé !"));
      QCOMPARE(Fenetre->LResultat->text(), QStringLiteral("Temps écoulé !"));
      QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Continuer"));
      QVERIFY(!Fenetre->Chrono->isActive());
    }
  }

  // The stored family is not installed: the font dialog opens on the family the fields show.
  void DialoguePoliceSurLaPoliceAffichee() {
    R.PoliceChamps = "Police Introuvable Orvaline";
    Cree();
    QFont recue;
    Fenetre->FormPreferences->DialoguePolice = [&recue](QFont& police) {
      recue = police;
      return true;  // OK without a choice
    };
    const QString affichee = QFontInfo(Fenetre->MQuestion->font()).family();
    QVERIFY(affichee != QStringLiteral("Police Introuvable Orvaline"));
    Preferences([](TFormPreferences& d) {
      d.BPolice->click();
      d.BOK->click();
    });
    QCOMPARE(recue.family(), affichee);
    QCOMPARE(recue.pointSize(), Fenetre->MQuestion->font().pointSize());
    for (QWidget* w : {static_cast<QWidget*>(Fenetre->MQuestion), static_cast<QWidget*>(Fenetre->EReponse)})
      QCOMPARE(QFontInfo(w->font()).family(), affichee);
  }

  // Every edit keeps a text longer than Qt's default limit whole, when OK stores it because
  // another control changed.
  void PreferencesTextesLongs() {
    const std::string long40000 = std::string(39999, 'a') + "\xE9";
    const std::pair<QLineEdit* TFormPreferences::*, std::string TReglages::*> champs[] = {
        {&TFormPreferences::Egood, &TReglages::MessageBon},   {&TFormPreferences::Ebad, &TReglages::MessageMauvais},
        {&TFormPreferences::EMean, &TReglages::MessageMoyen}, {&TFormPreferences::Eor, &TReglages::Conjonction},
        {&TFormPreferences::Exdelim, &TReglages::Ponctuation}, {&TFormPreferences::Eignor, &TReglages::MotsIgnores},
        {&TFormPreferences::EHost, &TReglages::HoteFeuilleNotes}};
    for (const auto& [edition, reglage] : champs) R.*reglage = long40000;
    Cree();
    QVERIFY(Preferences([&](TFormPreferences& d) {
      for (const auto& [edition, reglage] : champs) QCOMPARE((d.*edition)->text().size(), 40000);
      d.CBMaxHun->toggle();
      d.BOK->click();
    }));
    for (const auto& [edition, reglage] : champs) QCOMPARE(R.*reglage, long40000);
  }

  // Each showing puts the focus on the first control of the tab shown; Tab walks the page's
  // controls in reading order, then OK and Annuler, the tabs and round again.
  void PreferencesFocusEtTabulation_data() {
    QTest::addColumn<int>("onglet");
    QTest::addColumn<QStringList>("parcours");  // the focus at show, then after each Tab
    QTest::newRow("Messages") << 0 << QStringList{"Egood", "Ebad", "EMean", "BOK", "BAnnuler", "Onglets", "Egood"};
    QTest::newRow("Options") << 1 << QStringList{"Eor", "Exdelim", "Eignor", "BOK", "BAnnuler", "Onglets", "Eor"};
    QTest::newRow("Feuille de Notes")
        << 2 << QStringList{"EHost", "BTestCon", "CBMaxHun", "CBRepUnf", "BOK", "BAnnuler", "Onglets", "EHost"};
    QTest::newRow("Affichage") << 3
                               << QStringList{"EPolice", "BPolice", "CBMenuFichier", "CBMenuPartie",
                                              "BOK",     "BAnnuler", "Onglets",     "EPolice"};
  }
  void PreferencesFocusEtTabulation() {
    QFETCH(int, onglet);
    QFETCH(QStringList, parcours);
    Cree();
    // Twice: the second showing, on the same tab, starts again from its first control.
    for (int fois = 0; fois < 2; ++fois) {
      Fenetre->FormPreferences->PageControl1->setCurrentIndex(onglet);
      QStringList vu;
      Preferences([&vu, &parcours](TFormPreferences& d) {
        // The dialog's own focus, which it has whenever it is the active window.
        for (int i = 0; i < parcours.size(); ++i) {
          QWidget* focus = d.focusWidget();
          vu << (focus ? focus->objectName() : QStringLiteral("(aucun)"));
          if (focus) QTest::keyClick(focus, Qt::Key_Tab);
        }
      });
      QCOMPARE(vu, parcours);
    }
  }

  // A fixed border with the system menu and the minimise button, no maximise.
  void BordureDeLaFenetre() {
    Cree();
    const Qt::WindowFlags drapeaux = Fenetre->windowFlags();
    QVERIFY(drapeaux.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(drapeaux.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!drapeaux.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(Fenetre->minimumSize(), Fenetre->maximumSize());
  }

  void PreferencesOKSansChangement() {
    Cree();
    const TReglages avant = R;
    QVERIFY(!Preferences([](TFormPreferences& d) { d.BOK->click(); }));
    QVERIFY(!Fenetre->Joueur.PreferencesModifiees);
    QCOMPARE(R.Conjonction, avant.Conjonction);
    // A character typed and deleted again is a change.
    QVERIFY(Preferences([](TFormPreferences& d) {
      QTest::keyClick(d.Egood, Qt::Key_X);
      QTest::keyClick(d.Egood, Qt::Key_Backspace);
      d.BOK->click();
    }));
    QVERIFY(Fenetre->Joueur.PreferencesModifiees);
    QCOMPARE(R.MessageBon, avant.MessageBon);
    Fenetre->close();
    QVERIFY(ValeurEcrite("good"));
    QVERIFY(ValeurEcrite("mnplay"));
    QVERIFY(!ValeurEcrite("host"));  // empty: deleted
  }

  void PreferencesValeursStockees() {
    Cree();
    Ouvre("Capitales.xkqq");
    QVERIFY(Preferences([](TFormPreferences& d) {
      QCOMPARE(d.windowTitle(), QStringLiteral("Préférences"));
      QCOMPARE(d.Eor->text(), QStringLiteral("ou"));
      d.Eor->setText(QStringLiteral(" et  "));
      d.Exdelim->setText(QStringLiteral("; , ."));
      d.Eignor->setText(QStringLiteral("le  la"));
      d.EHost->setText(QStringLiteral("   "));
      d.CBRepUnf->setChecked(true);
      d.CBMenuFichier->setChecked(true);
      d.BOK->click();
    }));
    QCOMPARE(R.Conjonction, std::string("et"));
    QCOMPARE(R.Ponctuation, std::string(";,."));
    QCOMPARE(R.MotsIgnores, std::string("le  la"));
    QCOMPARE(R.HoteFeuilleNotes, std::string());
    QVERIFY(R.RapporteInterrompues);
    QVERIFY(R.MenuFichierEnPartie);
    // The open questionnaire is judged as before.
    QCOMPARE(Fenetre->Joueur.Jeu().Contexte().OuVisible, std::string("ou"));
    // Refilled from the settings at the next showing; a host of spaces tests as none.
    Preferences([this](TFormPreferences& d) {
      QCOMPARE(d.Eor->text(), QStringLiteral("et"));
      d.EHost->setText(QStringLiteral("  "));
      d.BTestCon->click();
      QCOMPARE(Boites.size(), 1);
      QCOMPARE(Boites[0].Icone, QMessageBox::Warning);
      QCOMPARE(Boites[0].Texte, QStringLiteral("Pour utiliser la Feuille de Notes, vous devez indiquer\n"
                                               "le nom de l'ordinateur où elle est exécutée."));
      QVERIFY(d.isVisible());
    });
  }

  void PreferencesPolice() {
    Cree();
    Fenetre->FormPreferences->DialoguePolice = [](QFont& police) {
      police = QFont(QStringLiteral("DejaVu Serif"), 14);
      return true;
    };
    QVERIFY(Preferences([](TFormPreferences& d) {
      QCOMPARE(d.EPolice->text(), d.EPolice->font().family());
      d.BPolice->click();
      QCOMPARE(d.EPolice->text(), QStringLiteral("DejaVu Serif"));
      d.BOK->click();
    }));
    QCOMPARE(R.PoliceChamps, std::string("DejaVu Serif"));
    QCOMPARE(R.TaillePoliceChamps, 14);
    for (QWidget* w : {static_cast<QWidget*>(Fenetre->ETitre), static_cast<QWidget*>(Fenetre->MQuestion),
                       static_cast<QWidget*>(Fenetre->MReponse), static_cast<QWidget*>(Fenetre->EReponse)}) {
      QCOMPARE(w->font().family(), QStringLiteral("DejaVu Serif"));
      QCOMPARE(w->font().pointSize(), 14);
    }
    QVERIFY(Fenetre->Joueur.PreferencesModifiees);
  }

  void TestConnexion() {
    Cree();
    auto teste = [this](const QString& hote) {
      Boites.clear();
      Preferences([&hote](TFormPreferences& d) {
        d.EHost->setText(hote);
        d.BTestCon->click();
      });
      return Boites.size() == 1 ? Boites[0] : Boite{QMessageBox::NoIcon, QString()};
    };
    {
      TFeuille feuille;
      Fenetre->Joueur.Client.Port = feuille.Port();
      const Boite b = teste(QStringLiteral(" localhost "));
      QCOMPARE(b.Icone, QMessageBox::Information);
      QCOMPARE(b.Texte, QStringLiteral("Connexion établie avec la Feuille de Notes."));
      QVERIFY(feuille.Lignes().empty());
      QCOMPARE(Fenetre->Joueur.Client.Hote, std::string("localhost"));
    }
    // The score sheet stopped: nothing listens on its port any more.
    Fenetre->Joueur.Client.Port = test_reseau::PortLibre();
    Boite b = teste(QStringLiteral("localhost"));
    QCOMPARE(b.Icone, QMessageBox::Warning);
    QCOMPARE(b.Texte, QStringLiteral("La Feuille de Notes n'est pas exécutée sur l'ordinateur \"localhost\"."));
    // A name that does not resolve, told by the resolver rather than by any network.
    Fenetre->Joueur.Client.Resolveur = [](const QString&) {
      QHostInfo info;
      info.setError(QHostInfo::HostNotFound);
      return info;
    };
    b = teste(QStringLiteral("poste-absent"));
    QCOMPARE(b.Icone, QMessageBox::Critical);
    QCOMPARE(b.Texte, QStringLiteral("L'ordinateur \"poste-absent\" n'est pas sur le réseau."));
    Fenetre->Joueur.Client.Resolveur = nullptr;
    // A peer that accepts and never greets: the wait is bounded.
    test_reseau::TEcouteBrute muet;
    Fenetre->Joueur.Client.Port = muet.Port();
    Fenetre->Joueur.Client.DelaiReponse = 300;
    b = teste(QStringLiteral("127.0.0.1"));
    QCOMPARE(b.Icone, QMessageBox::Critical);
    QCOMPARE(b.Texte, QStringLiteral("La Feuille de Notes ne répond pas."));
  }

  void QuestionnaireVide() {
    const QString vide = Dossier.filePath("vide.xkqq");
    QFile f(vide);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ORVALINE VERSION=\"7.8\" TYPE=\"Q\">\n"
            "<TITRE>Vide</TITRE>\n</ORVALINE>\n");
    f.close();
    Cree();
    QVERIFY(Fenetre->Joueur.OuvreQuiz(QFile::encodeName(vide).toStdString()));
    Touche(Qt::Key_Return);
    QCOMPARE(Boites.size(), 1);
    QCOMPARE(Boites[0].Icone, QMessageBox::Critical);
    QCOMPARE(Boites[0].Texte, QStringLiteral("Oups ! Il n'y a aucune question dans ce questionnaire !"));
    QVERIFY(Fenetre->Joueur.QuizOuvert() == nullptr);
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Ouvrir"));
    QCOMPARE(Fenetre->LInstruction->text(), QStringLiteral("Bonne journée !"));
  }

  void FermetureRefuseePendantUnePartie() {
    Cree();
    Ouvre("Capitales.xkqq");
    Touche(Qt::Key_Return);
    Reponse = QMessageBox::Cancel;
    QVERIFY(!Fenetre->close());
    QVERIFY(Fenetre->isVisible());
    QCOMPARE(Fenetre->Bouton->text(), QStringLiteral("Valider"));
    QVERIFY(!ValeurEcrite("opened"));
    Reponse = QMessageBox::Ok;
    QVERIFY(Fenetre->close());
    QVERIFY(ValeurEcrite("opened"));
  }
};

QTEST_MAIN(TestFenetreJeu)
#include "fenetre_qtest.moc"
