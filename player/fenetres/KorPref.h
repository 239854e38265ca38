#pragma once
// The player's preferences dialog: end-of-game comments, default answer-checking options, the
// score sheet's host with a connection test and the reporting options, the field font and the
// menus shown during a game. Created once with the quiz window; what OK stores goes to the
// settings at once and to the store when the quiz window closes. Its rules are TPrefJeu's.

#include <QDialog>
#include <QFont>
#include <QMessageBox>
#include <QString>

#include <functional>
#include <vector>

#include "cards/KorInit.h"
#include "player/KorPrefJeu.h"
#include "player/KorResultats.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QVBoxLayout;

class TFormPreferences : public QDialog {
  Q_OBJECT
 public:
  // client: the one the connection test tries.
  TFormPreferences(QWidget* parent, TReglages& reglages, TClientResultats& client);

  // The quiz window's Préférences item: fills the dialog from the settings and from the fields'
  // font, runs it, and stores the values on OK. False when nothing was stored (Cancel, or OK
  // without any change).
  bool Execute(const QFont& policeChamps);
  // The last OK stored a font chosen in the font dialog.
  bool PoliceModifiee() const { return Logique.PoliceModifiee(); }

  // The font dialog, starting from a font; true and police := the choice on OK. Tests script it.
  std::function<bool(QFont& police)> DialoguePolice;
  // The connection test's message box; the quiz window puts its own.
  std::function<void(QMessageBox::Icon icone, const QString& texte)> Message;

  TPrefJeu Logique;

  QTabWidget* PageControl1 = nullptr;
  QLineEdit* Egood = nullptr;
  QLineEdit* Ebad = nullptr;
  QLineEdit* EMean = nullptr;
  QLineEdit* Eor = nullptr;
  QLineEdit* Exdelim = nullptr;
  QLineEdit* Eignor = nullptr;
  QLabel* LRemOptions = nullptr;
  QLineEdit* EHost = nullptr;
  QLabel* LRemHote = nullptr;
  QPushButton* BTestCon = nullptr;
  QCheckBox* CBMaxHun = nullptr;
  QCheckBox* CBRepUnf = nullptr;
  QLineEdit* EPolice = nullptr;
  QPushButton* BPolice = nullptr;
  QCheckBox* CBMenuFichier = nullptr;
  QCheckBox* CBMenuPartie = nullptr;
  QPushButton* BOK = nullptr;
  QPushButton* BAnnuler = nullptr;

 public slots:
  void EditeurChange();
  void BPoliceClick();
  void BTestConClick();

 protected:
  void showEvent(QShowEvent* event) override;  // FormShow
  void done(int resultat) override;            // FormClose

 private:
  QWidget* PageMessages();
  QWidget* PageOptions();
  QWidget* PageFeuille();
  QWidget* PageAffichage();
  // Each tab's controls, in reading order: Tab walks them so, and a showing puts the focus on
  // the first of the tab shown.
  std::vector<std::vector<QWidget*>> ControlesParOnglet() const;
  // Names the controls, and sets the Tab order.
  void NommeEtOrdonne();
  // The controls drawn from Logique, and read back into it.
  void Affiche();
  void Lit();

  TReglages& FReglages;
  TClientResultats& FClient;
};
