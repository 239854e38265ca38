// What the editor's window asks of the desktop, without the window: the printed card read back
// from a PDF by an outside tool (pdftotext), an output error, fonts that stay readable whatever
// the settings say, the window kept in front without moving, and the clipboard.

#include <QClipboard>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "editor/KorFicheCommandes.h"
#include "editor/fenetres/KorFicheBureau.h"
#include "editor/fenetres/KorImpression.h"
#include "platform/Ansi.h"
#include "tests/editor/BancFenetre.h"

using banc::PdftotextPresent;

namespace {

// The text of a PDF as pdftotext gives it, page layout kept; with a character pitch (points),
// the columns of a fixed-pitch font come out as they were printed.
QStringList TextePdf(const QString& chemin, double pas = 0) {
  QStringList options = {QStringLiteral("-layout")};
  if (pas > 0) options << QStringLiteral("-fixed") << QString::number(pas, 'f', 4);
  bool reussi = false;
  const QString texte = banc::Pdftotext(options << chemin << QStringLiteral("-"), &reussi);
  if (!reussi) return {QStringLiteral("<pdftotext a échoué>")};
  QStringList lignes = texte.split(QLatin1Char('\n'));
  // The page ends with a form feed and the text with a line break.
  while (!lignes.isEmpty() && lignes.back().trimmed().isEmpty()) lignes.pop_back();
  return lignes;
}

QFont PoliceMono() { return PoliceAffichable("DejaVu Sans Mono", 10, 10, QFont::TypeWriter); }

}  // namespace

class TestBureau : public QObject {
  Q_OBJECT
 private slots:
  void impressionRelue() {
    if (!PdftotextPresent()) QSKIP("pdftotext absent (./setup installs poppler-utils)");
    QTemporaryDir dossier;
    QPrinter imprimante(QPrinter::HighResolution);
    imprimante.setOutputFormat(QPrinter::PdfFormat);
    imprimante.setOutputFileName(dossier.filePath(QStringLiteral("fiche.pdf")));
    // A reference line at the margin shows the indentation of the card's lines.
    std::vector<std::string> lignes = {"|"};
    for (const std::string& l : LignesImpression("Mot", {"Une question"}, {"Ligne une", "Ligne deux é"_a}))
      lignes.push_back(l);
    QCOMPARE(ImprimeLignes(imprimante, PoliceMono(), lignes), QString());
    // The width of a space of the printed font, in points: one column of the text read back.
    const QFont policeImprimee(PoliceMono(), &imprimante);
    const double pas = QFontMetricsF(policeImprimee).horizontalAdvance(QLatin1Char(' ')) * 72.0 /
                       imprimante.resolution();
    QStringList texte = TextePdf(imprimante.outputFileName(), pas);
    QVERIFY(!texte.isEmpty());
    const qsizetype marge = texte.front().indexOf(QLatin1Char('|'));
    QVERIFY(marge >= 0);
    for (QString& l : texte) l = l.mid(marge);
    const QStringList attendu = {QStringLiteral("|"),          QStringLiteral("      Mot"),
                                 QString(),                    QStringLiteral("      Une question"),
                                 QString(),                    QStringLiteral("      Ligne une"),
                                 QStringLiteral("      Ligne deux é")};
    QCOMPARE(texte, attendu);
  }

  void impressionSurPlusieursPages() {
    if (!PdftotextPresent()) QSKIP("pdftotext absent (./setup installs poppler-utils)");
    QTemporaryDir dossier;
    QPrinter imprimante;
    imprimante.setOutputFormat(QPrinter::PdfFormat);
    imprimante.setOutputFileName(dossier.filePath(QStringLiteral("long.pdf")));
    std::vector<std::string> lignes;
    for (int i = 1; i <= 200; ++i) lignes.push_back(Indente("ligne " + std::to_string(i)));
    QCOMPARE(ImprimeLignes(imprimante, PoliceMono(), lignes), QString());
    const QStringList texte = TextePdf(imprimante.outputFileName());
    QStringList nonVides;
    for (const QString& l : texte)
      if (!l.trimmed().isEmpty()) nonVides << l.trimmed();
    QCOMPARE(nonVides.size(), 200);
    QCOMPARE(nonVides.front(), QStringLiteral("ligne 1"));
    QCOMPARE(nonVides.back(), QStringLiteral("ligne 200"));
    QVERIFY(texte.join(QLatin1Char('\n')).contains(QLatin1Char('\f')));  // more than one page
  }

  void erreurDeSortie() {
    QPrinter imprimante;
    imprimante.setOutputFormat(QPrinter::PdfFormat);
    imprimante.setOutputFileName(QStringLiteral("/dossier/qui/n/existe/pas/fiche.pdf"));
    const QString message = ImprimeLignes(imprimante, PoliceMono(), {"x"});
    QVERIFY(message.contains(QStringLiteral("/dossier/qui/n/existe/pas/fiche.pdf")));
  }

  void lignesRepliees() {
    QPlainTextEdit memo;
    memo.setFont(PoliceMono());
    memo.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo.resize(QFontMetrics(memo.font()).horizontalAdvance(QStringLiteral("x")) * 14 + 40, 200);
    memo.setPlainText(QStringLiteral("un deux trois quatre cinq\nsix"));
    memo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&memo));
    const std::vector<std::string> lignes = LignesAffichees(memo);
    QVERIFY2(lignes.size() >= 3, "the first paragraph is wrapped");
    std::string recolle;
    for (std::size_t i = 0; i + 1 < lignes.size(); ++i) recolle += lignes[i];
    QCOMPARE(QString::fromStdString(recolle), QStringLiteral("un deux trois quatre cinq"));
    QCOMPARE(lignes.back(), std::string("six"));
    memo.clear();
    QVERIFY(LignesAffichees(memo).empty());
  }

  void policesLisibles_data() {
    QTest::addColumn<QString>("nom");
    QTest::addColumn<int>("taille");
    QTest::addColumn<int>("attendue");
    QTest::newRow("connue") << QStringLiteral("DejaVu Sans Mono") << 11 << 11;
    QTest::newRow("inconnue") << QStringLiteral("Police Introuvable Zz") << 10 << 10;
    QTest::newRow("nom vide") << QString() << 9 << 9;
    QTest::newRow("taille nulle") << QStringLiteral("Police Introuvable Zz") << 0 << 10;
    QTest::newRow("taille négative") << QStringLiteral("DejaVu Sans") << -4 << 10;
    QTest::newRow("taille absurde") << QStringLiteral("DejaVu Sans") << 100000 << TaillePoliceMax;
    QTest::newRow("trop petite") << QStringLiteral("DejaVu Sans") << 1 << TaillePoliceMin;
  }
  void policesLisibles() {
    QFETCH(QString, nom);
    QFETCH(int, taille);
    QFETCH(int, attendue);
    const QFont police = PoliceAffichable(ansi::DepuisQString(nom), taille, 10, QFont::TypeWriter);
    const QFontInfo info(police);
    QCOMPARE(police.pointSize(), attendue);
    QVERIFY(!info.family().isEmpty());
    QVERIFY(QFontMetrics(police).height() > 0);
    QVERIFY(QFontMetrics(police).horizontalAdvance(QStringLiteral("Lisible")) > 0);
    if (nom == QStringLiteral("DejaVu Sans Mono")) QCOMPARE(info.family(), nom);
  }

  void seulsNomEtTailleRetenus() {
    QFont grasse(QStringLiteral("DejaVu Serif"), 14);
    grasse.setBold(true);
    grasse.setItalic(true);
    std::string nom;
    std::int32_t taille = 0;
    RetientPolice(grasse, nom, taille);
    QCOMPARE(QString::fromStdString(nom), QStringLiteral("DejaVu Serif"));
    QCOMPARE(taille, 14);
    QFont enPixels(QStringLiteral("DejaVu Sans"));
    enPixels.setPixelSize(20);
    RetientPolice(enPixels, nom, taille);
    QVERIFY(taille > 0);
  }

  void avantPlanSansDeplacer() {
    QMainWindow fenetre;
    fenetre.setGeometry(120, 90, 420, 310);
    fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
    const QRect avant = fenetre.geometry();
    for (const bool avantPlan : {true, false}) {
      FixeAvantPlan(fenetre, avantPlan);
      QVERIFY(fenetre.isVisible());
      QCOMPARE(fenetre.windowFlags().testFlag(Qt::WindowStaysOnTopHint), avantPlan);
      QCOMPARE(fenetre.geometry(), avant);
    }
    fenetre.showMaximized();
    QVERIFY(QTest::qWaitFor([&] { return fenetre.isMaximized(); }));
    FixeAvantPlan(fenetre, true);
    QVERIFY(fenetre.isVisible());
    QVERIFY(fenetre.isMaximized());
    // A hidden window stays hidden.
    QMainWindow cachee;
    FixeAvantPlan(cachee, true);
    QVERIFY(!cachee.isVisible());
    QVERIFY(cachee.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  }

  void pressePapiers() {
    const std::string texte = "Titre\r\n\r\nQuestion\r\n\r\nRéponse"_a;
    CopiePressePapiers(texte);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Titre\r\n\r\nQuestion\r\n\r\nRéponse"));
  }
};

QTEST_MAIN(TestBureau)
#include "bureau_qtest.moc"
