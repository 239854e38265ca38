#pragma once
// The quiz window: the player's main window. It holds the menus, the keys, the boxes and the
// per-question timer, and shows what the player (TJoueur) and its game (TJeu) decide through
// IVueJoueur. It draws, blocks and forwards; the player decides.

#include <QMainWindow>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

#include "cards/KorInit.h"
#include "platform/bureau/Boites.h"
#include "platform/bureau/FinDeSession.h"
#include "player/KorJoueur.h"

class QAction;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class TFormPreferences;

// The score gauge: a bar from 0 to 100 in the colour of the score, with the per cent.
class TJauge : public QWidget {
 public:
  explicit TJauge(QWidget* parent = nullptr);
  void FixeValeur(int valeur);
  int Valeur() const { return FValeur; }
  void FixeCouleur(const QColor& couleur);
  QColor Couleur() const { return FCouleur; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int FValeur = 0;
  QColor FCouleur;
};

// Client area without the menu bar, and what the bar adds.
inline constexpr int LargeurClient = 568;
inline constexpr int HauteurClient = 482;
inline constexpr int HauteurBarreMenu = 20;

class TForm1 : public QMainWindow, public IVueJoueur, public IFinDeSession {
  Q_OBJECT
 public:
  // arguments: the command line without the program's name; the first one is opened at show.
  TForm1(const QStringList& arguments, TReglages& reglages, QWidget* parent = nullptr);
  ~TForm1() override;

  // Message boxes, the name box, the open dialog, the clock and the draws go through these, so
  // that tests can script them. The box's caption follows its icon.
  FBoiteMessage BoiteMessage;
  // True and texte := the text typed on OK; false on Cancel.
  std::function<bool(const QString& titre, const QString& invite, QString& texte)> BoiteSaisie;
  // The chosen file (a path) from the dialog started in dossier; empty when it is cancelled.
  std::function<QString(const QString& dossier)> DialogueOuvrir;
  std::function<TInstant()> Horloge;
  // A whole number from 0 to n - 1.
  std::function<int(int)> Tirage;

  TJoueur Joueur;

  // Controls.
  QMenuBar* MenuPrinc = nullptr;
  QMenu* MenuFichier = nullptr;
  QAction* MenuOuvrir = nullptr;
  QAction* Ouvert1 = nullptr;
  QAction* Recent1 = nullptr;
  QAction* MenuFermer = nullptr;
  QAction* MenuPreferences = nullptr;
  QAction* MenuQuitter = nullptr;
  QMenu* MenuPartie = nullptr;
  QAction* MenuCommencer = nullptr;
  QAction* MenuAbandonner = nullptr;
  QAction* MenuAccepter = nullptr;
  QMenu* MenuAide = nullptr;
  QAction* MenuAPropos = nullptr;
  QFrame* Panel1 = nullptr;
  QLineEdit* ETitre = nullptr;
  QPlainTextEdit* MQuestion = nullptr;
  QPlainTextEdit* MReponse = nullptr;
  QFrame* Panel2 = nullptr;
  QLabel* LInstruction = nullptr;
  QLineEdit* EReponse = nullptr;
  QLabel* LResultat = nullptr;
  QPushButton* Bouton = nullptr;
  QFrame* Panel3 = nullptr;
  QLabel* LQuestAPoser = nullptr;
  QLabel* LScore = nullptr;
  TJauge* Gauge = nullptr;
  QTimer* Chrono = nullptr;
  TFormPreferences* FormPreferences = nullptr;

  // The field font of the settings on the title, the question, the answer and the answer edit.
  void AppliquePolice();
  // The Préférences item: the dialog, and on OK the settings and the font it changed.
  bool ExecutePreferences();
  // The menu bar is attached: menus, their shortcuts and Ctrl+Alt+P work.
  bool BarreAttachee() const { return FBarreAttachee; }
  // What a click on Bouton runs now.
  EActionBouton ActionBouton() const { return FActionBouton; }
  // A result is being sent: every command waits for its end.
  bool RapportEnCours() const { return Joueur.RapportEnCours(); }

  // IVueJeu
  void FixeTexte(EControle controle, const std::string& texte) override;
  std::string Texte(EControle controle) const override;
  void FixeCouleur(EZoneCouleur zone, TCouleur couleur) override;
  void FixeJauge(int valeur) override;
  void FixeLegendeBouton(const std::string& legende) override;
  void FixeActionBouton(EActionBouton action) override;
  void DonneFocus(EFocus cible) override;
  void MontreMenu(EMenu menu, bool visible) override;
  void Message(EIcone icone, const std::string& texte) override;
  bool SaisieTexte(const std::string& titre, const std::string& invite, std::string& texte) override;
  bool ToucheEntreeEnfoncee() const override { return FEntreeEnfoncee; }
  void DemarreChrono() override;
  void ArreteChrono() override;
  TInstant Maintenant() const override;
  int Aleatoire(int n) override;
  void RetourAccueil() override;
  void RapporteResultat(const TEntreesRapport& entrees) override;
  // IVueJoueur
  void FixeTitre(const std::string& chemin) override;
  bool Confirme(const std::string& question) override;
  void MontreMenuPreferences(bool visible) override;
  bool ChronoActif() const override;
  void DebutRapport() override;
  void FinRapport() override;

  // The desktop's logout, decided by the player.
  bool TravailNonSauve() override { return Joueur.TravailNonSauve(); }
  bool QuestionFinDeSession() override { return Joueur.QuestionFinDeSession(); }
  void FinDeSessionAbandonnee() override { Joueur.FinDeSessionAbandonnee(); }

  // A message box with the caption of its icon, through BoiteMessage.
  QMessageBox::StandardButton Boite(QMessageBox::Icon icone, const QString& texte,
                                    QMessageBox::StandardButtons boutons = QMessageBox::Ok);

 public slots:
  void BoutonClick();
  void ChoixOuvrirQuiz();
  void MenuFichierClick();
  void Ouvert1Click();
  void Recent1Click();
  void MenuFermerClick();
  void MenuPreferencesClick();
  void MenuQuitterClick();
  void MenuPartieClick();
  void MenuCommencerClick();
  void MenuAbandonnerClick();
  void MenuAccepterClick();
  void MenuAProposClick();
  void ChronoTimer();

 protected:
  void showEvent(QShowEvent* event) override;    // FormShow
  void closeEvent(QCloseEvent* event) override;  // FormCloseQuery, then FormClose
  bool eventFilter(QObject* objet, QEvent* event) override;

 private:
  // Every key the window receives, before its controls; true when the key is used up.
  bool FormKeyDown(QKeyEvent* touche);
  void FormClose();
  void CreeMenus();
  void CreeControles();
  void FixeBouton(const QString& legende, EActionBouton action);
  QString DialogueOuvrirStandard(const QString& dossier);
  // Runs a box or dialog opened over the window, the question's countdown held or left running
  // as the player decides for that kind of box.
  template <class F>
  auto SousBoite(EBoite genre, F&& boite);

  TReglages& FReglages;
  QStringList FArguments;
  std::unique_ptr<QMenuBar> FBarreDetachee;  // the menus, when the bar is not shown
  EActionBouton FActionBouton = EActionBouton::Aucune;
  bool FBarreAttachee = false;
  bool FEntreeEnfoncee = false;
  bool FPremierAffichage = true;
  bool FFermetureDemandee = false;  // a close asked for while a result was being sent
  bool FFermee = false;
  TFinDeSession FFinDeSession{*this};
};
