#include "platform/bureau/Boites.h"

#include <QByteArray>
#include <QFile>
#include <QInputDialog>

QString TitreBoite(QMessageBox::Icon icone) {
  switch (icone) {
    case QMessageBox::Question: return QStringLiteral("Confirmation");
    case QMessageBox::Warning: return QStringLiteral("Avertissement");
    case QMessageBox::Critical: return QStringLiteral("Erreur");
    default: return QStringLiteral("Information");
  }
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

QString VersChemin(const std::string& chemin) { return QFile::decodeName(QByteArray::fromStdString(chemin)); }

std::string DepuisChemin(const QString& chemin) { return QFile::encodeName(chemin).toStdString(); }
