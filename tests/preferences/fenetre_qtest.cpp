// The preferences window on the offscreen platform: its captions, its size and what fits in it,
// the tabs of each group and Ctrl+B sent as the system sends keys, the type list typed and the
// boxes clicked, OK writing what the player then reads, the failures of the store told in a box,
// Défaut's confirmation, the font dialog and the help page.

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <memory>
#include <string>

#include "cards/KorInit.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"
#include "platform/Registre.h"
#include "player/fenetres/KorFenetreJeu.h"
#include "preferences/fenetres/KorFenetrePreferences.h"

namespace {

struct Boite {
  QMessageBox::Icon Icone;
  QString Titre;
  QString Texte;
};

std::optional<std::string> Stocke(const std::string& nom) {
  TRegistre reg;
  if (!reg.OuvreCle("Software\\Orvaline", false)) return std::nullopt;
  return reg.LitTexte(nom);
}

void Stocke(const std::string& nom, const std::string& valeur) {
  TRegistre reg;
  QVERIFY(reg.OuvreCle("Software\\Orvaline"));
  reg.EcritTexte(nom, valeur);
}

}  // namespace

class TestFenetrePreferences : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir Dossier;
  QString Fichier;
  TReglages Lus;
  std::unique_ptr<TKorPref> Fenetre;
  QList<Boite> Boites;
  QMessageBox::StandardButton Reponse = QMessageBox::Ok;

  // The program's start: its share read, then the window.
  void Demarre() {
    Lus = TReglages();
    LitPreferences(Lus, EPartReglages::Preferences);
    Fenetre = std::make_unique<TKorPref>(Lus);
    Fenetre->BoiteMessage = [this](QMessageBox::Icon icone, const QString& titre, const QString& texte,
                                   QMessageBox::StandardButtons) {
      Boites.append({icone, titre, texte});
      return Reponse;
    };
    Fenetre->show();
    QVERIFY(QTest::qWaitForWindowExposed(Fenetre.get()));
    Fenetre->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Fenetre.get()));
  }

  // A key as the system delivers it: to the window first.
  void Touche(Qt::Key cle, Qt::KeyboardModifiers modificateurs = Qt::NoModifier) {
    QTest::keyClick(Fenetre->windowHandle(), cle, modificateurs);
  }

  // The help page beside the program, its openings noted instead of shown.
  void AideNotee(QList<QUrl>& ouvertes) {
    Fenetre->Aide = TAide(QStringLiteral("KorPrefer.chm"), [&ouvertes](const QUrl& url) {
      ouvertes << url;
      return true;
    });
    Fenetre->Aide.FixeDossiers({QStringLiteral(ORVALINE_SOURCE_DIR "/programs/aide")});
  }

  // The captions of the tabs shown, in page order.
  QStringList OngletsVisibles() const {
    QStringList onglets;
    for (int i = 0; i < Fenetre->PageControl->count(); ++i)
      if (Fenetre->PageControl->isTabVisible(i)) onglets << Fenetre->PageControl->tabText(i);
    return onglets;
  }

  // Every control of the page lies inside it and has the room its text needs.
  static void VerifieQueToutTient(QWidget* page) {
    const QString onglet = page->objectName();
    for (QWidget* w : page->findChildren<QWidget*>()) {
      if (!w->isVisibleTo(page)) continue;
      const QRect zone(w->mapTo(page, QPoint(0, 0)), w->size());
      QVERIFY2(page->rect().contains(zone), qPrintable(onglet + ": " + w->metaObject()->className()));
      QString texte;
      bool tient = true;
      if (auto* l = qobject_cast<QLabel*>(w)) {
        texte = l->text();
        tient = l->wordWrap() ? l->heightForWidth(l->width()) <= l->height()
                              : l->sizeHint().width() <= l->width();
      } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
        texte = c->text();
        tient = c->heightForWidth(c->width()) <= c->height() && c->minimumSizeHint().width() <= c->width();
      } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        texte = b->text();
        tient = b->sizeHint().width() <= b->width();
      } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        texte = g->title();
        tient = g->fontMetrics().horizontalAdvance(g->title()) < g->width();
      }
      QVERIFY2(tient, qPrintable(texte));
    }
  }

 private slots:
  void initTestCase() {
    FixeLocale("fr_FR");
    QVERIFY(Dossier.isValid());
    Fichier = Dossier.filePath(QStringLiteral("Orvaline.ini"));
    qputenv("ORVALINE_REGISTRE", QFile::encodeName(Fichier));
  }

  void init() {
    QFile::remove(Fichier);
    qputenv("ORVALINE_REGISTRE", QFile::encodeName(Fichier));
    Boites.clear();
    Reponse = QMessageBox::Ok;
  }

  void cleanup() { Fenetre.reset(); }

  void LaFenetreEtSesLegendes() {
    Demarre();
    QCOMPARE(Fenetre->windowTitle(), QStringLiteral("KorPrefer v7.8.2"));
    QCOMPARE(Fenetre->size(), QSize(480, 276));
    QCOMPARE(Fenetre->minimumSize(), Fenetre->maximumSize());
    QStringList onglets;
    for (int i = 0; i < Fenetre->PageControl->count(); ++i) onglets << Fenetre->PageControl->tabText(i);
    QCOMPARE(onglets, (QStringList{"Messages", "Options", "Menus", "Feuille de Notes", "Affichage", "Types",
                                   "XML", "Moodle", "Texte/CSV"}));
    // The buttons, left to right.
    const QList<QPushButton*> boutons{Fenetre->BOK, Fenetre->BAnnuler, Fenetre->Baide, Fenetre->BDefaut};
    QStringList legendes;
    for (int i = 0; i < boutons.size(); ++i) {
      legendes << boutons[i]->text();
      if (i > 0) QVERIFY(boutons[i]->x() > boutons[i - 1]->x());
    }
    QCOMPARE(legendes, (QStringList{"OK", "Annuler", "Aide", "Défaut"}));
    QVERIFY(Fenetre->BOK->hasFocus());
    QCOMPARE(Fenetre->CBMcqFormat->count(), 5);
    QCOMPARE(Fenetre->CBMcqFormat->itemText(0), QStringLiteral("[défaut]"));
    QCOMPARE(Fenetre->LComma->text(),
             QStringLiteral("Laisser blanc pour point-virgule\n\\t pour tabulation, \\s pour espace"));
    QCOMPARE(Fenetre->EPolice->text(), QStringLiteral("Lucida Sans Typewriter"));
    QCOMPARE(Fenetre->EPoliceL->text(), QStringLiteral("MS Reference Sans Serif"));
    QCOMPARE(Fenetre->CBCtrlA->text(),
             QStringLiteral("Ctrl+A permet au candidat de forcer l'acceptation d'une réponse fausse"));
  }

  void LaNoteDuSeparateurSuitLaLocale() {
    FixeLocale("en_US");
    Demarre();
    FixeLocale("fr_FR");
    QCOMPARE(Fenetre->LComma->text(), QStringLiteral("Laisser blanc pour virgule\n\\t pour tabulation, \\s pour espace"));
  }

  // Every tab of both groups: each control inside its page, each caption with its room.
  void ToutEstLisible() {
    Demarre();
    for (bool jeu : {false, true}) {
      for (int i = 0; i < Fenetre->PageControl->count(); ++i) {
        if (!Fenetre->PageControl->isTabVisible(i)) continue;
        Fenetre->PageControl->setCurrentIndex(i);
        QWidget* page = Fenetre->PageControl->widget(i);
        page->setObjectName(Fenetre->PageControl->tabText(i));
        QTest::qWait(1);
        VerifieQueToutTient(page);
        if (QTest::currentTestFailed()) return;
      }
      QCOMPARE(Fenetre->Preferences.ModeJeu(), jeu);
      Touche(Qt::Key_B, Qt::ControlModifier);
    }
    QCOMPARE(Fenetre->PageControl->tabBar()->sizeHint().width() <= Fenetre->PageControl->width(), true);
  }

  void OngletsEtCtrlB_data() {
    QTest::addColumn<QString>("types");
    QTest::addColumn<bool>("jeu");
    QTest::newRow("Q en tete") << "QRN" << true;
    QTest::newRow("R en tete") << "RNLQM" << false;
  }
  void OngletsEtCtrlB() {
    QFETCH(QString, types);
    QFETCH(bool, jeu);
    const QStringList joueur{"Messages", "Options", "Menus", "Feuille de Notes"};
    const QStringList editeur{"Affichage", "Types", "XML", "Moodle", "Texte/CSV"};
    Stocke("types", types.toStdString());
    Demarre();
    QCOMPARE(OngletsVisibles(), jeu ? joueur : editeur);
    QCOMPARE(Fenetre->PageControl->currentWidget(), jeu ? Fenetre->TSMessages : Fenetre->TSTypes);
    // Ctrl+Shift+B does nothing; Ctrl+B switches, whichever control has the focus.
    Touche(Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(OngletsVisibles(), jeu ? joueur : editeur);
    Fenetre->EListeTypes->setFocus();
    Touche(Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(OngletsVisibles(), jeu ? editeur : joueur);
    QCOMPARE(Fenetre->PageControl->currentWidget(), jeu ? Fenetre->TSTypes : Fenetre->TSMessages);
    Touche(Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(OngletsVisibles(), jeu ? joueur : editeur);
    QVERIFY(!Fenetre->Preferences.JeuModifie());
    QVERIFY(!Fenetre->Preferences.EditeurModifie());
  }

  void LesTypesTapesEtCoches() {
    Demarre();
    Fenetre->EListeTypes->setFocus();
    Fenetre->EListeTypes->selectAll();
    QTest::keyClick(Fenetre->EListeTypes, Qt::Key_Delete);
    QTest::keyClicks(Fenetre->EListeTypes, QStringLiteral("QNrx"));
    QVERIFY(Fenetre->CBQuestionnaire->isChecked());
    QVERIFY(Fenetre->CBNotes->isChecked());
    for (QCheckBox* c : {Fenetre->CBRepertoire, Fenetre->CBFourreTout, Fenetre->CBQCM, Fenetre->CBListes})
      QVERIFY(!c->isChecked());
    // A box clicked adds its letter at the end of the list.
    QTest::mouseClick(Fenetre->CBQCM, Qt::LeftButton);
    QCOMPARE(Fenetre->EListeTypes->text(), QStringLiteral("QNrxM"));
    QTest::mouseClick(Fenetre->CBNotes, Qt::LeftButton);
    QCOMPARE(Fenetre->EListeTypes->text(), QStringLiteral("QrxM"));
    QTest::mouseClick(Fenetre->BOK, Qt::LeftButton);
    QVERIFY(!Fenetre->isVisible());
    QCOMPARE(Stocke("types"), std::optional<std::string>("QM"));
  }

  void UnSeulTypeNePeutEtreRetire() {
    Stocke("types", "R");
    Demarre();
    QVERIFY(Fenetre->CBRepertoire->isChecked());
    QVERIFY(!Fenetre->CBRepertoire->isEnabled());
    for (QCheckBox* c : {Fenetre->CBNotes, Fenetre->CBFourreTout, Fenetre->CBQuestionnaire, Fenetre->CBQCM,
                         Fenetre->CBListes})
      QVERIFY(c->isEnabled());
  }

  // An empty list typed and OK: stored empty; the editor then reads its default list.
  void ListeDeTypesVide() {
    Demarre();
    Fenetre->EListeTypes->setFocus();
    Fenetre->EListeTypes->selectAll();
    QTest::keyClick(Fenetre->EListeTypes, Qt::Key_Backspace);
    QCOMPARE(Fenetre->EListeTypes->text(), QString());
    QVERIFY(!Fenetre->CBQuestionnaire->isChecked());
    QTest::mouseClick(Fenetre->BOK, Qt::LeftButton);
    QVERIFY(!Fenetre->isVisible());
    QCOMPARE(Stocke("types"), std::optional<std::string>(""));
    TReglages editeur;
    LitPreferences(editeur, EPartReglages::Editeur);
    QCOMPARE(editeur.TypesUtilises, std::string("RNLQM"));
  }

  // The player started after OK reads the menu options and the score sheet's host.
  void LeJoueurLitCeQueKorPreferAEcrit() {
    Demarre();
    Touche(Qt::Key_B, Qt::ControlModifier);
    Fenetre->PageControl->setCurrentWidget(Fenetre->TSMenus);
    QTest::mouseClick(Fenetre->CBMenu, Qt::LeftButton);
    QVERIFY(!Fenetre->CBPref->isEnabled());
    QVERIFY(Fenetre->CBPref->isChecked());
    Fenetre->EHost->setFocus();
    QTest::keyClicks(Fenetre->EHost, QStringLiteral("127.0.0.1"));
    Fenetre->PageControl->setCurrentWidget(Fenetre->TSFeuilleNotes);
    QTest::mouseClick(Fenetre->CBRepUnf, Qt::LeftButton);
    QTest::mouseClick(Fenetre->BOK, Qt::LeftButton);
    QVERIFY(!Fenetre->isVisible());
    QVERIFY(Boites.isEmpty());

    TReglages lus;
    LitPreferences(lus, EPartReglages::Joueur);
    QCOMPARE(lus.HoteFeuilleNotes, std::string("127.0.0.1"));
    QVERIFY(lus.RapporteInterrompues);
    QVERIFY(lus.CtrlAAccepte);
    TForm1 joueur({}, lus);
    joueur.BoiteMessage = [](QMessageBox::Icon, const QString&, const QString&, QMessageBox::StandardButtons) {
      return QMessageBox::Ok;
    };
    QVERIFY2(!joueur.BarreAttachee(), "no menu bar");
  }

  // Fault built soundly: a store that refuses the write is told, and the window stays as it was.
  void EcritureRefuseeDite() {
    Demarre();
    QTest::keyClicks(Fenetre->EHost, QStringLiteral("salle"));
    QFile::remove(Fichier);
    QVERIFY(QDir().mkpath(Fichier));  // a folder where the file should be
    QTest::mouseClick(Fenetre->BOK, Qt::LeftButton);
    QVERIFY(Fenetre->isVisible());
    QCOMPARE(Boites.size(), 1);
    QCOMPARE(Boites[0].Icone, QMessageBox::Critical);
    QCOMPARE(Boites[0].Titre, QStringLiteral("Erreur"));
    QVERIFY2(Boites[0].Texte.startsWith(QStringLiteral("Les préférences n'ont pas pu être enregistrées dans le fichier \"") +
                                        Fichier + "\"."),
             qPrintable(Boites[0].Texte));
    QCOMPARE(Fenetre->EHost->text(), QStringLiteral("salle"));
    // Défaut cannot delete it either.
    QTest::mouseClick(Fenetre->BDefaut, Qt::LeftButton);
    QVERIFY(Fenetre->isVisible());
    QCOMPARE(Boites.size(), 3);
    QCOMPARE(Boites[2].Icone, QMessageBox::Critical);
    QVERIFY(QDir().rmdir(Fichier));
    // Room again: the same OK goes through.
    QTest::mouseClick(Fenetre->BOK, Qt::LeftButton);
    QVERIFY(!Fenetre->isVisible());
    QCOMPARE(Stocke("host"), std::optional<std::string>("salle"));
  }

  void DefautDemandeConfirmation() {
    Stocke("sign", "M. Dupont");
    Demarre();
    Reponse = QMessageBox::Cancel;
    QTest::mouseClick(Fenetre->BDefaut, Qt::LeftButton);
    QCOMPARE(Boites.size(), 1);
    QCOMPARE(Boites[0].Icone, QMessageBox::Question);
    QCOMPARE(Boites[0].Titre, QStringLiteral("Confirmation"));
    QCOMPARE(Boites[0].Texte, QStringLiteral("Voulez-vous effacer toutes les préférences\net donc revenir aux valeurs par défaut ?"));
    QVERIFY(Fenetre->isVisible());
    QCOMPARE(Stocke("sign"), std::optional<std::string>("M. Dupont"));
    Reponse = QMessageBox::Ok;
    QTest::mouseClick(Fenetre->BDefaut, Qt::LeftButton);
    QVERIFY(!Fenetre->isVisible());
    QVERIFY(!QFile::exists(Fichier));
  }

  void AnnulerNEcritRien() {
    Stocke("good", "Bien");
    const QByteArray avant = [this] { QFile f(Fichier); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    Demarre();
    QTest::keyClicks(Fenetre->Egood, QStringLiteral(" !"));
    Fenetre->PageControl->setCurrentWidget(Fenetre->TSAffichage);
    QTest::mouseClick(Fenetre->CBDimOrig, Qt::LeftButton);
    QVERIFY(Fenetre->CBDimOrig->isChecked());
    QTest::mouseClick(Fenetre->BAnnuler, Qt::LeftButton);
    QVERIFY(!Fenetre->isVisible());
    QFile f(Fichier);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), avant);
  }

  void DialogueDePolice() {
    Demarre();
    QFont proposee;
    Fenetre->DialogueFont = [&proposee](QFont& police) {
      proposee = police;
      return false;
    };
    Fenetre->PageControl->setCurrentWidget(Fenetre->TSAffichage);
    QTest::mouseClick(Fenetre->BPolice, Qt::LeftButton);
    QCOMPARE(proposee.family(), QStringLiteral("Lucida Sans Typewriter"));
    QCOMPARE(proposee.pointSize(), 10);
    QVERIFY2(!Fenetre->Preferences.EditeurModifie(), "a cancelled dialog marks nothing");
    Fenetre->DialogueFont = [](QFont& police) {
      police = QFont(QStringLiteral("DejaVu Serif"), 15);
      return true;
    };
    QTest::mouseClick(Fenetre->BPoliceL, Qt::LeftButton);
    QVERIFY(Fenetre->Preferences.EditeurModifie());
    QCOMPARE(Fenetre->EPoliceL->text(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(Fenetre->EPoliceL->font().pointSize(), 15);
    QTest::mouseClick(Fenetre->BOK, Qt::LeftButton);
    QCOMPARE(Stocke("lstfon"), std::optional<std::string>("DejaVu Serif"));
    QCOMPARE(Stocke("lstfos"), std::optional<std::string>("15"));
  }

  // The help page beside the program, opened at its context 0.
  void Aide() {
    Demarre();
    QList<QUrl> ouvertes;
    AideNotee(ouvertes);
    QTest::mouseClick(Fenetre->Baide, Qt::LeftButton);
    QCOMPARE(ouvertes.size(), 1);
    QCOMPARE(ouvertes[0].fragment(), QStringLiteral("contexte-0"));
    QFile page(ouvertes[0].toLocalFile());
    QVERIFY(page.open(QIODevice::ReadOnly));
    QVERIFY(page.readAll().contains("id=\"contexte-0\""));
    QVERIFY(Boites.isEmpty());
    // No help found: said in a box.
    Fenetre->Aide.FixeDossiers({Dossier.path()});
    QTest::mouseClick(Fenetre->Baide, Qt::LeftButton);
    QCOMPARE(Boites.size(), 1);
    QCOMPARE(Boites[0].Icone, QMessageBox::Warning);
  }

  // F1 opens the same page as the button; when it cannot, the box names the page.
  void AideParF1() {
    Demarre();
    QList<QUrl> ouvertes;
    AideNotee(ouvertes);
    Touche(Qt::Key_F1);
    QCOMPARE(ouvertes.size(), 1);
    QCOMPARE(ouvertes[0].fragment(), QStringLiteral("contexte-0"));
    Fenetre->Aide.FixeDossiers({Dossier.path()});
    Touche(Qt::Key_F1);
    QCOMPARE(Boites.size(), 1);
    QVERIFY2(Boites[0].Texte.contains(QStringLiteral("KorPrefer.html")), qPrintable(Boites[0].Texte));
  }

  // An ignored-words list longer than an edit's default limit is written back whole when another
  // control of its group changed.
  void ListeLongueGardee() {
    const std::string liste = std::string(40000, 'a') + " fin";
    Stocke("ignor", liste);
    Demarre();
    QCOMPARE(Fenetre->Eignor->text().size(), qsizetype(liste.size()));
    Fenetre->Egood->setFocus();
    QTest::keyClick(Fenetre->Egood, Qt::Key_End);
    QTest::keyClicks(Fenetre->Egood, QStringLiteral("!"));
    QTest::mouseClick(Fenetre->BOK, Qt::LeftButton);
    QVERIFY(Boites.isEmpty());
    QCOMPARE(Stocke("ignor").value_or(std::string()), liste);
  }
};

QTEST_MAIN(TestFenetrePreferences)
#include "fenetre_qtest.moc"
