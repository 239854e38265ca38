#pragma once
// The preferences program's window: the player's settings on four tabs, the editor's on five,
// one group shown at a time (Ctrl+B switches), and OK, Annuler, Aide, Défaut. It draws and
// forwards; TPreferences decides what is shown, marked, written and deleted.

#include <QCheckBox>
#include <QMessageBox>
#include <QWidget>

#include <functional>
#include <map>
#include <string>

#include "platform/bureau/Aide.h"
#include "platform/bureau/Boites.h"
#include "preferences/KorPreferences.h"

class QButtonGroup;
class QComboBox;
class QFont;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// Client area.
inline constexpr int LargeurPreferences = 480;
inline constexpr int HauteurPreferences = 276;

// A check box whose caption wraps onto further lines when its row is too narrow for it.
class TCaseACocher : public QCheckBox {
 public:
  TCaseACocher(const QString& texte, QWidget* parent);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int largeur) const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& position) const override { return rect().contains(position); }

 private:
  int LargeurCase() const;  // the indicator and the space after it
  int HauteurLigne() const;
  QRect ZoneTexte(int largeur) const;
};

// A radio group: framed choices, one of them selected (ItemIndex, -1 for none), in a column or
// side by side.
class TRadioGroup : public QWidget {
  Q_OBJECT
 public:
  TRadioGroup(const QString& titre, const QStringList& elements, Qt::Orientation sens, QWidget* parent = nullptr);
  int ItemIndex() const;
  void FixeItemIndex(int indice);
  QGroupBox* Cadre = nullptr;
  QButtonGroup* Boutons = nullptr;

 signals:
  // Another item was selected (by the user or by the program).
  void Change();
};

class TKorPref : public QWidget, public IVuePreferences {
  Q_OBJECT
 public:
  explicit TKorPref(TReglages& reglages, QWidget* parent = nullptr);
  ~TKorPref() override;

  // Message boxes and the font dialog go through these, so that tests can script them.
  FBoiteMessage BoiteMessage;
  // The font dialog, starting from a font; true and police := the choice on OK.
  std::function<bool(QFont& police)> DialogueFont;
  TAide Aide{QStringLiteral("KorPrefer.chm")};

  TPreferences Preferences;

  QTabWidget* PageControl = nullptr;
  QWidget* TSMessages = nullptr;
  QWidget* TSOptions = nullptr;
  QWidget* TSMenus = nullptr;
  QWidget* TSFeuilleNotes = nullptr;
  QWidget* TSAffichage = nullptr;
  QWidget* TSTypes = nullptr;
  QWidget* TSXML = nullptr;
  QWidget* TSMoodle = nullptr;
  QWidget* TSCsv = nullptr;

  // Player group.
  QLineEdit* Egood = nullptr;
  QLineEdit* Ebad = nullptr;
  QLineEdit* EMean = nullptr;
  QLineEdit* Eignor = nullptr;
  QLineEdit* EConj = nullptr;
  QLineEdit* EPonct = nullptr;
  QCheckBox* CBMenu = nullptr;
  QCheckBox* CBPref = nullptr;
  QCheckBox* CBCtrlAltP = nullptr;
  QCheckBox* CBCtrlA = nullptr;
  QLineEdit* EHost = nullptr;
  QCheckBox* CBMaxHun = nullptr;
  QCheckBox* CBRepUnf = nullptr;
  // Editor group.
  QLineEdit* EPolice = nullptr;
  QPushButton* BPolice = nullptr;
  QLineEdit* EPoliceL = nullptr;
  QPushButton* BPoliceL = nullptr;
  QCheckBox* CBNouvFiche = nullptr;
  QCheckBox* CBDimOrig = nullptr;
  QLineEdit* EListeTypes = nullptr;
  QGroupBox* GBTypes = nullptr;
  QCheckBox* CBRepertoire = nullptr;
  QCheckBox* CBNotes = nullptr;
  QCheckBox* CBFourreTout = nullptr;
  QCheckBox* CBQuestionnaire = nullptr;
  QCheckBox* CBQCM = nullptr;
  QCheckBox* CBListes = nullptr;
  QCheckBox* CBTypeUnique = nullptr;
  TRadioGroup* RGXmlUtf = nullptr;
  TRadioGroup* RGRetour = nullptr;
  QLineEdit* EXslFil = nullptr;
  QComboBox* CBMcqFormat = nullptr;
  QLineEdit* EMcqOr = nullptr;
  QLineEdit* EMcqFra = nullptr;
  QCheckBox* CBTexte = nullptr;
  TRadioGroup* RGCsvUtf = nullptr;
  QLineEdit* ECsvTyp = nullptr;
  QLineEdit* EComma = nullptr;
  QLabel* LComma = nullptr;

  QPushButton* BOK = nullptr;
  QPushButton* BAnnuler = nullptr;
  QPushButton* Baide = nullptr;
  QPushButton* BDefaut = nullptr;

  // IVuePreferences
  std::string Texte(ETexte controle) const override;
  void FixeTexte(ETexte controle, const std::string& texte) override;
  bool Coche(ECase controle) const override;
  void FixeCoche(ECase controle, bool coche) override;
  void ActiveCase(ECase controle, bool active) override;
  int Indice(EChoix controle) const override;
  void FixeIndice(EChoix controle, int indice) override;
  void AffichePolice(EApercu apercu, const std::string& nom, int taille) override;
  bool DialoguePolice(std::string& nom, int& taille) override;
  void AfficheOnglets(bool modeJeu) override;
  void DonneFocusOK() override;
  void MessageErreur(const std::string& texte) override;
  bool Confirme(const std::string& texte) override;
  void Ferme() override;

 public slots:
  void BaideClick();

 protected:
  void showEvent(QShowEvent* event) override;  // FormShow
  bool eventFilter(QObject* objet, QEvent* event) override;

 private:
  QLineEdit* Edition(ETexte controle) const;
  QCheckBox* Case(ECase controle) const;
  void ConstruitJeu();
  void ConstruitEditeur();
  // The editor's tabs, one each.
  void ConstruitAffichage();
  void ConstruitTypes();
  void ConstruitXml();
  void ConstruitMoodle();
  void ConstruitCsv();

  std::map<ETexte, QWidget*> FTextes;
  std::map<ECase, QCheckBox*> FCases;
  bool FPremierAffichage = true;
};
