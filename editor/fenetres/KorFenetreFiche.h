#pragma once
// The card editor's main window: the title row, the two field memos with their labels and the
// splitter between them, the row of six buttons, and the menus. It shows what the editor
// (TEditeur) decides through IVueFiche and forwards every menu item, button and shortcut to
// TEditeur::ExecuteItem.

#include <QFont>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/IVueFiche.h"
#include "editor/KorFiche.h"
#include "editor/fenetres/KorLigneCommande.h"
#include "platform/bureau/Aide.h"
#include "platform/bureau/Boites.h"
#include "platform/bureau/FinDeSession.h"
#include "platform/bureau/Raccourcis.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QSplitter;
class TDlgChercher;
class TDlgEntete;
class TDlgEtiquettes;
class TDlgNouveau;
class TDlgOptions;
class TDlgOptionsAvancees;
class TDlgOptionsCSV;
class TListe;

// The client area when the settings give no usable size.
inline constexpr int LargeurFicheDefaut = 607;
inline constexpr int HauteurFicheDefaut = 367;

// A client size from the settings that fits the screen's work area: a size of 0 or less takes
// the default, and no side is larger than the work area or smaller than a usable minimum.
QSize TailleClientUtilisable(int largeur, int hauteur, const QSize& zoneEcran);

class TFormFiche : public QMainWindow, public IVueFiche, public IFinDeSession {
  Q_OBJECT
 public:
  // arguments: the command line without the program's name; the first one is opened at show.
  explicit TFormFiche(const QStringList& arguments, TReglages& reglages,
                      QWidget* parent = nullptr);
  ~TFormFiche() override;

  // Message boxes, the standard dialogs and the clock go through these, so that tests can
  // script them; by default they show the platform's dialogs.
  FBoiteMessage BoiteMessage;
  // The open dialog starts in dossier.
  std::function<bool(const std::vector<TFiltre>& filtres, const QString& extension, const QString& dossier,
                     TChoixOuverture& choix)>
      BoiteOuvrir;
  std::function<bool(const std::vector<TFiltre>& filtres, const QString& extension, const QString& propose,
                     TChoixSauvegarde& choix)>
      BoiteSauver;
  std::function<bool(const QStringList& types, int& index)> BoiteNouveau;
  // The one-line input box: true and texte := the typed text on OK.
  std::function<bool(const QString& titre, const QString& invite, QString& texte)> BoiteSaisie;
  std::function<QString()> Horloge;
  // The print dialog on the window's printer (false on Cancel), the font dialog on a font (false
  // on Cancel, else the font := the choice), the help, and the number of editors running
  // (1 unless the program counts them).
  std::function<bool(QPrinter& imprimante)> BoiteImpression;
  std::function<bool(QFont& police)> BoitePolice;
  TAide Aide{QStringLiteral("KorEdit.chm")};
  std::function<int()> NombreInstances;

  TEditeur Editeur;

  // Controls.
  QFrame* Panel1 = nullptr;
  QLabel* PTitre = nullptr;
  QLineEdit* ETitre = nullptr;
  QFrame* Panel2 = nullptr;
  QLabel* PQuestion = nullptr;
  QPlainTextEdit* MQuestion = nullptr;
  QSplitter* Splitter1 = nullptr;
  QFrame* Panel3 = nullptr;
  QLabel* PReponse = nullptr;
  QPlainTextEdit* MReponse = nullptr;
  QFrame* Panel4 = nullptr;
  TDlgNouveau* DlgNouveau = nullptr;
  // The printer of the print command, made on the first print; the list font, which the card
  // list takes.
  std::unique_ptr<QPrinter> Imprimante;
  QFont PoliceListe;
  TDlgOptions* DlgOptions = nullptr;
  TDlgOptionsAvancees* DlgOptionsAvancees = nullptr;
  TDlgChercher* DlgChercher = nullptr;
  TListe* Liste = nullptr;
  TDlgEtiquettes* DlgEtiquettes = nullptr;
  TDlgEntete* DlgEntete = nullptr;
  TDlgOptionsCSV* DlgOptionsCSV = nullptr;

  // The control of a menu item or button: its action (a top menu's menuAction()), or null for a button.
  QAction* Action(EItem item) const { return FActions[static_cast<std::size_t>(item)]; }
  QPushButton* Bouton(EItem item) const { return FBoutons[static_cast<std::size_t>(item)]; }
  QMenu* Menu(EItem item) const;
  int ContexteAideCourant() const { return FContexteAide; }
  const TDisposition& Disposition() const { return FDisposition; }

  // IVueFiche
  void FixeTexte(EChamp champ, const std::string& texte) override;
  std::string Texte(EChamp champ) const override;
  bool Modifie(EChamp champ) const override { return FModifie[static_cast<std::size_t>(champ)]; }
  void FixeModifie(EChamp champ, bool modifie) override { FModifie[static_cast<std::size_t>(champ)] = modifie; }
  void FixeActif(EChamp champ, bool actif) override;
  void FixeLectureSeule(EChamp champ, bool lectureSeule) override;
  void FixeEtiquette(EChamp champ, const std::string& texte) override;
  void DonneFocus(ECibleFocus cible) override;
  void FixeItem(EItem item, const TEtatItem& etat) override;
  void FixeTitreFenetre(const std::string& titre) override;
  void FixeDisposition(const TDisposition& disposition) override;
  void FixeContexteAide(int contexte) override { FContexteAide = contexte; }
  EBouton Message(const std::string& texte, const std::string& titre, EGenreMessage icone, EBoutons boutons) override;
  bool DialogueOuvrir(const std::vector<TFiltre>& filtres, const std::string& extensionDefaut,
                      const std::string& dossier, TChoixOuverture& choix) override;
  bool DialogueSauver(const std::vector<TFiltre>& filtres, const std::string& extensionDefaut,
                      const std::string& nomPropose, TChoixSauvegarde& choix) override;
  bool DialogueNouveau(const std::vector<std::string>& types, int& index) override;
  std::string DateHeure() const override;
  void FermeFenetre() override { close(); }
  bool DialogueImpression() override;
  std::string Imprime(const std::vector<std::string>& lignes) override;
  std::vector<std::string> LignesAffichees(EChamp champ) const override;
  void FixePressePapiers(const std::string& texte) override;
  bool DialoguePolice(EPolice police, std::string& nom, std::int32_t& taille) override;
  void AppliquePoliceChoisie(EPolice police) override;
  void AppliquePolice(EPolice police, const std::string& nom, std::int32_t taille) override;
  void FixeAvantPlan(bool avantPlan) override;
  void AfficheAide(int contexte) override;
  // The whole-file dialogs, the search dialog, the input box and the card list
  // (KorFenetreFicheDialogues.cpp).
  bool DialogueEntete(TLogiqueEntete& logique) override;
  bool DialogueOptions(TLogiqueOptions& logique) override;
  bool DialogueOptionsAvancees(TLogiqueOptionsAvancees& logique) override;
  bool DialogueEtiquettes(TLogiqueEtiquettes& logique) override;
  bool DialogueOptionsCSV(TLogiqueOptionsCSV& logique) override;
  bool DialogueChercher(TLogiqueChercher& logique) override;
  bool SaisieTexte(const std::string& titre, const std::string& invite, std::string& texte) override;
  EResultatListe DialogueListe(const TFichierX& fichier, int ligne, const std::function<void(int)>& selection) override;
  void ListeFichierChange(const TFichierX* fichier) override;

 public slots:
  // The command line of a second start: brings the window to the front and opens the file it
  // names, unless it is the open one, once no modal dialog is open.
  void LigneDeCommandeRecue(const QStringList& arguments);
  void MenuClick();

  // The desktop's logout, decided by the editor.
  bool TravailNonSauve() override { return Editeur.TravailNonSauve(); }
  bool QuestionFinDeSession() override { return Editeur.QuestionFinDeSession(); }
  void FinDeSessionAbandonnee() override { Editeur.FinDeSessionAbandonnee(); }

 protected:
  void showEvent(QShowEvent* event) override;    // FormShow
  void closeEvent(QCloseEvent* event) override;  // FormCloseQuery, then FormClose
  void resizeEvent(QResizeEvent* event) override;  // FormResize
  bool eventFilter(QObject* objet, QEvent* event) override;

 private:
  // The parts of the window's creation: the menus from their table, the controls with the
  // buttons from theirs, the standard dialogs and the clock behind the hooks, the place and size.
  void CreeMenus();
  void CreeControles();
  void CreeBoitesStandard();
  void PlaceFenetre(const TReglages& r);
  QAction* AjouteItem(QMenu* menu, EItem item, const QString& legende, QKeyCombination raccourci = {});
  void AjusteHauteurs();
  void CreeDialogues();
  void GardeSurLEcran();
  void FormClose();
  // The default print and font dialogs and help opener (KorFenetreFicheCommandes.cpp).
  void CreeDialoguesCommandes();
  void AppliquePoliceChamps(const QFont& police);
  void AppliquePoliceListe(const QFont& police);

  QStringList FArguments;
  std::array<QAction*, NombreItems> FActions{};
  std::array<QPushButton*, NombreItems> FBoutons{};
  std::array<QString, NombreItems> FLegendes;   // captions as built
  std::array<QString, NombreItems> FTouches;    // shortcut texts shown after the captions
  std::array<bool, 3> FModifie{};
  TRaccourcis FRaccourcis;
  TDisposition FDisposition;
  int FContexteAide = 1;
  bool FRemplissage = false;  // a text is being put in by the program
  bool FPremierAffichage = true;
  bool FFermee = false;
  QFont FPoliceDialogue;  // the font dialog's font: its attributes stay as last chosen
  TReceptionLigneCommande* FReception = nullptr;
  TFinDeSession FFinDeSession{*this};
};
