#include "platform/bureau/Boites.h"

#include <QByteArray>
#include <QFile>

QString TitreBoite(QMessageBox::Icon icone) {
  switch (icone) {
    case QMessageBox::Question: return QStringLiteral("Confirmation");
    case QMessageBox::Warning: return QStringLiteral("Avertissement");
    case QMessageBox::Critical: return QStringLiteral("Erreur");
    default: return QStringLiteral("Information");
  }
}

QString VersChemin(const std::string& chemin) { return QFile::decodeName(QByteArray::fromStdString(chemin)); }

std::string DepuisChemin(const QString& chemin) { return QFile::encodeName(chemin).toStdString(); }
