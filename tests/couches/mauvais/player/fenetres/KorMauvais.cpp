// A widget layer may use widgets and the desktop services, not another folder's windows.
#include <QWidget>
#include "platform/bureau/Boites.h"
#include "player/KorJeu.h"
#include "editor/fenetres/KorFenetreFiche.h"
