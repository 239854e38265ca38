#include "editor/fenetres/KorFenetreFiche.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
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

  // Menus. Their shortcuts are shown in the captions and dispatched by the window itself
  // (eventFilter): an edit would keep Ctrl+Z and Ctrl+Ins, and Qt never fires a hidden item.
  QMenuBar* barre = menuBar();
  auto menu = [&](EItem item, const QString& legende) {
    QMenu* m = barre->addMenu(legende);
    FActions[static_cast<std::size_t>(item)] = m->menuAction();
    FLegendes[static_cast<std::size_t>(item)] = legende;
    if (item != EItem::Aide1) connect(m, &QMenu::aboutToShow, this, &TFormFiche::MenuClick);
    return m;
  };
  const auto ctrl = [](Qt::Key k) { return QKeyCombination(Qt::ControlModifier, k); };
  const auto touche = [](Qt::Key k) { return QKeyCombination(k); };
  QMenu* fichier = menu(EItem::Fichier1, QStringLiteral("&Fichier"));
  AjouteItem(fichier, EItem::Nouveau1, QStringLiteral("&Nouveau"), ctrl(Qt::Key_N));
  AjouteItem(fichier, EItem::Ouvrir1, QStringLiteral("&Ouvrir"), ctrl(Qt::Key_O));
  AjouteItem(fichier, EItem::Modele1, QStringLiteral("Nouveau d'après &modèle"), ctrl(Qt::Key_M));
  AjouteItem(fichier, EItem::Ouvert1, QStringLiteral("Ouvert"));
  AjouteItem(fichier, EItem::Recent1, QStringLiteral("Récent"));
  AjouteItem(fichier, EItem::Sauver1, QStringLiteral("&Sauver"), ctrl(Qt::Key_S));
  AjouteItem(fichier, EItem::Sauversous1, QStringLiteral("Sau&ver sous..."));
  AjouteItem(fichier, EItem::Exporter1, QStringLiteral("&Exporter"));
  fichier->addSeparator();
  AjouteItem(fichier, EItem::Proprietes1, QStringLiteral("&Propriétés"));
  fichier->addSeparator();
  AjouteItem(fichier, EItem::Fermer1, QStringLiteral("&Fermer"), ctrl(Qt::Key_W));
  AjouteItem(fichier, EItem::Quitter1, QStringLiteral("&Quitter"));

  QMenu* edition = menu(EItem::Edition1, QStringLiteral("&Edition"));
  AjouteItem(edition, EItem::Premiere1, QStringLiteral("&Première fiche"));
  AjouteItem(edition, EItem::Derniere1, QStringLiteral("&Dernière fiche"));
  AjouteItem(edition, EItem::Precedente1, QStringLiteral("Fiche précédente"), touche(Qt::Key_F7));
  edition->addSeparator();
  AjouteItem(edition, EItem::Suivante1, QStringLiteral("Fiche suivante"), touche(Qt::Key_F8));
  AjouteItem(edition, EItem::Listedesfiches1, QStringLiteral("&Liste des fiches"), touche(Qt::Key_F12));
  AjouteItem(edition, EItem::Rechercher1, QStringLiteral("Rechercher"), ctrl(Qt::Key_F));
  AjouteItem(edition, EItem::Rechsuivant1, QStringLiteral("Occurence suivante"), touche(Qt::Key_F3));
  AjouteItem(edition, EItem::AbandonRech1, QStringLiteral("Abandon Recherche"), ctrl(Qt::Key_F3));
  edition->addSeparator();
  AjouteItem(edition, EItem::Enregistrerlafiche1, QStringLiteral("&Valider la fiche"), touche(Qt::Key_F2));
  AjouteItem(edition, EItem::Nouvelle1, QStringLiteral("&Nouvelle fiche"), touche(Qt::Key_F4));
  AjouteItem(edition, EItem::Inserer1, QStringLiteral("&Insérer nouvelle fiche"));
  AjouteItem(edition, EItem::Supprimer1, QStringLiteral("&Supprimer la fiche"));
  AjouteItem(edition, EItem::Annuler1, QStringLiteral("&Annuler modification"), ctrl(Qt::Key_Z));
  edition->addSeparator();
  AjouteItem(edition, EItem::PermuterChamps, QStringLiteral("Permuter les champs"));
  edition->addSeparator();
  AjouteItem(edition, EItem::Imprimer1, QStringLiteral("Fiche –> imprimante"), ctrl(Qt::Key_P));
  AjouteItem(edition, EItem::PressePapiers1, QStringLiteral("Fiche –> presse-papiers"), ctrl(Qt::Key_Insert));
  AjouteItem(edition, EItem::ListeVersPressepapiers1, QStringLiteral("Liste –> presse-papiers"));
  edition->addSeparator();
  AjouteItem(edition, EItem::Options1, QStringLiteral("&Options"), touche(Qt::Key_F5));
  AjouteItem(edition, EItem::OptionsAvancees1, QStringLiteral("Options avan&cées"),
             QKeyCombination(Qt::ShiftModifier, Qt::Key_F5));
  edition->addSeparator();
  AjouteItem(edition, EItem::Entete1, QStringLiteral("En-&tête"), touche(Qt::Key_F9));
  AjouteItem(edition, EItem::Etiquettes1, QStringLiteral("&Etiquettes"));
  AjouteItem(edition, EItem::Canevas1, QStringLiteral("&Canevas"));
  AjouteItem(edition, EItem::FeuilledeStyle1, QStringLiteral("Feuille de Style"), ctrl(Qt::Key_F9));

  QMenu* preferences = menu(EItem::Preferences1, QStringLiteral("&Préférences"));
  QMenu* polices = preferences->addMenu(QStringLiteral("&Polices de caractères"));
  FActions[static_cast<std::size_t>(EItem::Police1)] = polices->menuAction();
  FLegendes[static_cast<std::size_t>(EItem::Police1)] = polices->title();
  AjouteItem(polices, EItem::Champs1, QStringLiteral("Champs"));
  AjouteItem(polices, EItem::Liste1, QStringLiteral("Liste"));
  preferences->addSeparator();
  AjouteItem(preferences, EItem::Applicationaudessus1, QStringLiteral("Garder à l'&avant-plan"))->setCheckable(true);
  AjouteItem(preferences, EItem::Rouvrir1, QStringLiteral("&Ouvrir au démarrage"))->setCheckable(true);
  AjouteItem(preferences, EItem::Instanceunique1, QStringLiteral("Instance &unique"))->setCheckable(true);
  preferences->addSeparator();
  AjouteItem(preferences, EItem::OptionsCSV, QStringLiteral("Options CSV"),
             QKeyCombination(Qt::ShiftModifier, Qt::Key_F6));

  QMenu* aide = menu(EItem::Aide1, QStringLiteral("&Aide"));
  AjouteItem(aide, EItem::Rubriquesdaide1, QStringLiteral("&Rubriques d'aide"));
  aide->addSeparator();
  AjouteItem(aide, EItem::Apropos1, QStringLiteral("&A propos..."));

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
  const struct {
    EItem item;
    const char* legende;
    const char* bulle;
  } definitions[] = {
      {EItem::BPrecedent, "Précédente", "Fiche précédente"}, {EItem::BSuivant, "Suivante", "Fiche suivante"},
      {EItem::BNouveau, "Nouvelle", "Nouvelle fiche"},       {EItem::BInserer, "Insérer", "Insérer une fiche"},
      {EItem::BSupprimer, "Supprimer", "Supprimer la fiche"}, {EItem::BChercher, "Chercher", "Chercher une fiche"}};
  for (const auto& d : definitions) {
    auto* bouton = new QPushButton(QString::fromUtf8(d.legende), Panel4);
    bouton->setToolTip(QString::fromUtf8(d.bulle));
    bouton->setAutoDefault(false);
    const EItem item = d.item;
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

  BoiteMessage = [](const QString& texte, const QString& titre, EGenreMessage icone, EBoutons boutons) {
    // MessageAvecTitre: its own caption, centred on the screen.
    QMessageBox boite(IconeQt(icone), titre.isEmpty() ? TitreBoite(IconeQt(icone)) : titre, texte, BoutonsQt(boutons));
    boite.setWindowModality(Qt::ApplicationModal);
    if (QAbstractButton* abandon = boite.button(QMessageBox::Abort)) abandon->setText(QStringLiteral("Abandonner"));
    return BoutonDepuisQt(boite.exec());
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

  // The client area from the settings, kept on the screen.
  const QScreen* ecran = QGuiApplication::primaryScreen();
  const QRect zone = ecran ? ecran->availableGeometry() : QRect(0, 0, 1024, 768);
  // The window manager's frame is not known before the window is shown: room is left for it.
  const int hauteurMenus = menuBar()->sizeHint().height();
  const QSize taille =
      TailleClientUtilisable(reglages.LargeurFenetre, reglages.HauteurFenetre,
                             zone.size() - QSize(MargeCadre, hauteurMenus + MargeCadre + HauteurTitre));
  setMinimumSize(LargeurMinimale, HauteurMinimale);
  resize(taille.width(), taille.height() + hauteurMenus);
  move(zone.left() + std::max(0, (zone.width() - width()) / 2),
       zone.top() + std::max(0, (zone.height() - height()) / 2));

  Editeur.Initialise();
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
  return BoiteMessage(ansi::VersQString(texte), ansi::VersQString(titre), icone, boutons);
}

bool TFormFiche::DialogueOuvrir(const std::vector<TFiltre>& filtres, const std::string& extensionDefaut,
                                const std::string& dossier, TChoixOuverture& choix) {
  // Never the folder the program was started from, which says nothing of the user's files.
  const QString depart = dossier.empty() ? QDir::homePath() : VersChemin(dossier);
  return BoiteOuvrir(filtres, ansi::VersQString(extensionDefaut), depart, choix);
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
