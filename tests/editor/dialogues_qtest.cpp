// The editor's whole-file dialogs and the search dialog on the offscreen platform: the
// program's own filling never counts as a change, the user's changes do, the enabling rules
// follow the boxes, and the CSV dialog refuses a separator that no CSV line can carry. Each
// dialog opens on its first control and tabs through its controls in order, is as wide as its
// caption, and keeps texts longer than Qt's default limit of an edit.

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QComboBox>
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
#include "editor/fenetres/KorDlgNouveau.h"
#include "editor/fenetres/KorDlgOptions.h"
#include "editor/fenetres/KorDlgOptionsAvancees.h"
#include "editor/fenetres/KorDlgOptionsCSV.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"
#include "platform/bureau/Boites.h"
#include "tests/editor/BancFenetre.h"

namespace {
// The settings as they are by default, for what a test here does not set itself.
const TReglages Defauts;
}  // namespace

using banc::Pendant;
using banc::Tape;

namespace {

std::unique_ptr<TFichierX> Questionnaire() {
  auto f = std::make_unique<TFichierX>('Q', 'x', EVarianteModele::Complet, Defauts);
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
  void initTestCase() {
    FixeLocale("fr_FR");
    ElargitLesBoitesAuTitre(*qApp);
  }

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
      l.Remplit(*f, Defauts);
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
      l.Remplit(Defauts);
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
    l.Remplit(*f, Defauts);
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
    TFichierX f('R', 'x', EVarianteModele::Complet, Defauts);
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

  // The focus when the dialog opens, then each Tab: the controls in order, the buttons last.
  void focusEtTabulation_data() {
    QTest::addColumn<QString>("dialogue");
    for (const char* d : {"entete", "options", "optionsAvancees", "etiquettes", "optionsCSV", "optionsCSVUtf8",
                          "chercher", "nouveau"})
      QTest::newRow(d) << QString::fromLatin1(d);
  }
  void focusEtTabulation() {
    QFETCH(QString, dialogue);
    auto f = Questionnaire();
    QList<QWidget*> ordre;
    std::function<void()> execute;
    std::unique_ptr<QDialog> d;
    TLogiqueEntete entete;
    TLogiqueOptions options;
    TLogiqueOptionsAvancees avancees;
    TLogiqueEtiquettes etiquettes;
    TLogiqueOptionsCSV csv;
    TLogiqueChercher chercher;
    if (dialogue == QLatin1String("entete")) {
      auto* e = new TDlgEntete;
      d.reset(e);
      entete.Remplit(*f);
      ordre = {e->ETitre, e->MDescription, e->ESignature, e->BOK, e->BAnnuler};
      execute = [e, &entete] { e->Execute(entete); };
    } else if (dialogue == QLatin1String("options")) {
      auto* e = new TDlgOptions;
      d.reset(e);
      options.Remplit(*f);
      ordre = {e->CBRepose, e->CBOrdre, e->CBBriderEntree, e->CBMotAMot, e->CBDiffMaj, e->CBPhonetique,
               e->CBCorrection, e->ETemps, e->ENbreQuestions, e->ESeuil, e->BOK, e->BAnnuler};
      execute = [e, &options] { e->Execute(options); };
    } else if (dialogue == QLatin1String("optionsAvancees")) {
      auto* e = new TDlgOptionsAvancees;
      d.reset(e);
      f->FAvecMotsIgnores = true;  // the list edit enabled
      avancees.Remplit(*f, Defauts);
      ordre = {e->EOu, e->ECarOu, e->EXDelim, e->EMotsIgnores, e->BOK, e->BAnnuler};
      execute = [e, &avancees] { e->Execute(avancees); };
    } else if (dialogue == QLatin1String("etiquettes")) {
      auto* e = new TDlgEtiquettes;
      d.reset(e);
      etiquettes.Remplit(*f);
      ordre = {e->EEtiquette0, e->EEtiquette1, e->EEtiquette2, e->BOK, e->BAnnuler};
      execute = [e, &etiquettes] { e->Execute(etiquettes); };
    } else if (dialogue.startsWith(QLatin1String("optionsCSV"))) {
      auto* e = new TDlgOptionsCSV;
      d.reset(e);
      TReglages r;
      r.CSVUtf8 = dialogue.endsWith(QLatin1String("Utf8"));
      csv.Remplit(r);
      // The group is entered by its chosen button.
      ordre = {r.CSVUtf8 ? e->RBUtf8 : e->RBAnsi, e->EComma, e->BOK, e->BAnnuler};
      execute = [e, &csv] { e->Execute(csv); };
    } else if (dialogue == QLatin1String("chercher")) {
      auto* e = new TDlgChercher;
      d.reset(e);
      TFichierX r('R', 'x', EVarianteModele::Complet, Defauts);
      r.EtiquettesParDefaut();
      chercher.PrepareFichier(r, true, false, false);
      chercher.PrepareEtiquettes(r);
      ordre = {e->EChercher, e->CBDifferencier, e->CBChampUnique, e->CBArriere, e->BChercher, e->BAnnuler};
      execute = [e, &chercher] { e->Execute(chercher); };
    } else {
      auto* e = new TDlgNouveau;
      d.reset(e);
      ordre = {e->CBType, e->BOK, e->BAnnuler};
      execute = [e] {
        int index = -1;
        e->Execute({QStringLiteral("Questionnaire"), QStringLiteral("Notes")}, index);
      };
    }
    QStringList vus;
    Pendant(*d, [&] {
      QVERIFY(banc::Active(d.get()));
      for (int i = 0; i < ordre.size(); ++i) {
        QWidget* focus = QApplication::focusWidget();
        vus << (focus ? focus->objectName() + QLatin1Char('/') + focus->metaObject()->className() : QString());
        QVERIFY2(focus == ordre[i], qPrintable(QStringLiteral("step %1: %2 %3").arg(i).arg(vus.join(QLatin1Char(' '))).arg(ordre[i]->isEnabled())));
        QTest::keyClick(focus, Qt::Key_Tab);
      }
      // Round again.
      QCOMPARE(QApplication::focusWidget(), ordre[0]);
    });
    execute();
  }

  // Typed at once into the header dialog opened: the text goes into the title, not onto OK.
  void saisieAussitot() {
    auto f = Questionnaire();
    TDlgEntete d;
    TLogiqueEntete l;
    l.Remplit(*f);
    Pendant(d, [&] {
      QVERIFY(banc::Active(&d));
      Tape(QApplication::focusWidget(), QStringLiteral("Culture générale"));
      QVERIFY(d.isVisible());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QVERIFY(d.Execute(l));
    l.Stocke(*f);
    QCOMPARE(f->FTitre, "Culture générale"_a);
  }

  void csvRecliqueEtEchap() {
    TReglages r;
    FixeSeparateurCSV("", r);
    TDlgOptionsCSV d;
    TLogiqueOptionsCSV l;
    l.Remplit(r);
    Pendant(d, [&] {
      QVERIFY(banc::Active(&d));
      QVERIFY(d.RBAnsi->isChecked());
      QTest::mouseClick(d.RBAnsi, Qt::LeftButton, {}, QPoint(6, d.RBAnsi->height() / 2));
      QVERIFY(d.RBAnsi->isChecked());
      // No cancel button: Esc leaves the dialog open, from the group and from the edit.
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
      QVERIFY(d.isVisible());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), d.EComma);
      QTest::keyClick(d.EComma, Qt::Key_Escape);
      QVERIFY(d.isVisible());
      d.BOK->click();
    });
    QVERIFY(!d.Execute(l));
    QVERIFY(!d.isVisible());
  }

  // Texts longer than an edit's default limit are stored whole when another control changed.
  void textesLongsGardes() {
    const std::string long_(40000, 'a');
    auto f = Questionnaire();
    f->FAvecMotsIgnores = true;
    f->FMotsIgnores = long_ + " fin";
    f->SetEtiquettes("Champ", long_ + "1", "Texte");
    f->FModifie = false;
    // Another control typed into, then OK.
    const auto valide = [](auto& d, auto& l, QLineEdit* autre) {
      Pendant(d, [&] {
        autre->setFocus();
        Tape(autre, QStringLiteral("x"));
        d.BOK->click();
      });
      return d.Execute(l);
    };
    TDlgOptionsAvancees avancees;
    TLogiqueOptionsAvancees mots;
    mots.Remplit(*f, Defauts);
    QVERIFY(valide(avancees, mots, avancees.EOu));
    mots.Stocke(*f);
    QCOMPARE(f->FMotsIgnores.size(), long_.size() + 4);
    TDlgEtiquettes etiquettes;
    TLogiqueEtiquettes libelles;
    libelles.Remplit(*f);
    QVERIFY(valide(etiquettes, libelles, etiquettes.EEtiquette0));
    libelles.Stocke(*f);
    QCOMPARE(f->FEtiquettes.Champ1, long_ + "1");
  }

  // Every dialog and message box at least as wide as its caption needs.
  void largeurDuTitre_data() {
    QTest::addColumn<QString>("titre");
    QTest::newRow("etiquettes") << QStringLiteral("Étiquettes des champs");
    QTest::newRow("csv") << QStringLiteral("Options des fichiers CSV");
    QTest::newRow("avertissement") << QStringLiteral("Avertissement");
  }
  void largeurDuTitre() {
    QFETCH(QString, titre);
    std::unique_ptr<QDialog> d;
    if (titre.startsWith(QStringLiteral("Étiquettes")))
      d = std::make_unique<TDlgEtiquettes>();
    else if (titre.startsWith(QLatin1String("Options")))
      d = std::make_unique<TDlgOptionsCSV>();
    else
      d = std::make_unique<QMessageBox>(QMessageBox::Warning, titre, QStringLiteral("Ave"), QMessageBox::Ok);
    QCOMPARE(d->windowTitle(), titre);
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    QVERIFY2(d->width() >= LargeurPourTitre(titre), qPrintable(QString::number(d->width())));
    QVERIFY(LargeurPourTitre(titre) > QFontMetrics(d->font()).horizontalAdvance(titre));
  }
};

QTEST_MAIN(TestDialogues)
#include "dialogues_qtest.moc"

