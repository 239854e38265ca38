#include "editor/fenetres/KorDlgEdition.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "platform/Ansi.h"

TDlgEdition::TDlgEdition(QWidget* parent, const QString& titre, int contexteAide, bool boutonsParDefaut)
    : QDialog(parent), ContexteAide(contexteAide) {
  setWindowTitle(titre);
  setModal(true);
  auto* disposition = new QVBoxLayout(this);
  FCorps = new QVBoxLayout;
  disposition->addLayout(FCorps);
  auto* bas = new QHBoxLayout;
  bas->addStretch();
  BOK = new QPushButton(QStringLiteral("OK"), this);
  BAnnuler = new QPushButton(QStringLiteral("Annuler"), this);
  BOK->setAutoDefault(false);
  BAnnuler->setAutoDefault(false);
  BOK->setDefault(boutonsParDefaut);
  bas->addWidget(BOK);
  bas->addWidget(BAnnuler);
  disposition->addLayout(bas);
  connect(BOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(BAnnuler, &QPushButton::clicked, this, &QDialog::reject);
  Avertissement = [this](const QString& texte) {
    QMessageBox::warning(this, QStringLiteral("KorEdit"), texte);
  };
}

bool TDlgEdition::Execute(TLogiqueDialogue& logique) {
  FLogique = &logique;
  Affiche();
  const bool ok = exec() == QDialog::Accepted;
  FLogique = nullptr;
  return ok;
}

void TDlgEdition::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!FLogique) return;
  FLogique->FormShow();
  Affiche();
}

void TDlgEdition::done(int resultat) {
  if (FLogique) {
    const auto r = FLogique->FormCloseQuery(resultat == QDialog::Accepted ? EResultatDialogue::OK
                                                                         : EResultatDialogue::Annuler);
    if (r == EResultatDialogue::OK) {
      const std::string refus = Refus();
      if (!refus.empty()) {
        Avertissement(ansi::VersQString(refus));
        return;  // the dialog stays open, the former values stay stored
      }
    }
    resultat = r == EResultatDialogue::OK ? QDialog::Accepted : QDialog::Rejected;
  }
  QDialog::done(resultat);
}

void TDlgEdition::FixeTexte(QLineEdit* edition, const std::string& texte) {
  const QString q = ansi::VersQString(texte);
  if (edition->text() == q) return;
  const QSignalBlocker bloque(edition);
  edition->setText(q);
}

void TDlgEdition::FixeTexte(QPlainTextEdit* memo, const std::string& texte) {
  const QString q = ansi::VersMemo(texte);
  if (memo->toPlainText() == q) return;
  const QSignalBlocker bloque(memo);
  memo->setPlainText(q);
}
