// A later start's command line in the running editor: acted on at once without a dialog, kept
// while a modal dialog is open (the newer one replacing the older) and acted on once it closes;
// and the count of running instances that decides whether the remembered file is reopened.

#include <QDialog>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <string>
#include <vector>

#include "editor/fenetres/KorLigneCommande.h"
#include "platform/bureau/InstanceUnique.h"

using Lignes = std::vector<std::vector<std::string>>;

class TestLigneCommande : public QObject {
  Q_OBJECT
 private slots:
  void sansDialogueAussitot() {
    Lignes recues;
    TReceptionLigneCommande reception([&](const std::vector<std::string>& a) { recues.push_back(a); });
    reception.Recoit({QStringLiteral("/tmp/Fiches é.xkqr")});
    QCOMPARE(recues, (Lignes{{"/tmp/Fiches é.xkqr"}}));
    QVERIFY(!reception.EnAttente());
  }

  void pendantUnDialogueModal() {
    Lignes recues;
    TReceptionLigneCommande reception([&](const std::vector<std::string>& a) { recues.push_back(a); });
    QDialog dialogue;
    bool pendant = false;
    QTimer::singleShot(0, &dialogue, [&] {
      reception.Recoit({QStringLiteral("/a.xkqr")});
      reception.Recoit({QStringLiteral("/b.xkqr"), QStringLiteral("x")});
      // The dialog stays open long enough for the retry to look several times.
      QTimer::singleShot(3 * TReceptionLigneCommande::IntervalleReprise, &dialogue, [&] {
        pendant = recues.empty() && reception.EnAttente();
        dialogue.accept();
      });
    });
    dialogue.exec();
    QVERIFY(pendant);
    QTRY_COMPARE(recues, (Lignes{{"/b.xkqr", "x"}}));
    QTest::qWait(3 * TReceptionLigneCommande::IntervalleReprise);
    QCOMPARE(recues.size(), std::size_t{1});  // acted on once
    QVERIFY(!reception.EnAttente());
  }

  void nombreInstances() {
    const QString nom = QStringLiteral("KorEditEssai%1").arg(QCoreApplication::applicationPid());
    TPresenceInstances premiere(nom);
    QCOMPARE(premiere.NombreInstances(), 1);
    {
      TPresenceInstances seconde(nom);
      QCOMPARE(premiere.NombreInstances(), 2);
      QCOMPARE(seconde.NombreInstances(), 2);
    }
    QCOMPARE(premiere.NombreInstances(), 1);
    TPresenceInstances autreProgramme(nom + QStringLiteral("X"));
    QCOMPARE(premiere.NombreInstances(), 1);
  }
};

QTEST_MAIN(TestLigneCommande)
#include "lignecommande_qtest.moc"
