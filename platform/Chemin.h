#pragma once
// Paths as the file system writes them: UTF-8, '/' between folders.
// Kept apart from Fichier.h, which nearly every file includes through the card-file model.

#include <string>

// The name of a path without its folder: what follows its last '/'.
inline std::string NomSansDossier(const std::string& chemin) {
  const auto barre = chemin.rfind('/');
  return barre == std::string::npos ? chemin : chemin.substr(barre + 1);
}
