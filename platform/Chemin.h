#pragma once
// Paths as the file system writes them: UTF-8, '/' between folders.
// Kept apart from Fichier.h, which nearly every file includes through the card-file model.

#include <QDir>
#include <QFile>
#include <QString>

#include <string>

// The name of a path without its folder: what follows its last '/'.
inline std::string NomSansDossier(const std::string& chemin) {
  const auto barre = chemin.rfind('/');
  return barre == std::string::npos ? chemin : chemin.substr(barre + 1);
}

// A file-system path (the bytes the system uses) as Qt holds it, and back.
inline QString VersChemin(const std::string& chemin) { return QFile::decodeName(QByteArray::fromStdString(chemin)); }
inline std::string DepuisChemin(const QString& chemin) { return QFile::encodeName(chemin).toStdString(); }

// The folder a file dialog starts in, as Qt holds it: the user's home when none is given, never
// the folder the program was started from, which says nothing of the user's files.
inline QString DossierDepart(const std::string& dossier) {
  return dossier.empty() ? QDir::homePath() : VersChemin(dossier);
}
