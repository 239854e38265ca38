#include "editor/fenetres/KorDlgChercher.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/Ansi.h"
#include "platform/bureau/Boites.h"

TDlgChercher::TDlgChercher(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Chercher"));
  setModal(true);
  auto* disposition = new QVBoxLayout(this);
  disposition->addWidget(new QLabel(QStringLiteral("Expression à chercher :"), this));
  EChercher = EditionSansLimite(this);
  disposition->addWidget(EChercher);
  CBDifferencier = new QCheckBox(QStringLiteral("Différencier majuscules/minuscules"), this);
  CBChampUnique = new QCheckBox(this);
  CBArriere = new QCheckBox(QStringLiteral("Chercher vers l'arrière"), this);
  disposition->addWidget(CBDifferencier);
  disposition->addWidget(CBChampUnique);
  disposition->addWidget(CBArriere);
  auto* bas = new QHBoxLayout;
  bas->addStretch();
  BChercher = new QPushButton(QStringLiteral("Chercher"), this);
  BChercher->setDefault(true);
  BAnnuler = new QPushButton(QStringLiteral("Annuler"), this);
  BAnnuler->setAutoDefault(false);
  bas->addWidget(BChercher);
  bas->addWidget(BAnnuler);
  disposition->addLayout(bas);
  connect(BChercher, &QPushButton::clicked, this, &QDialog::accept);
  connect(BAnnuler, &QPushButton::clicked, this, &QDialog::reject);
  resize(360, sizeHint().height());
}

void TDlgChercher::Affiche(const TLogiqueChercher& l) {
  EChercher->setText(ansi::VersQString(l.EChercher));
  CBDifferencier->setChecked(l.CBDifferencier);
  CBChampUnique->setText(ansi::VersQString(l.LegendeChampUnique));
  CBChampUnique->setChecked(l.CBChampUnique);
  CBChampUnique->setEnabled(l.CBChampUniqueActif);
  CBArriere->setChecked(l.CBArriere);
}

void TDlgChercher::Lit(TLogiqueChercher& l) const {
  l.EChercher = ansi::DepuisQString(EChercher->text());
  l.CBDifferencier = CBDifferencier->isChecked();
  l.CBChampUnique = CBChampUnique->isChecked();
  l.CBArriere = CBArriere->isChecked();
}

bool TDlgChercher::Execute(TLogiqueChercher& logique) {
  Affiche(logique);
  const bool ok = exec() == QDialog::Accepted;
  Lit(logique);
  return ok;
}

void TDlgChercher::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  EChercher->setFocus();
  EChercher->selectAll();
}
