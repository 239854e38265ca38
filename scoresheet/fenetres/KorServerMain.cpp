#include "scoresheet/fenetres/KorServerMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "platform/Ansi.h"
#include "platform/Erreur.h"
#include "platform/Ordinateur.h"
#include "platform/bureau/Boites.h"
#include "scoresheet/KorFichiersResultats.h"

namespace {

constexpr int LargeursColonnes[NbColonnesResultats] = {80, 160, 160, 60, 60};


}  // namespace

TFormMain::TFormMain(const TOptionsServeur& options, QWidget* parent)
    : QMainWindow(parent) {
  // FormCreate
  setWindowTitle(QStringLiteral("Orvaline : Feuille de Notes"));
  QFont police(QStringLiteral("Tahoma"));
  police.setPixelSize(11);
  setFont(police);

  MnFichier = menuBar()->addMenu(QStringLiteral("&Fichier"));
  MnEnregistrer = MnFichier->addAction(QStringLiteral("&Enregistrer"));
  MnEnregistrer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  MnFichier->addSeparator();
  MnQuitter = MnFichier->addAction(QStringLiteral("&Quitter"));
  MnAide = menuBar()->addMenu(QStringLiteral("&Aide"));
  MnRubriquesAide = MnAide->addAction(QStringLiteral("&Rubriques d'aide"));
  MnRubriquesAide->setShortcut(QKeySequence(Qt::Key_F1));
  MnAide->addSeparator();
  MnAPropos = MnAide->addAction(QStringLiteral("&A propos..."));
  connect(MnEnregistrer, &QAction::triggered, this, &TFormMain::ButtonSaveClick);
  connect(MnQuitter, &QAction::triggered, this, &TFormMain::MnQuitterClick);
  connect(MnRubriquesAide, &QAction::triggered, this, &TFormMain::MnRubriquesAideClick);
  connect(MnAPropos, &QAction::triggered, this, &TFormMain::MnAProposClick);

  auto* centre = new QWidget(this);
  auto* disposition = new QVBoxLayout(centre);
  disposition->setContentsMargins(0, 0, 0, 0);
  disposition->setSpacing(2);
  // Row 0 of the table, the titles, is the grid's fixed header.
  GridResults = new QTableWidget(1, NbColonnesResultats, centre);
  QStringList titres;
  for (const std::string& t : TitresResultats()) titres << ansi::VersQString(t);
  GridResults->setHorizontalHeaderLabels(titres);
  GridResults->verticalHeader()->hide();
  GridResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
  GridResults->setSelectionMode(QAbstractItemView::ContiguousSelection);
  GridResults->setSelectionBehavior(QAbstractItemView::SelectItems);
  GridResults->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  GridResults->horizontalHeader()->setStretchLastSection(false);
  for (int c = 0; c < NbColonnesResultats; ++c) GridResults->setColumnWidth(c, LargeursColonnes[c]);
  // The columns follow the room the grid gives them (less when the scroll bar shows) until the
  // user sizes one.
  GridResults->viewport()->installEventFilter(this);
  connect(GridResults->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
    if (!FAjustementColonnes) FColonnesDeLUtilisateur = true;
  });
  GridResults->verticalHeader()->setDefaultSectionSize(GridResults->fontMetrics().height() + 6);
  disposition->addWidget(GridResults, 1);
  LNomOrdinateur = new QLabel(centre);
  LNomOrdinateur->setContentsMargins(4, 0, 4, 2);
  disposition->addWidget(LNomOrdinateur);
  setCentralWidget(centre);
  resize(528, 486);

  BoiteMessage = [this](QMessageBox::Icon icone, const QString& titre, const QString& texte,
                        QMessageBox::StandardButtons boutons) {
    return BoiteMessageStandard(this, icone, titre, texte, boutons);
  };
  DialogueEnregistrement = [this] { return DialogueEnregistrementStandard(); };

  // Rows are added on the connections' threads; the grid follows on this one.
  connect(&Table, &TTableResultats::ResultatAjoute, this, &TFormMain::ResultatArrive,
          Qt::QueuedConnection);
  DemarreServeur(options);
  RafraichitGrille();
}

void TFormMain::DemarreServeur(const TOptionsServeur& options) {
  TCPServer = std::make_unique<TServeurResultats>(
      [this](const std::vector<std::string>& parametres) {
        Table.TCPServerCommandSendDataCommand(parametres);
      },
      options);
  FOptionsServeur = options;
  TCPServer->Ecoute();
}

void TFormMain::SignaleEchecEcoute() {
  BoiteMessage(QMessageBox::Warning, TitreBoite(QMessageBox::Warning),
               QStringLiteral("Le port %1 ne peut pas être ouvert : %2\n"
                              "Cette Feuille de Notes ne recevra aucun résultat.")
                   .arg(FOptionsServeur.Port)
                   .arg(ansi::VersQString(TCPServer->Erreur())),
               QMessageBox::Ok);
}

TFormMain::~TFormMain() {
  // FormDestroy: the server's thread has ended before the table and its lock go.
  TCPServer->Arrete();
}

std::string TFormMain::NomOrdinateur() const { return GetComputerNameA(); }

void TFormMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // FormShow
  LNomOrdinateur->setText(QStringLiteral("Nom de cet ordinateur : %1").arg(ansi::VersQString(NomOrdinateur())));
  if (!FPremierAffichage) return;
  FPremierAffichage = false;
  PlaceEnHautADroite();
  // Told once the window is up; the program stays usable for what the table holds.
  if (!TCPServer->EnEcoute()) QTimer::singleShot(0, this, &TFormMain::SignaleEchecEcoute);
}

void TFormMain::PlaceEnHautADroite() {
  const QScreen* ecran = screen();
  if (ecran == nullptr) return;
  const QRect zone = ecran->availableGeometry();
  // The frame's corner: move() places the frame, as far as its size is known.
  move(zone.x() + zone.width() - frameGeometry().width(), zone.y());
  if (windowHandle() == nullptr || !windowHandle()->frameMargins().isNull() || FEssaisPlacement <= 0) return;
  // The window manager adds its frame only once the window is on screen: until then the frame
  // is taken for the window itself, and the title bar would lie above the screen's top edge.
  // The window is placed again as soon as its frame is known.
  --FEssaisPlacement;
  QTimer::singleShot(50, this, &TFormMain::PlaceEnHautADroite);
}

bool TFormMain::eventFilter(QObject* objet, QEvent* evenement) {
  if (objet == GridResults->viewport() && evenement->type() == QEvent::Resize) AjusteColonnes();
  return QMainWindow::eventFilter(objet, evenement);
}

void TFormMain::AjusteColonnes() {
  if (FColonnesDeLUtilisateur) return;
  const QHeaderView* entete = GridResults->horizontalHeader();
  int largeurs[NbColonnesResultats];
  int minimums[NbColonnesResultats];
  int exces = -GridResults->viewport()->width();
  const int marge = 2 * entete->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, entete);
  for (int c = 0; c < NbColonnesResultats; ++c) {
    // Never narrower than the column's title.
    const QString titre = GridResults->horizontalHeaderItem(c)->text();
    minimums[c] = std::max(entete->fontMetrics().horizontalAdvance(titre) + marge, entete->minimumSectionSize());
    largeurs[c] = std::max(LargeursColonnes[c], minimums[c]);
    exces += largeurs[c];
  }
  // What the grid lacks is taken a pixel at a time from the column with the most to spare.
  while (exces > 0) {
    int c = 0;
    for (int k = 1; k < NbColonnesResultats; ++k)
      if (largeurs[k] - minimums[k] > largeurs[c] - minimums[c]) c = k;
    if (largeurs[c] <= minimums[c]) break;
    --largeurs[c];
    --exces;
  }
  FAjustementColonnes = true;
  for (int c = 0; c < NbColonnesResultats; ++c)
    if (GridResults->columnWidth(c) != largeurs[c]) GridResults->setColumnWidth(c, largeurs[c]);
  FAjustementColonnes = false;
}

bool TFormMain::QuitterSansEnregistrer() {
  return BoiteMessage(QMessageBox::Question, TitreBoite(QMessageBox::Question),
                      QStringLiteral("Voulez-vous quitter sans enregistrer les résultats ?"),
                      QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

bool TFormMain::DecideFermeture() {
  // The decision covers the rows there when it is taken: those saved, or those the question was
  // asked about. Reports keep coming meanwhile, so the server stops taking them before the
  // window closes, and the rows that came in between are asked about again, with the server
  // stopped; no player is told a result was received that the close then drops.
  const std::uint64_t couverts = Table.Generation();
  if (!Table.ResultatsEnregistres() && !QuitterSansEnregistrer()) return false;
  const bool ecoutait = TCPServer->EnEcoute();
  TCPServer->Arrete();
  if (Table.Generation() != couverts && !QuitterSansEnregistrer()) {
    // The window stays: it listens again, on the same port.
    if (ecoutait) EcouteDeNouveau();
    return false;
  }
  FEcoutaitAvantArret = ecoutait;
  return true;
}

void TFormMain::EcouteDeNouveau() {
  TOptionsServeur options = FOptionsServeur;
  options.Port = TCPServer->Port();
  DemarreServeur(options);
  if (!TCPServer->EnEcoute()) SignaleEchecEcoute();
}

void TFormMain::closeEvent(QCloseEvent* event) {
  // Decided at the logout, the server stopped since: nothing came that was not answered for.
  if (FReponseFinDeSession == Table.Generation()) {
    event->accept();
    return;
  }
  if (!DecideFermeture()) {
    event->ignore();
    return;
  }
  event->accept();
}

bool TFormMain::QuestionFinDeSession() {
  FReponseFinDeSession.reset();
  if (!DecideFermeture()) return false;
  FReponseFinDeSession = Table.Generation();
  return true;
}

void TFormMain::FinDeSessionAbandonnee() {
  if (!FReponseFinDeSession) return;
  FReponseFinDeSession.reset();
  if (FEcoutaitAvantArret) EcouteDeNouveau();
}

void TFormMain::ResultatArrive() {
  // Many rows may arrive at once: one redraw for all that are waiting.
  if (FRafraichissementPrevu) return;
  FRafraichissementPrevu = true;
  QTimer::singleShot(0, this, &TFormMain::RafraichitGrille);
}

void TFormMain::RafraichitGrille() {
  FRafraichissementPrevu = false;
  // Rows never change once another follows them: only row 1 (while free) and the new ones do,
  // and only those are copied out of the table.
  const int premiere = FLignesAffichees > 0 ? FLignesAffichees - 1 : 0;
  const TSuiteResultats suite = Table.LignesDepuis(static_cast<std::size_t>(premiere) + 1);
  const int lignes = static_cast<int>(suite.Premiere + suite.Lignes.size()) - 1;
  GridResults->setRowCount(lignes);
  for (int r = premiere; r < lignes; ++r) {
    const TLigneResultat& ligne = suite.Lignes[static_cast<std::size_t>(r - premiere)];
    for (int c = 0; c < NbColonnesResultats; ++c) {
      const QString texte = ansi::VersQString(ligne[c]);
      if (QTableWidgetItem* cellule = GridResults->item(r, c)) {
        cellule->setText(texte);
      } else {
        auto* nouvelle = new QTableWidgetItem(texte);
        nouvelle->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        GridResults->setItem(r, c, nouvelle);
      }
    }
  }
  FLignesAffichees = lignes;
}

void PrepareDialogueEnregistrement(QFileDialog& dialogue) {
  dialogue.setWindowTitle(QStringLiteral("Enregistrer les résultats"));
  // Qt's own dialog, as the editor's: it tells which filter the user picks.
  dialogue.setOption(QFileDialog::DontUseNativeDialog);
  dialogue.setAcceptMode(QFileDialog::AcceptSave);
  dialogue.setFileMode(QFileDialog::AnyFile);
  const QStringList filtres = {QStringLiteral("Tableau Excel (*.xls)"), QStringLiteral("Fichier CSV (*.csv)")};
  const QStringList extensions = {QStringLiteral("xls"), QStringLiteral("csv")};
  dialogue.setNameFilters(filtres);
  dialogue.selectNameFilter(filtres.front());
  // A name typed without an extension gets the chosen filter's; one typed with its own keeps it.
  // The format then follows the final name.
  dialogue.setDefaultSuffix(extensions.front());
  QObject::connect(&dialogue, &QFileDialog::filterSelected, &dialogue, [&dialogue, filtres, extensions](const QString& filtre) {
    const auto i = filtres.indexOf(filtre);
    if (i >= 0) dialogue.setDefaultSuffix(extensions[i]);
  });
  dialogue.selectFile(QStringLiteral("KorResults"));
  dialogue.setSizeGripEnabled(true);
}

QString TFormMain::DialogueEnregistrementStandard() {
  QFileDialog dialogue(this);
  PrepareDialogueEnregistrement(dialogue);
  if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty()) return {};
  return dialogue.selectedFiles().front();
}

void TFormMain::ButtonSaveClick() {
  const QString nom = DialogueEnregistrement();
  if (nom.isEmpty()) return;
  try {
    EnregistreResultats(Table, DepuisChemin(nom));
  } catch (const EErreur& e) {
    BoiteMessage(QMessageBox::Critical, TitreBoite(QMessageBox::Critical), ansi::VersQString(e.Message()),
                 QMessageBox::Ok);
    return;
  }
  BoiteMessage(QMessageBox::Information, TitreBoite(QMessageBox::Information),
               QStringLiteral("\"%1\" enregistré.").arg(nom), QMessageBox::Ok);
}

void TFormMain::MnQuitterClick() { close(); }

void TFormMain::MnRubriquesAideClick() {
  if (!Aide.AfficheContexte(1))
    BoiteMessage(QMessageBox::Warning, TitreBoite(QMessageBox::Warning), Aide.MessageEchec(), QMessageBox::Ok);
}

void TFormMain::MnAProposClick() {
  BoiteMessage(QMessageBox::Information, QStringLiteral("A propos"),
               QStringLiteral("Orvaline : Feuille de Notes\nKorServer, version 7.8"), QMessageBox::Ok);
}

void TFormMain::AmeneAuPremierPlan() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}
