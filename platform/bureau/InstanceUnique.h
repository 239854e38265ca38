#pragma once
// One running instance of a program per user: the first start takes the program's name and
// listens on a local socket; a later start hands its command line to it and ends. The running
// instance receives the command line as a signal (to bring its window to the front, or open a
// file).

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QLocalServer;
class QLockFile;

class TInstanceUnique : public QObject {
  Q_OBJECT
 public:
  // nom: the program's name ("KorServer"); the guard holds for this user only.
  explicit TInstanceUnique(const QString& nom, QObject* parent = nullptr);
  ~TInstanceUnique() override;

  // True: this is the running instance from now on. False: another instance runs and has been
  // handed the arguments; the program is to end at once.
  bool Demarre(const QStringList& arguments);

  // Name of the local socket.
  QString NomServeur() const { return FNomServeur; }

 signals:
  // In the running instance: the command line of a later start.
  void LigneDeCommandeRecue(const QStringList& arguments);

 private:
  bool Transmet(const QStringList& arguments);
  void Recoit();

  QString FNomServeur;
  QString FCheminVerrou;
  std::unique_ptr<QLockFile> FVerrou;
  QLocalServer* FServeur = nullptr;
};

// Every running instance of a program marks its presence for as long as it lives, whether it runs
// alone or not, so that one start can tell whether another instance of the program is running.
class TPresenceInstances {
 public:
  // nom: the program's name ("KorEdit"); instances of this user only are counted.
  explicit TPresenceInstances(const QString& nom);
  ~TPresenceInstances();
  TPresenceInstances(const TPresenceInstances&) = delete;
  TPresenceInstances& operator=(const TPresenceInstances&) = delete;

  // How many instances run now, this one included (1 when its mark could not be set and no
  // other mark is found). The marks of instances that ended without removing them do not count.
  int NombreInstances() const;

 private:
  QString FDossier;
  QString FFichier;
  std::unique_ptr<QLockFile> FMarque;
};
