#pragma once
// Paths as the file system writes them: UTF-8, '/' between folders.
// (A header of its own: files that still keep a local helper of this name include Fichier.h.)

#include <string>

// The name of a path without its folder: what follows its last '/'.
inline std::string NomSansDossier(const std::string& chemin) {
  const auto barre = chemin.rfind('/');
  return barre == std::string::npos ? chemin : chemin.substr(barre + 1);
}
