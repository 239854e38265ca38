#pragma once
// The desktop's logout. Before it ends a session, the session manager asks each program to save
// its work, and may let it ask its user a question: then, and only then, a "No" can still stop
// the logout. A program with unsaved work asks its close question at that moment; the close that
// follows the session's end (the manager's Die) then asks nothing that was already answered.
// When another program stops the logout, or the save was only a checkpoint, the manager says so
// on its connection while the program waits for the end: the program then takes up its work as
// it was.

#include <QObject>

#include <memory>

class QSessionManager;
class QSocketNotifier;

// What a program's window does at the session's end.
class IFinDeSession {
 public:
  virtual ~IFinDeSession() = default;
  // Whether the close would ask something now.
  virtual bool TravailNonSauve() = 0;
  // Asks the close's question, leaving everything open; false when the user stops the logout.
  virtual bool QuestionFinDeSession() = 0;
  // The session goes on after an answer: the program is as before the question.
  virtual void FinDeSessionAbandonnee() = 0;
};

class TFinDeSession : public QObject {
  Q_OBJECT
 public:
  // Answers the application's session manager for this window, for as long as it lives.
  explicit TFinDeSession(IFinDeSession& fenetre, QObject* parent = nullptr);
  ~TFinDeSession() override;

  // The manager's request to save, as Qt hands it (commitDataRequest).
  void DemandeSauvegarde(QSessionManager& gestionnaire);

  // An answer was given and the manager has not yet said how the session goes on.
  bool EnAttenteDeLaFin() const { return FEnAttente; }

 protected:
  bool eventFilter(QObject* objet, QEvent* evenement) override;

 private:
  // Waits for the manager's next word after the answer: either Die (the application's quit) or
  // anything else, which means the session goes on.
  void EcouteLeGestionnaire();
  void ParoleDuGestionnaire();
  void VerifieLaFinDans(int delai);
  void Reprend();
  void ArreteLEcoute();

  IFinDeSession& FFenetre;
  unsigned FTour = 0;  // one per request to save
  bool FEnAttente = false;
  bool FParole = false;  // the manager said something since the question was allowed
  bool FFin = false;  // the session ends: the application was told to quit
  int FDouble = -1;   // our duplicate of the manager's connection, watched while waiting
  std::unique_ptr<QSocketNotifier> FEcoute;
};
