// The desktop layers the programs share: one running instance per user, help at a context
// number (opened through an opener of the test's own), Qt's texts in French.

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include "platform/bureau/Aide.h"
#include "platform/bureau/InstanceUnique.h"
#include "platform/bureau/Traductions.h"

class TestBureau : public QObject {
  Q_OBJECT

 private:
  // A name of this run only, so that nothing else on the machine is disturbed.
  static QString Nom(const char* suffixe) {
    return QStringLiteral("TestBureau-%1-%2").arg(::getpid()).arg(QLatin1String(suffixe));
  }

  static void Touche(const QString& chemin) {
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly));
  }

 private slots:
  void secondDemarrageTransmetEtSeTermine() {
    TInstanceUnique premiere(Nom("a"));
    QSignalSpy recu(&premiere, &TInstanceUnique::LigneDeCommandeRecue);
    QVERIFY(premiere.Demarre({QStringLiteral("KorServer")}));
    {
      TInstanceUnique seconde(Nom("a"));
      QVERIFY(!seconde.Demarre({QStringLiteral("KorServer"), QStringLiteral("fiche é.xkq")}));
    }
    QVERIFY(recu.wait(5000) || recu.size() == 1);
    QCOMPARE(recu.size(), 1);
    QCOMPARE(recu[0][0].toStringList(), (QStringList{QStringLiteral("KorServer"), QStringLiteral("fiche é.xkq")}));
    // A third start likewise.
    TInstanceUnique troisieme(Nom("a"));
    QVERIFY(!troisieme.Demarre({}));
    QTRY_COMPARE(recu.size(), 2);
    QCOMPARE(recu[1][0].toStringList(), QStringList());
  }

  void apresLaFinUnNouveauDemarrageReprend() {
    {
      TInstanceUnique premiere(Nom("b"));
      QVERIFY(premiere.Demarre({}));
    }
    TInstanceUnique suivante(Nom("b"));
    QVERIFY(suivante.Demarre({}));
  }

  void socketLaisseeParUnPlantage() {
    TInstanceUnique instance(Nom("c"));
    // A socket file that no process listens on any more.
    Touche(QDir(QDir::tempPath()).filePath(instance.NomServeur()));
    QVERIFY(instance.Demarre({}));
    QSignalSpy recu(&instance, &TInstanceUnique::LigneDeCommandeRecue);
    TInstanceUnique seconde(Nom("c"));
    QVERIFY(!seconde.Demarre({QStringLiteral("x")}));
    QTRY_COMPARE(recu.size(), 1);
  }

  void boutonsStandardEnFrancais() {
    QVERIFY(ChargeTraductionsQt());
    QVERIFY(ChargeTraductionsQt());
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annuler"));
  }

  void aideAuContexte() {
    QTemporaryDir premier, second;
    QList<QUrl> ouvertes;
    TAide aide(QStringLiteral("KorServer.chm"), [&](const QUrl& url) {
      ouvertes << url;
      return true;
    });
    aide.FixeDossiers({premier.path(), second.path()});
    // Nothing installed: nothing opened.
    QVERIFY(aide.UrlContexte(1).isEmpty());
    QVERIFY(!aide.AfficheContexte(1));
    QVERIFY(ouvertes.isEmpty());
    // Only the help file as the program names it: opened as it is.
    Touche(second.filePath(QStringLiteral("KorServer.chm")));
    QCOMPARE(aide.UrlContexte(3), QUrl::fromLocalFile(second.filePath(QStringLiteral("KorServer.chm"))));
    // Its HTML rendition is preferred, at the context's anchor; the first folder wins.
    Touche(second.filePath(QStringLiteral("KorServer.html")));
    Touche(premier.filePath(QStringLiteral("KorServer.html")));
    QVERIFY(aide.AfficheContexte(7));
    QCOMPARE(ouvertes.size(), 1);
    QCOMPARE(ouvertes[0].toLocalFile(), premier.filePath(QStringLiteral("KorServer.html")));
    QCOMPARE(ouvertes[0].fragment(), QStringLiteral("contexte-7"));
    // An opener that fails is reported.
    TAide refus(QStringLiteral("KorServer.chm"), [](const QUrl&) { return false; });
    refus.FixeDossiers({premier.path()});
    QVERIFY(!refus.AfficheContexte(1));
    // An absolute name is looked for there only.
    TAide absolue(second.filePath(QStringLiteral("KorServer.chm")), [&](const QUrl& url) {
      ouvertes << url;
      return true;
    });
    QVERIFY(absolue.AfficheContexte(2));
    QCOMPARE(ouvertes.last().toLocalFile(), second.filePath(QStringLiteral("KorServer.html")));
  }
};

QTEST_MAIN(TestBureau)
#include "bureau_qtest.moc"
