// The editor's main window on the offscreen platform: a whole edit by keyboard (a new
// questionnaire, three cards, stepping, saving, closing, reopening from the Fichier menu), the
// shortcuts that Qt's edits would keep for themselves, hidden and disabled items, the open
// dialog's read-only box, the save dialog without its own overwrite question, and a window size
// from the settings that does not fit the screen.

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include "cards/KorXml.h"
#include "editor/fenetres/KorFenetreFiche.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"
#include "tests/editor/BancFenetre.h"

using banc::Tape;
using banc::Touche;
using banc::Utf8;

namespace {

// A questionnaire of n cards "qk" / "rk" written at chemin.
void EcritQuestionnaire(const QString& chemin, int n) {
  std::vector<std::array<std::string, 3>> fiches;
  for (int k = 1; k <= n; ++k) fiches.push_back({"t", "q" + std::to_string(k), "r" + std::to_string(k)});
  banc::EcritFiches(chemin, 'Q', fiches);
}

}  // namespace

class TestFenetreFiche : public QObject {
  Q_OBJECT

  // Unexpected message boxes fail the test.
  static void SansMessage(TFormFiche& f) {
    f.BoiteMessage = [](QMessageBox::Icon, const QString&, const QString& texte, QMessageBox::StandardButtons) {
      qWarning() << "unexpected message box:" << texte;
      [] { QFAIL("unexpected message box"); }();
      return QMessageBox::Cancel;
    };
  }

 private slots:
  void initTestCase() { FixeLocale("fr_FR"); }

  void editionCompleteAuClavier() {
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("Géographie.xkqq"));
    TReglages r;
    r.TypesUtilises = "RNLQM";
    TFormFiche f({}, r);
    SansMessage(f);
    QStringList typesProposes;
    f.BoiteNouveau = [&](const QStringList& types, int& index) {
      typesProposes = types;
      index = static_cast<int>(types.indexOf(QStringLiteral("Questionnaire")));
      return true;
    };
    int sauvegardes = 0;
    QString extensionProposee;
    std::string premierFiltre;
    f.BoiteSauver = [&](const std::vector<TFiltre>& filtres, const QString& extension, const QString&,
                        TChoixSauvegarde& choix) {
      ++sauvegardes;
      extensionProposee = extension;
      premierFiltre = TexteFiltre(filtres.at(0));
      choix.Nom = Utf8(chemin);
      choix.Filtre = 0;
      return true;
    };
    QVERIFY(banc::Montre(f));
    QCOMPARE(f.windowTitle(), QStringLiteral("Orvaline : micro Base de Données"));
    QVERIFY(!f.Action(EItem::Edition1)->isVisible());

    Touche(f, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(typesProposes.size(), 5);
    QCOMPARE(f.windowTitle(), QStringLiteral("KorEdit - (Nouveau fichier)"));
    QVERIFY(f.Action(EItem::Edition1)->isVisible());
    QCOMPARE(f.PTitre->text(), QStringLiteral("Intitulé"));
    QCOMPARE(f.Disposition().RatioQuestion, 9);
    const QList<int> tailles = f.Splitter1->sizes();
    QVERIFY2(tailles[0] > 2 * tailles[1], "field 1 takes nine twelfths");

    for (int k = 1; k <= 3; ++k) {
      Touche(f, Qt::Key_F4);
      QVERIFY(f.Editeur.GetNouvelleFicheEnCours());
      QCOMPARE(f.Editeur.GetIndexCourant(), k - 1);
      Tape(f.ETitre, QStringLiteral("Fleuves"));
      Tape(f.MQuestion, QStringLiteral("Où coule le fleuve n°%1 ?").arg(k));
      Tape(f.MReponse, QStringLiteral("réponse %1").arg(k));
    }
    QCOMPARE(f.Editeur.GetFichierCourant()->GetNombreFiches(), 3);
    Touche(f, Qt::Key_F7);  // validates the third card, shows the second
    QCOMPARE(f.Editeur.GetIndexCourant(), 1);
    QCOMPARE(f.MQuestion->toPlainText(), QStringLiteral("Où coule le fleuve n°2 ?"));
    Touche(f, Qt::Key_F8);
    QCOMPARE(f.MReponse->toPlainText(), QStringLiteral("réponse 3"));
    QCOMPARE(f.Editeur.GetFichierCourant()->Fiche(2).Champ1, "Où coule le fleuve n°3 ?"_a);
    QVERIFY(!f.Bouton(EItem::BSuivant)->isEnabled());
    QVERIFY(f.Bouton(EItem::BPrecedent)->isEnabled());

    Touche(f, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(sauvegardes, 1);
    QCOMPARE(extensionProposee, QStringLiteral("xkqq"));
    QCOMPARE(premierFiltre, std::string("XML|*.xkqq"));
    QVERIFY(QFileInfo::exists(chemin));
    QCOMPARE(f.windowTitle(), QStringLiteral("KorEdit - ") + chemin);
    Touche(f, Qt::Key_S, Qt::ControlModifier);  // not modified: nothing to save
    QCOMPARE(sauvegardes, 1);

    Touche(f, Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(f.windowTitle(), QStringLiteral("KorEdit"));
    QCOMPARE(f.ETitre->text(), QStringLiteral("(Pas de fichier chargé)"));
    QCOMPARE(r.FichierOuvert, Utf8(chemin));
    QCOMPARE(r.NumeroFicheOuvert, 2);
    QCOMPARE(r.TypesUtilises.front(), 'Q');

    // Read back by the player's reader.
    {
      const auto quiz = LitFichierXML(Utf8(chemin), false, true, EVarianteModele::Questionnaire, r);
      QCOMPARE(quiz->GetNombreFiches(), 3);
      QCOMPARE(quiz->Fiche(0).Champ2, "réponse 1"_a);
    }

    // The Fichier menu offers it again, and reopens it on the remembered card.
    emit f.Menu(EItem::Fichier1)->aboutToShow();
    QAction* ouvert = f.Action(EItem::Ouvert1);
    QVERIFY(ouvert->isVisible());
    QCOMPARE(ouvert->text(), QStringLiteral("Géographie.xkqq"));
    QVERIFY(!f.Action(EItem::Sauver1)->isEnabled());
    ouvert->trigger();
    QVERIFY(f.Editeur.GetFichierCourant());
    QCOMPARE(f.Editeur.GetIndexCourant(), 2);
    QCOMPARE(f.MQuestion->toPlainText(), QStringLiteral("Où coule le fleuve n°3 ?"));
    emit f.Menu(EItem::Fichier1)->aboutToShow();
    QVERIFY(!ouvert->isVisible());
    f.close();
    QVERIFY(!f.isVisible());
    QVERIFY(r.FichierOuvertEnQuittant);
  }

  void raccourcisPrisAvantLesChamps() {
    banc::TBanc b;
    const std::string chemin = Utf8(b.Chemin(QStringLiteral("q.xkqq")));
    EcritQuestionnaire(b.Chemin(QStringLiteral("q.xkqq")), 2);
    TFormFiche& f = b.Cree();
    SansMessage(f);
    QVERIFY(f.Editeur.OuvreFichier(chemin, 0, true, true, true));
    QSignalSpy annuler(f.Action(EItem::Annuler1), &QAction::triggered);
    QSignalSpy pressePapiers(f.Action(EItem::PressePapiers1), &QAction::triggered);

    // Nothing typed: "Annuler modification" is disabled and Ctrl+Z is the edit's own.
    f.MReponse->setFocus();
    Touche(f, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(annuler.count(), 0);

    Tape(f.MReponse, QStringLiteral("abc"));
    QVERIFY(f.Modifie(EChamp::MReponse));
    Touche(f, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(annuler.count(), 1);
    f.ETitre->setFocus();
    Touche(f, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(pressePapiers.count(), 1);

    // A text put in by the program is not a modification.
    f.Editeur.AfficheFiche(1);
    QVERIFY(!f.Modifie(EChamp::MReponse));
    QVERIFY(!f.Modifie(EChamp::MQuestion));
    QCOMPARE(f.MReponse->toPlainText(), QStringLiteral("r2"));

    // A hidden item runs by its shortcut when it is enabled: "Nouveau d'après modèle" outside a questionnaire.
    // A new Répertoire closed: R is the type proposed.
    f.BoiteNouveau = [](const QStringList& types, int& index) {
      index = static_cast<int>(types.indexOf(QStringLiteral("Répertoire")));
      return true;
    };
    f.Editeur.ExecuteItem(EItem::Nouveau1);
    f.Editeur.FermeFichier();
    QCOMPARE(f.Editeur.GetTypeCourant(), 'R');
    int ouvertures = 0;
    f.BoiteOuvrir = [&](const std::vector<TFiltre>&, const QString&, const QString&, TChoixOuverture&) {
      ++ouvertures;
      return false;
    };
    Touche(f, Qt::Key_M, Qt::ControlModifier);
    QVERIFY(!f.Action(EItem::Modele1)->isVisible());
    QCOMPARE(ouvertures, 1);
    // Without a file, the Edition menu's keys run nothing.
    Touche(f, Qt::Key_F8);
    Touche(f, Qt::Key_F4);
    QVERIFY(!f.Editeur.GetFichierCourant());
  }

  void champUneLigne() {
    banc::TBanc b;
    const std::string chemin = Utf8(b.Chemin(QStringLiteral("r.xkqr")));
    {
      TReglages r;
      TFichierX rep('R', 'x', EVarianteModele::Complet, r);
      rep.AjouteFiche("", "Durand", "Rue des Lilas");
      EcritFichierXML(rep, chemin, true, r);
    }
    TFormFiche& f = b.Cree();
    SansMessage(f);
    QVERIFY(f.Editeur.OuvreFichier(chemin, 0, true, true, true));
    QVERIFY(f.Disposition().ChampUneLigne);
    QVERIFY(!f.Splitter1->handle(1)->isEnabled());
    QVERIFY(f.Panel2->height() <= f.ETitre->sizeHint().height() + 2);
    QVERIFY(!f.MReponse->tabChangesFocus());
    // Return adds no line to a one-line field 1.
    f.MQuestion->setFocus();
    QTest::keyClick(f.MQuestion, Qt::Key_Return);
    QCOMPARE(f.MQuestion->toPlainText(), QStringLiteral("Durand"));
  }

  void dialogueOuvrirAvecLectureSeule() {
    banc::TBanc b;
    const QString chemin = b.Chemin(QStringLiteral("q.xkqq"));
    EcritQuestionnaire(chemin, 1);
    b.Reglages.TypesUtilises = "QRNLM";  // the type proposed at start-up
    TFormFiche& f = b.Cree();
    SansMessage(f);
    QVERIFY(banc::Montre(f));
    QTRY_COMPARE(f.Editeur.GetTypeCourant(), 'Q');
    QStringList filtres;
    QString depart;
    QTimer::singleShot(0, &f, [&] {
      auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(d);
      filtres = d->nameFilters();
      depart = d->directory().canonicalPath();
      QVERIFY(!d->testOption(QFileDialog::DontConfirmOverwrite));
      auto* boite = d->findChild<QCheckBox*>();
      QVERIFY(boite);
      boite->setChecked(true);
      d->setDirectory(b.Dossier.path());
      d->selectNameFilter(filtres.at(0));
      d->selectFile(chemin);
      QMetaObject::invokeMethod(d, "accept");
    });
    f.Editeur.ExecuteItem(EItem::Ouvrir1);
    QCOMPARE(depart, QDir::home().canonicalPath());  // no file open or remembered
    QCOMPARE(filtres.value(0), QStringLiteral("Questionnaire (*.xkqq *.kqq)"));
    QCOMPARE(filtres.last(), QStringLiteral("Tous (*)"));
    QVERIFY(f.Editeur.GetFichierCourant());
    QVERIFY(!f.Editeur.GetFichierCourant()->FModifiable);
    QVERIFY(f.MReponse->isReadOnly());

    // The save dialog asks nothing itself before writing over a file.
    bool sansQuestion = false;
    QTimer::singleShot(0, &f, [&] {
      auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(d);
      sansQuestion = d->testOption(QFileDialog::DontConfirmOverwrite);
      d->reject();
    });
    f.Editeur.ExecuteItem(EItem::Sauversous1);
    QVERIFY(sansQuestion);
  }

  // The open dialog starts in the open file's folder, else in the remembered file's, else in the
  // user's home: never in the folder the editor was started from.
  void dossierDuDialogueOuvrir_data() {
    QTest::addColumn<QString>("ouvert");    // "A": a file of folder A; "nouveau": a new file; "": none
    QTest::addColumn<QString>("memorise");  // the remembered file's folder: "B", "disparu" (removed), "": none
    QTest::addColumn<QString>("attendu");   // "A", "B", or "maison" for the user's home
    QTest::newRow("rien") << "" << "" << "maison";
    QTest::newRow("fichier ouvert") << "A" << "B" << "A";
    QTest::newRow("fichier mémorisé") << "" << "B" << "B";
    QTest::newRow("nouveau fichier") << "nouveau" << "B" << "B";
    QTest::newRow("dossier disparu") << "" << "disparu" << "maison";
  }
  void dossierDuDialogueOuvrir() {
    QFETCH(QString, ouvert);
    QFETCH(QString, memorise);
    QFETCH(QString, attendu);
    QTemporaryDir racine;
    const QString a = racine.filePath(QStringLiteral("A")), b = racine.filePath(QStringLiteral("B"));
    QVERIFY(QDir().mkpath(a) && QDir().mkpath(b));
    const QString fichierA = a + QStringLiteral("/a.xkqq");
    EcritQuestionnaire(fichierA, 1);
    EcritQuestionnaire(b + QStringLiteral("/b.xkqq"), 1);
    TReglages r;
    r.OuvrirAuDemarrage = false;
    if (!memorise.isEmpty()) r.FichierOuvert = Utf8(racine.filePath(memorise + QStringLiteral("/b.xkqq")));
    TFormFiche f({}, r);
    SansMessage(f);
    QVERIFY(banc::Montre(f));
    if (ouvert == QStringLiteral("A")) QVERIFY(f.Editeur.OuvreFichier(Utf8(fichierA), 0, true, true, true));
    if (ouvert == QStringLiteral("nouveau")) {
      f.BoiteNouveau = [](const QStringList&, int& index) {
        index = 0;
        return true;
      };
      f.Editeur.ExecuteItem(EItem::Nouveau1);
      QVERIFY(f.Editeur.GetFichierCourant());
    }
    QString dossier;
    f.BoiteOuvrir = [&](const std::vector<TFiltre>&, const QString&, const QString& d, TChoixOuverture&) {
      dossier = d;
      return false;
    };
    f.Editeur.ExecuteItem(EItem::Ouvrir1);
    const QString voulu = attendu == QStringLiteral("A") ? a : attendu == QStringLiteral("B") ? b : QDir::homePath();
    QCOMPARE(QDir(dossier).canonicalPath(), QDir(voulu).canonicalPath());
  }

  void fichierAuDemarrage() {
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("q.xkqq"));
    EcritQuestionnaire(chemin, 3);
    const QString absent = dossier.filePath(QStringLiteral("absent.xkqq"));
    struct Cas {
      QStringList Arguments;
      std::string Ouvert;
      bool OuvertEnQuittant;
      bool Charge;
      int Messages;
    } table[] = {
        {{chemin}, "", false, true, 0},             // the command line
        {{}, Utf8(chemin), true, true, 0},          // the file open when the editor last closed
        {{}, Utf8(chemin), false, false, 0},        // closed before quitting: not reopened
        {{absent}, "", false, false, 1},            // a command-line file that fails is told
        {{}, Utf8(absent), true, false, 0},         // a reopen that fails is silent
    };
    for (const Cas& c : table) {
      TReglages r;
      r.FichierOuvert = c.Ouvert;
      r.NumeroFicheOuvert = 1;
      r.FichierOuvertEnQuittant = c.OuvertEnQuittant;
      TFormFiche f(c.Arguments, r);
      int messages = 0;
      f.BoiteMessage = [&](QMessageBox::Icon, const QString&, const QString&, QMessageBox::StandardButtons) {
        ++messages;
        return QMessageBox::Ok;
      };
      QVERIFY(banc::Montre(f));
      QTRY_COMPARE(f.Editeur.GetFichierCourant() != nullptr || messages > 0 || f.Editeur.GetTypeCourant() != '?', true);
      QCOMPARE(f.Editeur.GetFichierCourant() != nullptr, c.Charge);
      QCOMPARE(messages, c.Messages);
      if (c.Charge) {
        QCOMPARE(f.Editeur.GetIndexCourant(), c.Arguments.isEmpty() ? 1 : 0);
      } else {
        QCOMPARE(f.Editeur.GetTypeCourant(), 'R');
      }
      f.Editeur.FermeFichier();
    }
  }

  void tailleDeLaFenetre_data() {
    QTest::addColumn<int>("largeur");
    QTest::addColumn<int>("hauteur");
    QTest::newRow("défaut") << 607 << 367;
    QTest::newRow("nulle") << 0 << 0;
    QTest::newRow("négative") << -40 << -3;
    QTest::newRow("plus grande que l'écran") << 100000 << 80000;
    QTest::newRow("minuscule") << 3 << 2;
  }
  void tailleDeLaFenetre() {
    QFETCH(int, largeur);
    QFETCH(int, hauteur);
    TReglages r;
    r.LargeurFenetre = largeur;
    r.HauteurFenetre = hauteur;
    TFormFiche f({}, r);
    SansMessage(f);
    QVERIFY(banc::Montre(f));
    const QRect ecran = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(ecran.contains(f.frameGeometry()),
             qPrintable(QStringLiteral("%1,%2 %3x%4").arg(f.x()).arg(f.y()).arg(f.width()).arg(f.height())));
    QVERIFY(f.centralWidget()->width() >= 400);
    QVERIFY(f.centralWidget()->height() >= 150);
    for (EItem b : {EItem::BPrecedent, EItem::BChercher}) QVERIFY(f.Bouton(b)->isVisible());
    if (largeur == 607) {
      QCOMPARE(f.centralWidget()->size(), QSize(607, 367));
    }
  }
};

QTEST_MAIN(TestFenetreFiche)
#include "fenetre_qtest.moc"
