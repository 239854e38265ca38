#include "editor/fenetres/KorDlgNouveau.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

TDlgNouveau::TDlgNouveau(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Nouveau Fichier"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  LDemande = new QLabel(QStringLiteral("Voulez-vous créer un nouveau fichier ?"), this);
  LType = new QLabel(QStringLiteral("Type :"), this);
  CBType = new QComboBox(this);
  CBType->setEditable(false);
  CBType->setMinimumWidth(180);
  LType->setBuddy(CBType);
  BOK = new QPushButton(QStringLiteral("OK"), this);
  BOK->setDefault(true);
  BAnnuler = new QPushButton(QStringLiteral("Annuler"), this);
  connect(BOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(BAnnuler, &QPushButton::clicked, this, &QDialog::reject);

  auto* grille = new QGridLayout(this);
  grille->setContentsMargins(16, 16, 16, 12);
  grille->setVerticalSpacing(12);
  grille->addWidget(LDemande, 0, 0, 1, 2);
  grille->addWidget(LType, 1, 0);
  grille->addWidget(CBType, 1, 1);
  auto* boutons = new QHBoxLayout;
  boutons->addStretch();
  boutons->addWidget(BOK);
  boutons->addWidget(BAnnuler);
  grille->addLayout(boutons, 2, 0, 1, 2);
  grille->setSizeConstraint(QLayout::SetFixedSize);
}

bool TDlgNouveau::Execute(const QStringList& types, int& index) {
  CBType->clear();
  CBType->addItems(types);
  CBType->setCurrentIndex(0);
  adjustSize();
  // Centred on the screen.
  if (const QScreen* ecran = QGuiApplication::primaryScreen())
    move(ecran->availableGeometry().center() - QPoint(width() / 2, height() / 2));
  if (exec() != QDialog::Accepted) return false;
  index = CBType->currentIndex();
  return true;
}
