// The editor's whole-file dialogs and the search dialog on the offscreen platform: the
// program's own filling never counts as a change, the user's changes do, the enabling rules
// follow the boxes, and the CSV dialog refuses a separator that no CSV line can carry.

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

#include "cards/KorFichierX.h"
#include "cards/KorOutils.h"
#include "editor/fenetres/KorDlgChercher.h"
#include "editor/fenetres/KorDlgEntete.h"
#include "editor/fenetres/KorDlgEtiquettes.h"
#include "editor/fenetres/KorDlgOptions.h"
#include "editor/fenetres/KorDlgOptionsAvancees.h"
#include "editor/fenetres/KorDlgOptionsCSV.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"

namespace {

// Runs the action once the modal dialog is up; closes it with Cancel if the action left it open.
void Pendant(QDialog& d, const std::function<void()>& action) {
  QTimer::singleShot(0, &d, [&d, action] {
    action();
    if (d.isVisible()) d.reject();
  });
}

// Types a text, accents included, into the control that has the focus.
void Tape(QWidget* cible, const QString& texte) {
  for (const QChar c : texte) QTest::sendKeyEvent(QTest::Click, cible, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

std::unique_ptr<TFichierX> Questionnaire() {
  auto f = std::make_unique<TFichierX>('Q', 'x');
  f->EtiquettesParDefaut();
  f->FTitre = "Capitales";
  f->FDescription = "Ligne 1\r\nLigne 2";
  f->FModifie = false;
  return f;
}

}  // namespace

class TestDialogues : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { FixeLocale("fr_FR"); }

  void remplissageNonCompte() {
    // Every dialog filled and closed with OK at once: nothing to store.
    auto f = Questionnaire();
    {
      TDlgEntete d;
      TLogiqueEntete l;
      l.Remplit(*f);
      Pendant(d, [&] {
        QCOMPARE(d.ETitre->text(), QStringLiteral("Capitales"));
        QCOMPARE(d.MDescription->toPlainText(), QStringLiteral("Ligne 1\nLigne 2"));
        d.BOK->click();
      });
      QVERIFY(!d.Execute(l));
      QCOMPARE(d.windowTitle(), QStringLiteral("En-téte du fichier"));
    }
    {
      TDlgOptions d;
      TLogiqueOptions l;
      l.Remplit(*f);
      Pendant(d, [&] {
        QCOMPARE(d.ENbreQuestions->text(), QStringLiteral("toutes"));
        QCOMPARE(d.ETemps->text(), QStringLiteral("illimité"));
        d.BOK->click();
      });
      QVERIFY(!d.Execute(l));
    }
    {
      TDlgOptionsAvancees d;
      TLogiqueOptionsAvancees l;
      l.Remplit(*f, Reglages());
      Pendant(d, [&] { d.BOK->click(); });
      QVERIFY(!d.Execute(l));
    }
    {
      TDlgEtiquettes d;
      TLogiqueEtiquettes l;
      l.Remplit(*f);
      Pendant(d, [&] {
        QCOMPARE(d.EEtiquette2->text(), QStringLiteral("Réponse"));
        d.BOK->click();
      });
      QVERIFY(!d.Execute(l));
    }
    {
      TDlgOptionsCSV d;
      TLogiqueOptionsCSV l;
      l.Remplit(Reglages());
      Pendant(d, [&] { d.BOK->click(); });
      QVERIFY(!d.Execute(l));
    }
    QVERIFY(!f->FModifie);
  }

  void saisieCompte() {
    auto f = Questionnaire();
    TDlgEntete d;
    TLogiqueEntete l;
    l.Remplit(*f);
    Pendant(d, [&] {
      d.ETitre->setFocus();
      d.ETitre->selectAll();
      Tape(d.ETitre, QStringLiteral("  Préfectures "));
      d.MDescription->setFocus();
      QTest::keyClick(d.MDescription, Qt::Key_End, Qt::ControlModifier);
      QTest::keyClick(d.MDescription, Qt::Key_Return);
      Tape(d.MDescription, QStringLiteral("3"));
      d.BOK->click();
    });
    QVERIFY(d.Execute(l));
    l.Stocke(*f);
    QCOMPARE(f->FTitre, "Préfectures"_a);
    QCOMPARE(f->FDescription, std::string("Ligne 1\r\nLigne 2\r\n3"));
    QVERIFY(f->FModifie);
  }

  void phonetiqueGriseLaCasse() {
    auto f = Questionnaire();
    f->FDifferencierCasse = true;
    f->FPhonetique = true;
    TDlgOptions d;
    TLogiqueOptions l;
    l.Remplit(*f);
    Pendant(d, [&] {
      QVERIFY(!d.CBDiffMaj->isChecked());
      QVERIFY(!d.CBDiffMaj->isEnabled());
      QTest::mouseClick(d.CBPhonetique, Qt::LeftButton);
      QVERIFY(d.CBDiffMaj->isEnabled());
      QTest::mouseClick(d.CBDiffMaj, Qt::LeftButton);
      QVERIFY(d.CBDiffMaj->isChecked());
      QTest::mouseClick(d.CBPhonetique, Qt::LeftButton);
      QVERIFY(!d.CBDiffMaj->isChecked());
      QVERIFY(!d.CBDiffMaj->isEnabled());
      d.ESeuil->setFocus();
      d.ESeuil->selectAll();
      Tape(d.ESeuil, QStringLiteral("300"));
      d.BOK->click();
    });
    QVERIFY(d.Execute(l));
    l.Stocke(*f);
    QVERIFY(f->FPhonetique);
    QVERIFY(!f->FDifferencierCasse);
    QCOMPARE(int(f->FScoreSatisfaisant), 255);
    // Shown again, the edit holds the value stored.
    l.Remplit(*f);
    Pendant(d, [&] { QCOMPARE(d.ESeuil->text(), QStringLiteral("255")); });
    QVERIFY(!d.Execute(l));
  }

  void defautRemplitEtGrise() {
    auto f = Questionnaire();
    f->FAvecMotsIgnores = true;
    f->FMotsIgnores = "a b";
    TDlgOptionsAvancees d;
    TLogiqueOptionsAvancees l;
    l.Remplit(*f, Reglages());
    Pendant(d, [&] {
      QVERIFY(d.EMotsIgnores->isEnabled());
      QCOMPARE(d.EMotsIgnores->text(), QStringLiteral("a b"));
      QVERIFY(d.CBMIgDefaut->focusPolicy() != Qt::StrongFocus);
      QTest::mouseClick(d.CBMIgDefaut, Qt::LeftButton);
      QCOMPARE(d.EMotsIgnores->text(), QStringLiteral("un une des le la les l de du et"));
      QVERIFY(!d.EMotsIgnores->isEnabled());
      d.BOK->click();
    });
    QVERIFY(d.Execute(l));
    l.Stocke(*f);
    QVERIFY(!f->FAvecMotsIgnores);
  }

  void lectureSeuleGrise() {
    auto f = Questionnaire();
    f->FModifiable = false;
    TDlgEntete d;
    TLogiqueEntete l;
    l.Remplit(*f);
    Pendant(d, [&] {
      QVERIFY(!d.GBEntete->isEnabled());
      d.BOK->click();
    });
    QVERIFY(!d.Execute(l));
  }

  void separateurCSVRefuse() {
    TReglages r;
    FixeSeparateurCSV(",", r);
    TDlgOptionsCSV d;
    QStringList avertissements;
    d.Avertissement = [&](const QString& texte) { avertissements << texte; };
    TLogiqueOptionsCSV l;
    l.Remplit(r);
    Pendant(d, [&] {
      QCOMPARE(d.EComma->text(), QStringLiteral(","));
      QVERIFY(d.RBAnsi->isChecked());
      d.EComma->setFocus();
      d.EComma->selectAll();
      Tape(d.EComma, QStringLiteral("\""));
      d.BOK->click();
      // Refused: the dialog stays open and says why.
      QVERIFY(d.isVisible());
      QCOMPARE(avertissements, QStringList{QStringLiteral("Ce séparateur ne peut pas servir dans un fichier CSV !")});
      d.EComma->selectAll();
      Tape(d.EComma, QStringLiteral("\\t"));
      QTest::mouseClick(d.RBUtf8, Qt::LeftButton, {}, QPoint(6, d.RBUtf8->height() / 2));
      d.BOK->click();
    });
    QVERIFY(d.Execute(l));
    QCOMPARE(avertissements.size(), 1);
    l.Stocke(r);
    QCOMPARE(r.SeparateurCSV, '\t');
    QVERIFY(r.CSVUtf8);
  }

  void separateurCSVRefuseEtAnnule() {
    // Cancel after the refusal keeps the former setting.
    TReglages r;
    FixeSeparateurCSV(",", r);
    TDlgOptionsCSV d;
    d.Avertissement = [](const QString&) {};
    TLogiqueOptionsCSV l;
    l.Remplit(r);
    Pendant(d, [&] {
      d.EComma->setFocus();
      d.EComma->selectAll();
      Tape(d.EComma, QStringLiteral("\\n"));
      d.BOK->click();
      QVERIFY(d.isVisible());
      d.BAnnuler->click();
    });
    QVERIFY(!d.Execute(l));
    QCOMPARE(r.TexteSeparateurCSV, std::string(","));
  }

  void chercherGardeSesControles() {
    TDlgChercher d;
    TLogiqueChercher l;
    TFichierX f('R', 'x');
    f.EtiquettesParDefaut();
    l.PrepareFichier(f, true, false, false);
    l.PrepareEtiquettes(f);
    Pendant(d, [&] {
      QCOMPARE(d.focusWidget(), d.EChercher);
      QCOMPARE(d.CBChampUnique->text(), QStringLiteral("Chercher seulement dans le champ \"Onglet\""));
      QVERIFY(d.CBChampUnique->isChecked());
      Tape(d.EChercher, QStringLiteral("école"));
      QTest::mouseClick(d.CBDifferencier, Qt::LeftButton);
      QTest::keyClick(d.EChercher, Qt::Key_Return);
    });
    QVERIFY(d.Execute(l));
    QCOMPARE(l.EChercher, "école"_a);
    QVERIFY(l.CBDifferencier);
    // Shown again: the text is kept, all of it selected.
    Pendant(d, [&] {
      QCOMPARE(d.EChercher->text(), QStringLiteral("école"));
      QCOMPARE(d.EChercher->selectedText(), QStringLiteral("école"));
      QVERIFY(d.CBDifferencier->isChecked());
      QTest::keyClick(d.EChercher, Qt::Key_Escape);
    });
    QVERIFY(!d.Execute(l));
    QCOMPARE(l.EChercher, "école"_a);
  }
};

QTEST_MAIN(TestDialogues)
#include "dialogues_qtest.moc"
