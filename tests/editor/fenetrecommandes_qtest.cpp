// The editor window's remaining commands on the offscreen platform: Ctrl+P printed to a PDF and
// read back by an outside tool (pdftotext), Ctrl+Ins to the clipboard, a chosen font applied
// whole for the run and kept by name and size across a restart (a second editor reading the
// settings file), fonts from absurd settings that stay readable, stay on top without moving,
// a second start's command line arriving while the save question is open, and the size kept
// when the editor closes maximised.

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QTableView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <functional>

#include "cards/KorXml.h"
#include "editor/KorFicheCommandes.h"
#include "editor/fenetres/KorFenetreFiche.h"
#include "editor/fenetres/KorImpression.h"
#include "editor/fenetres/KorListe.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"
#include "tests/editor/BancFenetre.h"

using banc::Montre;
using banc::Pdftotext;
using banc::PdftotextPresent;
using banc::Tape;
using banc::Touche;
using banc::Utf8;

namespace {

void EcritFichier(const QString& chemin, char type, const std::vector<std::array<std::string, 3>>& fiches) {
  banc::EcritFiches(chemin, type, fiches, true);
}

// The printed lines read back: each line's words, the left edge of its first word and the box
// of all its words, in points from the page's top left corner.
struct TLigneLue {
  QString Texte;
  double Gauche = 0;
  QRectF Boite;
};
QList<TLigneLue> LignesPdf(const QString& pdf, QSizeF* page = nullptr) {
  QList<TLigneLue> lignes;
  const QString sortie = Pdftotext({QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
  const auto taille = QRegularExpression(QStringLiteral("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\"")).match(sortie);
  if (page) *page = QSizeF(taille.captured(1).toDouble(), taille.captured(2).toDouble());
  const QRegularExpression mot(QStringLiteral(
      "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
  double y = -1;
  for (auto m = mot.globalMatch(sortie); m.hasNext();) {
    const auto r = m.next();
    const double yMot = r.captured(2).toDouble();
    const QRectF boite(QPointF(r.captured(1).toDouble(), yMot), QPointF(r.captured(3).toDouble(), r.captured(4).toDouble()));
    if (lignes.isEmpty() || std::abs(yMot - y) > 1) {
      lignes.append({r.captured(5), r.captured(1).toDouble(), boite});
      y = yMot;
    } else {
      lignes.back().Texte += QLatin1Char(' ') + r.captured(5);
      lignes.back().Boite |= boite;
    }
  }
  return lignes;
}

}  // namespace

class TestCommandesFiche : public QObject {
  Q_OBJECT

  // Ctrl+P with the print dialog answered by a PDF file.
  static void ImprimeEnPdf(TFormFiche& f, const QString& pdf) {
    f.BoiteImpression = [pdf](QPrinter& imprimante) {
      imprimante.setOutputFormat(QPrinter::PdfFormat);
      imprimante.setOutputFileName(pdf);
      return true;
    };
    Touche(f, Qt::Key_P, Qt::ControlModifier);
  }

 private slots:
  void initTestCase() { FixeLocale("fr_FR"); }

  void impressionDeLaFiche() {
    if (!PdftotextPresent()) QSKIP("pdftotext absent (./setup installs poppler-utils)");
    banc::TBanc banc;
    const QString q = banc.Chemin(QStringLiteral("q.xkqq"));
    EcritFichier(q, 'Q', {{"Mot", "Une question", "Ligne une\r\nLigne deux"}});
    TReglages& r = banc.Reglages;
    r.PoliceChamps = "DejaVu Sans Mono";
    TFormFiche& f = banc.Cree({q});
    const QString pdf = banc.Chemin(QStringLiteral("fiche.pdf"));
    ImprimeEnPdf(f, pdf);
    const QList<TLigneLue> lignes = LignesPdf(pdf);
    QStringList textes;
    for (const TLigneLue& l : lignes) textes << l.Texte;
    QCOMPARE(textes, (QStringList{"Mot", "Une question", "Ligne une", "Ligne deux"}));
    // Six spaces of the field font before every text line.
    const QFont police(f.MQuestion->font(), f.Imprimante.get());
    const double espace =
        QFontMetricsF(police).horizontalAdvance(QLatin1Char(' ')) * 72.0 / f.Imprimante->resolution();
    const double marge = f.Imprimante->pageLayout().paintRect(QPageLayout::Point).left();
    for (const TLigneLue& l : lignes) QVERIFY2(std::abs(l.Gauche - (marge + 6 * espace)) < 1.0, qPrintable(l.Texte));

    // A type without field 1: the card number prints.
    const QString liste = banc.Chemin(QStringLiteral("l.xkql"));
    EcritFichier(liste, 'L', {{"", "", "premier"}, {"", "", "second"}});
    TFormFiche g({liste}, r);
    QVERIFY(Montre(g));
    Touche(g, Qt::Key_F8);
    const QString pdf2 = banc.Chemin(QStringLiteral("liste.pdf"));
    ImprimeEnPdf(g, pdf2);
    textes.clear();
    for (const TLigneLue& l : LignesPdf(pdf2)) textes << l.Texte;
    QCOMPARE(textes.mid(textes.size() - 2), (QStringList{"2", "second"}));
  }

  // The card prints inside the margins of a desktop print, whatever margins the printer's page
  // came with from the print dialog (a printer's own are a few millimetres, or none).
  void impressionDansLesMarges_data() {
    QTest::addColumn<double>("margesDuDialogue");  // mm; -1: as the printer came
    QTest::newRow("marges de l'imprimante") << -1.0;
    QTest::newRow("marges nulles") << 0.0;
    QTest::newRow("marges plus larges") << 30.0;
  }
  void impressionDansLesMarges() {
    if (!PdftotextPresent()) QSKIP("pdftotext absent (./setup installs poppler-utils)");
    QFETCH(double, margesDuDialogue);
    QTemporaryDir dossier;
    const QString q = dossier.filePath(QStringLiteral("q.xkqq"));
    EcritFichier(q, 'Q', {{"Mot", "Une question", "Ligne une\r\nLigne deux"}});
    TReglages r;
    TFormFiche f({q}, r);
    QVERIFY(Montre(f));
    QVERIFY2(!f.Imprimante, "no printer before the first print");
    const QString pdf = dossier.filePath(QStringLiteral("fiche.pdf"));
    f.BoiteImpression = [pdf, margesDuDialogue](QPrinter& imprimante) {
      imprimante.setOutputFormat(QPrinter::PdfFormat);
      imprimante.setOutputFileName(pdf);
      imprimante.setPageSize(QPageSize(QPageSize::A4));
      if (margesDuDialogue >= 0)
        imprimante.setPageMargins(QMarginsF(margesDuDialogue, margesDuDialogue, margesDuDialogue, margesDuDialogue),
                                  QPageLayout::Millimeter);
      return true;
    };
    Touche(f, Qt::Key_P, Qt::ControlModifier);
    QSizeF page;
    const QList<TLigneLue> lignes = LignesPdf(pdf, &page);
    QCOMPARE(lignes.size(), 4);
    const double pointsParMm = 72.0 / 25.4;
    QVERIFY(MargeImpressionMm >= 10);
    const double marge = std::max(MargeImpressionMm, margesDuDialogue) * pointsParMm;
    // Within a point: a word's box is the font's, a little taller than what Qt takes as its ascent.
    const QRectF interieur =
        QRectF(QPointF(marge, marge), QPointF(page.width() - marge, page.height() - marge)).adjusted(-1, -1, 1, 1);
    for (const TLigneLue& l : lignes)
      QVERIFY2(interieur.contains(l.Boite), qPrintable(QStringLiteral("%1 at %2, %3").arg(l.Texte).arg(l.Boite.left()).arg(l.Boite.top())));
    // The first line starts at the corner of the area inside the margins: one line's height from
    // the top margin, six spaces from the left one.
    const double espace = QFontMetricsF(QFont(f.MQuestion->font(), f.Imprimante.get())).horizontalAdvance(QLatin1Char(' ')) *
                          72.0 / f.Imprimante->resolution();
    QVERIFY2(std::abs(lignes[0].Gauche - (marge + 6 * espace)) < 1.0, qPrintable(QString::number(lignes[0].Gauche)));
    QVERIFY2(lignes[0].Boite.top() < marge + 2 * lignes[0].Boite.height(), qPrintable(QString::number(lignes[0].Boite.top())));
  }

  void pressePapiers() {
    banc::TBanc banc;
    const QString q = banc.Chemin(QStringLiteral("q.xkqq"));
    EcritFichier(q, 'Q', {{"Titre", "Question ?", "Réponse"_a}});
    TFormFiche& f = banc.Cree({q});
    Touche(f, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Titre\r\n\r\nQuestion ?\r\n\r\nRéponse"));
  }

  void policeChoisiePuisRedemarrage() {
    TReglages r1;
    {
      TFormFiche f({}, r1);
      QFont proposee;
      f.BoitePolice = [&](QFont& police) {
        proposee = police;
        police = QFont(QStringLiteral("DejaVu Serif"), 14);
        police.setBold(true);
        return true;
      };
      QVERIFY(Montre(f));
      f.Action(EItem::Champs1)->trigger();
      QCOMPARE(proposee.family(), QStringLiteral("Lucida Sans Typewriter"));
      QCOMPARE(proposee.pointSize(), 10);
      for (QWidget* w : {static_cast<QWidget*>(f.ETitre), static_cast<QWidget*>(f.MQuestion),
                         static_cast<QWidget*>(f.MReponse)}) {
        QVERIFY(w->font().bold());
        QCOMPARE(QFontInfo(w->font()).family(), QStringLiteral("DejaVu Serif"));
      }
      QVERIFY(f.Editeur.GetReglagesModifies());
      f.Action(EItem::Liste1)->trigger();
      QCOMPARE(proposee.family(), QStringLiteral("MS Reference Sans Serif"));
      QCOMPARE(proposee.pointSize(), 12);
      QVERIFY(f.Liste->LBListe->font().bold());
      f.close();
    }
    // A second editor reads the settings file: the name and size come back, bold does not.
    TReglages r2;
    LitPreferences(r2, EPartReglages::Editeur);
    QCOMPARE(QString::fromStdString(r2.PoliceChamps), QStringLiteral("DejaVu Serif"));
    QCOMPARE(r2.TaillePoliceChamps, 14);
    TFormFiche g({}, r2);
    QVERIFY(Montre(g));
    QCOMPARE(QFontInfo(g.MReponse->font()).family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(g.MReponse->font().pointSize(), 14);
    QVERIFY(!g.MReponse->font().bold());
    QCOMPARE(QFontInfo(g.Liste->LBListe->font()).family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(g.Liste->LBListe->font().pointSize(), 14);
    QVERIFY(!g.Liste->LBListe->font().bold());
    g.close();
  }

  void policesDesReglagesAbsurdes_data() {
    QTest::addColumn<QString>("nom");
    QTest::addColumn<int>("taille");
    QTest::newRow("nom inconnu") << QStringLiteral("Police Qui N'Existe Pas") << 10;
    QTest::newRow("taille nulle") << QStringLiteral("DejaVu Sans Mono") << 0;
    QTest::newRow("taille négative") << QStringLiteral("Police Qui N'Existe Pas") << -12;
    QTest::newRow("taille absurde") << QString() << 100000;
  }
  void policesDesReglagesAbsurdes() {
    QFETCH(QString, nom);
    QFETCH(int, taille);
    banc::TBanc banc;
    TReglages& r = banc.Reglages;
    r.PoliceChamps = ansi::DepuisQString(nom);
    r.TaillePoliceChamps = taille;
    r.PoliceListe = r.PoliceChamps;
    r.TaillePoliceListe = taille;
    TFormFiche& f = banc.Cree();
    for (const QFont& police : {f.MQuestion->font(), f.ETitre->font(), f.Liste->LBListe->font()}) {
      const QFontInfo info(police);
      QVERIFY(!info.family().isEmpty());
      QVERIFY2(info.pointSize() >= TaillePoliceMin && info.pointSize() <= TaillePoliceMax,
               qPrintable(QString::number(info.pointSize())));
      QVERIFY(QFontMetricsF(police).horizontalAdvance(QStringLiteral("Lisible")) > 0);
    }
    // The settings keep the user's choice.
    QCOMPARE(QString::fromStdString(ansi::AnsiVersUtf8(r.PoliceChamps)), nom);
    QCOMPARE(r.TaillePoliceChamps, taille);
  }

  void avantPlanEtInstanceUnique() {
    TReglages r;
    TFormFiche f({}, r);
    f.setGeometry(140, 110, 640, 420);
    QVERIFY(Montre(f));
    const QRect avant = f.geometry();
    QAction* avantPlan = f.Action(EItem::Applicationaudessus1);
    QVERIFY(!avantPlan->isChecked());
    avantPlan->trigger();
    QVERIFY(r.AvantPlan);
    QVERIFY(avantPlan->isChecked());
    QVERIFY(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(f.isVisible());
    QCOMPARE(f.geometry(), avant);
    avantPlan->trigger();
    QVERIFY(!f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(f.geometry(), avant);
    // "Instance unique" changes its mark and the setting, nothing else until the next start.
    QAction* instance = f.Action(EItem::Instanceunique1);
    instance->trigger();
    QVERIFY(instance->isChecked());
    QVERIFY(r.InstanceUnique);
    QVERIFY(!f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  }

  // A second start names B while the save question for the modified A is open, then C: nothing
  // happens under the open box, Cancel keeps A, and C (the newer one) is acted on once the box
  // has closed, with its own save question.
  void ligneDeCommandePendantUneQuestion() {
    banc::TBanc banc;
    banc.BoitesDeLaFenetre = true;
    const QString a = banc.Chemin(QStringLiteral("a.xkqq")), b = banc.Chemin(QStringLiteral("b.xkqq")),
                  c = banc.Chemin(QStringLiteral("c.xkqq"));
    for (const QString& n : {a, b, c}) EcritFichier(n, 'Q', {{"t", "q", "r"}});
    const TReglages& r = banc.Reglages;
    TFormFiche& f = banc.Cree({a});
    f.MReponse->setFocus();
    Tape(f.MReponse, QStringLiteral(" modifiée"));
    Touche(f, Qt::Key_F2);
    QVERIFY(f.Editeur.GetFichierCourant()->FModifie);
    auto nom = [&f] { return f.Editeur.GetFichierCourant() ? f.Editeur.GetFichierCourant()->FNomFichier : std::string(); };
    bool aSousLaBoite = false;
    banc::TBoitesScriptees boites({[&](QMessageBox& boite) {
                      f.LigneDeCommandeRecue({b});
                      f.LigneDeCommandeRecue({c});
                      aSousLaBoite = nom() == Utf8(a);
                      boite.button(QMessageBox::Cancel)->click();
                    },
                    [&](QMessageBox& boite) { boite.button(QMessageBox::No)->click(); }});
    f.LigneDeCommandeRecue({b});
    QVERIFY(aSousLaBoite);
    QTRY_COMPARE(nom(), Utf8(c));
    QCOMPARE(boites.Vues, 2);
    QTest::qWait(3 * TReceptionLigneCommande::IntervalleReprise);
    QCOMPARE(nom(), Utf8(c));
    QCOMPARE(boites.Vues, 2);
    QCOMPARE(r.FichierOuvert, Utf8(a));
    QVERIFY(r.FichierRecent != Utf8(b));
  }

  // A command line that comes while the close question is open is dropped once the window closed.
  void ligneDeCommandePendantLaFermeture() {
    banc::TBanc banc;
    banc.BoitesDeLaFenetre = true;
    const QString a = banc.Chemin(QStringLiteral("a.xkqq")), b = banc.Chemin(QStringLiteral("b.xkqq"));
    for (const QString& n : {a, b}) EcritFichier(n, 'Q', {{"t", "q", "r"}});
    const TReglages& r = banc.Reglages;
    TFormFiche& f = banc.Cree({a});
    f.MReponse->setFocus();
    Tape(f.MReponse, QStringLiteral("!"));
    Touche(f, Qt::Key_F2);
    banc::TBoitesScriptees boites({[&](QMessageBox& boite) {
      f.LigneDeCommandeRecue({b});
      boite.button(QMessageBox::No)->click();
    }});
    QVERIFY(f.close());
    QTest::qWait(3 * TReceptionLigneCommande::IntervalleReprise);
    QCOMPARE(boites.Vues, 1);
    QVERIFY(!f.Editeur.GetFichierCourant());
    QCOMPARE(r.FichierOuvert, Utf8(a));
  }

  void fermetureMaximisee() {
    TReglages r;
    r.LargeurFenetre = 500;
    r.HauteurFenetre = 300;
    EcritPreferences(r, EPartReglages::Editeur, false);
    {
      TFormFiche f({}, r);
      f.showMaximized();
      QVERIFY(QTest::qWaitForWindowExposed(&f));
      QTRY_VERIFY(f.isMaximized());
      f.close();
    }
    TReglages relus;
    LitPreferences(relus, EPartReglages::Editeur);
    QVERIFY(relus.PleinEcran);
    QCOMPARE(relus.LargeurFenetre, 500);
    QCOMPARE(relus.HauteurFenetre, 300);
  }
};

QTEST_MAIN(TestCommandesFiche)
#include "fenetrecommandes_qtest.moc"
