#pragma once
// The player's preferences dialog: end-of-game comments, default answer-checking options, the
// score sheet's host with a connection test and the reporting options, the field font and the
// menus shown during a game. Created once with the quiz window; what OK stores goes to the
// settings at once and to the store when the quiz window closes.

#include <QDialog>
#include <QFont>

#include <functional>
#include <string>

#include "player/KorResultats.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TForm1;

class TFormPreferences : public QDialog {
  Q_OBJECT
 public:
  explicit TFormPreferences(TForm1& fenetre);

  // The quiz window's Préférences item: fills the dialog from the settings, runs it, and stores
  // the values on OK. False when nothing was stored (Cancel, or OK without any change).
  bool Execute();

  // The font dialog, starting from a font; true and police := the choice on OK. Tests script it.
  std::function<bool(QFont& police)> DialoguePolice;

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
  TForm1& FFenetre;
  bool Modifie = false;
  bool PoliceModifiee = false;
  bool FPremierAffichage = true;
};

// What the connection test tells about a failure of that kind: the message, and whether it is a
// warning (else an error). host is the name tested (1252); texte the failure's own text.
struct TMessageTest {
  std::string Texte;
  bool Avertissement = false;
};
TMessageTest MessageEchecTest(EGenreEchec genre, const std::string& hote, const std::string& texte);
