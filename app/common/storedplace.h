#pragma once

#include "lunar/horizon.h"
#include "store/appdirs.h"
#include "store/placefile.h"

class QWidget;

// The observer's stored place, as every window of the astronomy reads it.
namespace lunex {

// The stored place; an unreadable hely.txt is reported once per run (message
// box) and Budapest is used, as is a zone it names that the database does
// not know (the system's zone stands in).
ObserverPlace CurrentObserverPlace(const AppDirs &dirs, QWidget *messageParent);
// The stored place's skyline; horizont.txt unreadable or with bad lines is
// reported once per run as hely.txt is, and what could be read stands.
HorizonProfile CurrentSkyline(const AppDirs &dirs, QWidget *messageParent);

} // namespace lunex
