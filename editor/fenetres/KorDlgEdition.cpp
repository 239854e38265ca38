#include "editor/fenetres/KorDlgEdition.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "platform/Ansi.h"

TDlgEdition::TDlgEdition(QWidget* parent, const QString& titre, int contexteAide, bool boutonsParDefaut)
    : QDialog(parent), ContexteAide(contexteAide), FBoutonsParDefaut(boutonsParDefaut) {
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

void TDlgEdition::OrdreDesControles(std::initializer_list<QWidget*> controles) {
  FControles.assign(controles);
  FControles.push_back(BOK);
  FControles.push_back(BAnnuler);
  for (std::size_t i = 1; i < FControles.size(); ++i) setTabOrder(FControles[i - 1], FControles[i]);
}

bool TDlgEdition::ExecuteSur(TLogiqueDialogue& logique) {
  FEnCours = &logique;
  Affiche();
  const bool ok = exec() == QDialog::Accepted;
  FEnCours = nullptr;
  return ok;
}

void TDlgEdition::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (FEnCours) {
    FEnCours->FormShow();
    Affiche();
  }
  // The first control that can take the focus (a group's checked radio button stands for it).
  for (QWidget* controle : FControles) {
    if (!controle->isEnabled() || !(controle->focusPolicy() & Qt::TabFocus)) continue;
    if (auto* bouton = qobject_cast<QAbstractButton*>(controle); bouton && bouton->autoExclusive() && !bouton->isChecked())
      continue;
    controle->setFocus(Qt::TabFocusReason);
    if (auto* edition = qobject_cast<QLineEdit*>(controle)) edition->selectAll();
    break;
  }
}

void TDlgEdition::done(int resultat) {
  if (FEnCours) {
    const auto r = FEnCours->FormCloseQuery(resultat == QDialog::Accepted ? EResultatDialogue::OK
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

void TDlgEdition::keyPressEvent(QKeyEvent* event) {
  // Without a cancel button Esc closes nothing.
  if (!FBoutonsParDefaut && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
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
