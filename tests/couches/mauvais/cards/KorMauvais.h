#pragma once
// Layering faults the check must find: a logic folder reaching up and into widgets.
#include <QMessageBox>
#include <QtGui/QFont>
#include <QString>
#include "cards/KorFichierX.h"
#include "editor/KorFiche.h"
#include "platform/bureau/Boites.h"
