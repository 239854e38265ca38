// The menu shortcut dispatch that the player and the editor share: the states are refreshed
// first, then the command runs when its item is enabled, shown or hidden; a disabled item
// leaves the key to the control.

#include <QAction>
#include <QKeyEvent>
#include <QtTest>

#include "platform/bureau/Raccourcis.h"

class TestRaccourcis : public QObject {
  Q_OBJECT

 private slots:
  void commandeSelonLEtatRafraichi_data() {
    QTest::addColumn<bool>("actif");
    QTest::addColumn<bool>("execute");
    QTest::newRow("actif") << true << true;
    QTest::newRow("inactif") << false << false;
  }
  void commandeSelonLEtatRafraichi() {
    QFETCH(bool, actif);
    QFETCH(bool, execute);
    bool etat = !actif;  // stale until the refresh
    int executions = 0;
    TRaccourcis table;
    table.Ajoute(QKeyCombination(Qt::ControlModifier, Qt::Key_Z),
                 {[&] { etat = actif; }, [&] { return etat; }, [&] { ++executions; }});
    const QKeyEvent ctrlZ(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier);
    const QKeyEvent pave(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier | Qt::KeypadModifier);
    const QKeyEvent z(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier);
    QVERIFY(table.Possede(&ctrlZ));
    QVERIFY(!table.Possede(&z));
    QCOMPARE(table.Execute(&ctrlZ), execute);
    QCOMPARE(table.Execute(&pave), execute);
    QVERIFY(!table.Execute(&z));
    QCOMPARE(executions, execute ? 2 : 0);
  }

  void actionDUnMenu() {
    QAction item(QStringLiteral("Ouvrir"));
    int declenchements = 0;
    connect(&item, &QAction::triggered, this, [&] { ++declenchements; });
    bool rafraichi = false;
    QVERIFY(DeclencheRaccourci(&item, [&] { rafraichi = true; }));
    QVERIFY(rafraichi);
    QCOMPARE(declenchements, 1);
    QVERIFY(!DeclencheRaccourci(&item, [&] { item.setEnabled(false); }));
    QCOMPARE(declenchements, 1);
  }
};

QTEST_MAIN(TestRaccourcis)
#include "raccourcis_qtest.moc"
