// The editor's main window on the offscreen platform with the commands on the whole file,
// search and the card list: their shortcuts, their dialogs as the user meets them, and the card
// list of a Notes file followed in the window.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QTableView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QScreen>
#include <QFileInfo>
#include <QDir>
#include <QtTest>

#include <functional>

#include "cards/KorOutils.h"
#include "cards/KorXml.h"
#include "editor/fenetres/KorDlgChercher.h"
#include "editor/fenetres/KorDlgEntete.h"
#include "editor/fenetres/KorDlgOptionsCSV.h"
#include "editor/fenetres/KorDlgOptions.h"
#include "editor/fenetres/KorFenetreFiche.h"
#include "editor/fenetres/KorListe.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"
#include "tests/editor/BancFenetre.h"

using banc::Pendant;
using banc::Tape;
using banc::Touche;

namespace {

// A card file of that type, one card per field-1 text; with a template card whose field 0 is
// canevas when it is given.
void Ecrit(const QString& chemin, char type, const QStringList& cles, const std::string& canevas = {}) {
  TReglages r;
  TFichierX f(type, 'x', EVarianteModele::Complet, r);
  for (const QString& c : cles) f.AjouteFiche("titre " + ansi::DepuisQString(c), ansi::DepuisQString(c), "corps");
  if (!canevas.empty()) f.SetCanevas(canevas, "", "");
  EcritFichierXML(f, banc::Utf8(chemin), true, r);
}

void ClicLigne(TListe& liste, int ligne) {
  const QRect r = liste.LBListe->visualRect(liste.Modele.index(ligne, 0));
  QTest::mouseClick(liste.LBListe->viewport(), Qt::LeftButton, {}, r.center());
}

}  // namespace

class TestCommandes : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { FixeLocale("fr_FR"); }

  void listeDesNotes() {
    banc::TBanc b;
    const QString chemin = b.Chemin(QStringLiteral("notes.xkqn"));
    Ecrit(chemin, 'N', {"note 0", "note 1", "note 2", "note 3", "note 4"});
    TFormFiche& f = b.Ouvre(chemin, 1);
    QCOMPARE(f.MQuestion->toPlainText(), QStringLiteral("note 1"));
    // F12: card 4 first, line 3 selected; a click shows card 4 at once; Esc goes back to card 1.
    Pendant([&] {
      TListe& l = *f.Liste;
      QVERIFY(l.isVisible());
      QCOMPARE(l.LBListe->currentIndex().row(), 3);
      QCOMPARE(l.LBListe->model()->index(0, 0).data().toString(), QStringLiteral("note 4"));
      ClicLigne(l, 0);
      QCOMPARE(f.MQuestion->toPlainText(), QStringLiteral("note 4"));
      QTest::keyClick(l.LBListe, Qt::Key_Down);
      QCOMPARE(f.MQuestion->toPlainText(), QStringLiteral("note 3"));
      QTest::keyClick(l.LBListe, Qt::Key_Escape);
    });
    Touche(f, Qt::Key_F12);
    QVERIFY(!f.Liste->isVisible());
    QCOMPARE(f.Editeur.GetIndexCourant(), 1);
    QCOMPARE(f.MQuestion->toPlainText(), QStringLiteral("note 1"));
    // F12 in the list closes it on the card chosen.
    Pendant([&] {
      ClicLigne(*f.Liste, 1);
      QTest::keyClick(f.Liste->LBListe, Qt::Key_F12);
    });
    Touche(f, Qt::Key_F12);
    QCOMPARE(f.Editeur.GetIndexCourant(), 3);
    QCOMPARE(f.MQuestion->toPlainText(), QStringLiteral("note 3"));
    QVERIFY(b.Boites.isEmpty());
  }

  void rechercheAuClavier() {
    banc::TBanc b;
    const QString chemin = b.Chemin(QStringLiteral("repertoire.xkqr"));
    Ecrit(chemin, 'R', {"Ampère", "Bernard", "L'ÉCOLE", "Zola"});
    TFormFiche& f = b.Ouvre(chemin, 0);
    Pendant([&] {
      TDlgChercher& d = *f.DlgChercher;
      QVERIFY(d.isVisible());
      QCOMPARE(d.CBChampUnique->text(), QStringLiteral("Chercher seulement dans le champ \"Onglet\""));
      Tape(d.EChercher, QStringLiteral("école"));
      QTest::keyClick(d.EChercher, Qt::Key_Return);
    });
    Touche(f, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(f.MQuestion->toPlainText(), QStringLiteral("L'ÉCOLE"));
    QVERIFY(f.Editeur.GetRecherche().RechercheActive);
    f.MenuClick();  // the menu's opening handler shows the items of an active search
    QVERIFY(f.Editeur.Item(EItem::Rechsuivant1).Visible);
    QVERIFY(f.Editeur.Item(EItem::AbandonRech1).Visible);
    Touche(f, Qt::Key_F3);  // back to the start card: no other match
    QCOMPARE(f.Editeur.GetIndexCourant(), 0);
    QCOMPARE(b.Boites.size(), 1);
    QCOMPARE(b.Boites[0].Texte, QStringLiteral("Non trouvé !"));
    QCOMPARE(b.Boites[0].Titre, QStringLiteral("Échec"));
    QCOMPARE(b.Boites[0].Genre, EGenreMessage::Erreur);
    // Ctrl+F3 after the end does nothing.
    Touche(f, Qt::Key_F3, Qt::ControlModifier);
    QCOMPARE(b.Boites.size(), 1);
  }

  void optionsParF5() {
    banc::TBanc b;
    const QString chemin = b.Chemin(QStringLiteral("quiz.xkqq"));
    Ecrit(chemin, 'Q', {"q1", "q2"});
    TFormFiche& f = b.Ouvre(chemin, 0);
    // OK without a change: the file stays unmodified.
    Pendant([&] {
      QVERIFY(f.DlgOptions->isVisible());
      f.DlgOptions->BOK->click();
    });
    Touche(f, Qt::Key_F5);
    QVERIFY(!f.Editeur.GetFichierCourant()->FModifie);
    Pendant([&] {
      TDlgOptions& d = *f.DlgOptions;
      d.ENbreQuestions->setFocus();
      d.ENbreQuestions->selectAll();
      Tape(d.ENbreQuestions, QStringLiteral("300"));
      d.BOK->click();
    });
    Touche(f, Qt::Key_F5);
    QVERIFY(f.Editeur.GetFichierCourant()->FModifie);
    QCOMPARE(int(f.Editeur.GetFichierCourant()->FNombreQuestions), 255);
  }

  void feuilleDeStyleParCtrlF9() {
    banc::TBanc b;
    const QString chemin = b.Chemin(QStringLiteral("quiz.xkqq"));
    Ecrit(chemin, 'Q', {"q1"});
    TFormFiche& f = b.Ouvre(chemin, 0);
    QString titre, invite;
    f.BoiteSaisie = [&](const QString& t, const QString& i, QString& texte) {
      titre = t;
      invite = i;
      texte = QStringLiteral(" styles/fiche ");
      return true;
    };
    Touche(f, Qt::Key_F9, Qt::ControlModifier);
    QCOMPARE(titre, QStringLiteral("Feuille de style"));
    QCOMPARE(invite, QStringLiteral("Nom du fichier :"));
    QCOMPARE(f.Editeur.GetFichierCourant()->FFeuilleStyle, std::string("styles/fiche.xsl"));
  }

  void canevasAbandonner() {
    // The template's question offers Yes, No and "Abandonner".
    banc::TBanc b;
    b.BoitesDeLaFenetre = true;
    const QString chemin = b.Chemin(QStringLiteral("quiz.xkqq"));
    Ecrit(chemin, 'Q', {"q1"}, "modèle"_a);
    TFormFiche& f = b.Ouvre(chemin, 0);
    QVERIFY(f.Editeur.GetFichierCourant()->FAvecCanevas);
    Touche(f, Qt::Key_F4);
    QVERIFY(f.Editeur.GetNouvelleFicheEnCours());
    QStringList boutons;
    Pendant([&] {
      auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(boite);
      for (QAbstractButton* b : boite->buttons()) boutons << b->text();
      boite->button(QMessageBox::Abort)->click();
      // The confirmation of the removal.
      Pendant([&] {
        auto* confirmation = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(confirmation);
        QCOMPARE(confirmation->text(), QStringLiteral("Voulez-vous vraiment supprimer le canevas ?"));
        confirmation->button(QMessageBox::Yes)->click();
      });
    });
    f.Editeur.ExecuteItem(EItem::Canevas1);
    QVERIFY(boutons.contains(QStringLiteral("Abandonner")));
    QCOMPARE(boutons.size(), 3);
    QVERIFY(!f.Editeur.GetFichierCourant()->FAvecCanevas);
    QVERIFY(!f.Editeur.GetNouvelleFicheEnCours());
    QCOMPARE(f.Editeur.GetFichierCourant()->GetNombreFiches(), 1);
  }

  // The header dialog opened by F9 takes what is typed at once.
  void enteteTapeAussitot() {
    banc::TBanc b;
    const QString chemin = b.Chemin(QStringLiteral("quiz.xkqq"));
    Ecrit(chemin, 'Q', {"q1"});
    TFormFiche& f = b.Ouvre(chemin, 0);
    Pendant([&] {
      QVERIFY(banc::Active(f.DlgEntete));
      QCOMPARE(QApplication::focusWidget(), f.DlgEntete->ETitre);
      Tape(QApplication::focusWidget(), QStringLiteral("Culture générale"));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    Touche(f, Qt::Key_F9);
    QCOMPARE(f.Editeur.GetFichierCourant()->FTitre, "Culture générale"_a);
  }

  // F1: the help page at the context of what is on screen, the window's by the file's type.
  void aideParF1_data() {
    QTest::addColumn<int>("touche");
    QTest::addColumn<int>("modificateurs");
    QTest::addColumn<int>("contexte");
    QTest::newRow("fenetre") << 0 << 0 << 21;
    QTest::newRow("entete") << int(Qt::Key_F9) << 0 << 9;
    QTest::newRow("options") << int(Qt::Key_F5) << 0 << 23;
    QTest::newRow("optionsAvancees") << int(Qt::Key_F5) << int(Qt::ShiftModifier) << 24;
    QTest::newRow("optionsCSV") << int(Qt::Key_F6) << int(Qt::ShiftModifier) << 11;
    QTest::newRow("chercher") << int(Qt::Key_F) << int(Qt::ControlModifier) << 4;
    QTest::newRow("liste") << int(Qt::Key_F12) << 0 << 6;
    QTest::newRow("nouveau") << int(Qt::Key_N) << int(Qt::ControlModifier) << 7;
  }
  void aideParF1() {
    QFETCH(int, touche);
    QFETCH(int, modificateurs);
    QFETCH(int, contexte);
    banc::TBanc b;
    const QString chemin = b.Chemin(QStringLiteral("quiz.xkqq"));
    Ecrit(chemin, 'Q', {"q1", "q2"});
    TFormFiche& f = b.Ouvre(chemin, 0);
    QList<QUrl> ouvertes;
    f.Aide = TAide(QStringLiteral("KorEdit.chm"), [&ouvertes](const QUrl& url) {
      ouvertes << url;
      return true;
    });
    f.Aide.FixeDossiers({QStringLiteral(ORVALINE_SOURCE_DIR "/programs/aide")});
    if (touche == 0) {
      QVERIFY(banc::Active(&f));
      Touche(f, Qt::Key_F1);
    } else {
      Pendant([&] {
        QVERIFY(banc::Active(QApplication::activeModalWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
      });
      Touche(f, Qt::Key(touche), Qt::KeyboardModifiers(modificateurs));
    }
    QCOMPARE(ouvertes.size(), 1);
    QCOMPARE(ouvertes[0].fragment(), QStringLiteral("contexte-%1").arg(contexte));
    QCOMPARE(QFileInfo(ouvertes[0].toLocalFile()).fileName(), QStringLiteral("KorEdit.html"));
    QVERIFY(b.Boites.isEmpty());
  }

  // Help that cannot open says so, naming the page looked for.
  void aideIntrouvable() {
    banc::TBanc b;
    TFormFiche& f = b.Cree();
    bool ouverte = false;
    f.Aide = TAide(QStringLiteral("KorEdit.chm"), [&ouverte](const QUrl&) { return ouverte = true; });
    f.Aide.FixeDossiers({b.Dossier.path()});
    f.Editeur.ExecuteItem(EItem::Rubriquesdaide1);
    QVERIFY(!ouverte);
    QCOMPARE(b.Boites.size(), 1);
    QCOMPARE(b.Boites[0].Genre, EGenreMessage::Avertissement);
    QVERIFY2(b.Boites[0].Texte.contains(QStringLiteral("KorEdit.html")), qPrintable(b.Boites[0].Texte));
    QVERIFY(b.Boites[0].Texte.startsWith(QStringLiteral("Impossible d'afficher l'aide")));
    // Found, but no viewer to show it: the page found is named.
    f.Aide = TAide(QStringLiteral("KorEdit.chm"), [](const QUrl&) { return false; });
    f.Aide.FixeDossiers({QStringLiteral(ORVALINE_SOURCE_DIR "/programs/aide")});
    f.Editeur.ExecuteItem(EItem::Rubriquesdaide1);
    QCOMPARE(b.Boites.size(), 2);
    QVERIFY2(b.Boites[1].Texte.contains(QDir::toNativeSeparators(
                 QFileInfo(QStringLiteral(ORVALINE_SOURCE_DIR "/programs/aide/KorEdit.html")).absoluteFilePath())),
             qPrintable(b.Boites[1].Texte));
  }

  // Shift+F6, a click on the encoding already chosen, OK: nothing stored, no preference changed.
  void optionsCSVSansChangement() {
    banc::TBanc b;
    FixeSeparateurCSV("", b.Reglages);
    TFormFiche& f = b.Cree();
    Pendant([&] {
      TDlgOptionsCSV& d = *f.DlgOptionsCSV;
      QVERIFY(banc::Active(&d));
      QTest::mouseClick(d.RBAnsi, Qt::LeftButton, {}, QPoint(6, d.RBAnsi->height() / 2));
      d.BOK->click();
    });
    Touche(f, Qt::Key_F6, Qt::ShiftModifier);
    QVERIFY(!f.Editeur.GetReglagesModifies());
    QCOMPARE(b.Reglages.TexteSeparateurCSV, std::string());
    // A change of encoding stores both.
    Pendant([&] {
      TDlgOptionsCSV& d = *f.DlgOptionsCSV;
      QTest::mouseClick(d.RBUtf8, Qt::LeftButton, {}, QPoint(6, d.RBUtf8->height() / 2));
      d.BOK->click();
    });
    Touche(f, Qt::Key_F6, Qt::ShiftModifier);
    QVERIFY(f.Editeur.GetReglagesModifies());
    QVERIFY(b.Reglages.CSVUtf8);
    QVERIFY(!b.Reglages.TexteSeparateurCSV.empty());
  }

  // The list window, frame included, within the work area and as high as it is.
  void listeDansLaZone() {
    banc::TBanc b;
    const QString chemin = b.Chemin(QStringLiteral("notes.xkqn"));
    Ecrit(chemin, 'N', {"a", "b", "c"});
    TFormFiche& f = b.Ouvre(chemin, 0);
    QRect cadre, zone;
    Pendant([&] {
      QVERIFY(QTest::qWaitForWindowExposed(f.Liste));
      cadre = f.Liste->frameGeometry();
      zone = f.Liste->screen()->availableGeometry();
    });
    Touche(f, Qt::Key_F12);
    QVERIFY2(zone.contains(cadre), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(cadre.x()).arg(cadre.y()).arg(cadre.width()).arg(cadre.height())));
    QCOMPARE(cadre.height(), zone.height());
    QCOMPARE(cadre.topLeft(), zone.topLeft());
    QCOMPARE(f.Liste->width(), TListe::Largeur);
  }
};

QTEST_MAIN(TestCommandes)
#include "commandes_qtest.moc"
