#include "editor/fenetres/KorListe.h"

#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

TListe::TListe(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("Liste des fiches"));
  setModal(true);
  auto* disposition = new QVBoxLayout(this);
  disposition->setContentsMargins(0, 0, 0, 0);
  LBListe = new QTableView(this);
  LBListe->horizontalHeader()->hide();
  LBListe->verticalHeader()->hide();
  LBListe->horizontalHeader()->setStretchLastSection(true);
  // Lines of one fixed height: the view reads only the lines it shows.
  LBListe->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  LBListe->setShowGrid(false);
  LBListe->setWordWrap(false);
  LBListe->setTabKeyNavigation(false);
  LBListe->setEditTriggers(QAbstractItemView::NoEditTriggers);
  LBListe->setSelectionMode(QAbstractItemView::SingleSelection);
  LBListe->setSelectionBehavior(QAbstractItemView::SelectRows);
  LBListe->setModel(&Modele);
  AjusteHauteurLignes();
  disposition->addWidget(LBListe);
  LBListe->installEventFilter(this);
  connect(LBListe->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& courant) { LBListeClick(courant); });
  connect(LBListe, &QTableView::doubleClicked, this, [this] { done(OK); });
  resize(Largeur, 480);
}

TListe::EResultat TListe::Execute(const TFichierX& fichier, int ligneSelectionnee) {
  FSelectionParProgramme = true;
  Modele.FixeFichier(&fichier);
  const QModelIndex ligne = Modele.index(ligneSelectionnee, 0);
  LBListe->setCurrentIndex(ligne);
  LBListe->scrollTo(ligne, QAbstractItemView::PositionAtCenter);
  FSelectionParProgramme = false;
  LBListe->setFocus();
  const int resultat = exec();
  Modele.FixeFichier(nullptr);
  return resultat == OK ? OK : resultat == Abandon ? Abandon : Fermeture;
}

void TListe::FichierChange(const TFichierX* fichier) {
  if (!isVisible()) return;
  FSelectionParProgramme = true;
  const int ligne = LBListe->currentIndex().row();
  Modele.FixeFichier(fichier);
  if (ligne >= 0 && Modele.rowCount() > 0)
    LBListe->setCurrentIndex(Modele.index(std::min(ligne, Modele.rowCount() - 1), 0));
  FSelectionParProgramme = false;
}

void TListe::LBListeClick(const QModelIndex& courant) {
  if (FSelectionParProgramme || !courant.isValid() || !OnSelection) return;
  const int index = Modele.IndexDeLigne(courant.row());
  if (index >= 0) OnSelection(index);
}

bool TListe::Touche(int touche) {
  switch (touche) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F12: done(OK); return true;
    case Qt::Key_Escape: done(Abandon); return true;
    default: return false;
  }
}

void TListe::AjusteHauteurLignes() {
  LBListe->verticalHeader()->setMinimumSectionSize(1);
  LBListe->verticalHeader()->setDefaultSectionSize(LBListe->fontMetrics().height() + 2);
}

bool TListe::eventFilter(QObject* objet, QEvent* evenement) {
  // The list font may change at any time (Préférences, Polices de caractères, Liste).
  if (objet == LBListe && evenement->type() == QEvent::FontChange) AjusteHauteurLignes();
  if (objet == LBListe && evenement->type() == QEvent::KeyPress && Touche(static_cast<QKeyEvent*>(evenement)->key()))
    return true;
  return QDialog::eventFilter(objet, evenement);
}

void TListe::Place() {
  const QScreen* ecran = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!ecran) return;
  const QRect zone = ecran->availableGeometry();
  FCadre = windowHandle() ? windowHandle()->frameMargins() : QMargins();
  setGeometry(zone.left() + FCadre.left(), zone.top() + FCadre.top(), Largeur,
              zone.height() - FCadre.top() - FCadre.bottom());
}

void TListe::showEvent(QShowEvent* evenement) {
  QDialog::showEvent(evenement);
  Place();
}

void TListe::moveEvent(QMoveEvent* evenement) {
  QDialog::moveEvent(evenement);
  // The frame is known only once the window manager has put it around the shown window: placed
  // again then. A move by the user changes no frame and stays.
  if (isVisible() && windowHandle() && windowHandle()->frameMargins() != FCadre) Place();
}

void TListe::keyPressEvent(QKeyEvent* evenement) {
  if (!Touche(evenement->key())) QDialog::keyPressEvent(evenement);
}
