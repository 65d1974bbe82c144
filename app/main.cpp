// The one application object, constructed before the program's entry runs.
#include "app/ProgrammerApp.h"

CProgrammerApp theApp;
