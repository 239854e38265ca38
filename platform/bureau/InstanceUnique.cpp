#include "platform/bureau/InstanceUnique.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include <unistd.h>

namespace {

// How long a later start tries to reach the running instance, which may be starting too.
constexpr int DelaiTransmission = 3000;

}  // namespace

TInstanceUnique::TInstanceUnique(const QString& nom, QObject* parent) : QObject(parent) {
  const QString base = QStringLiteral("orvaline-%1-%2").arg(nom).arg(::getuid());
  FNomServeur = base;
  FCheminVerrou = QDir(QDir::tempPath()).filePath(base + QStringLiteral(".lock"));
}

TInstanceUnique::~TInstanceUnique() {
  if (FServeur) FServeur->close();
}

bool TInstanceUnique::Demarre(const QStringList& arguments) {
  FVerrou = std::make_unique<QLockFile>(FCheminVerrou);
  // The lock is held for the running instance's whole life; a lock left by a process that has
  // died is taken over.
  if (FVerrou->tryLock(0)) {
    QLocalServer::removeServer(FNomServeur);  // a socket left by a crash
    FServeur = new QLocalServer(this);
    FServeur->setSocketOptions(QLocalServer::UserAccessOption);
    connect(FServeur, &QLocalServer::newConnection, this, &TInstanceUnique::Recoit);
    if (!FServeur->listen(FNomServeur)) {
      // Nobody can then reach this instance, but it runs all the same.
      delete FServeur;
      FServeur = nullptr;
    }
    return true;
  }
  FVerrou.reset();
  if (Transmet(arguments)) return false;
  // The running instance cannot be reached (it hangs, or is ending): start anyway rather than
  // leave the user with nothing.
  return true;
}

bool TInstanceUnique::Transmet(const QStringList& arguments) {
  QByteArray message;
  {
    QDataStream flux(&message, QIODevice::WriteOnly);
    flux.setVersion(QDataStream::Qt_6_0);
    flux << arguments;
  }
  const QDeadlineTimer limite(DelaiTransmission);
  while (!limite.hasExpired()) {
    QLocalSocket socket;
    socket.connectToServer(FNomServeur);
    if (socket.waitForConnected(static_cast<int>(qMax<qint64>(1, limite.remainingTime())))) {
      socket.write(message);
      while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(static_cast<int>(qMax<qint64>(1, limite.remainingTime())))) break;
      const bool envoye = socket.bytesToWrite() == 0;
      socket.disconnectFromServer();
      if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(500);
      if (envoye) return true;
    }
    // The running instance may hold the lock and not listen yet.
    QThread::msleep(50);
  }
  return false;
}

void TInstanceUnique::Recoit() {
  while (QLocalSocket* socket = FServeur->nextPendingConnection()) {
    // The whole message has come when the later start disconnects.
    auto lit = [this, socket] {
      QByteArray message = socket->readAll();
      QDataStream flux(message);
      flux.setVersion(QDataStream::Qt_6_0);
      QStringList arguments;
      flux >> arguments;
      socket->deleteLater();
      if (flux.status() == QDataStream::Ok) emit LigneDeCommandeRecue(arguments);
    };
    if (socket->state() == QLocalSocket::UnconnectedState)
      lit();
    else
      connect(socket, &QLocalSocket::disconnected, this, lit);
  }
}

TPresenceInstances::TPresenceInstances(const QString& nom) {
  static QAtomicInt suivante;
  FDossier = QDir(QDir::tempPath()).filePath(QStringLiteral("orvaline-%1-%2.instances").arg(nom).arg(::getuid()));
  QDir().mkpath(FDossier);
  FFichier = QDir(FDossier).filePath(
      QStringLiteral("%1-%2.lock").arg(QCoreApplication::applicationPid()).arg(suivante.fetchAndAddRelaxed(1)));
  FMarque = std::make_unique<QLockFile>(FFichier);
  FMarque->setStaleLockTime(0);
  if (!FMarque->tryLock(0)) FMarque.reset();
}

TPresenceInstances::~TPresenceInstances() = default;

int TPresenceInstances::NombreInstances() const {
  int nombre = 1;
  const QStringList marques = QDir(FDossier).entryList({QStringLiteral("*.lock")}, QDir::Files);
  for (const QString& nomMarque : marques) {
    const QString chemin = QDir(FDossier).filePath(nomMarque);
    if (FMarque && chemin == FFichier) continue;
    QLockFile autre(chemin);
    autre.setStaleLockTime(0);
    // A mark that can be taken was left by an instance that has ended: it goes.
    if (autre.tryLock(0))
      autre.unlock();
    else if (autre.error() == QLockFile::LockFailedError)
      ++nombre;
  }
  return nombre;
}
