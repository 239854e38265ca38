#include "platform/bureau/Boites.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QSpacerItem>

#include <limits>

QString TitreBoite(QMessageBox::Icon icone) {
  switch (icone) {
    case QMessageBox::Question: return QStringLiteral("Confirmation");
    case QMessageBox::Warning: return QStringLiteral("Avertissement");
    case QMessageBox::Critical: return QStringLiteral("Erreur");
    default: return QStringLiteral("Information");
  }
}

QMessageBox::StandardButton BoiteMessageStandard(QWidget* parent, QMessageBox::Icon icone, const QString& titre,
                                                 const QString& texte, QMessageBox::StandardButtons boutons) {
  QMessageBox boite(icone, titre.isEmpty() ? TitreBoite(icone) : titre, texte, boutons, parent);
  boite.setWindowModality(Qt::ApplicationModal);
  if (QAbstractButton* abandon = boite.button(QMessageBox::Abort)) abandon->setText(QStringLiteral("Abandonner"));
  return static_cast<QMessageBox::StandardButton>(boite.exec());
}

namespace {

// The room of a title bar beside its caption: the window's icon, three buttons and the margins.
constexpr int CadreDuTitre = 4 * 24 + 24;

// Widens each dialog as it is shown, before it computes its size.
class TElargisseur : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* objet, QEvent* evenement) override {
    if (evenement->type() == QEvent::Show)
      if (auto* boite = qobject_cast<QDialog*>(objet); boite && boite->isWindow()) ElargitPourTitre(*boite);
    return QObject::eventFilter(objet, evenement);
  }
};

}  // namespace

int LargeurPourTitre(const QString& titre) {
  QFont police = QApplication::font();
  police.setBold(true);
  return QFontMetrics(police).horizontalAdvance(titre) + CadreDuTitre;
}

void ElargitPourTitre(QDialog& boite) {
  const int largeur = LargeurPourTitre(boite.windowTitle());
  if (auto* message = qobject_cast<QMessageBox*>(&boite)) {
    // A message box fixes its width from its layout's: a spacer as wide as the caption, under the
    // rest. Its own width is given once; a later caption widens it again.
    auto* grille = qobject_cast<QGridLayout*>(message->layout());
    if (!grille) return;
    const QMargins marges = grille->contentsMargins();
    const int voulue = largeur - marges.left() - marges.right();
    auto* cale = static_cast<QSpacerItem*>(message->property("orvaline.cale").value<void*>());
    if (!cale) {
      cale = new QSpacerItem(voulue, 0, QSizePolicy::Minimum, QSizePolicy::Minimum);
      grille->addItem(cale, grille->rowCount(), 0, 1, grille->columnCount());
      message->setProperty("orvaline.cale", QVariant::fromValue(static_cast<void*>(cale)));
    } else {
      cale->changeSize(voulue, 0, QSizePolicy::Minimum, QSizePolicy::Minimum);
    }
    grille->invalidate();
    return;
  }
  if (boite.minimumWidth() < largeur) boite.setMinimumWidth(largeur);
  if (boite.width() < largeur) boite.resize(largeur, boite.height());
}

void ElargitLesBoitesAuTitre(QApplication& application) {
  application.installEventFilter(new TElargisseur(&application));
}

QLineEdit* EditionSansLimite(QWidget* parent) {
  auto* edition = new QLineEdit(parent);
  edition->setMaxLength(std::numeric_limits<int>::max());
  return edition;
}

bool SaisieLigne(QWidget* parent, const QString& titre, const QString& invite, QString& texte) {
  QInputDialog boite(parent);
  boite.setWindowTitle(titre);
  boite.setLabelText(invite);
  boite.setTextValue(texte);
  boite.setOkButtonText(QStringLiteral("OK"));
  boite.setCancelButtonText(QStringLiteral("Annuler"));
  if (boite.exec() != QDialog::Accepted) return false;
  texte = boite.textValue();
  return true;
}
