#pragma once
// The score sheet's window: the table of results as players report them, saved as a spreadsheet
// or CSV file. The server listens for the window's whole life; its thread touches only the table
// (under its lock), and the grid is redrawn on the window's thread.

#include <QMainWindow>
#include <QMessageBox>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/bureau/Aide.h"
#include "platform/bureau/Boites.h"
#include "platform/bureau/FinDeSession.h"
#include "scoresheet/KorServeur.h"
#include "scoresheet/KorTableResultats.h"

class QAction;
class QFileDialog;
class QLabel;
class QMenu;
class QTableWidget;

// The save command's dialog, before it runs: the spreadsheet and CSV filters, the proposed name
// "KorResults", and the extension that a name typed without one gets following the chosen filter.
void PrepareDialogueEnregistrement(QFileDialog& dialogue);

class TFormMain : public QMainWindow, public IFinDeSession {
  Q_OBJECT
 public:
  // The server listens at once on the options' port (6784 unless a test chooses another).
  explicit TFormMain(const TOptionsServeur& options = {}, QWidget* parent = nullptr);
  ~TFormMain() override;

  // Message boxes and the save dialog go through these, so that tests can script them.
  FBoiteMessage BoiteMessage;
  // The chosen file's full name; empty when the dialog is cancelled.
  std::function<QString()> DialogueEnregistrement;

  // Declared before the server: the table, and its lock Verrou, outlive the server's thread.
  TTableResultats Table;
  std::unique_ptr<TServeurResultats> TCPServer;
  TAide Aide{QStringLiteral("KorServer.chm")};

  QTableWidget* GridResults = nullptr;
  QLabel* LNomOrdinateur = nullptr;
  QMenu* MnFichier = nullptr;
  QAction* MnEnregistrer = nullptr;
  QAction* MnQuitter = nullptr;
  QMenu* MnAide = nullptr;
  QAction* MnRubriquesAide = nullptr;
  QAction* MnAPropos = nullptr;

  std::string NomOrdinateur() const;

 public slots:
  void ButtonSaveClick();
  void MnQuitterClick();
  void MnRubriquesAideClick();
  void MnAProposClick();
  // A later start of the program: the window comes to the front.
  void AmeneAuPremierPlan();
  // Shows the rows of the table as they are now.
  void RafraichitGrille();

 public:
  // The desktop's logout: the close's question while results are not saved. Its OK stops the
  // server as the close's does; the close that ends the session then asks nothing while no row
  // came since. When the session goes on, the server listens again.
  bool TravailNonSauve() override { return !Table.ResultatsEnregistres(); }
  bool QuestionFinDeSession() override;
  void FinDeSessionAbandonnee() override;

 protected:
  void showEvent(QShowEvent* event) override;   // FormShow
  void closeEvent(QCloseEvent* event) override; // FormCloseQuery
  bool eventFilter(QObject* objet, QEvent* evenement) override;

 private:
  void ResultatArrive();
  // The window's frame at the top right corner of the screen's free area.
  void PlaceEnHautADroite();
  // The columns at their designed widths, narrowed to fit the grid's room when it has less
  // (the vertical scroll bar shown, a narrow window), none narrower than its title.
  void AjusteColonnes();
  QString DialogueEnregistrementStandard();
  // Creates the server and listens.
  void DemarreServeur(const TOptionsServeur& options);
  // Why no result can arrive: the port cannot be opened.
  void SignaleEchecEcoute();
  // The question asked at closing while results are not saved; true for OK.
  bool QuitterSansEnregistrer();
  // The close's decision: true when the window may close, the server then stopped; false when
  // it stays, the server listening as before.
  bool DecideFermeture();
  // Listens again on the port it had, or tells why it cannot.
  void EcouteDeNouveau();

  TOptionsServeur FOptionsServeur;
  bool FRafraichissementPrevu = false;
  bool FPremierAffichage = true;
  int FEssaisPlacement = 40;               // looks for the frame, 50 ms apart, once the window is shown
  bool FAjustementColonnes = false;       // the columns are being sized by AjusteColonnes
  bool FColonnesDeLUtilisateur = false;   // the user sized a column: theirs from then on
  int FLignesAffichees = 0;  // result rows shown, row 1 included
  bool FEcoutaitAvantArret = false;  // the server listened when the close's decision stopped it
  // The table's generation when the question of a logout was answered with OK.
  std::optional<std::uint64_t> FReponseFinDeSession;
  TFinDeSession FFinDeSession{*this};
};
