// The card list window on the offscreen platform: the lines of a Notes file newest first, the
// selection followed at once (mouse and arrow keys), and the four ways to close it.

#include <QHeaderView>
#include <QTableView>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <vector>

#include "cards/KorFichierX.h"
#include "editor/KorListeRegles.h"
#include "editor/fenetres/KorListe.h"
#include "platform/Locale.h"

namespace {
// The settings as they are by default, for what a test here does not set itself.
const TReglages Defauts;
}  // namespace

namespace {

std::unique_ptr<TFichierX> Notes(int n) {
  auto f = std::make_unique<TFichierX>('N', 'x', EVarianteModele::Complet, Defauts);
  for (int i = 0; i < n; ++i) f->AjouteFiche("", "note " + std::to_string(i), "texte");
  return f;
}

}  // namespace

class TestListe : public QObject {
  Q_OBJECT

  std::unique_ptr<TListe> Liste;
  std::vector<int> Selections;

  // Runs the action once the list is up; closes it with the close box if the action left it open.
  TListe::EResultat Montre(const TFichierX& f, int ligne, const std::function<void()>& action) {
    QTimer::singleShot(0, Liste.get(), [this, action] {
      action();
      if (Liste->isVisible()) Liste->close();
    });
    return Liste->Execute(f, ligne);
  }
  void Clic(int ligne, bool double_ = false) {
    const QRect r = Liste->LBListe->visualRect(Liste->Modele.index(ligne, 0));
    QTest::mouseClick(Liste->LBListe->viewport(), Qt::LeftButton, {}, r.center());
    if (double_) QTest::mouseDClick(Liste->LBListe->viewport(), Qt::LeftButton, {}, r.center());
  }
  QString Texte(int ligne) const { return Liste->Modele.data(Liste->Modele.index(ligne, 0)).toString(); }

 private slots:
  void initTestCase() { FixeLocale("fr_FR"); }

  void init() {
    Liste = std::make_unique<TListe>();
    Selections.clear();
    Liste->OnSelection = [this](int index) { Selections.push_back(index); };
  }

  void notesDeCinqFiches() {
    auto f = Notes(5);
    // Card 1 shown: its line is 3, the newest note first.
    const int ligne = LigneDeIndex(1, BaseInverseListe(*f));
    QCOMPARE(ligne, 3);
    const auto r = Montre(*f, ligne, [&] {
      QCOMPARE(Liste->windowTitle(), QStringLiteral("Liste des fiches"));
      QCOMPARE(Liste->LBListe->model()->rowCount(), 5);
      QCOMPARE(Texte(0), QStringLiteral("note 4"));
      QCOMPARE(Texte(4), QStringLiteral("note 0"));
      QCOMPARE(Liste->LBListe->currentIndex().row(), 3);
      QCOMPARE(Liste->BaseInverse(), 4);
      QVERIFY(Selections.empty());  // the initial selection shows nothing
      Clic(0);
      QTest::keyClick(Liste->LBListe, Qt::Key_Down);
      QTest::keyClick(Liste->LBListe, Qt::Key_Escape);
    });
    QCOMPARE(r, TListe::Abandon);
    QCOMPARE(Selections, (std::vector<int>{4, 3}));
  }

  void fermetures_data() {
    QTest::addColumn<int>("facon");
    QTest::addColumn<int>("resultat");
    QTest::newRow("Entrée") << 0 << int(TListe::OK);
    QTest::newRow("F12") << 1 << int(TListe::OK);
    QTest::newRow("double-clic") << 2 << int(TListe::OK);
    QTest::newRow("case de fermeture") << 3 << int(TListe::Fermeture);
  }

  void fermetures() {
    QFETCH(int, facon);
    QFETCH(int, resultat);
    TFichierX r('R', 'x', EVarianteModele::Complet, Defauts);
    for (int i = 0; i < 5; ++i) r.AjouteFiche("", "carte " + std::to_string(i), "");
    const auto fin = Montre(r, 1, [&] {
      QCOMPARE(Texte(0), QStringLiteral("carte 0"));
      QCOMPARE(Liste->BaseInverse(), 0);
      Clic(2);
      switch (facon) {
        case 0: QTest::keyClick(Liste->LBListe, Qt::Key_Return); break;
        case 1: QTest::keyClick(Liste->LBListe, Qt::Key_F12); break;
        case 2: Clic(4, true); break;
        default: Liste->close(); break;
      }
    });
    QCOMPARE(int(fin), resultat);
    QCOMPARE(Selections.front(), 2);
    QCOMPARE(Selections.back(), facon == 2 ? 4 : 2);
  }

  void fichierQuiChangeSousLaListe() {
    auto f = Notes(5);
    Montre(*f, 4, [&] {
      f->SupprimeFiche(4);
      f->SupprimeFiche(3);
      // Drawn before the list hears of it: no line past the end.
      QCOMPARE(Texte(0), QString());
      Liste->FichierChange(f.get());
      QCOMPARE(Liste->LBListe->model()->rowCount(), 3);
      QCOMPARE(Liste->LBListe->currentIndex().row(), 2);
      QCOMPARE(Texte(0), QStringLiteral("note 2"));
      Clic(0);
      Liste->FichierChange(nullptr);  // the file is closed
      QCOMPARE(Liste->LBListe->model()->rowCount(), 0);
    });
    QCOMPARE(Selections, std::vector<int>{2});
  }

  void policeDeLaListe() {
    // The lines take the height of the list's font, also when it changes.
    QFont police = Liste->LBListe->font();
    police.setPointSize(10);
    Liste->LBListe->setFont(police);
    const int petite = Liste->LBListe->verticalHeader()->defaultSectionSize();
    QCOMPARE(petite, QFontMetrics(police).height() + 2);
    police.setPointSize(24);
    Liste->LBListe->setFont(police);
    QVERIFY(Liste->LBListe->verticalHeader()->defaultSectionSize() > petite);
  }

  void grandFichier() {
    // A list of 100,000 cards opens on its last line, and the line shown there is read.
    TFichierX r('R', 'x', EVarianteModele::Complet, Defauts);
    for (int i = 0; i < 100000; ++i) r.AjouteFiche("", "carte " + std::to_string(i), "");
    Montre(r, 99999, [&] {
      QCOMPARE(Liste->LBListe->currentIndex().row(), 99999);
      QCOMPARE(Liste->LBListe->currentIndex().data().toString(), QStringLiteral("carte 99999"));
    });
  }
};

QTEST_MAIN(TestListe)
#include "liste_qtest.moc"

