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
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <functional>

#include "cards/KorXml.h"
#include "editor/fenetres/KorDlgChercher.h"
#include "editor/fenetres/KorDlgOptions.h"
#include "editor/fenetres/KorFenetreFiche.h"
#include "editor/fenetres/KorListe.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"

namespace {

std::string Utf8(const QString& chemin) { return QFile::encodeName(chemin).toStdString(); }

// A card file of that type, one card per field-1 text, written at chemin; with a template card
// whose field 0 is canevas when it is given.
void Ecrit(const QString& chemin, char type, const QStringList& cles, const std::string& canevas = {}) {
  TReglages r;
  TFichierX f(type, 'x', EVarianteModele::Complet, r);
  for (const QString& c : cles) f.AjouteFiche("titre " + ansi::DepuisQString(c), ansi::DepuisQString(c), "corps");
  if (!canevas.empty()) f.SetCanevas(canevas, "", "");
  EcritFichierXML(f, Utf8(chemin), true, r);
}

// Runs the action once a modal dialog is up; closes it with Cancel if the action left it open.
void Pendant(const std::function<void()>& action) {
  QTimer::singleShot(0, [action] {
    if (!QApplication::activeModalWidget()) {
      Pendant(action);
      return;
    }
    action();
    if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->reject();
  });
}

}  // namespace

class TestCommandes : public QObject {
  Q_OBJECT

  struct TBoite {
    QString Texte, Titre;
    EGenreMessage Genre;
  };
  QList<TBoite> Boites;

  static void Touche(TFormFiche& f, Qt::Key cle, Qt::KeyboardModifiers modificateurs = Qt::NoModifier) {
    QTest::keyClick(f.windowHandle(), cle, modificateurs);
  }
  static void Tape(QWidget* w, const QString& texte) {
    for (const QChar c : texte) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
  // Opens the file in the shown window; the message boxes are noted and answered OK unless the
  // window's own are kept.
  void Ouvre(TFormFiche& f, const QString& chemin, int index, bool boitesDeLaFenetre = false) {
    if (!boitesDeLaFenetre)
      f.BoiteMessage = [this](const QString& texte, const QString& titre, EGenreMessage genre, EBoutons) {
        Boites.append({texte, titre, genre});
        return EBouton::Ok;
      };
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QVERIFY(f.Editeur.OuvreFichier(Utf8(chemin), index, true, true, true));
  }
  void ClicLigne(TListe& liste, int ligne) {
    const QRect r = liste.LBListe->visualRect(liste.Modele.index(ligne, 0));
    QTest::mouseClick(liste.LBListe->viewport(), Qt::LeftButton, {}, r.center());
  }

 private slots:
  void initTestCase() { FixeLocale("fr_FR"); }
  void init() { Boites.clear(); }

  void listeDesNotes() {
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("notes.xkqn"));
    Ecrit(chemin, 'N', {"note 0", "note 1", "note 2", "note 3", "note 4"});
    TReglages r;
    TFormFiche f({}, r);
    Ouvre(f, chemin, 1);
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
    QVERIFY(Boites.isEmpty());
  }

  void rechercheAuClavier() {
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("repertoire.xkqr"));
    Ecrit(chemin, 'R', {"Ampère", "Bernard", "L'ÉCOLE", "Zola"});
    TReglages r;
    TFormFiche f({}, r);
    Ouvre(f, chemin, 0);
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
    QCOMPARE(Boites.size(), 1);
    QCOMPARE(Boites[0].Texte, QStringLiteral("Non trouvé !"));
    QCOMPARE(Boites[0].Titre, QStringLiteral("Échec"));
    QCOMPARE(Boites[0].Genre, EGenreMessage::Erreur);
    // Ctrl+F3 after the end does nothing.
    Touche(f, Qt::Key_F3, Qt::ControlModifier);
    QCOMPARE(Boites.size(), 1);
  }

  void optionsParF5() {
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("quiz.xkqq"));
    Ecrit(chemin, 'Q', {"q1", "q2"});
    TReglages r;
    TFormFiche f({}, r);
    Ouvre(f, chemin, 0);
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
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("quiz.xkqq"));
    Ecrit(chemin, 'Q', {"q1"});
    TReglages r;
    TFormFiche f({}, r);
    Ouvre(f, chemin, 0);
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
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("quiz.xkqq"));
    Ecrit(chemin, 'Q', {"q1"}, "modèle"_a);
    TReglages r;
    TFormFiche f({}, r);
    Ouvre(f, chemin, 0, true);
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
};

QTEST_MAIN(TestCommandes)
#include "commandes_qtest.moc"
