#include "player/fenetres/KorFenetreJeu.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <random>

#include "platform/Ansi.h"
#include "platform/bureau/Boites.h"
#include "platform/bureau/Raccourcis.h"
#include "player/fenetres/KorPref.h"

namespace {

// One generator for the whole run, seeded from the clock when the program starts.
std::mt19937& Generateur() {
  static std::mt19937 generateur(static_cast<std::mt19937::result_type>(
      std::chrono::system_clock::now().time_since_epoch().count()));
  return generateur;
}
[[maybe_unused]] const bool GenerateurSeme = (Generateur(), true);

QColor VersCouleur(TCouleur c) { return QColor(c.Rouge, c.Vert, c.Bleu); }



QFrame* Panneau(QWidget* parent, const QRect& zone) {
  auto* panneau = new QFrame(parent);
  panneau->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panneau->setLineWidth(1);
  panneau->setGeometry(zone);
  return panneau;
}

QLabel* Etiquette(QWidget* parent, const QRect& zone, Qt::Alignment alignement) {
  auto* etiquette = new QLabel(parent);
  etiquette->setTextFormat(Qt::PlainText);
  etiquette->setAlignment(alignement | Qt::AlignVCenter);
  etiquette->setGeometry(zone);
  return etiquette;
}

QPlainTextEdit* Memo(QWidget* parent, const QRect& zone) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setReadOnly(true);
  memo->setFocusPolicy(Qt::ClickFocus);
  memo->setTabChangesFocus(true);
  memo->setGeometry(zone);
  return memo;
}

// A menu caption shows '&' as a mnemonic: a file name keeps its own.
QString SansMnemonique(QString texte) { return texte.replace(QLatin1Char('&'), QStringLiteral("&&")); }

}  // namespace

// ---------------------------------------------------------------------------------------------

TJauge::TJauge(QWidget* parent) : QWidget(parent), FCouleur(VersCouleur(CouleurSarcelle)) {}

void TJauge::FixeValeur(int valeur) {
  FValeur = std::clamp(valeur, 0, 100);
  update();
}

void TJauge::FixeCouleur(const QColor& couleur) {
  FCouleur = couleur;
  update();
}

void TJauge::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect cadre = rect().adjusted(0, 0, -1, -1);
  p.fillRect(rect(), Qt::white);
  const int largeur = (width() - 2) * FValeur / 100;
  if (largeur > 0) p.fillRect(QRect(1, 1, largeur, height() - 2), FCouleur);
  p.setPen(Qt::black);
  p.drawRect(cadre);
  p.drawText(rect(), Qt::AlignCenter, QStringLiteral("%1%").arg(FValeur));
}

// ---------------------------------------------------------------------------------------------

TForm1::TForm1(const QStringList& arguments, TReglages& reglages, QWidget* parent)
    : QMainWindow(parent), Joueur(*this, reglages), FReglages(reglages), FArguments(arguments) {
  // FormCreate
  setWindowTitle(QStringLiteral("Orvaline : le Quiz"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  QPalette fond = palette();
  fond.setColor(QPalette::Window, VersCouleur(CouleurBleuCiel));
  setPalette(fond);
  setAutoFillBackground(true);

  CreeMenus();
  FBarreAttachee = FReglages.BarreMenu;
  if (FBarreAttachee) {
    MenuPrinc->setFixedHeight(HauteurBarreMenu);
    setMenuBar(MenuPrinc);
  } else {
    FBarreDetachee.reset(MenuPrinc);
  }
  CreeControles();

  Chrono = new QTimer(this);
  Chrono->setInterval(50);
  connect(Chrono, &QTimer::timeout, this, &TForm1::ChronoTimer);

  BoiteMessage = [this](QMessageBox::Icon icone, const QString& titre, const QString& texte,
                        QMessageBox::StandardButtons boutons) {
    return BoiteMessageStandard(this, icone, titre, texte, boutons);
  };
  BoiteSaisie = [this](const QString& titre, const QString& invite, QString& texte) {
    return SaisieLigne(this, titre, invite, texte);
  };
  DialogueOuvrir = [this](const QString& dossier) { return DialogueOuvrirStandard(dossier); };
  Horloge = [] { return std::chrono::steady_clock::now(); };
  Tirage = [](int n) { return std::uniform_int_distribution<int>(0, n - 1)(Generateur()); };

  if (const QScreen* ecran = QGuiApplication::primaryScreen()) {
    const QRect zone = ecran->availableGeometry();
    move(zone.center() - QPoint(width() / 2, height() / 2));
  }

  // Enter's state is followed on every key event of the program, dialogs included.
  qApp->installEventFilter(this);
  FormPreferences = new TFormPreferences(this, reglages, Joueur.Client);
  FormPreferences->Message = [this](QMessageBox::Icon icone, const QString& texte) { Boite(icone, texte); };
}

void TForm1::CreeMenus() {
  // Their shortcuts are shown in the captions and dispatched by FormKeyDown: Qt would let a
  // line edit take Ctrl+A and Ctrl+C, and would never fire a hidden item.
  MenuPrinc = new QMenuBar;
  MenuFichier = MenuPrinc->addMenu(QStringLiteral("&Fichier"));
  MenuPartie = MenuPrinc->addMenu(QStringLiteral("&Partie"));
  MenuAide = MenuPrinc->addMenu(QStringLiteral("&Aide"));
  // Without a caption: a separator. Without a menu: never shown, so that it keeps an enabled
  // state of its own.
  const struct {
    QMenu* Menu;
    const char* Legende;
    QAction* TForm1::*Item;
    void (TForm1::*Clic)();
  } items[] = {
      {MenuFichier, "&Ouvrir\tCtrl+O", &TForm1::MenuOuvrir, &TForm1::ChoixOuvrirQuiz},
      {MenuFichier, "Ouvert", &TForm1::Ouvert1, &TForm1::Ouvert1Click},
      {MenuFichier, "Récent", &TForm1::Recent1, &TForm1::Recent1Click},
      {MenuFichier, "&Fermer", &TForm1::MenuFermer, &TForm1::MenuFermerClick},
      {MenuFichier, nullptr, nullptr, nullptr},
      {MenuFichier, "&Préférences", &TForm1::MenuPreferences, &TForm1::MenuPreferencesClick},
      {MenuFichier, nullptr, nullptr, nullptr},
      {MenuFichier, "&Quitter", &TForm1::MenuQuitter, &TForm1::MenuQuitterClick},
      {MenuPartie, "Commencer", &TForm1::MenuCommencer, &TForm1::MenuCommencerClick},
      {MenuPartie, "Abandonner\tCtrl+C", &TForm1::MenuAbandonner, &TForm1::MenuAbandonnerClick},
      {nullptr, "Accepter", &TForm1::MenuAccepter, &TForm1::MenuAccepterClick},
      {MenuAide, "&A propos...", &TForm1::MenuAPropos, &TForm1::MenuAProposClick}};
  for (const auto& i : items) {
    if (!i.Legende) {
      i.Menu->addSeparator();
      continue;
    }
    const QString legende = QString::fromUtf8(i.Legende);
    QAction* item = i.Menu ? i.Menu->addAction(legende) : new QAction(legende, this);
    this->*i.Item = item;
    connect(item, &QAction::triggered, this, i.Clic);
  }
  MenuAbandonner->setEnabled(false);
  MenuPartie->menuAction()->setVisible(false);
  connect(MenuFichier, &QMenu::aboutToShow, this, &TForm1::MenuFichierClick);
  connect(MenuPartie, &QMenu::aboutToShow, this, &TForm1::MenuPartieClick);
}

void TForm1::CreeControles() {
  auto* client = new QWidget(this);
  client->setFixedSize(LargeurClient, HauteurClient);
  setCentralWidget(client);
  setFixedSize(LargeurClient, HauteurClient + (FBarreAttachee ? HauteurBarreMenu : 0));

  Panel1 = Panneau(client, QRect(8, 8, 552, 250));
  ETitre = new QLineEdit(Panel1);
  ETitre->setReadOnly(true);
  ETitre->setFocusPolicy(Qt::ClickFocus);
  ETitre->setGeometry(8, 8, 536, 24);
  MQuestion = Memo(Panel1, QRect(8, 38, 536, 128));
  MReponse = Memo(Panel1, QRect(8, 172, 536, 70));

  Panel2 = Panneau(client, QRect(8, 266, 552, 160));
  Panel2->setAutoFillBackground(true);
  LInstruction = Etiquette(Panel2, QRect(8, 8, 536, 20), Qt::AlignHCenter);
  EReponse = new QLineEdit(Panel2);
  EReponse->setGeometry(8, 34, 536, 26);
  QPalette blanc = EReponse->palette();
  blanc.setColor(QPalette::Base, Qt::white);
  blanc.setColor(QPalette::Text, Qt::black);
  EReponse->setPalette(blanc);
  LResultat = Etiquette(Panel2, QRect(8, 68, 536, 34), Qt::AlignHCenter);
  QFont grande = LResultat->font();
  grande.setPointSize(16);
  grande.setBold(true);
  LResultat->setFont(grande);
  Bouton = new QPushButton(Panel2);
  Bouton->setGeometry(221, 114, 110, 32);
  Bouton->setDefault(true);
  connect(Bouton, &QPushButton::clicked, this, &TForm1::BoutonClick);

  Panel3 = Panneau(client, QRect(8, 434, 552, 40));
  LQuestAPoser = Etiquette(Panel3, QRect(10, 10, 180, 20), Qt::AlignLeft);
  LScore = Etiquette(Panel3, QRect(196, 10, 130, 20), Qt::AlignLeft);
  Gauge = new TJauge(Panel3);
  Gauge->setGeometry(332, 9, 210, 22);

  FixeCouleur(EZoneCouleur::Panel2, CouleurBleuCiel);
  FixeCouleur(EZoneCouleur::LResultat, CouleurBlanc);
  QFont champs(QStringLiteral("Lucida Sans Typewriter"));
  champs.setStyleHint(QFont::TypeWriter);
  champs.setPixelSize(13);
  for (QWidget* w : {static_cast<QWidget*>(ETitre), static_cast<QWidget*>(MQuestion),
                     static_cast<QWidget*>(MReponse), static_cast<QWidget*>(EReponse)})
    w->setFont(champs);
  AppliquePolice();
  LInstruction->setText(QStringLiteral("Bienvenue !  Cliquez sur \"Ouvrir\" pour choisir un questionnaire."));
  FixeBouton(QStringLiteral("Ouvrir"), EActionBouton::ChoixOuvrirQuiz);
}

TForm1::~TForm1() {
  qApp->removeEventFilter(this);
  Chrono->stop();
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!FPremierAffichage) return;
  FPremierAffichage = false;
  // FormShow. The window's own events come first to FormKeyDown, before any control.
  if (QWindow* fenetre = windowHandle()) fenetre->installEventFilter(this);
  if (FBarreAttachee) MenuPreferences->setVisible(FReglages.MenuPreferencesVisible);
  Bouton->setFocus();
  if (!FArguments.isEmpty()) {
    // Opened once the window is up, so that a failure is told over it. Further arguments are ignored.
    const std::string chemin = DepuisChemin(FArguments.front());
    QMetaObject::invokeMethod(this, [this, chemin] { Joueur.OuvreQuiz(chemin); }, Qt::QueuedConnection);
  }
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (FFermee) {
    event->accept();
    return;
  }
  if (RapportEnCours()) {
    // The window closes once the result is sent, never in the middle of it.
    FFermetureDemandee = true;
    event->ignore();
    return;
  }
  // FormCloseQuery
  if (!Joueur.PeutFermer()) {
    event->ignore();
    return;
  }
  FormClose();
  event->accept();
}

void TForm1::FormClose() {
  Joueur.Ferme();
  FFermee = true;
}

bool TForm1::eventFilter(QObject* objet, QEvent* event) {
  const QEvent::Type genre = event->type();
  if (genre == QEvent::KeyPress || genre == QEvent::KeyRelease) {
    auto* touche = static_cast<QKeyEvent*>(event);
    if (touche->key() == Qt::Key_Return || touche->key() == Qt::Key_Enter) {
      if (genre == QEvent::KeyPress)
        FEntreeEnfoncee = true;
      else if (!touche->isAutoRepeat())
        FEntreeEnfoncee = false;
    }
    if (genre == QEvent::KeyPress && objet == windowHandle()) return FormKeyDown(touche);
  } else if (genre == QEvent::ApplicationDeactivate) {
    // A key released while another program had the keyboard is never seen here.
    FEntreeEnfoncee = false;
  }
  return QMainWindow::eventFilter(objet, event);
}

bool TForm1::FormKeyDown(QKeyEvent* touche) {
  const Qt::KeyboardModifiers modificateurs = touche->modifiers() & ~Qt::KeypadModifier;
  const int cle = touche->key();
  const bool entree = cle == Qt::Key_Return || cle == Qt::Key_Enter;
  if (RapportEnCours()) {
    // Keys pressed while a result is sent run nothing; typing may go on.
    return entree || (modificateurs & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
  }
  // 1. Delete empties the answer; the key still reaches the edit.
  if (cle == Qt::Key_Delete && EReponse->hasFocus()) EReponse->clear();
  // 2. Ctrl+R: back to the opening screen, the game ended and reported.
  if (cle == Qt::Key_R && modificateurs == Qt::ControlModifier &&
      QGuiApplication::mouseButtons() == Qt::NoButton && Joueur.QuizOuvert()) {
    Joueur.RetourEcranAccueil();
    return true;
  }
  // 3. Ctrl+Alt+P shows or hides Préférences, and the change is saved at exit.
  if (cle == Qt::Key_P && modificateurs == (Qt::ControlModifier | Qt::AltModifier) &&
      Joueur.BasculeMenuPreferences(FBarreAttachee))
    return true;
  // The menu items' shortcuts, while the menu bar is attached.
  // A disabled item leaves the key to the control (Ctrl+C copies, Ctrl+A selects).
  if (FBarreAttachee && modificateurs == Qt::ControlModifier) {
    const auto fichier = [this] { MenuFichierClick(); };
    const auto partie = [this] { MenuPartieClick(); };
    if (cle == Qt::Key_O) return DeclencheRaccourci(MenuOuvrir, fichier);
    if (cle == Qt::Key_C) return DeclencheRaccourci(MenuAbandonner, partie);
    if (cle == Qt::Key_A) return DeclencheRaccourci(MenuAccepter, partie);
  }
  // Enter presses the default button, whichever control has the focus.
  if (entree && modificateurs == Qt::NoModifier) {
    if (Bouton->isEnabled()) Bouton->click();
    return true;
  }
  return false;
}

void TForm1::FixeBouton(const QString& legende, EActionBouton action) {
  Bouton->setText(legende);
  FActionBouton = action;
}

// ---------------------------------------------------------------------------------------------
// Questionnaires

void TForm1::AppliquePolice() {
  const TReglages& r = FReglages;
  QFont police = ETitre->font();
  police.setFamily(ansi::VersQString(r.PoliceChamps));
  police.setStyleHint(QFont::TypeWriter);
  police.setPointSize(std::max(1, static_cast<int>(r.TaillePoliceChamps)));
  ETitre->setFont(police);
  MQuestion->setFont(ETitre->font());
  MReponse->setFont(ETitre->font());
  EReponse->setFont(ETitre->font());
}

QString TForm1::DialogueOuvrirStandard(const QString& dossier) {
  QFileDialog dialogue(this, QStringLiteral("Ouvrir"), dossier);
  dialogue.setAcceptMode(QFileDialog::AcceptOpen);
  dialogue.setFileMode(QFileDialog::ExistingFile);
  dialogue.setNameFilters({QStringLiteral("Questionnaire (*.xkqq *.kqq)"), QStringLiteral("Tous (*)")});
  dialogue.setDefaultSuffix(QStringLiteral("xkqq"));
  if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty()) return {};
  return dialogue.selectedFiles().front();
}

// ---------------------------------------------------------------------------------------------
// Commands

void TForm1::BoutonClick() {
  if (RapportEnCours()) return;
  if (FActionBouton == EActionBouton::ChoixOuvrirQuiz)
    ChoixOuvrirQuiz();
  else
    Joueur.ExecuteAction(FActionBouton);
}

template <class F>
auto TForm1::SousBoite(EBoite genre, F&& boite) {
  Joueur.DebutBoite(genre);
  auto resultat = boite();
  Joueur.FinBoite(genre);
  return resultat;
}

void TForm1::ChoixOuvrirQuiz() {
  if (RapportEnCours() || !Joueur.PeutAbandonner()) return;
  const QString depart = DossierDepart(Joueur.DossierOuverture());
  const QString nom = SousBoite(EBoite::RetientChrono, [&] { return DialogueOuvrir(depart); });
  if (!nom.isEmpty()) Joueur.OuvreQuiz(DepuisChemin(nom));
}

void TForm1::MenuFichierClick() {
  const TEtatMenuFichier etat = Joueur.EtatMenuFichier();
  MenuFermer->setEnabled(etat.Fermer);
  Ouvert1->setVisible(etat.OuvertVisible);
  Ouvert1->setText(SansMnemonique(VersChemin(NomSansDossier(etat.Ouvert))));
  Recent1->setVisible(etat.RecentVisible);
  Recent1->setText(SansMnemonique(VersChemin(NomSansDossier(etat.Recent))));
}

void TForm1::Ouvert1Click() { Joueur.OuvreQuizConfirme(FReglages.FichierOuvert); }

void TForm1::Recent1Click() { Joueur.OuvreQuizConfirme(FReglages.FichierRecent); }

void TForm1::MenuFermerClick() {
  if (RapportEnCours() || !Joueur.QuizOuvert()) return;
  if (Joueur.PeutAbandonner()) RetourAccueil();
}

bool TForm1::ExecutePreferences() {
  if (!FormPreferences->Execute(ETitre->font())) return false;
  if (FormPreferences->PoliceModifiee()) AppliquePolice();
  Joueur.PreferencesModifiees = true;
  return true;
}

void TForm1::MenuPreferencesClick() {
  if (RapportEnCours()) return;
  SousBoite(EBoite::LaisseChrono, [this] { return ExecutePreferences(); });
}

void TForm1::MenuQuitterClick() { close(); }

void TForm1::MenuPartieClick() {
  const TEtatMenuPartie etat = Joueur.EtatMenuPartie(ansi::DepuisQString(Bouton->text()));
  MenuCommencer->setEnabled(etat.Commencer);
  MenuAbandonner->setEnabled(etat.Abandonner);
  MenuAccepter->setEnabled(etat.Accepter);
}

void TForm1::MenuCommencerClick() { Joueur.Commencer(); }

void TForm1::MenuAbandonnerClick() { Joueur.Abandonner(); }

void TForm1::MenuAccepterClick() { Joueur.Accepter(); }

void TForm1::MenuAProposClick() {
  SousBoite(EBoite::LaisseChrono, [this] {
    return Boite(QMessageBox::Information,
                 QStringLiteral("Orvaline : le Quiz\nVersion %1").arg(QString::fromStdString(VersionFormat)));
  });
}

void TForm1::ChronoTimer() { Joueur.ChronoTimer(); }

// ---------------------------------------------------------------------------------------------
// The player's view

void TForm1::RetourAccueil() { Joueur.RetourAccueil(); }

void TForm1::RapporteResultat(const TEntreesRapport& entrees) { Joueur.RapporteResultat(entrees); }

void TForm1::FixeTitre(const std::string& chemin) {
  setWindowTitle(chemin.empty() ? QStringLiteral("Orvaline")
                                : QStringLiteral("Orvaline - %1").arg(VersChemin(NomSansDossier(chemin))));
}

bool TForm1::Confirme(const std::string& question) {
  return Boite(QMessageBox::Question, ansi::VersQString(question), QMessageBox::Ok | QMessageBox::Cancel) ==
         QMessageBox::Ok;
}

void TForm1::MontreMenuPreferences(bool visible) { MenuPreferences->setVisible(visible); }

bool TForm1::ChronoActif() const { return Chrono->isActive(); }

void TForm1::DebutRapport() {
  Bouton->setEnabled(false);
  FActionBouton = EActionBouton::Aucune;
  MenuPrinc->setEnabled(false);
}

void TForm1::FinRapport() {
  // What was clicked or typed while the window was blocked is handled now, and runs nothing.
  QCoreApplication::processEvents();
  MenuPrinc->setEnabled(true);
  Bouton->setEnabled(true);
  if (FFermetureDemandee) {
    FFermetureDemandee = false;
    QTimer::singleShot(0, this, [this] {
      if (!FFermee) close();
    });
  }
}

// ---------------------------------------------------------------------------------------------
// The game's view

void TForm1::FixeTexte(EControle controle, const std::string& texte) {
  switch (controle) {
    case EControle::ETitre: ETitre->setText(ansi::VersQString(texte)); break;
    case EControle::MQuestion: MQuestion->setPlainText(ansi::VersMemo(texte)); break;
    case EControle::MReponse: MReponse->setPlainText(ansi::VersMemo(texte)); break;
    case EControle::EReponse: EReponse->setText(ansi::VersQString(texte)); break;
    case EControle::LInstruction: LInstruction->setText(ansi::VersQString(texte)); break;
    case EControle::LResultat: LResultat->setText(ansi::VersQString(texte)); break;
    case EControle::LQuestAPoser: LQuestAPoser->setText(ansi::VersQString(texte)); break;
    case EControle::LScore: LScore->setText(ansi::VersQString(texte)); break;
  }
}

std::string TForm1::Texte(EControle controle) const {
  switch (controle) {
    case EControle::ETitre: return ansi::DepuisQString(ETitre->text());
    case EControle::MQuestion: return ansi::DepuisMemo(MQuestion->toPlainText());
    case EControle::MReponse: return ansi::DepuisMemo(MReponse->toPlainText());
    case EControle::EReponse: return ansi::DepuisQString(EReponse->text());
    case EControle::LInstruction: return ansi::DepuisQString(LInstruction->text());
    case EControle::LResultat: return ansi::DepuisQString(LResultat->text());
    case EControle::LQuestAPoser: return ansi::DepuisQString(LQuestAPoser->text());
    case EControle::LScore: return ansi::DepuisQString(LScore->text());
  }
  return {};
}

void TForm1::FixeCouleur(EZoneCouleur zone, TCouleur couleur) {
  switch (zone) {
    case EZoneCouleur::Panel2: {
      QPalette p = Panel2->palette();
      p.setColor(QPalette::Window, VersCouleur(couleur));
      Panel2->setPalette(p);
      break;
    }
    case EZoneCouleur::LResultat: {
      QPalette p = LResultat->palette();
      p.setColor(QPalette::WindowText, VersCouleur(couleur));
      LResultat->setPalette(p);
      break;
    }
    case EZoneCouleur::Jauge: Gauge->FixeCouleur(VersCouleur(couleur)); break;
  }
}

void TForm1::FixeJauge(int valeur) { Gauge->FixeValeur(valeur); }

void TForm1::FixeLegendeBouton(const std::string& legende) { Bouton->setText(ansi::VersQString(legende)); }

void TForm1::FixeActionBouton(EActionBouton action) { FActionBouton = action; }

void TForm1::DonneFocus(EFocus cible) {
  if (cible == EFocus::Bouton)
    Bouton->setFocus();
  else
    EReponse->setFocus();
}

void TForm1::MontreMenu(EMenu menu, bool visible) {
  if (!FBarreAttachee) return;
  (menu == EMenu::MenuFichier ? MenuFichier : MenuPartie)->menuAction()->setVisible(visible);
}

void TForm1::Message(EIcone icone, const std::string& texte) {
  Boite(icone == EIcone::Erreur ? QMessageBox::Critical : QMessageBox::Warning, ansi::VersQString(texte));
}

bool TForm1::SaisieTexte(const std::string& titre, const std::string& invite, std::string& texte) {
  QString saisi = ansi::VersQString(texte);
  if (!BoiteSaisie(ansi::VersQString(titre), ansi::VersQString(invite), saisi)) return false;
  texte = ansi::DepuisQString(saisi);
  return true;
}

void TForm1::DemarreChrono() { Chrono->start(); }

void TForm1::ArreteChrono() { Chrono->stop(); }

TInstant TForm1::Maintenant() const { return Horloge(); }

int TForm1::Aleatoire(int n) { return n <= 1 ? 0 : Tirage(n); }

QMessageBox::StandardButton TForm1::Boite(QMessageBox::Icon icone, const QString& texte,
                                          QMessageBox::StandardButtons boutons) {
  return SousBoite(EBoite::RetientChrono, [&] { return BoiteMessage(icone, TitreBoite(icone), texte, boutons); });
}
