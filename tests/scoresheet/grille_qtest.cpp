// The score sheet's grid follows its table while reports keep arriving from another thread, some
// one at a time between two redraws, some in bursts that share one, with row 1 rewritten while
// it is free: in the end every cell shows its row of the table.

#include <QTableWidget>
#include <QtTest>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/Ansi.h"
#include "scoresheet/fenetres/KorServerMain.h"

class TestGrille : public QObject {
  Q_OBJECT

 private slots:
  void lesLignesDeLaTableEtElleSeules_data() {
    QTest::addColumn<int>("rapports");
    QTest::addColumn<int>("rafale");
    QTest::newRow("un par un") << 40 << 1;
    QTest::newRow("par rafales") << 600 << 50;
  }

  void lesLignesDeLaTableEtElleSeules() {
    QFETCH(int, rapports);
    QFETCH(int, rafale);
    TFormMain fenetre(TOptionsServeur{.Port = 0});
    fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
    std::thread serveur([&] {
      // Blank questionnaires: row 1 filled, still free, then written over by the next.
      fenetre.Table.TCPServerCommandSendDataCommand({"PC", "Vide", "", "0", "1"});
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      for (int i = 0; i < rapports; ++i) {
        fenetre.Table.TCPServerCommandSendDataCommand(
            {"PC" + std::to_string(i), "Candidat " + std::to_string(i), "q" + std::to_string(i) + ".kqq",
             std::to_string(i % 11), "10"});
        if ((i + 1) % rafale == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    });
    while (fenetre.Table.NbLignes() < rapports + 1) QTest::qWait(1);
    serveur.join();
    QTRY_COMPARE(fenetre.GridResults->rowCount(), rapports);
    QTest::qWait(20);
    const TInstantane table = fenetre.Table.Instantane();
    QCOMPARE(static_cast<int>(table.Lignes.size()), rapports + 1);
    for (int r = 0; r < rapports; ++r)
      for (int c = 0; c < NbColonnesResultats; ++c)
        QCOMPARE(fenetre.GridResults->item(r, c)->text(), ansi::VersQString(table.Lignes[r + 1][c]));
    QCOMPARE(fenetre.GridResults->item(0, 1)->text(), QStringLiteral("Candidat 0"));
  }
};

QTEST_MAIN(TestGrille)
#include "grille_qtest.moc"
