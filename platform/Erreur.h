#pragma once
// The base of every failure of the suite. Its message is a French text in 1252 bytes,
// shown as it stands by whoever catches it.

#include <stdexcept>
#include <string>

class EErreur : public std::runtime_error {
 public:
  explicit EErreur(const std::string& messageAnsi) : std::runtime_error(messageAnsi) {}
  std::string Message() const { return what(); }
};

// "Impossible d'ouvrir le fichier "%s". %s"
class EFOpenError : public EErreur {
 public:
  using EErreur::EErreur;
};

// "Impossible de créer le fichier "%s". %s"
class EFCreateError : public EErreur {
 public:
  using EErreur::EErreur;
};

// A read that could not get the bytes it asked for, or a write that could not put them all.
class EReadError : public EErreur {
 public:
  using EErreur::EErreur;
};
class EWriteError : public EErreur {
 public:
  using EErreur::EErreur;
};
