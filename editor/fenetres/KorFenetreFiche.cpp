#include "editor/fenetres/KorFenetreFiche.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

#include "cards/KorInit.h"
#include "editor/fenetres/KorDlgNouveau.h"
#include "platform/Ansi.h"
#include "platform/bureau/Boites.h"

namespace {

// The smallest client area in which the fields and the buttons stay usable.
constexpr int LargeurMinimale = 420;
constexpr int HauteurMinimale = 200;
constexpr int LargeurEtiquette = 100;
// Room for a window frame whose size is not known yet: its borders, its title bar.
constexpr int MargeCadre = 8;
constexpr int HauteurTitre = 32;


// A filter entry in Qt's form: "Questionnaire (*.xkqq *.kqq)"; "*.*" is every file.
QString FiltreQt(const TFiltre& filtre) {
  QStringList motifs;
  for (const std::string& m : filtre.Motifs) motifs << (m == "*.*" ? QStringLiteral("*") : ansi::VersQString(m));
  return QStringLiteral("%1 (%2)").arg(ansi::VersQString(filtre.Description), motifs.join(QLatin1Char(' ')));
}

QStringList FiltresQt(const std::vector<TFiltre>& filtres) {
  QStringList liste;
  for (const TFiltre& f : filtres) liste << FiltreQt(f);
  return liste;
}

// Qt's own open or save dialog on the filters, the first one chosen; the filters' texts in Qt's form.
QStringList PrepareDialogueFichier(QFileDialog& dialogue, QFileDialog::AcceptMode mode,
                                   const std::vector<TFiltre>& filtres, const QString& extension) {
  dialogue.setOption(QFileDialog::DontUseNativeDialog);
  dialogue.setAcceptMode(mode);
  const QStringList liste = FiltresQt(filtres);
  dialogue.setNameFilters(liste);
  dialogue.selectNameFilter(liste.value(0));
  dialogue.setDefaultSuffix(extension);
  return liste;
}

// The extension of a filter's first pattern ("*.xkqq" -> "xkqq"), empty for every file.
QString ExtensionDuFiltre(const TFiltre& filtre) {
  if (filtre.Motifs.empty()) return {};
  const std::string& m = filtre.Motifs.front();
  return m.rfind("*.", 0) == 0 && m != "*.*" ? ansi::VersQString(m.substr(2)) : QString();
}

QFrame* Panneau(QWidget* parent) {
  auto* panneau = new QFrame(parent);
  panneau->setFrameStyle(QFrame::NoFrame);
  return panneau;
}

// A label panel on the left of an edit.
QLabel* PanneauEtiquette(QWidget* parent) {
  auto* etiquette = new QLabel(parent);
  etiquette->setTextFormat(Qt::PlainText);
  etiquette->setFrameStyle(QFrame::Panel | QFrame::Raised);
  etiquette->setAlignment(Qt::AlignCenter);
  etiquette->setWordWrap(true);
  etiquette->setFixedWidth(LargeurEtiquette);
  return etiquette;
}

QMessageBox::Icon IconeQt(EGenreMessage icone) {
  switch (icone) {
    case EGenreMessage::Avertissement: return QMessageBox::Warning;
    case EGenreMessage::Erreur: return QMessageBox::Critical;
    case EGenreMessage::Question: return QMessageBox::Question;
    default: return QMessageBox::Information;
  }
}

QMessageBox::StandardButtons BoutonsQt(EBoutons boutons) {
  switch (boutons) {
    case EBoutons::Ok: return QMessageBox::Ok;
    case EBoutons::OkAnnuler: return QMessageBox::Ok | QMessageBox::Cancel;
    case EBoutons::OuiNon: return QMessageBox::Yes | QMessageBox::No;
    case EBoutons::OuiNonAnnuler: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case EBoutons::Annuler: return QMessageBox::Cancel;
    case EBoutons::OuiNonAbandonner: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Abort;
  }
  return QMessageBox::Ok;
}

EBouton BoutonDepuisQt(int bouton) {
  switch (bouton) {
    case QMessageBox::Ok: return EBouton::Ok;
    case QMessageBox::Yes: return EBouton::Oui;
    case QMessageBox::No: return EBouton::Non;
    case QMessageBox::Abort: return EBouton::Abandonner;
    default: return EBouton::Annuler;
  }
}

// The menus and the buttons as data, their items named without "EItem::".
namespace definitions {

using enum EItem;

// The menus, top to bottom: a menu (of the bar when its parent is EItem::Nombre, else a
// submenu) is followed by its lines.
enum class ENatureLigne { Menu, Item, Cochable, Separateur };
struct TLigneMenu {
  EItem Parent;
  ENatureLigne Nature;
  EItem Item = EItem::Nombre;
  const char* Legende = "";
  QKeyCombination Raccourci = {};
};
constexpr TLigneMenu Menu(EItem parent, EItem item, const char* legende) {
  return {parent, ENatureLigne::Menu, item, legende};
}
constexpr TLigneMenu Item(EItem parent, EItem item, const char* legende, QKeyCombination raccourci = {}) {
  return {parent, ENatureLigne::Item, item, legende, raccourci};
}
constexpr TLigneMenu Cochable(EItem parent, EItem item, const char* legende) {
  return {parent, ENatureLigne::Cochable, item, legende};
}
constexpr TLigneMenu Separateur(EItem parent) { return {parent, ENatureLigne::Separateur}; }
constexpr QKeyCombination Ctrl(Qt::Key k) { return QKeyCombination(Qt::ControlModifier, k); }
constexpr QKeyCombination Maj(Qt::Key k) { return QKeyCombination(Qt::ShiftModifier, k); }
constexpr QKeyCombination Touche(Qt::Key k) { return QKeyCombination(k); }

constexpr TLigneMenu LignesMenus[] = {
    Menu(Nombre, Fichier1, "&Fichier"),
    Item(Fichier1, Nouveau1, "&Nouveau", Ctrl(Qt::Key_N)),
    Item(Fichier1, Ouvrir1, "&Ouvrir", Ctrl(Qt::Key_O)),
    Item(Fichier1, Modele1, "Nouveau d'après &modèle", Ctrl(Qt::Key_M)),
    Item(Fichier1, Ouvert1, "Ouvert"),
    Item(Fichier1, Recent1, "Récent"),
    Item(Fichier1, Sauver1, "&Sauver", Ctrl(Qt::Key_S)),
    Item(Fichier1, Sauversous1, "Sau&ver sous..."),
    Item(Fichier1, Exporter1, "&Exporter"),
    Separateur(Fichier1),
    Item(Fichier1, Proprietes1, "&Propriétés"),
    Separateur(Fichier1),
    Item(Fichier1, Fermer1, "&Fermer", Ctrl(Qt::Key_W)),
    Item(Fichier1, Quitter1, "&Quitter"),

    Menu(Nombre, Edition1, "&Edition"),
    Item(Edition1, Premiere1, "&Première fiche"),
    Item(Edition1, Derniere1, "&Dernière fiche"),
    Item(Edition1, Precedente1, "Fiche précédente", Touche(Qt::Key_F7)),
    Separateur(Edition1),
    Item(Edition1, Suivante1, "Fiche suivante", Touche(Qt::Key_F8)),
    Item(Edition1, Listedesfiches1, "&Liste des fiches", Touche(Qt::Key_F12)),
    Item(Edition1, Rechercher1, "Rechercher", Ctrl(Qt::Key_F)),
    Item(Edition1, Rechsuivant1, "Occurence suivante", Touche(Qt::Key_F3)),
    Item(Edition1, AbandonRech1, "Abandon Recherche", Ctrl(Qt::Key_F3)),
    Separateur(Edition1),
    Item(Edition1, Enregistrerlafiche1, "&Valider la fiche", Touche(Qt::Key_F2)),
    Item(Edition1, Nouvelle1, "&Nouvelle fiche", Touche(Qt::Key_F4)),
    Item(Edition1, Inserer1, "&Insérer nouvelle fiche"),
    Item(Edition1, Supprimer1, "&Supprimer la fiche"),
    Item(Edition1, Annuler1, "&Annuler modification", Ctrl(Qt::Key_Z)),
    Separateur(Edition1),
    Item(Edition1, PermuterChamps, "Permuter les champs"),
    Separateur(Edition1),
    Item(Edition1, Imprimer1, "Fiche –> imprimante", Ctrl(Qt::Key_P)),
    Item(Edition1, PressePapiers1, "Fiche –> presse-papiers", Ctrl(Qt::Key_Insert)),
    Item(Edition1, ListeVersPressepapiers1, "Liste –> presse-papiers"),
    Separateur(Edition1),
    Item(Edition1, Options1, "&Options", Touche(Qt::Key_F5)),
    Item(Edition1, OptionsAvancees1, "Options avan&cées", Maj(Qt::Key_F5)),
    Separateur(Edition1),
    Item(Edition1, Entete1, "En-&tête", Touche(Qt::Key_F9)),
    Item(Edition1, Etiquettes1, "&Etiquettes"),
    Item(Edition1, Canevas1, "&Canevas"),
    Item(Edition1, FeuilledeStyle1, "Feuille de Style", Ctrl(Qt::Key_F9)),

    Menu(Nombre, Preferences1, "&Préférences"),
    Menu(Preferences1, Police1, "&Polices de caractères"),
    Item(Police1, Champs1, "Champs"),
    Item(Police1, Liste1, "Liste"),
    Separateur(Preferences1),
    Cochable(Preferences1, Applicationaudessus1, "Garder à l'&avant-plan"),
    Cochable(Preferences1, Rouvrir1, "&Ouvrir au démarrage"),
    Cochable(Preferences1, Instanceunique1, "Instance &unique"),
    Separateur(Preferences1),
    Item(Preferences1, OptionsCSV, "Options CSV", Maj(Qt::Key_F6)),

    Menu(Nombre, Aide1, "&Aide"),
    Item(Aide1, Rubriquesdaide1, "&Rubriques d'aide"),
    Separateur(Aide1),
    Item(Aide1, Apropos1, "&A propos..."),
};

// The six buttons of the bottom row, left to right.
struct TDefinitionBouton {
  EItem Item;
  const char* Legende;
  const char* Bulle;
};
constexpr TDefinitionBouton DefinitionsBoutons[] = {
    {BPrecedent, "Précédente", "Fiche précédente"}, {BSuivant, "Suivante", "Fiche suivante"},
    {BNouveau, "Nouvelle", "Nouvelle fiche"},       {BInserer, "Insérer", "Insérer une fiche"},
    {BSupprimer, "Supprimer", "Supprimer la fiche"}, {BChercher, "Chercher", "Chercher une fiche"},
};

}  // namespace definitions

// A menu caption shows '&' as a mnemonic: a file name keeps its own.
QString SansMnemonique(QString texte) { return texte.replace(QLatin1Char('&'), QStringLiteral("&&")); }

}  // namespace

QSize TailleClientUtilisable(int largeur, int hauteur, const QSize& zoneEcran) {
  if (largeur <= 0) largeur = LargeurFicheDefaut;
  if (hauteur <= 0) hauteur = HauteurFicheDefaut;
  const int largeurMax = std::max(LargeurMinimale, zoneEcran.width());
  const int hauteurMax = std::max(HauteurMinimale, zoneEcran.height());
  return {std::clamp(largeur, LargeurMinimale, largeurMax), std::clamp(hauteur, HauteurMinimale, hauteurMax)};
}

// ---------------------------------------------------------------------------------------------

TFormFiche::TFormFiche(const QStringList& arguments, TReglages& reglages, QWidget* parent)
    : QMainWindow(parent), Editeur(*this, reglages), FArguments(arguments) {
  // FormCreate
  setWindowTitle(QStringLiteral("Orvaline : micro Base de Données"));
  CreeMenus();
  CreeControles();
  AppliquePolice(EPolice::Champs, reglages.PoliceChamps, reglages.TaillePoliceChamps);
  AppliquePolice(EPolice::Liste, reglages.PoliceListe, reglages.TaillePoliceListe);
  // A later start's command line waits while a modal dialog is open; one still waiting when the
  // window has closed (its close question was open) is dropped.
  FReception = new TReceptionLigneCommande(
      [this](const std::vector<std::string>& arguments) {
        if (!FFermee) Editeur.LigneCommandeRecue(arguments);
      },
      {}, this);
  CreeDialoguesCommandes();
  DlgNouveau = new TDlgNouveau(this);
  CreeDialogues();
  CreeBoitesStandard();
  PlaceFenetre(reglages);
  Editeur.Initialise();
}

void TFormFiche::CreeMenus() {
  // Their shortcuts are shown in the captions and dispatched by the window itself (eventFilter):
  // an edit would keep Ctrl+Z and Ctrl+Ins, and Qt never fires a hidden item.
  std::array<QMenu*, NombreItems> menus{};
  using definitions::ENatureLigne;
  for (const definitions::TLigneMenu& ligne : definitions::LignesMenus) {
    const QString legende = QString::fromUtf8(ligne.Legende);
    QMenu* parent = ligne.Parent == EItem::Nombre ? nullptr : menus[static_cast<std::size_t>(ligne.Parent)];
    switch (ligne.Nature) {
      case ENatureLigne::Separateur: parent->addSeparator(); break;
      case ENatureLigne::Menu: {
        QMenu* m = parent ? parent->addMenu(legende) : menuBar()->addMenu(legende);
        const std::size_t i = static_cast<std::size_t>(ligne.Item);
        menus[i] = m;
        FActions[i] = m->menuAction();
        FLegendes[i] = legende;
        // The opening handler of the top menus, but Aide's.
        if (!parent && ligne.Item != EItem::Aide1) connect(m, &QMenu::aboutToShow, this, &TFormFiche::MenuClick);
        break;
      }
      case ENatureLigne::Item:
      case ENatureLigne::Cochable:
        AjouteItem(parent, ligne.Item, legende, ligne.Raccourci)->setCheckable(ligne.Nature == ENatureLigne::Cochable);
        break;
    }
  }
}

void TFormFiche::CreeControles() {
  // Controls, top to bottom.
  auto* client = new QWidget(this);
  setCentralWidget(client);
  auto* colonne = new QVBoxLayout(client);
  colonne->setContentsMargins(2, 2, 2, 0);
  colonne->setSpacing(0);

  Panel1 = Panneau(client);
  auto* ligne1 = new QHBoxLayout(Panel1);
  ligne1->setContentsMargins(0, 0, 0, 0);
  ligne1->setSpacing(0);
  PTitre = PanneauEtiquette(Panel1);
  ETitre = new QLineEdit(Panel1);
  ligne1->addWidget(PTitre);
  ligne1->addWidget(ETitre);
  colonne->addWidget(Panel1);
  colonne->addSpacing(4);  // PSeparateur

  Splitter1 = new QSplitter(Qt::Vertical, client);
  Splitter1->setHandleWidth(4);
  Splitter1->setChildrenCollapsible(false);
  auto champ = [&](QFrame*& panneau, QLabel*& etiquette, QPlainTextEdit*& memo) {
    panneau = Panneau(Splitter1);
    panneau->setMinimumHeight(25);
    auto* ligne = new QHBoxLayout(panneau);
    ligne->setContentsMargins(0, 0, 0, 0);
    ligne->setSpacing(0);
    etiquette = PanneauEtiquette(panneau);
    memo = new QPlainTextEdit(panneau);
    memo->setTabChangesFocus(true);
    ligne->addWidget(etiquette);
    ligne->addWidget(memo);
    Splitter1->addWidget(panneau);
  };
  champ(Panel2, PQuestion, MQuestion);
  champ(Panel3, PReponse, MReponse);
  Splitter1->setStretchFactor(0, 0);
  Splitter1->setStretchFactor(1, 1);
  colonne->addWidget(Splitter1, 1);

  Panel4 = Panneau(client);
  Panel4->setFocusPolicy(Qt::StrongFocus);
  auto* boutons = new QHBoxLayout(Panel4);
  boutons->setContentsMargins(4, 4, 4, 4);
  for (const definitions::TDefinitionBouton& d : definitions::DefinitionsBoutons) {
    auto* bouton = new QPushButton(QString::fromUtf8(d.Legende), Panel4);
    bouton->setToolTip(QString::fromUtf8(d.Bulle));
    bouton->setAutoDefault(false);
    const EItem item = d.Item;
    connect(bouton, &QPushButton::clicked, this, [this, item] { Editeur.ExecuteItem(item); });
    FBoutons[static_cast<std::size_t>(item)] = bouton;
    FLegendes[static_cast<std::size_t>(item)] = bouton->text();
    boutons->addWidget(bouton);
  }
  colonne->addWidget(Panel4);

  // "Modified" is the user's typing only: a text put in by the program never sets it.
  connect(ETitre, &QLineEdit::textEdited, this, [this] { FixeModifie(EChamp::ETitre, true); });
  connect(MQuestion, &QPlainTextEdit::textChanged, this, [this] {
    if (!FRemplissage) FixeModifie(EChamp::MQuestion, true);
  });
  connect(MReponse, &QPlainTextEdit::textChanged, this, [this] {
    if (!FRemplissage) FixeModifie(EChamp::MReponse, true);
  });
  MQuestion->installEventFilter(this);
}

void TFormFiche::CreeBoitesStandard() {
  BoiteMessage = [](QMessageBox::Icon icone, const QString& titre, const QString& texte,
                     QMessageBox::StandardButtons boutons) {
    // MessageAvecTitre: its own caption, centred on the screen.
    return BoiteMessageStandard(nullptr, icone, titre, texte, boutons);
  };
  BoiteOuvrir = [this](const std::vector<TFiltre>& filtres, const QString& extension, const QString& dossier,
                       TChoixOuverture& choix) {
    QFileDialog dialogue(this, QStringLiteral("Ouvrir"), dossier);
    // Qt's own dialog, so that it can carry the read-only box.
    const QStringList liste = PrepareDialogueFichier(dialogue, QFileDialog::AcceptOpen, filtres, extension);
    dialogue.setFileMode(QFileDialog::ExistingFile);
    auto* lectureSeule = new QCheckBox(QStringLiteral("Ouvrir en lecture seule"), &dialogue);
    if (auto* grille = qobject_cast<QGridLayout*>(dialogue.layout()))
      grille->addWidget(lectureSeule, grille->rowCount(), 0, 1, grille->columnCount());
    if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty()) return false;
    choix.Nom = DepuisChemin(dialogue.selectedFiles().front());
    choix.Filtre = std::max(0, static_cast<int>(liste.indexOf(dialogue.selectedNameFilter())));
    choix.LectureSeule = lectureSeule->isChecked();
    return true;
  };
  BoiteSauver = [this](const std::vector<TFiltre>& filtres, const QString& extension, const QString& propose,
                       TChoixSauvegarde& choix) {
    QFileDialog dialogue(this, QStringLiteral("Enregistrer sous"));
    const QStringList liste = PrepareDialogueFichier(dialogue, QFileDialog::AcceptSave, filtres, extension);
    // The editor asks its own question before writing over a file.
    dialogue.setOption(QFileDialog::DontConfirmOverwrite);
    connect(&dialogue, &QFileDialog::filterSelected, &dialogue, [&](const QString& filtre) {
      const auto i = liste.indexOf(filtre);
      if (i >= 0) dialogue.setDefaultSuffix(ExtensionDuFiltre(filtres[static_cast<std::size_t>(i)]));
    });
    if (!propose.isEmpty()) dialogue.selectFile(propose);
    if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty()) return false;
    choix.Nom = DepuisChemin(dialogue.selectedFiles().front());
    choix.Filtre = std::max(0, static_cast<int>(liste.indexOf(dialogue.selectedNameFilter())));
    return true;
  };
  BoiteNouveau = [this](const QStringList& types, int& index) { return DlgNouveau->Execute(types, index); };
  Horloge = [] {
    // Short date and long time, as the user's locale writes them (without a time zone).
    const QLocale locale = QLocale::system();
    const QDateTime maintenant = QDateTime::currentDateTime();
    QString heure = locale.timeFormat(QLocale::LongFormat);
    heure.remove(QStringLiteral(" t")).remove(QLatin1Char('t'));
    return locale.toString(maintenant.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           maintenant.time().toString(heure.trimmed());
  };
}

void TFormFiche::PlaceFenetre(const TReglages& r) {
  // The client area from the settings, kept on the screen.
  const QScreen* ecran = QGuiApplication::primaryScreen();
  const QRect zone = ecran ? ecran->availableGeometry() : QRect(0, 0, 1024, 768);
  // The window manager's frame is not known before the window is shown: room is left for it.
  const int hauteurMenus = menuBar()->sizeHint().height();
  const QSize taille =
      TailleClientUtilisable(r.LargeurFenetre, r.HauteurFenetre,
                             zone.size() - QSize(MargeCadre, hauteurMenus + MargeCadre + HauteurTitre));
  setMinimumSize(LargeurMinimale, HauteurMinimale);
  resize(taille.width(), taille.height() + hauteurMenus);
  move(zone.left() + std::max(0, (zone.width() - width()) / 2),
       zone.top() + std::max(0, (zone.height() - height()) / 2));
}

TFormFiche::~TFormFiche() = default;

QAction* TFormFiche::AjouteItem(QMenu* menu, EItem item, const QString& legende, QKeyCombination raccourci) {
  const std::size_t i = static_cast<std::size_t>(item);
  QAction* action = menu->addAction(legende);
  FActions[i] = action;
  FLegendes[i] = legende;
  if (raccourci.key() != Qt::Key_unknown) {
    FTouches[i] = QKeySequence(raccourci).toString(QKeySequence::NativeText);
    action->setText(legende + QLatin1Char('\t') + FTouches[i]);
    // A shown item is triggered as a click would; a hidden one (which Qt disables) runs directly.
    FRaccourcis.Ajoute(raccourci, {[this] { MenuClick(); }, [this, item] { return Editeur.Item(item).Actif; },
                                   [this, item, action] {
                                     if (action->isEnabled())
                                       action->trigger();
                                     else
                                       Editeur.ExecuteItem(item);
                                   }});
  }
  connect(action, &QAction::triggered, this, [this, item] { Editeur.ExecuteItem(item); });
  return action;
}

QMenu* TFormFiche::Menu(EItem item) const {
  QAction* action = Action(item);
  return action ? action->menu() : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Window events

void TFormFiche::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!FPremierAffichage) return;
  FPremierAffichage = false;
  GardeSurLEcran();
  // Again once the window manager has framed it.
  QTimer::singleShot(100, this, &TFormFiche::GardeSurLEcran);
  // The window's own key events come first to eventFilter, before any control.
  if (QWindow* fenetre = windowHandle()) fenetre->installEventFilter(this);
  // FormShow: the fonts, the preferences, and the file named on the command line, else the one
  // open when the editor last closed; opened once the window is up, so that a failure is told
  // over it.
  std::vector<std::string> arguments;
  for (const QString& a : FArguments) arguments.push_back(DepuisChemin(QFileInfo(a).absoluteFilePath()));
  QMetaObject::invokeMethod(
      this, [this, arguments] { Editeur.FormShow(arguments, NombreInstances ? NombreInstances() : 1); },
      Qt::QueuedConnection);
}

void TFormFiche::GardeSurLEcran() {
  // The frame is known once the window is shown: the whole window is kept within the work area.
  const QScreen* ecran = screen();
  if (!ecran || isMaximized() || isFullScreen()) return;
  const QRect zone = ecran->availableGeometry();
  const QRect cadre = frameGeometry();
  const int bords = cadre.width() - width(), titre = cadre.height() - height();
  if (cadre.width() > zone.width() || cadre.height() > zone.height())
    resize(std::min(width(), zone.width() - bords), std::min(height(), zone.height() - titre));
  const QRect nouveau = frameGeometry();
  const int x = std::clamp(nouveau.x(), zone.left(), std::max(zone.left(), zone.right() + 1 - nouveau.width()));
  const int y = std::clamp(nouveau.y(), zone.top(), std::max(zone.top(), zone.bottom() + 1 - nouveau.height()));
  if (x != nouveau.x() || y != nouveau.y()) move(x, y);
}

void TFormFiche::closeEvent(QCloseEvent* event) {
  if (FFermee) {
    event->accept();
    return;
  }
  // FormCloseQuery
  if (!Editeur.PeutFermer()) {
    event->ignore();
    return;
  }
  FormClose();
  event->accept();
}

void TFormFiche::FormClose() {
  TReglages& r = Editeur.Reglages();
  r.PleinEcran = isMaximized();
  if (!r.PleinEcran && centralWidget()) {
    r.LargeurFenetre = centralWidget()->width();
    r.HauteurFenetre = centralWidget()->height();
  }
  EcritPreferences(r, EPartReglages::Editeur, Editeur.GetReglagesModifies());
  FFermee = true;
}

void TFormFiche::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  AjusteHauteurs();
}

bool TFormFiche::eventFilter(QObject* objet, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* touche = static_cast<QKeyEvent*>(event);
    if (objet == windowHandle()) return FRaccourcis.Execute(touche);
    // A one-line field 1 takes no line break.
    if (objet == MQuestion && FDisposition.ChampUneLigne &&
        (touche->key() == Qt::Key_Return || touche->key() == Qt::Key_Enter))
      return true;
  }
  return QMainWindow::eventFilter(objet, event);
}

void TFormFiche::MenuClick() { Editeur.MetAJourMenus(); }

void TFormFiche::LigneDeCommandeRecue(const QStringList& arguments) {
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  FReception->Recoit(arguments);
}

// ---------------------------------------------------------------------------------------------
// The editor's view

void TFormFiche::FixeTexte(EChamp champ, const std::string& texte) {
  FRemplissage = true;
  switch (champ) {
    case EChamp::ETitre: ETitre->setText(ansi::VersQString(texte)); break;
    case EChamp::MQuestion: MQuestion->setPlainText(ansi::VersMemo(texte)); break;
    case EChamp::MReponse: MReponse->setPlainText(ansi::VersMemo(texte)); break;
  }
  FRemplissage = false;
}

std::string TFormFiche::Texte(EChamp champ) const {
  switch (champ) {
    case EChamp::ETitre: return ansi::DepuisQString(ETitre->text());
    case EChamp::MQuestion: return ansi::DepuisMemo(MQuestion->toPlainText());
    case EChamp::MReponse: return ansi::DepuisMemo(MReponse->toPlainText());
  }
  return {};
}

void TFormFiche::FixeActif(EChamp champ, bool actif) {
  switch (champ) {
    case EChamp::ETitre: ETitre->setEnabled(actif); break;
    case EChamp::MQuestion: MQuestion->setEnabled(actif); break;
    case EChamp::MReponse: MReponse->setEnabled(actif); break;
  }
}

void TFormFiche::FixeLectureSeule(EChamp champ, bool lectureSeule) {
  switch (champ) {
    case EChamp::ETitre: ETitre->setReadOnly(lectureSeule); break;
    case EChamp::MQuestion: MQuestion->setReadOnly(lectureSeule); break;
    case EChamp::MReponse: MReponse->setReadOnly(lectureSeule); break;
  }
}

void TFormFiche::FixeEtiquette(EChamp champ, const std::string& texte) {
  const QString q = ansi::VersQString(texte);
  switch (champ) {
    case EChamp::ETitre: PTitre->setText(q); break;
    case EChamp::MQuestion: PQuestion->setText(q); break;
    case EChamp::MReponse: PReponse->setText(q); break;
  }
}

void TFormFiche::DonneFocus(ECibleFocus cible) {
  switch (cible) {
    case ECibleFocus::Boutons: Panel4->setFocus(); break;
    case ECibleFocus::ETitre: ETitre->setFocus(); break;
    case ECibleFocus::MQuestion: MQuestion->setFocus(); break;
    case ECibleFocus::MReponse: MReponse->setFocus(); break;
  }
}

void TFormFiche::FixeItem(EItem item, const TEtatItem& etat) {
  const std::size_t i = static_cast<std::size_t>(item);
  if (QPushButton* bouton = FBoutons[i]) {
    bouton->setVisible(etat.Visible);
    bouton->setEnabled(etat.Actif);
    return;
  }
  QAction* action = FActions[i];
  if (!action) return;
  action->setVisible(etat.Visible);
  action->setEnabled(etat.Actif);
  if (action->isCheckable()) action->setChecked(etat.Coche);
  QString legende = etat.Legende.empty() ? FLegendes[i] : SansMnemonique(ansi::VersQString(etat.Legende));
  if (!FTouches[i].isEmpty()) legende += QLatin1Char('\t') + FTouches[i];
  if (action->menu())
    action->menu()->setTitle(legende);
  else
    action->setText(legende);
}

void TFormFiche::FixeTitreFenetre(const std::string& titre) { setWindowTitle(ansi::VersQString(titre)); }

void TFormFiche::FixeDisposition(const TDisposition& disposition) {
  FDisposition = disposition;
  Panel1->setVisible(disposition.TitreVisible);
  const bool plusieursLignes = !disposition.ChampUneLigne;
  Splitter1->handle(1)->setEnabled(plusieursLignes);
  MQuestion->setVerticalScrollBarPolicy(plusieursLignes ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  MQuestion->setLineWrapMode(plusieursLignes ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  MQuestion->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  MReponse->setTabChangesFocus(plusieursLignes);
  MReponse->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  AjusteHauteurs();
}

// AjustePanneaux: field 1 one text line high, or its share of both field panels.
void TFormFiche::AjusteHauteurs() {
  if (!Splitter1) return;
  const QList<int> tailles = Splitter1->sizes();
  const int total = tailles.value(0) + tailles.value(1);
  if (FDisposition.ChampUneLigne) {
    const int hauteur = std::max(25, ETitre->sizeHint().height());
    Panel2->setFixedHeight(hauteur);
    Splitter1->setSizes({hauteur, std::max(0, total - hauteur)});
  } else {
    Panel2->setMinimumHeight(25);
    Panel2->setMaximumHeight(QWIDGETSIZE_MAX);
    const int question = total * FDisposition.RatioQuestion / 12;
    Splitter1->setSizes({question, total - question});
  }
}

EBouton TFormFiche::Message(const std::string& texte, const std::string& titre, EGenreMessage icone,
                            EBoutons boutons) {
  return BoutonDepuisQt(BoiteMessage(IconeQt(icone), ansi::VersQString(titre), ansi::VersQString(texte), BoutonsQt(boutons)));
}

bool TFormFiche::DialogueOuvrir(const std::vector<TFiltre>& filtres, const std::string& extensionDefaut,
                                const std::string& dossier, TChoixOuverture& choix) {
  return BoiteOuvrir(filtres, ansi::VersQString(extensionDefaut), DossierDepart(dossier), choix);
}

bool TFormFiche::DialogueSauver(const std::vector<TFiltre>& filtres, const std::string& extensionDefaut,
                                const std::string& nomPropose, TChoixSauvegarde& choix) {
  return BoiteSauver(filtres, ansi::VersQString(extensionDefaut), VersChemin(nomPropose), choix);
}

bool TFormFiche::DialogueNouveau(const std::vector<std::string>& types, int& index) {
  QStringList noms;
  for (const std::string& t : types) noms << ansi::VersQString(t);
  return BoiteNouveau(noms, index);
}

std::string TFormFiche::DateHeure() const { return ansi::DepuisQString(Horloge()); }
