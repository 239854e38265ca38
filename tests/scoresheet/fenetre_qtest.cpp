// The score sheet's window on the offscreen platform: results arriving over loopback, the free
// row 1, saving with Ctrl+S through a scripted dialog, the save dialog's names by filter, the
// question at closing and at a logout, help, and a port that cannot be opened.

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "platform/Ansi.h"
#include "platform/Ordinateur.h"
#include "player/KorResultats.h"
#include "scoresheet/KorFichiersResultats.h"
#include "scoresheet/fenetres/KorServerMain.h"
#include "ReseauTest.h"

namespace {

struct Boite {
  QMessageBox::Icon Icone;
  QString Titre;
  QString Texte;
};

}  // namespace

class TestFenetre : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TFormMain> Fenetre;
  QList<Boite> Boites;
  QMessageBox::StandardButton Reponse = QMessageBox::Ok;
  QString NomChoisi;
  int Dialogues = 0;

  void Cree(std::uint16_t port = 0) {
    TOptionsServeur o;
    o.Port = port;
    Fenetre = std::make_unique<TFormMain>(o);
    Fenetre->BoiteMessage = [this](QMessageBox::Icon icone, const QString& titre, const QString& texte,
                                   QMessageBox::StandardButtons) {
      Boites.append({icone, titre, texte});
      return Reponse;
    };
    Fenetre->DialogueEnregistrement = [this] {
      ++Dialogues;
      return NomChoisi;
    };
    Fenetre->show();
    QVERIFY(QTest::qWaitForWindowExposed(Fenetre.get()));
    Fenetre->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Fenetre.get()));
  }

  // A player on this computer reporting to the window's port.
  TClientResultats Client(std::uint16_t port) const {
    TClientResultats c;
    c.Hote = "127.0.0.1";
    c.Port = port;
    c.NomOrdinateurLocal = "POSTE1";
    return c;
  }

  bool Envoie(const std::string& candidat, const std::string& fichier, int score, int maximum) {
    return EnvoieResultat(Client(Fenetre->TCPServer->Port()), candidat, fichier, score, maximum);
  }

  // Whether a report to that port is acknowledged as received.
  bool Accuse(std::uint16_t port, const std::string& candidat) {
    try {
      return EchangeResultat(Client(port), candidat, "q.kqq", 1, 2) == "200 Well received";
    } catch (const EErreurResultats&) {
      return false;
    }
  }

  QString Cellule(int ligne, int colonne) const {
    const QTableWidgetItem* item = Fenetre->GridResults->item(ligne, colonne);
    return item ? item->text() : QString();
  }

 private slots:
  void init() {
    Boites.clear();
    Reponse = QMessageBox::Ok;
    NomChoisi.clear();
    Dialogues = 0;
  }
  void cleanup() {
    if (Fenetre) Fenetre->Table.MarqueEnregistre(Fenetre->Table.Instantane().Generation);
    Fenetre.reset();
  }

  void etatInitial() {
    Cree();
    QCOMPARE(Fenetre->windowTitle(), QStringLiteral("Orvaline : Feuille de Notes"));
    QVERIFY(Fenetre->TCPServer->EnEcoute());
    QCOMPARE(Fenetre->GridResults->columnCount(), 5);
    QCOMPARE(Fenetre->GridResults->rowCount(), 1);
    const QStringList titres = {"Ordinateur", "Candidat", "Questionnaire", "Résultat", "Maximum"};
    const int largeurs[] = {80, 160, 160, 60, 60};
    for (int c = 0; c < 5; ++c) {
      QCOMPARE(Fenetre->GridResults->horizontalHeaderItem(c)->text(), titres[c]);
      QCOMPARE(Fenetre->GridResults->columnWidth(c), largeurs[c]);
      QCOMPARE(Cellule(0, c), QString());
    }
    QCOMPARE(Fenetre->LNomOrdinateur->text(),
             QStringLiteral("Nom de cet ordinateur : %1").arg(ansi::VersQString(GetComputerNameA())));
    QCOMPARE(Fenetre->MnEnregistrer->text(), QStringLiteral("&Enregistrer"));
    QCOMPARE(Fenetre->MnEnregistrer->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    QCOMPARE(Fenetre->MnRubriquesAide->shortcut(), QKeySequence(Qt::Key_F1));
    QCOMPARE(Fenetre->MnQuitter->text(), QStringLiteral("&Quitter"));
    QCOMPARE(Fenetre->MnAPropos->text(), QStringLiteral("&A propos..."));
    QVERIFY(Boites.isEmpty());
  }

  // The window's frame at the top right corner of the screen's free area.
  void placeeEnHautADroite() {
    Cree();
    const QRect zone = Fenetre->screen()->availableGeometry();
    QTRY_COMPARE(Fenetre->frameGeometry().top(), zone.top());
    QCOMPARE(Fenetre->frameGeometry().right(), zone.right());
  }

  // With the vertical scroll bar shown, the columns still fit the grid: no horizontal scroll bar,
  // every title whole.
  void colonnesDansLaGrilleAvecLaBarreDeDefilement() {
    Cree();
    for (int i = 0; i < 30; ++i)
      Fenetre->Table.TCPServerCommandSendDataCommand(
          {"POSTE" + std::to_string(i), "Candidat", "quiz.xkqq", std::to_string(i), "30"});
    Fenetre->RafraichitGrille();
    QCOMPARE(Fenetre->GridResults->rowCount(), 30);
    QTRY_VERIFY(Fenetre->GridResults->verticalScrollBar()->isVisible());
    QTRY_VERIFY(!Fenetre->GridResults->horizontalScrollBar()->isVisible());
    const QHeaderView* entete = Fenetre->GridResults->horizontalHeader();
    const int marge = 2 * entete->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, entete);
    int total = 0;
    for (int c = 0; c < 5; ++c) {
      const QString titre = Fenetre->GridResults->horizontalHeaderItem(c)->text();
      QVERIFY2(entete->sectionSize(c) >= entete->fontMetrics().horizontalAdvance(titre) + marge, qPrintable(titre));
      total += entete->sectionSize(c);
    }
    QVERIFY(total <= Fenetre->GridResults->viewport()->width());
    // The wide columns gave up the room; the narrow ones kept their width.
    QCOMPARE(entete->sectionSize(3), 60);
    QCOMPARE(entete->sectionSize(4), 60);
    QVERIFY(entete->sectionSize(1) < 160);
    // Wider again, the columns go back to their widths.
    Fenetre->resize(800, Fenetre->height());
    QTRY_COMPARE(entete->sectionSize(1), 160);
    QCOMPARE(entete->sectionSize(2), 160);
    // A column the user sizes stays as they left it.
    Fenetre->GridResults->horizontalHeader()->resizeSection(1, 300);
    Fenetre->resize(528, Fenetre->height());
    QTest::qWait(50);
    QCOMPARE(entete->sectionSize(1), 300);
  }

  void lesResultatsApparaissent() {
    Cree();
    QVERIFY(Envoie("Zoé"_a, "/cours/Géo.xkqq", 70, 100));
    QTRY_COMPARE(Cellule(0, 1), QStringLiteral("Zoé"));
    QCOMPARE(Fenetre->GridResults->rowCount(), 1);
    QCOMPARE(Cellule(0, 0), QStringLiteral("POSTE1"));
    QCOMPARE(Cellule(0, 2), QStringLiteral("Géo.xkqq"));
    QCOMPARE(Cellule(0, 3), QStringLiteral("70"));
    QCOMPARE(Cellule(0, 4), QStringLiteral("100"));
    QVERIFY(Envoie("Bob", "q.kqq", 3, 4));
    QVERIFY(Envoie("Eve", "r.kqq", 5, 6));
    QTRY_COMPARE(Fenetre->GridResults->rowCount(), 3);
    QCOMPARE(Cellule(1, 1), QStringLiteral("Bob"));
    QCOMPARE(Cellule(2, 1), QStringLiteral("Eve"));
    QCOMPARE(Cellule(0, 1), QStringLiteral("Zoé"));
    QVERIFY(!(Fenetre->GridResults->item(2, 1)->flags() & Qt::ItemIsEditable));
  }

  void ligneUnReutiliseeTantQuelleEstLibre() {
    Cree();
    test_reseau::TPair p(Fenetre->TCPServer->Port());
    QCOMPARE(p.LitLigne(), std::optional<std::string>("200 Welcome"));
    // A questionnaire of blanks is trimmed to nothing: row 1 is filled but stays free.
    p.Envoie("SENDDATA\tPC0\tVide\t \t1\t2\r\n");
    QCOMPARE(p.LitLigne(), std::optional<std::string>("200 Well received"));
    QTRY_COMPARE(Cellule(0, 1), QStringLiteral("Vide"));
    QVERIFY(Envoie("Bob", "q.kqq", 3, 4));
    QTRY_COMPARE(Cellule(0, 1), QStringLiteral("Bob"));
    QCOMPARE(Fenetre->GridResults->rowCount(), 1);
    QVERIFY(Envoie("Eve", "r.kqq", 5, 6));
    QTRY_COMPARE(Fenetre->GridResults->rowCount(), 2);
  }

  void fermerSansResultatNeDemandeRien() {
    Cree();
    QVERIFY(Fenetre->close());
    QVERIFY(Boites.isEmpty());
  }

  void fermerAvecResultatsNonEnregistres() {
    Cree();
    QVERIFY(Envoie("Bob", "q.kqq", 3, 4));
    Reponse = QMessageBox::Cancel;
    QVERIFY(!Fenetre->close());
    QVERIFY(Fenetre->isVisible());
    QCOMPARE(Boites.size(), 1);
    QCOMPARE(Boites[0].Icone, QMessageBox::Question);
    QCOMPARE(Boites[0].Texte, QStringLiteral("Voulez-vous quitter sans enregistrer les résultats ?"));
    // The server still runs.
    QVERIFY(Envoie("Eve", "r.kqq", 5, 6));
    Reponse = QMessageBox::Ok;
    Fenetre->MnQuitter->trigger();
    QVERIFY(!Fenetre->isVisible());
    QCOMPARE(Boites.size(), 2);
  }

  // A close decided while players keep reporting, after a save or through the question answered
  // OK: every report a player was told was received is among the rows the decision covered (those
  // saved, or those in the table when the question was answered), also those that came in the
  // few milliseconds the close takes; none is acknowledged once it is decided.
  void fermetureSousUnFluxDeRapports_data() {
    QTest::addColumn<bool>("enregistre");
    QTest::newRow("après un enregistrement") << true;
    QTest::newRow("après la question") << false;
  }
  void fermetureSousUnFluxDeRapports() {
    QFETCH(bool, enregistre);
    constexpr int NbJoueurs = 16;
    for (int tour = 0; tour < 12; ++tour) {
      QTemporaryDir dossier;
      Cree();
      std::set<std::string> couverts;
      Fenetre->BoiteMessage = [&](QMessageBox::Icon icone, const QString& titre, const QString& texte,
                                  QMessageBox::StandardButtons) {
        Boites.append({icone, titre, texte});
        if (icone == QMessageBox::Question) {
          // The teacher reads the question while reports still come, then answers.
          QTest::qSleep(tour % 3 * 5);
          for (const TLigneResultat& l : Fenetre->Table.Instantane().Lignes) couverts.insert(l[1]);
        }
        return QMessageBox::Ok;
      };
      const std::uint16_t port = Fenetre->TCPServer->Port();
      std::atomic<bool> fini{false};
      std::mutex verrou;
      std::vector<std::string> recus;
      std::vector<std::thread> joueurs;
      for (int j = 0; j < NbJoueurs; ++j) {
        joueurs.emplace_back([&, j] {
          for (int n = 0; !fini; ++n) {
            TClientResultats c;
            c.Hote = "127.0.0.1";
            c.Port = port;
            c.NomOrdinateurLocal = "POSTE" + std::to_string(j);
            const std::string candidat = "J" + std::to_string(j) + "-" + std::to_string(n);
            try {
              if (EchangeResultat(c, candidat, "quiz.xkqq", n, 10) == "200 Well received") {
                std::lock_guard<std::mutex> g(verrou);
                recus.push_back(candidat);
                continue;
              }
            } catch (const EErreurResultats&) {
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
          }
        });
      }
      QTRY_VERIFY(Fenetre->Table.NbLignes() > 40);
      if (enregistre) {
        NomChoisi = dossier.filePath(QStringLiteral("Notes.csv"));
        Fenetre->ButtonSaveClick();
        QFile fichier(NomChoisi);
        QVERIFY(fichier.open(QIODevice::ReadOnly));
        for (const QByteArray& ligne : fichier.readAll().split('\n')) {
          const QList<QByteArray> champs = ligne.split(';');
          if (champs.size() > 1) couverts.insert(champs[1].toStdString());
        }
      }
      QVERIFY(Fenetre->close());
      // The players go on a while: a server still answering would tell them their results came.
      QTest::qWait(100);
      fini = true;
      for (auto& j : joueurs) j.join();
      QVERIFY(!recus.empty());
      std::vector<std::string> perdus;
      for (const std::string& candidat : recus)
        if (!couverts.count(candidat)) perdus.push_back(candidat);
      QVERIFY2(perdus.empty(), (std::to_string(perdus.size()) + " reçus, puis perdus à la fermeture, dont " +
                                (perdus.empty() ? std::string() : perdus.front())).c_str());
      Boites.clear();
      Fenetre.reset();
    }
  }

  // Rows that came between the answer and the stop are asked about again; Cancel then keeps the
  // window, which listens again on its port.
  void fermetureRedemandeePourLesLignesArriveesEntreTemps() {
    Cree();
    QVERIFY(Envoie("Bob", "q.kqq", 3, 4));
    const std::uint16_t port = Fenetre->TCPServer->Port();
    int questions = 0;
    Fenetre->BoiteMessage = [&](QMessageBox::Icon icone, const QString& titre, const QString& texte,
                                QMessageBox::StandardButtons) {
      Boites.append({icone, titre, texte});
      // A report arrives while the first question is on screen.
      if (icone == QMessageBox::Question && ++questions == 1) {
        [&] { QVERIFY(Envoie("Eve", "r.kqq", 5, 6)); }();
        return QMessageBox::Ok;
      }
      return QMessageBox::Cancel;
    };
    QVERIFY(!Fenetre->close());
    QCOMPARE(questions, 2);
    QCOMPARE(Boites[1].Texte, QStringLiteral("Voulez-vous quitter sans enregistrer les résultats ?"));
    QVERIFY(Fenetre->isVisible());
    QVERIFY(Fenetre->TCPServer->EnEcoute());
    QCOMPARE(Fenetre->TCPServer->Port(), port);
    QVERIFY(Envoie("Zoé"_a, "s.kqq", 1, 2));
    QCOMPARE(Fenetre->Table.NbLignes(), 4);
  }

  // The close's question at a logout, the window left open. Cancel stops the logout: the server
  // goes on taking reports, and the close asks again.
  void finDeSessionAnnulee() {
    Cree();
    QVERIFY(!Fenetre->TravailNonSauve());
    QVERIFY(Envoie("Bob", "q.kqq", 3, 4));
    QVERIFY(Fenetre->TravailNonSauve());
    const std::uint16_t port = Fenetre->TCPServer->Port();
    Reponse = QMessageBox::Cancel;
    QVERIFY(!Fenetre->QuestionFinDeSession());
    QCOMPARE(Boites.size(), 1);
    QCOMPARE(Boites[0].Icone, QMessageBox::Question);
    QCOMPARE(Boites[0].Texte, QStringLiteral("Voulez-vous quitter sans enregistrer les résultats ?"));
    QVERIFY(Fenetre->isVisible());
    QVERIFY(Accuse(port, "Eve"));
    QVERIFY(!Fenetre->close());
    QCOMPARE(Boites.size(), 2);
  }

  // OK: no report is acknowledged any more and the window stays. When the session ends, the close
  // asks nothing; when it goes on, the window listens again on its port and its close asks again.
  void finDeSessionAcceptee_data() {
    QTest::addColumn<bool>("poursuivie");
    QTest::newRow("session finie") << false;
    QTest::newRow("session poursuivie") << true;
  }
  void finDeSessionAcceptee() {
    QFETCH(bool, poursuivie);
    Cree();
    QVERIFY(Envoie("Bob", "q.kqq", 3, 4));
    const std::uint16_t port = Fenetre->TCPServer->Port();
    const auto lignes = Fenetre->Table.NbLignes();
    QVERIFY(Fenetre->QuestionFinDeSession());
    QCOMPARE(Boites.size(), 1);
    QVERIFY(Fenetre->isVisible());
    QVERIFY(!Accuse(port, "Eve"));
    QCOMPARE(Fenetre->Table.NbLignes(), lignes);
    if (poursuivie) Fenetre->FinDeSessionAbandonnee();
    Reponse = QMessageBox::Cancel;
    QCOMPARE(Fenetre->close(), !poursuivie);
    QCOMPARE(Boites.size(), poursuivie ? 2 : 1);
    if (!poursuivie) return;
    QCOMPARE(Fenetre->TCPServer->Port(), port);
    QVERIFY(Accuse(port, "Zoé"_a));
    QCOMPARE(Fenetre->Table.NbLignes(), lignes + 1);
  }

  // A report that arrives while the question is on screen is asked about again, as at the close:
  // Cancel stops the logout and listens again; OK leaves nothing for the close to ask.
  void finDeSessionRedemandeePourLesLignesArriveesEntreTemps_data() {
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK") << true;
    QTest::newRow("Annuler") << false;
  }
  void finDeSessionRedemandeePourLesLignesArriveesEntreTemps() {
    QFETCH(bool, ok);
    Cree();
    QVERIFY(Envoie("Bob", "q.kqq", 3, 4));
    const std::uint16_t port = Fenetre->TCPServer->Port();
    Fenetre->BoiteMessage = [&](QMessageBox::Icon icone, const QString& titre, const QString& texte,
                                QMessageBox::StandardButtons) {
      Boites.append({icone, titre, texte});
      if (Boites.size() == 1) {
        [&] { QVERIFY(Accuse(port, "Eve")); }();
        return QMessageBox::Ok;
      }
      return ok ? QMessageBox::Ok : QMessageBox::Cancel;
    };
    QCOMPARE(Fenetre->QuestionFinDeSession(), ok);
    QCOMPARE(Boites.size(), 2);
    QCOMPARE(Boites[1].Texte, QStringLiteral("Voulez-vous quitter sans enregistrer les résultats ?"));
    QVERIFY(Fenetre->isVisible());
    QCOMPARE(Accuse(port, "Zoé"_a), !ok);
    if (ok) {
      QVERIFY(Fenetre->close());
      QCOMPARE(Boites.size(), 2);
    }
  }

  void ctrlSEnregistre() {
    QTemporaryDir dossier;
    Cree();
    QVERIFY(Envoie("Bob", "q.kqq", 3, 4));
    QTRY_COMPARE(Cellule(0, 1), QStringLiteral("Bob"));
    // Cancelled: nothing.
    QTest::keyClick(Fenetre.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(Dialogues, 1);
    QVERIFY(Boites.isEmpty());
    QVERIFY(!Fenetre->Table.ResultatsEnregistres());

    NomChoisi = dossier.filePath(QStringLiteral("Notes.csv"));
    QTest::keyClick(Fenetre.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(Dialogues, 2);
    QFile fichier(NomChoisi);
    QVERIFY(fichier.open(QIODevice::ReadOnly));
    QCOMPARE(fichier.readAll(),
             QByteArray("Ordinateur;Candidat;Questionnaire;R\xE9sultat;Maximum\r\nPOSTE1;Bob;q.kqq;3;4\r\n"));
    QCOMPARE(Boites.size(), 1);
    QCOMPARE(Boites[0].Icone, QMessageBox::Information);
    QCOMPARE(Boites[0].Texte, QStringLiteral("\"%1\" enregistré.").arg(NomChoisi));
    QVERIFY(Fenetre->Table.ResultatsEnregistres());
    QVERIFY(Fenetre->close());
    QCOMPARE(Boites.size(), 1);
  }

  // The real save dialog: the name it gives per filter chosen (with the keyboard, as a user
  // does), for the proposed name kept and for names typed after the choice. A spreadsheet of the
  // proposed name is already there: only replacing that very file asks.
  void nomSelonLeFiltre_data() {
    QTest::addColumn<int>("filtre");
    QTest::addColumn<QString>("tape");  // empty: the proposed name kept
    QTest::addColumn<QString>("attendu");
    QTest::addColumn<bool>("question");
    QTest::newRow("Excel, nom proposé") << 0 << QString() << "KorResults.xls" << true;
    QTest::newRow("CSV, nom proposé") << 1 << QString() << "KorResults.csv" << false;
    QTest::newRow("CSV, nom tapé sans extension") << 1 << "Notes" << "Notes.csv" << false;
    QTest::newRow("Excel, nom tapé sans extension") << 0 << "Notes" << "Notes.xls" << false;
    QTest::newRow("Excel, nom tapé en .csv") << 0 << "Notes.csv" << "Notes.csv" << false;
    QTest::newRow("CSV, nom tapé en .xls") << 1 << "Notes.xls" << "Notes.xls" << false;
    QTest::newRow("CSV, nom tapé en .txt") << 1 << "notes.txt" << "notes.txt" << false;
  }
  void nomSelonLeFiltre() {
    QFETCH(int, filtre);
    QFETCH(QString, tape);
    QFETCH(QString, attendu);
    QFETCH(bool, question);
    QTemporaryDir dossier;
    QFile existant(dossier.filePath(QStringLiteral("KorResults.xls")));
    QVERIFY(existant.open(QIODevice::WriteOnly));
    existant.close();
    QFileDialog dialogue;
    PrepareDialogueEnregistrement(dialogue);
    dialogue.setDirectory(dossier.path());
    dialogue.open();
    QVERIFY(QTest::qWaitForWindowExposed(&dialogue));
    QCOMPARE(dialogue.windowTitle(), QStringLiteral("Enregistrer les résultats"));
    auto* types = dialogue.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    auto* nom = dialogue.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(types && nom);
    QCOMPARE(types->currentIndex(), 0);
    QCOMPARE(nom->text(), QStringLiteral("KorResults"));
    types->setFocus();
    for (int i = 0; i < filtre; ++i) QTest::keyClick(types, Qt::Key_Down);
    QCOMPARE(types->currentIndex(), filtre);
    if (!tape.isEmpty()) {
      nom->setFocus();
      nom->selectAll();
      QTest::keyClicks(nom, tape);
    }
    // The question before replacing a file is a modal box: noted and answered Yes.
    QStringList questions;
    QTimer repondeur;
    connect(&repondeur, &QTimer::timeout, this, [&] {
      if (auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        questions << boite->text();
        boite->button(QMessageBox::Yes)->click();
      }
    });
    repondeur.start(20);
    QTest::keyClick(nom, Qt::Key_Return);
    QTRY_VERIFY(!dialogue.isVisible());
    QCOMPARE(dialogue.result(), int(QDialog::Accepted));
    QCOMPARE(QFileInfo(dialogue.selectedFiles().value(0)).fileName(), attendu);
    QCOMPARE(questions.size(), question ? 1 : 0);
    if (question) QVERIFY2(questions[0].contains(QStringLiteral("KorResults.xls")), qPrintable(questions[0]));
  }

  void echecDEnregistrement() {
    QTemporaryDir dossier;
    Cree();
    QVERIFY(Envoie("Bob", "q.kqq", 3, 4));
    NomChoisi = dossier.filePath(QStringLiteral("absent/KorResults.xls"));
    Fenetre->MnEnregistrer->trigger();
    QCOMPARE(Boites.size(), 1);
    QCOMPARE(Boites[0].Icone, QMessageBox::Critical);
    QVERIFY2(Boites[0].Texte.startsWith(QStringLiteral("Impossible de créer le fichier \"%1\".").arg(NomChoisi)),
             qPrintable(Boites[0].Texte));
    QVERIFY(!Fenetre->Table.ResultatsEnregistres());
  }

  void aideAuContexteUn() {
    QTemporaryDir dossier;
    Cree();
    QList<QUrl> ouvertes;
    Fenetre->Aide = TAide(QStringLiteral("KorServer.chm"), [&](const QUrl& url) {
      ouvertes << url;
      return true;
    });
    Fenetre->Aide.FixeDossiers({dossier.path()});
    // No help file: said so.
    QTest::keyClick(Fenetre.get(), Qt::Key_F1);
    QVERIFY(ouvertes.isEmpty());
    QCOMPARE(Boites.size(), 1);
    QCOMPARE(Boites[0].Icone, QMessageBox::Warning);
    QFile page(dossier.filePath(QStringLiteral("KorServer.html")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.close();
    QTest::keyClick(Fenetre.get(), Qt::Key_F1);
    QCOMPARE(ouvertes.size(), 1);
    QCOMPARE(ouvertes[0].toLocalFile(), QFileInfo(page).absoluteFilePath());
    QCOMPARE(ouvertes[0].fragment(), QStringLiteral("contexte-1"));
    QCOMPARE(Boites.size(), 1);
  }

  void aPropos() {
    Cree();
    Fenetre->MnAPropos->trigger();
    QCOMPARE(Boites.size(), 1);
    QCOMPARE(Boites[0].Icone, QMessageBox::Information);
    QCOMPARE(Boites[0].Titre, QStringLiteral("A propos"));
  }

  void portOccupe() {
    QTcpServer occupant;
    QVERIFY(occupant.listen(QHostAddress::AnyIPv4, 0));
    Cree(occupant.serverPort());
    QTRY_COMPARE(Boites.size(), 1);
    QCOMPARE(Boites[0].Icone, QMessageBox::Warning);
    QVERIFY2(Boites[0].Texte.startsWith(QStringLiteral("Le port %1 ne peut pas être ouvert").arg(occupant.serverPort())),
             qPrintable(Boites[0].Texte));
    QVERIFY(!Fenetre->TCPServer->EnEcoute());
    // The window goes on: what it holds can still be saved.
    QTemporaryDir dossier;
    NomChoisi = dossier.filePath(QStringLiteral("vide.xls"));
    QTest::keyClick(Fenetre.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(Boites.size(), 2);
    QFile fichier(NomChoisi);
    QVERIFY(fichier.open(QIODevice::ReadOnly));
    QCOMPARE(fichier.readAll().toStdString(), OctetsXls({TitresResultats(), TLigneResultat{}}));
    QVERIFY(Fenetre->close());
  }
};

QTEST_MAIN(TestFenetre)
#include "fenetre_qtest.moc"
